// Where the program's own files live. A portable copy (the build tree, an
// unpacked folder) keeps its palettes and "zorvik.cfg" beside the
// executable. An installed copy (the executable in PREFIX/bin) reads its
// palettes from PREFIX/share/zorvik and keeps the configuration in the
// user's configuration directory, since nobody may write beside a program
// in a system directory.
#pragma once

#include <span>
#include <string>

namespace platform {

struct FileLayout {
  bool bInstalled = false;
  // Both end with '/'. The configuration directory of an installed copy
  // may not exist yet: it is made when the configuration is first saved.
  std::string strDataDir;
  std::string strConfigDir;
};

// The layout of a copy whose executable sits in exeDir (ending with '/'):
// portable when any of dataFiles is beside the executable, installed when
// none is there but one is in the installation's data directory, portable
// otherwise (so a copy missing its files says so as it always did).
FileLayout FindFileLayout(const std::string& exeDir, std::span<const char* const> dataFiles);

// The user's configuration directory: $XDG_CONFIG_HOME when it is an
// absolute path, else ~/.config; ending with '/'. Empty when there is no
// home directory to put it in.
std::string UserConfigHome();

// Zorvik's directory inside it, ending with '/'; empty when there is none.
std::string UserConfigDir();

// Creates dir with any missing parents, private to the user (0700) as
// configuration directories are. True when it is a directory afterwards.
bool MakeDirectories(const std::string& dir);

// True only when path is known not to exist (as opposed to existing but
// being out of reach).
bool IsMissing(const std::string& path);

}  // namespace platform
