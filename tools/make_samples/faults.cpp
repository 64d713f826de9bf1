#include "faults.h"

#include "lgmd_builder/lgmd_builder.h"

namespace samples {
namespace {

// A square board, textured on both sides with a texture nobody wrote. The
// front's corners run clockwise as seen from the camera, the back's the
// other way round, as the models wind their visible faces.
std::vector<std::uint8_t> MissingTextureModel() {
  lgmd::ModelDesc desc;
  desc.version = 4;
  desc.name = "board";
  desc.materials = {{"canvas", 0, 0, 1, 0, 0}};
  desc.vertices = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
  desc.normals = {{0, 0, 1}, {0, 0, -1}};
  desc.texCoords = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
  lgmd::BuilderPolygon front;
  front.materialId = 0;
  front.vertIdx = {0, 1, 2, 3};
  front.texIdx = {0, 1, 2, 3};
  lgmd::BuilderPolygon back = front;
  back.normalIndex = 1;
  back.vertIdx = {3, 2, 1, 0};
  back.texIdx = {3, 2, 1, 0};
  desc.polygons = {front, back};
  return lgmd::Build(desc);
}

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

std::vector<FaultFile> FaultFiles(const std::vector<std::uint8_t>& demoModel) {
  // Cut at two thirds: past the header and the section table, inside the
  // polygons, so the reader names the section where the file ends.
  const std::vector<std::uint8_t> truncated(demoModel.begin(),
                                            demoModel.begin() + demoModel.size() * 2 / 3);
  return {
      {"missing_texture.bin", MissingTextureModel()},
      {"truncated.bin", truncated},
      {"not_a_model.bin", Text("This is a text file with a model's name, not an LGMD model.\n")},
  };
}

}  // namespace samples
