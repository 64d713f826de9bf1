// The program's two directories, held in the platform's canonical form: the
// executable's directory (palettes and "zorvik.cfg" live there) and the
// directory of the last model opened.
#pragma once

#include <string>

class CAppPaths {
 public:
  void SetBaseDir(const std::string& dir);
  std::string GetBaseDir() const { return m_strBaseDir; }
  void SetLastOpenDir(const std::string& dir);
  std::string GetLastOpenDir() const { return m_strLastOpenDir; }

  // Forget both directories and the conversion buffer (tests only).
  void Reset();

  // Holds the last successful conversion of either directory; a failed one
  // leaves it as it was, and SetLastOpenDir then takes what it holds.
  std::string m_szShortPath;
  std::string m_strBaseDir;
  std::string m_strLastOpenDir;
};

// The one process-wide object.
CAppPaths& AppPaths();

// A message box with the stop icon.
void ShowError(const std::string& message);
