// A platform layer for tests: it shows nothing and ends nothing, but keeps
// every message, cursor change and exit request in one ordered log, and
// answers the common dialogs from queues the test fills beforehand.
//
// Ending the process: by default EndProcess records an Exit event and then
// throws EndProcessCalled, so a test can check the code and everything that
// happened before it with EXPECT_THROW / a catch. Code after the call does
// not run, just as after a real exit. A test that wants the real thing (for
// EXPECT_EXIT in a child process) calls SetRealExit(true); EndProcess then
// ends the process with std::exit.
#pragma once

#include <array>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

struct RecordedMessage {
  std::string text;
  MsgIcon icon = MsgIcon::None;

  bool operator==(const RecordedMessage&) const = default;
};

enum class EventKind { Message, WaitCursor, ArrowCursor, Exit };

struct RecordedEvent {
  EventKind kind = EventKind::Message;
  std::string text;              // Message only
  MsgIcon icon = MsgIcon::None;  // Message only
  int code = 0;                  // Exit only

  bool operator==(const RecordedEvent&) const = default;
};

// Thrown by RecordingPlatform::EndProcess unless a real exit was asked for.
class EndProcessCalled : public std::runtime_error {
 public:
  explicit EndProcessCalled(int code);
  int code() const { return m_code; }

 private:
  int m_code;
};

class RecordingPlatform : public Platform {
 public:
  RecordingPlatform();

  void ShowMessage(const std::string& text, MsgIcon icon) override;
  void BeginWaitCursor() override;
  void RestoreArrowCursor() override;
  std::string GetExecutablePath() override;
  void EndProcess(int code) override;
  bool AskOpenFile(const OpenFileRequest& request, std::string& path) override;
  bool AskSaveFile(const SaveFileRequest& request, std::string& path) override;
  bool AskColour(unsigned char rgb[3]) override;

  // Set-up.
  void SetExecutablePath(const std::string& path) { m_strExecutablePath = path; }
  void SetRealExit(bool real) { m_bRealExit = real; }
  // Dialog answers, used front first; std::nullopt (or an empty queue)
  // answers cancel.
  void QueueOpenAnswer(std::optional<std::string> path) { m_openAnswers.push_back(path); }
  void QueueSaveAnswer(std::optional<std::string> path) { m_saveAnswers.push_back(path); }
  void QueueColourAnswer(std::optional<std::array<unsigned char, 3>> rgb) {
    m_colourAnswers.push_back(rgb);
  }

  // What happened, in order.
  const std::vector<RecordedEvent>& events() const { return m_events; }
  std::vector<RecordedMessage> messages() const;
  int waitCursorCount() const { return Count(EventKind::WaitCursor); }
  int arrowCursorCount() const { return Count(EventKind::ArrowCursor); }
  const std::vector<OpenFileRequest>& openRequests() const { return m_openRequests; }
  const std::vector<SaveFileRequest>& saveRequests() const { return m_saveRequests; }
  int colourRequests() const { return m_nColourRequests; }

  // Forget the log and the requests (the answers queued stay).
  void ClearLog();

 private:
  int Count(EventKind kind) const;

  std::string m_strExecutablePath;
  bool m_bRealExit = false;
  std::vector<RecordedEvent> m_events;
  std::deque<std::optional<std::string>> m_openAnswers;
  std::deque<std::optional<std::string>> m_saveAnswers;
  std::deque<std::optional<std::array<unsigned char, 3>>> m_colourAnswers;
  std::vector<OpenFileRequest> m_openRequests;
  std::vector<SaveFileRequest> m_saveRequests;
  int m_nColourRequests = 0;
};

// Installs a RecordingPlatform for the lifetime of the object and removes it
// again, so that no test sees another's platform.
class ScopedRecordingPlatform : public RecordingPlatform {
 public:
  ScopedRecordingPlatform() { SetCurrent(this); }
  ~ScopedRecordingPlatform() override { SetCurrent(nullptr); }
  ScopedRecordingPlatform(const ScopedRecordingPlatform&) = delete;
  ScopedRecordingPlatform& operator=(const ScopedRecordingPlatform&) = delete;
};

}  // namespace platform
