// Exported files drawn by an independent viewer (f3d, inside its own virtual
// display) from the camera `zorvik render` uses, compared with Zorvik's own
// picture: the same silhouette, and textures the same way up.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/export_examples.h"
#include "support/picture.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
const std::string kDemo = std::string(ZORVIK_SOURCE_DIR) + "/samples/demo/biplane.bin";
const std::string kXvfb = std::string(ZORVIK_SOURCE_DIR) + "/tests/support/run_with_xvfb.sh";
constexpr double kFieldOfView = 45.0;  // the viewer's vertical angle, degrees
constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 320;
constexpr int kHeight = 240;
// Magenta: a colour no part of the test models has.
const std::array<int, 3> kBackground = {255, 0, 255};

struct Camera {
  std::array<double, 3> rotation;  // degrees about X, Y, Z, as `render --rot`
  double distance;
};

struct Image : Picture {
  std::array<int, 3> At(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
  }
  bool Covered(int x, int y) const {
    const auto c = At(x, y);
    return std::abs(c[0] - kBackground[0]) + std::abs(c[1] - kBackground[1]) +
               std::abs(c[2] - kBackground[2]) >
           96;
  }
};

Image Load(const std::string& path) { return Image{LoadPicture(path)}; }

std::string Join(const std::array<double, 3>& v) {
  std::ostringstream out;
  out << v[0] << "," << v[1] << "," << v[2];
  return out.str();
}

// The viewer turns the model by X, then Y, then Z (in that order onto the
// matrix) in front of a fixed eye at the origin looking down -z. In model
// space the eye therefore stands at R^T (0, 0, d), its up being R^T (0, 1, 0).
std::array<double, 3> ToModel(const Camera& camera, std::array<double, 3> v) {
  for (int axis = 0; axis < 3; ++axis) {  // R^T = Rz^T Ry^T Rx^T: undo X first
    const double a = -camera.rotation[axis] * kPi / 180.0;
    const int i = (axis + 1) % 3;
    const int j = (axis + 2) % 3;
    const double vi = v[i] * std::cos(a) - v[j] * std::sin(a);
    const double vj = v[i] * std::sin(a) + v[j] * std::cos(a);
    v[i] = vi;
    v[j] = vj;
  }
  return v;
}

Image RenderWithZorvik(const std::string& model, const Camera& camera, const std::string& png) {
  const RunResult run = RunProgram({kZorvik, "render", model, png, "--size",
                                    std::to_string(kWidth) + "x" + std::to_string(kHeight), "--rot",
                                    Join(camera.rotation), "--distance",
                                    std::to_string(camera.distance), "--background", "1,0,1"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return Load(png);
}

// A virtual display can fail to start when another test takes the same
// number at the same moment; such a run is tried again.
Image RenderWithF3d(const std::string& file, const Camera& camera, const std::string& png) {
  const std::vector<std::string> argv = {
      kXvfb,
      "f3d",
      file,
      "--output=" + png,
      "--resolution=" + std::to_string(kWidth) + "," + std::to_string(kHeight),
      "--bg-color=1,0,1",
      "--camera-position=" + Join(ToModel(camera, {0, 0, camera.distance})),
      "--camera-focal-point=0,0,0",
      "--camera-view-up=" + Join(ToModel(camera, {0, 1, 0})),
      "--camera-view-angle=" + std::to_string(kFieldOfView)};
  RunResult run;
  for (int attempt = 0; attempt < 3 && !fs::exists(png); ++attempt) run = RunProgram(argv);
  EXPECT_TRUE(fs::exists(png)) << run.out << run.err;
  return Load(png);
}

TEST(ExportInF3d, DemoShowsTheSilhouetteOfZorviksPicture) {
  ScopedTempDir dir;
  const std::string glb = dir.File("biplane.glb");
  ASSERT_EQ(RunProgram({kZorvik, "export", kDemo, glb}).exitCode, 0);
  const Camera camera{{20, -35, 0}, 12};
  const Image ours = RenderWithZorvik(kDemo, camera, dir.File("zorvik.png"));
  const Image theirs = RenderWithF3d(glb, camera, dir.File("f3d.png"));
  ASSERT_EQ(ours.width, kWidth);
  ASSERT_EQ(theirs.width, kWidth);

  // Both draw through the same kind of rasteriser here and agree to the
  // pixel; the margin leaves room for another driver's edge rules on the
  // thin struts and wires.
  long both = 0;
  long either = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      both += ours.Covered(x, y) && theirs.Covered(x, y);
      either += ours.Covered(x, y) || theirs.Covered(x, y);
    }
  }
  ASSERT_GT(either, kWidth * kHeight / 50) << "nothing drawn";
  EXPECT_GT(static_cast<double>(both) / either, 0.98) << both << " of " << either;
}

// A 4 x 4 texture whose first two rows are red-most and last two blue-most
// on a square facing the camera: every viewer must show the red band on
// the same side as Zorvik. OBJ goes through assimp's conversion to glTF,
// f3d's own OBJ reader drawing no textures.
TEST(ExportInF3d, TexturesAreTheRightWayUp) {
  ScopedTempDir dir;
  lgmd::ModelDesc desc;
  desc.name = "bands";
  desc.materials = {{"bands", lgmd::kTexturedKind, 1, 1, 0, 0}};
  desc.texCoords = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  desc.normals = {{0, 0, 1}};
  desc.polygons = {lgmd::FacingPolygon(desc, {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}}, 0, 1, 0)};
  const std::string model = dir.File("bands.bin");
  ASSERT_TRUE(lgmd::WriteFile(model, lgmd::Build(desc)));
  // Index 127 is a red, 64 a blue in both palettes the program ships.
  ASSERT_TRUE(
      lgmd::WriteFile(dir.File("bands.mip"), lgmd::BuildMip(4, 4, lgmd::TwoBandIndices(127, 64))));

  ASSERT_EQ(RunProgram({kZorvik, "export", model, dir.File("bands.glb")}).exitCode, 0);
  ASSERT_EQ(RunProgram({kZorvik, "export", model, dir.File("bands.obj")}).exitCode, 0);
  const RunResult convert =
      RunProgram({"/usr/bin/env", "assimp", "export", dir.File("bands.obj"), dir.File("obj.glb")});
  ASSERT_EQ(convert.exitCode, 0) << convert.out << convert.err;

  const Camera camera{{0, 0, 0}, 4};
  const std::vector<std::pair<std::string, Image>> pictures = {
      {"zorvik", RenderWithZorvik(model, camera, dir.File("zorvik.png"))},
      {"glb", RenderWithF3d(dir.File("bands.glb"), camera, dir.File("glb.png"))},
      {"obj", RenderWithF3d(dir.File("obj.glb"), camera, dir.File("obj.png"))}};
  for (const auto& [name, image] : pictures) {
    SCOPED_TRACE(name);
    ASSERT_EQ(image.height, kHeight);
    // A quarter of the height above and below the centre lies inside the
    // square; red minus blue tells the bands apart under any lighting.
    const auto upper = image.At(kWidth / 2, kHeight / 4 + 8);
    const auto lower = image.At(kWidth / 2, kHeight * 3 / 4 - 8);
    EXPECT_GT(upper[2] - upper[0], 0) << "upper band should be the blue rows";
    EXPECT_GT(lower[0] - lower[2], 0) << "lower band should be the red rows";
  }
}

}  // namespace
