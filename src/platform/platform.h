// The small layer between Zorvik's logic and the toolkit / operating system:
// message boxes, cursors, the executable's path, the canonical form of a
// directory, ending the process, and the common dialogs. The viewer installs
// the wxWidgets/POSIX implementation; the headless commands one that writes
// messages to stderr; tests a recording one.
#pragma once

#include <string>

namespace platform {

enum class MsgIcon { None, Exclamation, Stop };

struct OpenFileRequest {
  std::string strDefaultExt;  // without the dot, e.g. "bin"
  std::string strFilter;      // "desc|pattern|desc|pattern"
  std::string strInitialDir;  // empty: the system's default directory
  bool bMustExist = true;
};

struct SaveFileRequest {
  std::string strDefaultExt;  // with the dot, e.g. ".cob"
  std::string strFilter;
  bool bOverwritePrompt = true;
  std::string strInitialDir;   // empty: the system's default directory
  std::string strInitialName;  // the name the dialog offers; empty: none
  std::string strTitle;        // empty: "Save As"
  // A name that ends in none of the filter's extensions gets the extension
  // of the filter chosen in the dialog (instead of strDefaultExt); choosing
  // another filter in the dialog changes the extension of the name shown.
  bool bExtensionFromFilter = false;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal box with one OK button, captioned "Zorvik".
  virtual void ShowMessage(const std::string& text, MsgIcon icon) = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void RestoreArrowCursor() = 0;
  // Full path of the running executable; empty when it cannot be found.
  virtual std::string GetExecutablePath() = 0;
  // Ends the process at once with the code.
  virtual void EndProcess(int code) = 0;

  // Common dialogs: true and the chosen value on OK, false on cancel.
  virtual bool AskOpenFile(const OpenFileRequest& request, std::string& path) = 0;
  virtual bool AskSaveFile(const SaveFileRequest& request, std::string& path) = 0;
  // rgb receives red, green, blue bytes.
  virtual bool AskColour(unsigned char rgb[3]) = 0;
};

// The implementation in force; set once at start-up (or by a test). Until
// one is set, messages go to stderr, so no caller can meet a missing layer.
Platform& Current();
void SetCurrent(Platform* platform);

}  // namespace platform

// A message box with the stop icon, through the layer in force.
void ShowError(const std::string& message);
