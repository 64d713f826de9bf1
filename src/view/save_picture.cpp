// File > Save Picture...: the view as a PNG picture of the window's size,
// drawn as the screen shows it.
#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "io/output_plan.h"
#include "io/png_image.h"
#include "io/safe_write.h"
#include "platform/platform.h"
#include "render/framebuffer.h"
#include "view/zorvik_view.h"

namespace {

constexpr const char* kPictureFilter = "PNG Pictures (*.png)|*.png|All Files (*.*)|*.*";
constexpr const char* kPictureExtension = ".png";
constexpr std::size_t kRgbaChannels = 4;
constexpr std::uint8_t kOpaque = 255;

}  // namespace

// The frame is drawn again into the back buffer, read from there and then
// shown, so the file holds exactly the picture on the screen.
bool CZorvikView::RenderPicture(std::vector<std::uint8_t>& png, std::string& error) {
  if (m_hRC == nullptr || !IsShownOnScreen() || !SetCurrent(*m_hRC)) {
    error = "the view has no picture to save";
    return false;
  }
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  m_pDocument->DrawScene();
  glFinish();
  std::vector<std::uint8_t> rgba = render::ReadDrawBuffer(viewport[2], viewport[3], kRgbaChannels);
  SwapBuffers();
  // The window's own alpha says nothing; the screen shows every pixel.
  for (std::size_t i = kRgbaChannels - 1; i < rgba.size(); i += kRgbaChannels) rgba[i] = kOpaque;
  if (!EncodePngRgba(rgba, viewport[2], viewport[3], png)) {
    error = "the picture could not be encoded";
    return false;
  }
  return true;
}

void CZorvikView::OnFileSavePicture(wxCommandEvent&) {
  platform::SaveFileRequest request;
  request.strDefaultExt = kPictureExtension;
  request.strFilter = kPictureFilter;
  request.bOverwritePrompt = true;
  std::string path;
  if (!platform::Current().AskSaveFile(request, path)) return;

  // A picture never replaces the model on screen, nor any other model.
  output::COutputPlan plan(kOpenModelRole);
  if (const output::PlanCheck check = plan.Claim(m_strModelPath, {path}); !check.Ok()) {
    ShowError(safewrite::OpenError(path) + "\r\n" + check.Reason());
    return;
  }
  std::vector<std::uint8_t> png;
  std::string error;
  if (!RenderPicture(png, error)) {
    ShowError(safewrite::WriteError(path) + "\r\n" + error);
    return;
  }
  // Written whole or not at all, as every file the program writes.
  if (const safewrite::WriteResult written = safewrite::WriteFile(path, png); !written.Ok()) {
    ShowError(written.Box());
  }
}
