// What the document tests share: a recording platform layer installed for
// the test, the process-wide paths forgotten before and after, and a
// temporary folder to stand in for the executable's directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

// The messages the configuration shows when its file cannot be read or
// written.
inline const platform::RecordedMessage kConfigLoadError{"Error loading config file",
                                                        platform::MsgIcon::Exclamation};
inline const platform::RecordedMessage kConfigSaveError{"Error saving config file",
                                                        platform::MsgIcon::Exclamation};
using Messages = std::vector<platform::RecordedMessage>;

// Whether messages is the one configuration message: its first line as it
// has always been, then a line that names the file (and the reason, when
// given).
inline ::testing::AssertionResult IsConfigMessage(const Messages& messages,
                                                  const platform::RecordedMessage& first,
                                                  const std::string& file,
                                                  const std::string& reason = "") {
  if (messages.size() != 1) return ::testing::AssertionFailure() << messages.size() << " messages";
  const platform::RecordedMessage& shown = messages[0];
  const std::string head = first.text + "\r\n";
  if (shown.icon != first.icon || shown.text.rfind(head, 0) != 0) {
    return ::testing::AssertionFailure() << "shown: " << shown.text;
  }
  const std::string second = shown.text.substr(head.size());
  if (second.find(file) == std::string::npos || second.find(reason) == std::string::npos ||
      second.find('\n') != std::string::npos) {
    return ::testing::AssertionFailure() << "second line: " << second;
  }
  return ::testing::AssertionSuccess();
}

// Shows what the document returned through the recording layer, as the
// window does, so tests read the messages where the user sees them.
inline void Show(const SettingsResult& result) {
  for (const DocMessage& message : result.messages) {
    platform::Current().ShowMessage(message.text, message.icon);
  }
  if (result.bMustStop) platform::Current().EndProcess(1);
}

inline void Show(PathStatus status) {
  if (status != PathStatus::kOk) ShowError(PathMessage(status));
  if (status == PathStatus::kBaseDirUnknown) platform::Current().EndProcess(1);
}

class DocTest : public ::testing::Test {
 protected:
  DocTest() : m_canonicalRoot(std::filesystem::canonical(m_temp.path()).string()) {
    AppPaths().Reset();
  }
  ~DocTest() override { AppPaths().Reset(); }

  // The temporary folder's canonical path, without trailing '/'.
  const std::string& root() const { return m_canonicalRoot; }
  std::string File(const std::string& name) const { return root() + "/" + name; }

  platform::ScopedRecordingPlatform m_ui;
  ScopedTempDir m_temp;

 private:
  std::string m_canonicalRoot;
};
