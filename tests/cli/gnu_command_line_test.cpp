// The command line as GNU tools have it: options until "--", unknown ones
// refused before anything is loaded, every usage error after "zorvik: ",
// "zorvik --version" with the name; and the manual page listing exactly
// the options each command's --help lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

Invocation Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "zorvik");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return ParseInvocation(static_cast<int>(args.size()), argv.data());
}

std::string Refusal(const std::string& text) {
  return "zorvik: " + text + "\nTry 'zorvik --help' for more information.\n";
}

TEST(GnuCommandLine, ArgumentsAreSortedBeforeAnythingLoads) {
  using Kind = Invocation::Kind;
  // A model whose name starts with a dash reaches the window as a full path.
  const std::string here = std::filesystem::current_path().string() + "/";
  const struct {
    std::vector<std::string> args;
    Kind kind;
    std::vector<std::string> passed;  // Command, Viewer: what is handed on
    std::string error;                // UsageError
  } cases[] = {
      {{}, Kind::Viewer, {"zorvik"}, ""},
      {{"plane.bin"}, Kind::Viewer, {"zorvik", "plane.bin"}, ""},
      {{"--", "--help"}, Kind::Viewer, {"zorvik", here + "--help"}, ""},
      {{"--", "info"}, Kind::Viewer, {"zorvik", "info"}, ""},
      {{"-"}, Kind::Viewer, {"zorvik", here + "-"}, ""},
      {{"--", "-a.bin", "--"},
       Kind::UsageError,
       {},
       "extra operand '--': the window opens one model"},
      {{"a.bin", "b.bin"},
       Kind::UsageError,
       {},
       "extra operand 'b.bin': the window opens one model"},
      {{"--bogus"}, Kind::UsageError, {}, "unknown option '--bogus'"},
      {{"plane.bin", "-x"}, Kind::UsageError, {}, "unknown option '-x'"},
      {{"--bogus", "--help"}, Kind::UsageError, {}, "unknown option '--bogus'"},
      {{"--help"}, Kind::Command, {"zorvik", "--help"}, ""},
      {{"a.bin", "b.bin", "-h"}, Kind::Command, {"zorvik", "-h"}, ""},
      {{"plane.bin", "--version"}, Kind::Command, {"zorvik", "--version"}, ""},
      {{"info", "--bogus", "--"}, Kind::Command, {"zorvik", "info", "--bogus", "--"}, ""},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " " + arg;
    SCOPED_TRACE("zorvik" + line);
    const Invocation got = Parse(c.args);
    EXPECT_EQ(got.kind, c.kind);
    if (c.kind == Kind::UsageError) {
      EXPECT_EQ(got.error, Refusal(c.error));
    } else {
      EXPECT_EQ(got.args, c.passed);
    }
  }
}

TEST(GnuCommandLine, UnknownOptionIsAUsageErrorWithoutADisplay) {
  const RunResult run =
      RunProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", kZorvik, "--bogus"});
  EXPECT_EQ(run.exitCode, kExitUsage);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, Refusal("unknown option '--bogus'"));
}

TEST(GnuCommandLine, VersionNamesTheProgramAndTheChangelogsVersion) {
  std::ifstream changelog(std::string(ZORVIK_SOURCE_DIR) + "/debian/changelog");
  std::string head;
  std::getline(changelog, head);
  std::smatch version;
  ASSERT_TRUE(std::regex_search(head, version, std::regex(R"(^zorvik \(([0-9.]+)\))"))) << head;
  const RunResult run = RunProgram({kZorvik, "--version"});
  EXPECT_EQ(run.exitCode, kExitOk);
  EXPECT_EQ(run.out, "zorvik " + version[1].str() + "\n");
}

TEST(GnuCommandLine, EveryUsageErrorOfEveryCommandStartsWithTheProgramsName) {
  ScopedTempDir dir;
  const std::string model = dir.File("m.bin");
  const std::vector<std::string> cases[] = {
      {"info"},
      {"info", "--bogus", model},
      {"info", "--full", model},
      {"info", "--palette", "x", model},
      {"export"},
      {"export", model},
      {"export", model, dir.File("m.txt")},
      {"export", "--format", "glb", model},
      {"export", "--palette"},
      {"render"},
      {"render", "--size"},
      {"render", model, dir.File("m.png"), "--size", "big"},
      {"render", model, dir.File("m.png"), "--rot", "1,2"},
      {"render", model, dir.File("m.png"), "--bogus"},
  };
  for (const std::vector<std::string>& args : cases) {
    std::vector<std::string> argv = {kZorvik};
    argv.insert(argv.end(), args.begin(), args.end());
    std::string line;
    for (const std::string& arg : args) line += " " + arg;
    SCOPED_TRACE("zorvik" + line);
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, kExitUsage);
    EXPECT_EQ(run.err.rfind("zorvik: ", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

// The long options a text names: "--name" in a --help, "\-\-name" in roff.
std::set<std::string> OptionsIn(std::string text) {
  text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
  std::set<std::string> found;
  const std::regex option(R"((^|[^-\w])(--[a-z][a-z-]*))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it) {
    found.insert((*it)[2].str());
  }
  return found;
}

// The option lines of a --help (they start with blanks and a dash).
std::string HelpOptionLines(const std::string& help) {
  std::istringstream lines(help);
  std::string line, kept;
  while (std::getline(lines, line)) {
    if (std::regex_search(line, std::regex(R"(^\s+-)"))) kept += line.substr(0, 30) + "\n";
  }
  return kept;
}

// The part of the manual page from the heading line that starts with
// `heading` to the next heading.
std::string ManSection(const std::string& page, const std::string& heading) {
  const std::size_t start = page.find("\n" + heading);
  if (start == std::string::npos) return {};
  const std::size_t end = page.find("\n.S", start + 1);
  return page.substr(start, end == std::string::npos ? end : end - start);
}

TEST(GnuCommandLine, ManualPageListsExactlyTheOptionsOfEachCommandsHelp) {
  const std::string page = ReadWholeFile(std::string(ZORVIK_BINARY_DIR) + "/generated/zorvik.1");
  ASSERT_FALSE(page.empty()) << "the build made no manual page";
  const struct {
    std::vector<std::string> help;
    std::string heading;
  } commands[] = {
      {{"--help"}, ".SH OPTIONS"},
      {{"info", "--help"}, ".SS \"zorvik info "},
      {{"export", "--help"}, ".SS \"zorvik export "},
      {{"render", "--help"}, ".SS \"zorvik render "},
      {{"texture", "--help"}, ".SS \"zorvik texture "},
      {{"check", "--help"}, ".SS \"zorvik check "},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.heading);
    std::vector<std::string> argv = {kZorvik};
    argv.insert(argv.end(), c.help.begin(), c.help.end());
    const RunResult run = RunProgram(argv);
    ASSERT_EQ(run.exitCode, kExitOk);
    const std::set<std::string> help = OptionsIn(HelpOptionLines(run.out));
    const std::string section = ManSection(page, c.heading);
    ASSERT_FALSE(section.empty()) << "no section " << c.heading;
    std::set<std::string> man = OptionsIn(section);
    // The help of a command lists --help, which the manual page names once
    // for all commands.
    if (c.help.size() > 1) man.insert("--help");
    EXPECT_EQ(man, help);
  }
}

}  // namespace
