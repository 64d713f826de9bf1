// `zorvik texture IN OUT [--palette N] [--dither]`: a PNG picture made into
// a ".mip" texture through a palette, or a ".mip" texture as the PNG
// picture the viewer shows. The direction follows the two extensions.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/palette_textures.h"
#include "cli/subcommand.h"
#include "io/file_bytes.h"
#include "io/output_plan.h"
#include "io/png_image.h"
#include "io/safe_write.h"
#include "io/text.h"
#include "model/mip_file.h"
#include "model/model.h"
#include "model/texture_convert.h"

namespace {

// The largest picture file read: an 8192 x 8192 picture stored with no
// compression at all takes 256 MiB.
constexpr std::size_t kMaxPictureFileSize = std::size_t{257} << 20;

struct TextureArgs {
  std::string strIn;
  std::string strOut;
  int nPalette = 0;  // any integer, as the configuration's "Region"
  bool bDither = false;
};

// Extensions in any case, as file names of the simulator's days were.
bool EndsWith(const std::string& path, const char* extension) {
  const std::string lower = LowerAscii(path);
  return lower.ends_with(extension);
}

int Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (const safewrite::WriteResult written = safewrite::WriteFile(path, bytes); !written.Ok()) {
    Complain(written.Line());
    return kExitFailure;
  }
  return kExitOk;
}

// Why a picture cannot become a texture, by its size.
std::string SizeReason(int width, int height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width > mip::kMaxHeaderSide || height > mip::kMaxHeaderSide) {
    return size + ", but a .mip file holds at most " + std::to_string(mip::kMaxHeaderSide) +
           " pixels a side";
  }
  return size + ", but Zorvik reads textures of at most " +
         std::to_string(kHeadlessMaxTextureSide) + " pixels a side";
}

int PngToMip(const TextureArgs& args, const CModel& model) {
  std::vector<std::uint8_t> png;
  std::string reason;
  if (!filebytes::ReadFileBytes(args.strIn, png, reason, kMaxPictureFileSize)) {
    Complain("cannot read picture " + args.strIn + ": " + reason);
    return kExitFailure;
  }
  std::vector<std::uint8_t> rgba;
  int width = 0;
  int height = 0;
  if (!DecodePngRgba(png, kHeadlessMaxTextureSide, rgba, width, height, reason)) {
    if (width > kHeadlessMaxTextureSide || height > kHeadlessMaxTextureSide) {
      reason = SizeReason(width, height);
    }
    Complain("cannot make a texture of " + args.strIn + ": " + reason);
    return kExitFailure;
  }
  mip::QuantizeOptions options;
  options.dither = args.bDither;
  options.seeThrough = mip::IsSeeThroughFileName(args.strOut);
  const auto indices = mip::QuantizeToPalette(rgba, width, height, model.Palette(), options);
  return Write(args.strOut, mip::EncodeMip(width, height, indices));
}

int MipToPng(const TextureArgs& args, CModel& model) {
  TextureEntry entry;
  entry.bTransparent = mip::IsSeeThroughFileName(args.strIn);
  if (!model.ReadMipFile(args.strIn, entry)) {
    Complain("cannot read texture " + args.strIn + ": " + entry.strMissingReason);
    return kExitFailure;
  }
  const int width = entry.nWidth;
  const int height = entry.nHeight;
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> rgba(pixels * mip::kBytesPerPixel);
  const std::uint8_t* bgra = entry.pPixels.get();
  for (std::size_t i = 0; i < rgba.size(); i += mip::kBytesPerPixel) {
    rgba[i] = bgra[i + 2];
    rgba[i + 1] = bgra[i + 1];
    rgba[i + 2] = bgra[i];
    rgba[i + 3] = bgra[i + 3];
  }
  std::vector<std::uint8_t> png;
  if (!EncodePngRgba(rgba, width, height, png)) {
    Complain("cannot encode " + args.strOut + " as PNG");
    return kExitFailure;
  }
  return Write(args.strOut, png);
}

int RunTexture(const TextureArgs& args) {
  const bool toMip = EndsWith(args.strIn, ".png") && EndsWith(args.strOut, ".mip");
  const bool toPng = EndsWith(args.strIn, ".mip") && EndsWith(args.strOut, ".png");
  if (!toMip && !toPng) {
    Complain("texture takes IN.png OUT.mip, or IN.mip OUT.png");
    return kExitUsage;
  }
  // Neither the picture or texture being converted nor a model may be
  // replaced by the result.
  output::COutputPlan plan("the file being converted");
  plan.AddInput(args.strIn);
  if (const output::PlanCheck check = plan.Claim(args.strIn, {args.strOut}); !check.Ok()) {
    Complain(check.Line());
    return kExitFailure;
  }
  CModel model;
  if (!LoadProgramPaletteOrComplain(model, args.nPalette)) return kExitFailure;
  return toMip ? PngToMip(args, model) : MipToPng(args, model);
}

}  // namespace

void AddTextureCommand(CLI::App& app, int& exitCode) {
  const auto [cmd, args] = AddSubcommand<TextureArgs>(
      app, "texture",
      "Make a PNG picture into a .mip texture through a palette, or show a .mip texture as PNG");
  cmd.add_option("IN", args->strIn, "IN.png, or IN.mip")->required();
  cmd.add_option("OUT", args->strOut, "OUT.mip, or OUT.png")->required();
  AddPaletteOption(cmd, args->nPalette);
  cmd.add_flag("--dither", args->bDither,
               "Spread each pixel's colour error to its neighbours (Floyd-Steinberg)");
  cmd.footer(
      "Each pixel takes the palette colour nearest to it as the eye sees it. A pixel less than\n"
      "half opaque takes index 0, which textures of see-through materials (names beginning\n"
      "\"t_\") show as a hole; in such a texture (OUT named \"t_...\") opaque pixels never\n"
      "take index 0. A .mip file named \"t_...\" is shown with those holes.");
  cmd.callback([args, &exitCode] { exitCode = RunTexture(*args); });
}
