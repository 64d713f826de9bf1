// The yardstick of the viewer's start: a frame of the viewer's size with
// one wxGLCanvas that only clears itself, built with the same toolkit.
// Whatever the viewer takes beyond this program's time to its first frame
// is the viewer's own start-up.
#include <wx/glcanvas.h>
#include <wx/wx.h>

#include <GL/gl.h>

namespace {

class CClearCanvas : public wxGLCanvas {
 public:
  explicit CClearCanvas(wxWindow* parent)
      : wxGLCanvas(parent, Attributes(), wxID_ANY), m_context(this) {
    Bind(wxEVT_PAINT, &CClearCanvas::OnPaint, this);
  }

 private:
  static wxGLAttributes Attributes() {
    wxGLAttributes attrs;
    attrs.PlatformDefaults().RGBA().DoubleBuffer().Depth(24).EndList();
    return attrs;
  }

  void OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    SetCurrent(m_context);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SwapBuffers();
  }

  wxGLContext m_context;
};

class CBareApp : public wxApp {
 public:
  bool OnInit() override {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bare", wxDefaultPosition, wxSize(800, 600));
    new CClearCanvas(frame);
    frame->Show();
    return true;
  }
};

}  // namespace

wxIMPLEMENT_APP(CBareApp);
