// What the document tests share: a recording platform layer installed for
// the test, the process-wide paths forgotten before and after, and a
// temporary folder to stand in for the executable's directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

// The messages the configuration shows when its file cannot be read or
// written.
inline const platform::RecordedMessage kConfigLoadError{"Error loading config file",
                                                        platform::MsgIcon::Exclamation};
inline const platform::RecordedMessage kConfigSaveError{"Error saving config file",
                                                        platform::MsgIcon::Exclamation};
using Messages = std::vector<platform::RecordedMessage>;

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
