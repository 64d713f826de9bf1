// A command's handler and the handler that keeps its menu item and tool up
// to date, bound together from one table row, so a command cannot get the
// one without the other by oversight.
#pragma once

#include <wx/event.h>

#include <span>

template <typename Window>
struct CommandBinding {
  int id;
  void (Window::*onCommand)(wxCommandEvent&);
  // Null for a command that is always available.
  void (Window::*onUpdate)(wxUpdateUIEvent&) = nullptr;
};

template <typename Window>
void BindCommands(Window* window, std::span<const CommandBinding<Window>> commands) {
  for (const CommandBinding<Window>& c : commands) {
    window->Bind(wxEVT_MENU, c.onCommand, window, c.id);
    if (c.onUpdate != nullptr) window->Bind(wxEVT_UPDATE_UI, c.onUpdate, window, c.id);
  }
}
