#include <wx/event.h>

#include "view/command_ids.h"
#include "view/view_events.h"
#include "view/zorvik_view.h"

wxDEFINE_EVENT(EVT_ZORVIK_MODEL_OPENED, wxCommandEvent);

void CZorvikView::BindDesktopHandlers() {
  Bind(wxEVT_MOUSEWHEEL, &CZorvikView::OnMouseWheel, this);
  Bind(wxEVT_MIDDLE_DOWN, &CZorvikView::OnMButtonDown, this);
  Bind(wxEVT_MIDDLE_UP, &CZorvikView::OnMButtonUp, this);
  Bind(wxEVT_MOTION, &CZorvikView::OnMiddleDrag, this);
  Bind(wxEVT_MENU, &CZorvikView::OnViewNextModel, this, ID_VIEW_NEXT_MODEL);
  Bind(wxEVT_MENU, &CZorvikView::OnViewPrevModel, this, ID_VIEW_PREV_MODEL);
  Bind(wxEVT_UPDATE_UI, &CZorvikView::OnUpdateViewFolderModel, this, ID_VIEW_NEXT_MODEL);
  Bind(wxEVT_UPDATE_UI, &CZorvikView::OnUpdateViewFolderModel, this, ID_VIEW_PREV_MODEL);
  Bind(wxEVT_MENU, &CZorvikView::OnFileSavePicture, this, ID_FILE_SAVE_PICTURE);
}
