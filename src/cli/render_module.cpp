// The render module: draws models into PNG files with no display, through
// the same open sequence, scene set-up and drawing as the window. Loaded by
// `zorvik render` only, so the other commands never load OpenGL.
#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/render_options.h"
#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "io/png_image.h"
#include "io/safe_write.h"
#include "platform/module_entry.h"
#include "platform/platform.h"
#include "platform/posix_paths.h"
#include "platform/stderr_platform.h"
#include "render/headless_gl.h"

namespace {

constexpr int kRgbChannels = 3;

// One picture with the document and context of the run: the open
// sequence, the camera given on the command line, one frame, the PNG.
int RenderOne(CZorvikDoc& doc, const HeadlessGlContext& context, const RenderOptions& options,
              const RenderJob& job) {
  // In the viewer's words, on stderr; the list of texture files that could
  // not be read is left out when the user asked for quiet.
  const OpenResult opened = doc.LoadModel(job.modelPath, options.palette);
  if (!opened.Ok()) {
    Complain(opened.ErrorMessage());
    return kExitFailure;
  }
  if (!options.quiet && !opened.missingTextures.empty()) {
    Complain(opened.MissingTexturesMessage());
  }

  scene::Camera camera = doc.Camera();
  if (options.rotation) {
    camera.dRotX = (*options.rotation)[0];
    camera.dRotY = (*options.rotation)[1];
    camera.dRotZ = (*options.rotation)[2];
  }
  if (options.distance) camera.dDistance = *options.distance;
  if (options.pan) {
    camera.dPanX = (*options.pan)[0];
    camera.dPanY = (*options.pan)[1];
  }
  doc.SetCamera(camera);

  doc.DrawScene();
  glFinish();

  std::vector<std::uint8_t> png;
  const bool encoded =
      options.transparentBackground
          ? EncodePngRgba(context.ReadRgba(), options.width, options.height, png)
          : EncodePng(context.ReadRgb(), options.width, options.height, kRgbChannels, png);
  if (!encoded) {
    Complain("cannot encode the picture of " + job.modelPath);
    return kExitFailure;
  }
  if (const safewrite::WriteResult written = safewrite::WriteFile(job.outputPath, png);
      !written.Ok()) {
    Complain(written.Line());
    return kExitFailure;
  }
  return kExitOk;
}

// Every picture of a run comes from one context and one document: the
// context, the driver behind it and the scene state are made once, and
// each model is opened into the document as the window opens one after
// another. A model that fails is reported and the rest go on.
int RunRender(const RenderOptions& options) {
  HeadlessGlContext context;
  if (!context.Create(options.width, options.height)) {
    Complain("no OpenGL context for rendering: " + context.error());
    return kExitFailure;
  }

  // The document reports through the platform layer; with no window to
  // show a box in, its messages go to stderr.
  static platform::StderrPlatform stderrPlatform;
  platform::SetCurrent(&stderrPlatform);

  CZorvikDoc doc;
  // The clear colour is taken from the document when the scene is set up.
  doc.SetBackground(options.background[0], options.background[1], options.background[2]);
  // The palettes are where the window finds them: beside the executable or
  // in the installation's data directory.
  if (const PathStatus status = AppPaths().SetBaseDir(platform::ExecutableDirectory());
      status != PathStatus::kOk) {
    Complain(PathMessage(status));
    return kExitFailure;
  }
  doc.SetPolygonMode(options.wireframe ? kPolygonModeLine : kPolygonModeFill);
  doc.SetupScene(options.width, options.height);
  // Cleared to alpha 0; every face drawn is opaque, so what stays 0 is
  // the background.
  if (options.transparentBackground) glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

  int status = kExitOk;
  for (const RenderJob& job : options.jobs) {
    if (RenderOne(doc, context, options, job) != kExitOk) status = kExitFailure;
  }
  return status;
}

}  // namespace

extern "C" ZORVIK_MODULE_ENTRY int ZorvikRenderModels(const RenderOptions* options) {
  return RunRender(*options);
}
