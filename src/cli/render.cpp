// `zorvik render`: draws a model into a PNG with no display, through the
// same scene set-up, open sequence and drawing as the window.
#include <GL/gl.h>
#include <fcntl.h>
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "cli/commands.h"
#include "cli/render_options.h"
#include "doc/app_paths.h"
#include "doc/quodra_doc.h"
#include "platform/headless_gl.h"
#include "platform/platform.h"
#include "platform/posix_paths.h"
#include "view/scene_setup.h"

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
// Large enough for any poster, small enough that a typo cannot ask the
// software rasteriser for gigabytes.
constexpr int kMaxSide = 8192;
constexpr int kRgbChannels = 3;

void Complain(const std::string& text) { std::fprintf(stderr, "zorvik: %s\n", text.c_str()); }

// Whole-string number parsing: "1.5x" or "" is refused, as are NaN and
// infinities, which would only leave the picture blank.
bool ParseDouble(const std::string& text, double& value) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(begin, &end);
  if (end != begin + text.size() || errno == ERANGE || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool ParseInt(const std::string& text, int& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  const auto result = std::from_chars(begin, end, value);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  for (;;) {
    const auto pos = text.find(separator, start);
    parts.push_back(text.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
    if (pos == std::string::npos) return parts;
    start = pos + 1;
  }
}

bool ParseDoubles(const std::string& text, std::size_t count, double* values) {
  const auto parts = SplitList(text, ',');
  if (parts.size() != count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (!ParseDouble(parts[i], values[i])) return false;
  }
  return true;
}

// Appends the encoder's output to a byte vector.
void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// A new file beside the target takes the bytes first and replaces the
// target only once complete, so a full disk or a killed process never
// leaves half a picture where a good one was.
bool WriteFileReplacing(const std::string& path, const std::vector<unsigned char>& bytes,
                        std::string& error) {
  std::string tempPath;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tempPath = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  bool ok = WriteAll(fd, bytes.data(), bytes.size());
  int savedErrno = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (ok && ::rename(tempPath.c_str(), path.c_str()) != 0) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok) {
    ::unlink(tempPath.c_str());
    error = "cannot write " + path + ": " + std::strerror(savedErrno);
  }
  return ok;
}

bool EncodePng(const std::vector<std::uint8_t>& rgb, int width, int height,
               std::vector<unsigned char>& png) {
  const int stride = width * kRgbChannels;
  return stbi_write_png_to_func(AppendBytes, &png, width, height, kRgbChannels, rgb.data(),
                                stride) != 0 &&
         !png.empty();
}

int RunRender(const RenderOptions& options) {
  HeadlessGlContext context;
  if (!context.Create(options.width, options.height)) {
    Complain("no OpenGL context for rendering: " + context.error());
    return kExitFailure;
  }

  CQuodraDoc doc;
  // The clear colour is taken from the document when the scene is set up.
  doc.m_dBkRed = options.background[0];
  doc.m_dBkGreen = options.background[1];
  doc.m_dBkBlue = options.background[2];
  // The palettes live beside the executable, as for the window.
  AppPaths().SetBaseDir(platform::ExecutableDirectory());
  SetupScene(doc, options.width, options.height);
  if (options.wireframe) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    doc.m_model.m_nPolygonMode = GL_LINE;
  }

  // LoadModel reports its own failures ("Error Loading Model", "Error
  // Loading Palette") through the platform layer, on stderr here.
  if (doc.LoadModel(options.modelPath, options.palette) != 0) return kExitFailure;

  if (options.rotation) {
    doc.m_dRotX = (*options.rotation)[0];
    doc.m_dRotY = (*options.rotation)[1];
    doc.m_dRotZ = (*options.rotation)[2];
  }
  if (options.distance) doc.m_dDistance = *options.distance;
  if (options.pan) {
    doc.m_dPanX = (*options.pan)[0];
    doc.m_dPanY = (*options.pan)[1];
  }

  doc.DrawScene();
  glFinish();
  const std::vector<std::uint8_t> rgb = context.ReadRgb();

  std::vector<unsigned char> png;
  if (!EncodePng(rgb, options.width, options.height, png)) {
    Complain("cannot encode the picture");
    return kExitFailure;
  }
  std::string error;
  if (!WriteFileReplacing(options.outputPath, png, error)) {
    Complain(error);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

bool ParseRenderSize(const std::string& text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  int w = 0;
  int h = 0;
  if (!ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h)) return false;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
  width = w;
  height = h;
  return true;
}

bool ParseRenderOptions(const RenderArguments& args, RenderOptions& options, std::string& error) {
  options = RenderOptions{};
  options.modelPath = args.modelPath;
  options.outputPath = args.outputPath;
  options.wireframe = args.wireframe;
  options.width = kDefaultWidth;
  options.height = kDefaultHeight;

  // Any integer, as the configuration's "Region": 1 is Seattle, every
  // other number loads San Francisco and snaps colours as Seattle does.
  if (!ParseInt(args.palette, options.palette)) {
    error = "--palette must be an integer";
    return false;
  }
  if (!args.size.empty() && !ParseRenderSize(args.size, options.width, options.height)) {
    error = "--size must be WxH with both sides from 1 to " + std::to_string(kMaxSide);
    return false;
  }
  if (!args.rotation.empty()) {
    std::array<double, 3> angles{};
    if (!ParseDoubles(args.rotation, 3, angles.data())) {
      error = "--rot must be three numbers X,Y,Z (degrees)";
      return false;
    }
    options.rotation = angles;
  }
  if (!args.distance.empty()) {
    double distance = 0.0;
    if (!ParseDouble(args.distance, distance)) {
      error = "--distance must be a number";
      return false;
    }
    options.distance = distance;
  }
  if (!args.pan.empty()) {
    std::array<double, 2> pan{};
    if (!ParseDoubles(args.pan, 2, pan.data())) {
      error = "--pan must be two numbers X,Y";
      return false;
    }
    options.pan = pan;
  }
  if (!args.background.empty()) {
    double colour[3] = {};
    if (!ParseDoubles(args.background, 3, colour)) {
      error = "--background must be three numbers R,G,B from 0 to 1";
      return false;
    }
    for (int i = 0; i < 3; ++i) {
      if (colour[i] < 0.0 || colour[i] > 1.0) {
        error = "--background components must lie from 0 to 1";
        return false;
      }
      options.background[i] = colour[i];
    }
  }
  return true;
}

void AddRenderCommand(CLI::App& app, int& exitCode) {
  CLI::App* cmd = app.add_subcommand("render", "Render a model to a PNG picture without a display");
  // Owned by the command for the life of the parser.
  auto args = std::make_shared<RenderArguments>();
  cmd->add_option("FILE", args->modelPath, "LGMD model file (.bin)")->required();
  cmd->add_option("OUT", args->outputPath, "PNG file to write")->required();
  cmd->add_option("--palette", args->palette,
                  "1 Seattle, any other integer San Francisco (default 0)");
  cmd->add_flag("--wireframe", args->wireframe, "Draw outlines instead of the textured look");
  cmd->add_option("--size", args->size, "Picture size WxH (default 800x600)");
  cmd->add_option("--rot", args->rotation, "Rotation X,Y,Z in degrees, after the camera fit");
  cmd->add_option("--distance", args->distance, "Camera distance, after the camera fit");
  cmd->add_option("--pan", args->pan, "Pan X,Y, after the camera fit");
  cmd->add_option("--background", args->background, "Background R,G,B from 0 to 1 (default 0,0,0)");
  cmd->callback([args, &exitCode] {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(*args, options, error)) {
      Complain(error);
      exitCode = kExitUsage;
      return;
    }
    exitCode = RunRender(options);
  });
}
