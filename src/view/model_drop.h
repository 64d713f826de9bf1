// A model file dropped onto the view opens there.
#pragma once

#include <wx/dnd.h>

class CZorvikView;

class CModelDropTarget : public wxFileDropTarget {
 public:
  explicit CModelDropTarget(CZorvikView* view) : m_pView(view) {}

  // Opens the first file dropped, as File Open does after its dialog; a
  // file that is no model says so and leaves the open one.
  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

 private:
  CZorvikView* m_pView;
};
