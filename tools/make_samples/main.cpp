// make_samples: writes the demo content that ships with Zorvik, or the
// largest legal model for benchmarks. Everything it writes is a function
// of this code alone, so a second run gives the same bytes.
//
//   make_samples DIR          DIR/demo/biplane.bin and its textures,
//                             DIR/faults/* (files that show the messages),
//                             DIR/palettes/sanfran.pal and seattle.pal
//   make_samples --large DIR  DIR/large.bin
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "biplane.h"
#include "demo_textures.h"
#include "faults.h"
#include "large_model.h"
#include "lgmd_builder/lgmd_builder.h"
#include "palettes.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fputs(
      "usage: make_samples DIR          write DIR/demo/*, DIR/faults/* and DIR/palettes/*\n"
      "       make_samples --large DIR  write DIR/large.bin\n",
      stderr);
  return kExitUsage;
}

bool MakeDirectory(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "make_samples: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
    return false;
  }
  return true;
}

bool Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  if (lgmd::WriteFile(path.string(), bytes)) return true;
  std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
  return false;
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
  return Write(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

int WriteDemo(const std::filesystem::path& root) {
  const auto demo = root / "demo";
  const auto faults = root / "faults";
  const auto palettes = root / "palettes";
  if (!MakeDirectory(demo) || !MakeDirectory(faults) || !MakeDirectory(palettes)) {
    return kExitFailure;
  }

  lgmd::ModelDesc biplane;
  std::string error;
  if (!samples::BuildBiplane(biplane, error)) {
    std::fprintf(stderr, "make_samples: biplane: %s\n", error.c_str());
    return kExitFailure;
  }
  const std::vector<std::uint8_t> model = lgmd::Build(biplane);
  if (!Write(demo / "biplane.bin", model)) return kExitFailure;
  for (const auto& mip : samples::DemoTextures()) {
    if (!Write(demo / mip.fileName, mip.bytes)) return kExitFailure;
  }
  for (const auto& fault : samples::FaultFiles(model)) {
    if (!Write(faults / fault.fileName, fault.bytes)) return kExitFailure;
  }
  if (!WriteText(palettes / "sanfran.pal", MakePaletteText(kRegionSanFrancisco)) ||
      !WriteText(palettes / "seattle.pal", MakePaletteText(kRegionSeattle))) {
    return kExitFailure;
  }
  return 0;
}

int WriteLarge(const std::filesystem::path& dir) {
  if (!MakeDirectory(dir)) return kExitFailure;
  lgmd::ModelDesc large;
  std::string error;
  if (!samples::BuildLargeModel(large, error)) {
    std::fprintf(stderr, "make_samples: large model: %s\n", error.c_str());
    return kExitFailure;
  }
  return Write(dir / "large.bin", lgmd::Build(large)) ? 0 : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.size() == 1 && !args[0].starts_with("-")) return WriteDemo(std::string(args[0]));
  if (args.size() == 2 && args[0] == "--large") return WriteLarge(std::string(args[1]));
  return Usage();
}
