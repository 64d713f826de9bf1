// The layout the program's own boxes share: their content above a centred
// OK button, which is the default button and what Escape answers.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>

namespace platform {

// The space round a box's content and under its button, alike in every box.
inline constexpr int kBoxMargin = 12;

// content is a window or a sizer; it takes the spare room when the box is
// resized. The box is then sized to fit. Returns the button.
template <typename Content>
wxButton* LayOutAboveOkButton(wxDialog& dialog, Content* content) {
  constexpr int margin = kBoxMargin;
  auto* ok = new wxButton(&dialog, wxID_OK, "OK");
  ok->SetDefault();
  dialog.SetEscapeId(wxID_OK);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(content, 1, wxEXPAND | wxALL, margin);
  column->Add(ok, 0, wxALIGN_CENTRE_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, margin);
  dialog.SetSizerAndFit(column);
  return ok;
}

}  // namespace platform
