#include "view/model_drop.h"

#include "view/zorvik_view.h"

bool CModelDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) {
  if (files.empty()) return false;
  // The drop itself ends before the model loads: a message box shown in
  // the middle of it would hold the file manager's drag too.
  const std::string path = files[0].utf8_string();
  m_pView->CallAfter([view = m_pView, path] { view->OpenModel(path); });
  return true;
}
