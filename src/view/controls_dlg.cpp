#include "view/controls_dlg.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>

#include "platform/dialog_layout_wx.h"
#include "view/controls.h"

namespace {

// Room for the scroll bar and the columns' own padding.
constexpr int kListSlack = 40;

}  // namespace

CControlsDlg::CControlsDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Controls", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER) {
  m_pList = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
  m_pList->AppendColumn("Input");
  m_pList->AppendColumn("Action");
  long row = 0;
  for (const ControlRow& control : ViewerControls()) {
    m_pList->InsertItem(row, wxString::FromUTF8(PlainControlText(control.input)));
    m_pList->SetItem(row, 1, wxString::FromUTF8(PlainControlText(control.action)));
    ++row;
  }
  m_pList->SetColumnWidth(0, wxLIST_AUTOSIZE);
  m_pList->SetColumnWidth(1, wxLIST_AUTOSIZE);
  // Every row in sight where the screen allows; the window may be resized.
  const int width = m_pList->GetColumnWidth(0) + m_pList->GetColumnWidth(1) + kListSlack;
  wxRect first;
  const int rowHeight = m_pList->GetItemRect(0, first) ? first.height : m_pList->GetCharHeight();
  const int height = rowHeight * (static_cast<int>(row) + 2);
  wxSize size(width, height);
  size.DecTo(wxGetClientDisplayRect().GetSize() * 3 / 4);
  m_pList->SetMinSize(size);

  platform::LayOutAboveOkButton(*this, m_pList);
  CentreOnParent();
}
