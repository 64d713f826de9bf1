// `zorvik info` on inputs that claim far more than they hold, or are no
// model at all: each is answered, and the program's own peak memory (as the
// kernel accounts it for the child) stays small. Sparse files make the huge
// cases cheap to build.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "support/lgmd_examples.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
constexpr long kPeakLimitKiB = 200 * 1024;

class InputLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program as if installed beside palettes the test controls.
    m_program = m_programDir.File("zorvik");
    std::error_code ec;
    fs::create_hard_link(kZorvik, m_program, ec);
    if (ec) fs::copy_file(kZorvik, m_program, ec);
    ASSERT_FALSE(ec) << ec.message();
    std::string palette = "JASC-PAL 0100 256\n";
    for (int i = 0; i < 256; ++i) palette += "1 2 3\n";
    std::ofstream(m_programDir.File("sanfran.pal")) << palette;
    // Seattle's palette is a 2 GiB file.
    ASSERT_TRUE(WriteSparseFile(m_programDir.File("seattle.pal"), 2ull << 30,
                                {{0, std::vector<std::uint8_t>(palette.begin(), palette.end())}}));
  }

  std::string Model(const std::string& name, const lgmd::ModelDesc& desc) {
    const std::string path = m_modelDir.File(name);
    EXPECT_TRUE(lgmd::WriteFile(path, lgmd::Build(desc)));
    return path;
  }

  ScopedTempDir m_programDir;
  ScopedTempDir m_modelDir;
  std::string m_program;
};

TEST_F(InputLimits, HugeAndForeignInputsAreAnsweredInLittleMemory) {
  const std::string dir = m_modelDir.path().string() + "/";
  ASSERT_TRUE(WriteSparseFile(dir + "image.bin", 1ull << 30, {{0, {'C', 'D', '0', '0', '1'}}}));
  ASSERT_TRUE(WriteSparseFile(dir + "huge.bin", 100ull << 30, {{0, {'L', 'G', 'M', 'D'}}}));
  ASSERT_EQ(mkfifo((dir + "pipe.bin").c_str(), 0600), 0);
  const std::string tri = Model("tri.bin", lgmd::TriangleModel());
  const std::string holed = Model("holed.bin", lgmd::TriangleModel());
  fs::resize_file(holed, (std::uint64_t{4} << 30) + 331);

  // A texture claiming 32767 x 32767 pixels (1 GiB of indices, all there),
  // and 255 materials naming one 1024 x 1024 texture.
  lgmd::ModelDesc bigTexture;
  bigTexture.materials = {{"vast", 0, 1, 0, 0, 0}};
  const std::string vast = Model("vast.bin", bigTexture);
  ASSERT_TRUE(WriteSparseFile(dir + "vast.mip", 12 + 32767ull * 32767,
                              {{0, lgmd::BuildMip(32767, 32767, {})}}));
  lgmd::ModelDesc shared;
  for (int i = 0; i < 255; ++i) shared.materials.push_back({"shared", 0, 1, 0, 0, 0});
  const std::string many = Model("many.bin", shared);
  ASSERT_TRUE(
      WriteSparseFile(dir + "shared.mip", 12 + 1024 * 1024, {{0, lgmd::BuildMip(1024, 1024, {})}}));

  struct Case {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string expected;  // in stderr when the command fails, in stdout otherwise
  };
  const Case cases[] = {
      {"1 GiB file that is no model", {dir + "image.bin"}, 1, "not an LGMD model"},
      {"100 GiB file starting with LGMD", {dir + "huge.bin"}, 1, "object count 0 is out of range"},
      {"fifo", {dir + "pipe.bin"}, 1, "pipe.bin: not a regular file"},
      {"model followed by 4 GiB of nothing", {holed}, 0, "Name: tri"},
      {"2 GiB palette",
       {tri, "--palette", "1"},
       1,
       "Error Loading Palette\n" + m_programDir.File("seattle.pal") + ": larger than 65536 bytes"},
      {"32767 x 32767 texture",
       {vast, "--json", "--palette", "0"},
       0,
       "\"missingReason\":\"32767 x 32767 pixels, larger than the limit of 8192 pixels a side\""},
      {"255 materials, one texture",
       {many, "--json", "--palette", "0"},
       0,
       "\"width\":1024,\"height\":1024}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> argv = {m_program, "info"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE((c.exitCode == 0 ? run.out : run.err).find(c.expected), std::string::npos)
        << run.out << run.err;
    EXPECT_GT(run.peakKiB, 0);
    EXPECT_LT(run.peakKiB, kPeakLimitKiB);
  }
}

// Names are bytes from the file: a terminal must never receive them raw.
TEST_F(InputLimits, NamesFromFilesReachTheTerminalEscaped) {
  lgmd::ModelDesc desc = lgmd::TriangleModel();
  desc.name = "\x1b[2J\r\n";
  desc.materials = {{"\x1b[2Jx", 0, 7, 0, 0, 0}, {"a\rb\nc", 0, 8, 0, 0, 0}};
  const std::string model = Model("evil.bin", desc);
  const std::string out = m_modelDir.File("evil.obj");
  const struct {
    std::vector<std::string> args;
    bool toStderr;
    std::vector<std::string> expected;
  } cases[] = {
      {{"info", model}, false, {"Name: \\x1b[2J\\x0d\\x0a\n"}},
      {{"export", model, out}, true, {"\n\\x1b[2Jx.mip\n", "\na\\x0db\\x0ac.mip\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    std::vector<std::string> argv = {m_program};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string& text = c.toStderr ? run.err : run.out;
    for (const std::string& line : c.expected)
      EXPECT_NE(text.find(line), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\x1b\r"), std::string::npos) << text;
  }
}

}  // namespace
