// `zorvik render`: the command line, checked before anything heavy is
// loaded; the drawing itself lives in the render module, which the program
// loads only for this command (render_module.cpp).

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/modules.h"
#include "cli/render_options.h"
#include "cli/subcommand.h"
#include "io/output_plan.h"
#include "io/text.h"

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
// A thumbnail shows the model from above, front and side at once, which
// tells one aircraft from another better than the straight view of a fit.
constexpr std::array<double, 3> kThumbnailTurn = {20.0, -35.0, 0.0};
// Large enough for any poster, small enough that a typo cannot ask the
// software rasteriser for gigabytes.
constexpr int kMaxSide = 8192;
constexpr const char* kPictureExtension = ".png";

namespace fs = std::filesystem;

enum class NumberParse { kOk, kNotNumber, kTooSmall, kTooLarge };

// Whole-string number parsing: "1.5x" or "" is refused, as are NaN and
// infinities, which would only leave the picture blank. A number the
// machine cannot hold is told apart, so the user learns what to change.
NumberParse ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return NumberParse::kNotNumber;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(begin, &end);
  if (end != begin + text.size()) return NumberParse::kNotNumber;
  if (errno == ERANGE) {
    return std::fabs(parsed) < 1.0 ? NumberParse::kTooSmall : NumberParse::kTooLarge;
  }
  if (!std::isfinite(parsed)) return NumberParse::kNotNumber;
  value = parsed;
  return NumberParse::kOk;
}

bool ParseDouble(const std::string& text, double& value) {
  return ParseNumber(text, value) == NumberParse::kOk;
}

// The message for an option's number, or fallback when it is no number.
std::string NumberError(const char* option, const std::string& text, NumberParse result,
                        const std::string& fallback) {
  switch (result) {
    case NumberParse::kTooSmall:
      return std::string(option) + " " + text + " is too small";
    case NumberParse::kTooLarge:
      return std::string(option) + " " + text + " is too large";
    case NumberParse::kOk:
    case NumberParse::kNotNumber:
      break;
  }
  return fallback;
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

// An option of N numbers separated by commas (--rot, --pan): left unset
// when the option was not given, refused with message when it is no such
// list.
template <std::size_t N>
bool ParseNumberOption(const std::string& text, const char* message,
                       std::optional<std::array<double, N>>& value, std::string& error) {
  if (text.empty()) return true;
  std::array<double, N> numbers{};
  if (!ParseDoubles(text, N, numbers.data())) {
    error = message;
    return false;
  }
  value = numbers;
  return true;
}

// FILE OUT, or DIR/<name>.png for each model of a batch.
bool MakeJobs(const RenderArguments& args, std::vector<RenderJob>& jobs, std::string& error) {
  if (args.outDir.empty()) {
    if (args.paths.size() != 2) {
      error = "render takes FILE OUT, or --out-dir DIR FILE...";
      return false;
    }
    jobs.push_back({args.paths[0], args.paths[1]});
    return true;
  }
  if (args.paths.empty()) {
    error = "--out-dir needs at least one model";
    return false;
  }
  for (const std::string& modelPath : args.paths) {
    jobs.push_back({modelPath, BatchOutputPath(args.outDir, modelPath, kPictureExtension)});
  }
  return true;
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
  if (!MakeJobs(args, options.jobs, error)) return false;
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
  options.quiet = args.quiet;
  if (!args.thumbnail.empty()) {
    int side = 0;
    if (!args.size.empty()) {
      error = "--thumbnail gives the size itself; leave out --size";
      return false;
    }
    if (!ParseInt(args.thumbnail, side) || side <= 0 || side > kMaxSide) {
      error = "--thumbnail must be a size from 1 to " + std::to_string(kMaxSide);
      return false;
    }
    options.width = options.height = side;
    options.rotation = kThumbnailTurn;
    options.transparentBackground = args.background.empty();
    options.quiet = true;
  }
  if (!ParseNumberOption(args.rotation, "--rot must be three numbers X,Y,Z (degrees)",
                         options.rotation, error)) {
    return false;
  }
  if (!args.distance.empty()) {
    double distance = 0.0;
    const NumberParse parsed = ParseNumber(args.distance, distance);
    if (parsed != NumberParse::kOk) {
      error = NumberError("--distance", args.distance, parsed, "--distance must be a number");
      return false;
    }
    options.distance = distance;
  }
  if (!ParseNumberOption(args.pan, "--pan must be two numbers X,Y", options.pan, error)) {
    return false;
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

std::vector<std::string> PlanRenderJobs(std::vector<RenderJob>& jobs) {
  output::COutputPlan plan("the model being rendered");
  for (const RenderJob& job : jobs) plan.AddInput(job.modelPath);
  std::vector<std::string> refusals;
  std::erase_if(jobs, [&](const RenderJob& job) {
    const output::PlanCheck check = plan.Claim(job.modelPath, {job.outputPath});
    if (!check.Ok()) refusals.push_back(check.Line());
    return !check.Ok();
  });
  return refusals;
}

namespace {

bool MakeFolder(const std::string& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!ec && fs::is_directory(dir, ec)) return true;
  Complain("cannot create the folder " + dir);
  return false;
}

}  // namespace

void AddRenderCommand(CLI::App& app, int& exitCode) {
  const auto [cmd, args] = AddSubcommand<RenderArguments>(
      app, "render", "Render a model to a PNG picture without a display");
  cmd.add_option("FILES", args->paths, "FILE.bin OUT.png, or with --out-dir the models to render")
      ->required();
  cmd.add_option("--out-dir", args->outDir,
                 "Folder of a batch: DIR/<name>.png for each model, in one OpenGL context");
  AddPaletteOption(cmd, args->palette);
  cmd.add_flag("--wireframe", args->wireframe, "Draw outlines instead of the textured look");
  cmd.add_option("--size", args->size, "Picture size WxH (default 800x600)");
  cmd.add_option("--rot", args->rotation, "Rotation X,Y,Z in degrees, after the camera fit");
  cmd.add_option("--distance", args->distance, "Camera distance, after the camera fit");
  cmd.add_option("--pan", args->pan, "Pan X,Y, after the camera fit");
  cmd.add_option("--background", args->background, "Background R,G,B from 0 to 1 (default 0,0,0)");
  cmd.add_option("--thumbnail", args->thumbnail,
                 "A SIZE x SIZE thumbnail: turned to show the model's shape, transparent "
                 "background, as --quiet");
  cmd.add_flag("--quiet", args->quiet, "No message about texture files that cannot be read");
  cmd.callback([args, &exitCode] {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(*args, options, error)) {
      Complain(error);
      exitCode = kExitUsage;
      return;
    }
    if (!args->outDir.empty() && !MakeFolder(args->outDir)) {
      exitCode = kExitFailure;
      return;
    }
    // Planned once the folder is there, so that every picture is named by
    // the folder it will be written in.
    const std::vector<std::string> refused = PlanRenderJobs(options.jobs);
    for (const std::string& text : refused) Complain(text);
    const int status = options.jobs.empty() ? kExitOk : RunRenderModule(options);
    exitCode = refused.empty() ? status : kExitFailure;
  });
}
