#include <wx/event.h>

#include "view/command_binding.h"
#include "view/command_ids.h"
#include "view/view_events.h"
#include "view/zorvik_view.h"

wxDEFINE_EVENT(EVT_ZORVIK_MODEL_OPENED, wxCommandEvent);

void CZorvikView::BindDesktopHandlers() {
  using V = CZorvikView;
  static constexpr CommandBinding<V> kCommands[] = {
      {ID_VIEW_NEXT_MODEL, &V::OnViewNextModel, &V::OnUpdateViewFolderModel},
      {ID_VIEW_PREV_MODEL, &V::OnViewPrevModel, &V::OnUpdateViewFolderModel},
      {ID_FILE_SAVE_PICTURE, &V::OnFileSavePicture},
  };
  BindCommands<V>(this, kCommands);
  Bind(wxEVT_MOUSEWHEEL, &V::OnMouseWheel, this);
  Bind(wxEVT_MIDDLE_DOWN, &V::OnMButtonDown, this);
  Bind(wxEVT_MIDDLE_UP, &V::OnMButtonUp, this);
  Bind(wxEVT_MOTION, &V::OnMiddleDrag, this);
}
