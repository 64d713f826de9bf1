// The options of `zorvik render`, as typed and as checked.
#pragma once

#include <array>
#include <optional>
#include <string>

// The option texts as given on the command line; empty = not given.
struct RenderArguments {
  std::string modelPath;
  std::string outputPath;
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

// Checked values. The camera values are applied after the camera fit and
// only when given.
struct RenderOptions {
  std::string modelPath;
  std::string outputPath;
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
// of range.
bool ParseRenderOptions(const RenderArguments& args, RenderOptions& options, std::string& error);
