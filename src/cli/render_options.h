// The options of `zorvik render`, as typed and as checked.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

// The option texts as given on the command line; empty = not given.
struct RenderArguments {
  // FILE OUT, or with outDir the models of a batch.
  std::vector<std::string> paths;
  std::string outDir;
  std::string palette = "0";
  bool wireframe = false;
  std::string size;
  std::string rotation;
  std::string distance;
  std::string pan;
  std::string background;
  std::string thumbnail;
  bool quiet = false;
};

// One picture: the model drawn and the PNG written.
struct RenderJob {
  std::string modelPath;
  std::string outputPath;
};

// Checked values, the same for every picture of a batch. The camera values
// are applied after each model's camera fit and only when given.
struct RenderOptions {
  std::vector<RenderJob> jobs;
  int palette = 0;
  bool wireframe = false;
  int width = 0;
  int height = 0;
  std::optional<std::array<double, 3>> rotation;  // degrees about X, Y, Z
  std::optional<double> distance;
  std::optional<std::array<double, 2>> pan;
  double background[3] = {0.0, 0.0, 0.0};
  // The background is left transparent (alpha 0) in the picture.
  bool transparentBackground = false;
  // No message about texture files that cannot be read: a file manager's
  // thumbnailer sees the model alone, never the textures beside it.
  bool quiet = false;
};

// "WxH" with both sides from 1 to the renderer's limit.
bool ParseRenderSize(const std::string& text, int& width, int& height);

// False with a message for the user when a value does not parse or is out
// of range, or when the files are neither FILE OUT nor, with an output
// folder, one or more models. A batch's pictures are DIR/<name>.png.
bool ParseRenderOptions(const RenderArguments& args, RenderOptions& options, std::string& error);

// Checks every picture of the run against the run's models and against
// each other before anything is drawn: a job whose picture would replace
// a model (its own, another of the run's, or any LGMD file) or a picture
// the run writes already is left out. Returns the refusals, one line each.
std::vector<std::string> PlanRenderJobs(std::vector<RenderJob>& jobs);
