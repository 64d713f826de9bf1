// The program's two directories, held in the platform's canonical form: the
// executable's directory and the directory of the last model opened. The
// executable's directory also decides where the palettes and "zorvik.cfg"
// are: beside it in a portable copy, in the installation's data directory
// and the user's configuration directory in an installed one.
#pragma once

#include <string>

#include "platform/install_layout.h"

// What became of a directory's conversion.
enum class PathStatus {
  kOk,
  kBaseDirUnknown,      // the program cannot find itself: it must stop
  kLastOpenDirUnknown,  // the last good conversion is taken instead
};

// The stop box's text for a failed conversion ("Error#1: ..."); empty for
// kOk.
std::string PathMessage(PathStatus status);

class CAppPaths {
 public:
  PathStatus SetBaseDir(const std::string& dir);
  std::string GetBaseDir() const { return m_strBaseDir; }
  PathStatus SetLastOpenDir(const std::string& dir);
  std::string GetLastOpenDir() const { return m_strLastOpenDir; }

  // Decided with the base directory; both end with '/'. A portable copy
  // answers its base directory for both, exactly as before there was an
  // installed layout.
  std::string GetPaletteDir() const {
    return m_layout.bInstalled ? m_layout.strDataDir : m_strBaseDir;
  }
  std::string GetConfigDir() const {
    return m_layout.bInstalled ? m_layout.strConfigDir : m_strBaseDir;
  }
  bool IsInstalled() const { return m_layout.bInstalled; }

  // Forget both directories and the conversion buffer (tests only).
  void Reset();

  // Holds the last successful conversion of either directory; a failed one
  // leaves it as it was, and SetLastOpenDir then takes what it holds.
  std::string m_szShortPath;
  std::string m_strBaseDir;
  std::string m_strLastOpenDir;
  platform::FileLayout m_layout;
};

// The one process-wide object.
CAppPaths& AppPaths();
