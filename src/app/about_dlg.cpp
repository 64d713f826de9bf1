#include "app/about_dlg.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "app/icons.h"
#include "app/resources.h"
#include "zorvik_version.h"

namespace {

// The box is laid out in dialog units, so it scales with the font the way
// its controls' text does.
constexpr int kDialogWidth = 217;
constexpr int kDialogHeight = 55;
constexpr int kIconPixels = 32;

constexpr const char* kNoticeText = "Viewer for LGMD 3D models";

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "About Zorvik", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  const auto du = [this](int x, int y) { return wxDLG_UNIT(this, wxPoint(x, y)); };
  const auto dusize = [this](int w, int h) { return wxDLG_UNIT(this, wxSize(w, h)); };

  wxBitmap icon = MakeAppIconBitmap(kIconPixels);
  new wxStaticBitmap(this, wxID_STATIC, icon, du(9, 17), dusize(20, 20));
  new wxStaticText(this, wxID_STATIC, kVersionText, du(47, 15), dusize(119, 8), wxST_NO_AUTORESIZE);
  new wxStaticText(this, wxID_STATIC, kNoticeText, du(47, 30), dusize(119, 8), wxST_NO_AUTORESIZE);
  auto* ok = new wxButton(this, wxID_OK, "OK", du(176, 7), dusize(32, 14));
  ok->SetDefault();
  SetEscapeId(wxID_OK);

  SetClientSize(dusize(kDialogWidth, kDialogHeight));
  CentreOnParent();
}
