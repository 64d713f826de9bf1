// File > Save Picture...: the view as a PNG picture of the window's size,
// drawn as the screen shows it.
#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "model/path_parts.h"
#include "model/png_image.h"
#include "model/safe_write.h"
#include "platform/platform.h"
#include "render/framebuffer.h"
#include "view/zorvik_view.h"

namespace {

constexpr const char* kPictureFilter = "PNG Pictures (*.png)|*.png|All Files (*.*)|*.*";
constexpr const char* kPictureExtension = ".png";
constexpr const char* kPictureTitle = "Save Picture";
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
  request.strTitle = kPictureTitle;
  // Beside the model, under its name, as Save and Export offer.
  if (!m_strModelPath.empty()) {
    request.strInitialDir = DirectoryOf(m_strModelPath);
    request.strInitialName = PathStem(FileNamePart(m_strModelPath)) + kPictureExtension;
  }
  std::string path;
  if (!platform::Current().AskSaveFile(request, path)) return;

  std::vector<std::uint8_t> png;
  std::string error;
  if (!RenderPicture(png, error)) {
    ShowError("Error writing " + path + ": " + error);
    return;
  }
  // Written whole or not at all, as every file the program writes.
  if (safewrite::WriteFile(path, png, error) != 0) ShowError(error);
}
