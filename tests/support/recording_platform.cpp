#include "support/recording_platform.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>

#include "platform/posix_paths.h"

namespace platform {

EndProcessCalled::EndProcessCalled(int code)
    : std::runtime_error("EndProcess(" + std::to_string(code) + ")"), m_code(code) {}

RecordingPlatform::RecordingPlatform() : m_strExecutablePath(ExecutablePath()) {}

void RecordingPlatform::ShowMessage(const std::string& text, MsgIcon icon) {
  m_events.push_back({EventKind::Message, text, icon, 0});
}

void RecordingPlatform::BeginWaitCursor() {
  m_events.push_back({EventKind::WaitCursor, {}, {}, 0});
}

void RecordingPlatform::RestoreArrowCursor() {
  m_events.push_back({EventKind::ArrowCursor, {}, {}, 0});
}

std::string RecordingPlatform::GetExecutablePath() { return m_strExecutablePath; }


void RecordingPlatform::EndProcess(int code) {
  m_events.push_back({EventKind::Exit, {}, {}, code});
  if (m_bRealExit) {
    std::exit(code);
  }
  throw EndProcessCalled(code);
}

namespace {

// The next queued answer of a file dialog: a path, or a cancel when the
// queue holds one or is empty.
bool NextPathAnswer(std::deque<std::optional<std::string>>& answers, std::string& path) {
  if (answers.empty()) {
    return false;
  }
  const std::optional<std::string> answer = answers.front();
  answers.pop_front();
  if (!answer) {
    return false;
  }
  path = *answer;
  return true;
}

}  // namespace

bool RecordingPlatform::AskOpenFile(const OpenFileRequest& request, std::string& path) {
  m_openRequests.push_back(request);
  return NextPathAnswer(m_openAnswers, path);
}

bool RecordingPlatform::AskSaveFile(const SaveFileRequest& request, std::string& path) {
  m_saveRequests.push_back(request);
  return NextPathAnswer(m_saveAnswers, path);
}

bool RecordingPlatform::AskColour(unsigned char rgb[3]) {
  ++m_nColourRequests;
  if (m_colourAnswers.empty()) {
    return false;
  }
  const auto answer = m_colourAnswers.front();
  m_colourAnswers.pop_front();
  if (!answer) {
    return false;
  }
  std::copy(answer->begin(), answer->end(), rgb);
  return true;
}

std::vector<RecordedMessage> RecordingPlatform::messages() const {
  std::vector<RecordedMessage> result;
  for (const RecordedEvent& event : m_events) {
    if (event.kind == EventKind::Message) {
      result.push_back({event.text, event.icon});
    }
  }
  return result;
}

void RecordingPlatform::ClearLog() {
  m_events.clear();
  m_openRequests.clear();
  m_saveRequests.clear();
  m_nColourRequests = 0;
}

int RecordingPlatform::Count(EventKind kind) const {
  return static_cast<int>(std::count_if(m_events.begin(), m_events.end(),
                                        [kind](const RecordedEvent& e) { return e.kind == kind; }));
}

}  // namespace platform
