#include "app/resources.h"

#include "view/command_ids.h"

namespace {

struct CommandText {
  int id;
  const char* text;
};

// Prompts read "status-bar text\ntooltip"; a prompt without a newline gives
// its command no tooltip.
constexpr CommandText kCommandTexts[] = {
    {ID_FILE_NEW, "Create a new document\nNew"},
    {ID_FILE_OPEN, "Open an existing document\nOpen"},
    {ID_FILE_SAVE, "Save the active document\nSave"},
    {ID_FILE_EXPORT, "Export the model as glTF or OBJ\nExport"},
    {ID_FILE_IMPORT, "Open a model of another format (glTF, OBJ, FBX, Collada...) as LGMD\nImport"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_VIEW_MODEL_INFO, "View Model Information"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_VIEW_SANFRAN_PALETTE, "San-Francisco Palette"},
    {ID_VIEW_SEATTLE_PALETTE, "Seattle Palette"},
    {ID_VIEW_WIREFRAME, "Wireframe Mode"},
    {ID_VIEW_TEXTURED, "Textured Mode"},
    {ID_VIEW_BKGND_COLOR, "Change Background Color"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    {ID_FILE_SAVE_PICTURE, "Save the view as a PNG picture of the window's size\nSave Picture"},
    {ID_VIEW_NEXT_MODEL, "Open the next model in this folder\nNext Model"},
    {ID_VIEW_PREV_MODEL, "Open the previous model in this folder\nPrevious Model"},
    {ID_HELP_CONTROLS, "List the mouse and keyboard controls\nControls"},
    {ID_FILE_MRU_FILE1, "Open this document"},
};

std::string TextOf(int id) {
  for (const auto& entry : kCommandTexts) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

}  // namespace

std::string CommandPrompt(int id) {
  const std::string text = TextOf(id);
  return text.substr(0, text.find('\n'));
}

std::string CommandTooltip(int id) {
  const std::string text = TextOf(id);
  const std::size_t newline = text.find('\n');
  return newline == std::string::npos ? std::string() : text.substr(newline + 1);
}
