#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "doc/zorvik_doc.h"
#include "doc_fixture.h"
#include "model/model.h"
#include "support/doc_access.h"

namespace fs = std::filesystem;

namespace {

using platform::MsgIcon;
using platform::RecordedMessage;
const RecordedMessage kError3{"Error#3: Error getting short path name", MsgIcon::Stop};

// The executable sits in "zorvik bin/" inside the temporary folder; the
// blank checks that nothing splits the base directory.
class ConfigTest : public DocTest {
 protected:
  ConfigTest() {
    fs::create_directories(ExeDir());
    m_ui.SetExecutablePath(ExeDir() + "zorvik");
  }

  std::string ExeDir() const { return root() + "/zorvik bin/"; }
  std::string ConfigFile() const { return ExeDir() + "zorvik.cfg"; }
  void WriteConfig(const std::string& text) const { std::ofstream(ConfigFile()) << text; }
  // The program starting afresh with text as its settings file: nothing
  // remembered from the run before, no messages yet.
  void StartAfresh(const std::string& text) {
    AppPaths().Reset();
    m_ui.ClearLog();
    WriteConfig(text);
  }

  // Temporary files of a save that were left behind.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ExeDir())) {
      const std::string name = entry.path().filename().string();
      if (name != "zorvik.cfg" && name != "zorvik") names.push_back(name);
    }
    return names;
  }
};

TEST_F(ConfigTest, NoFileKeepsDefaultsAndCloseWritesThem) {
  CZorvikDoc doc;
  Show(doc.OnNewDocument());
  EXPECT_EQ(AppPaths().GetBaseDir(), ExeDir());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigLoadError, ConfigFile(),
                              "No such file or directory"));
  EXPECT_EQ(doc.PaletteIndex(), 0);
  EXPECT_EQ(doc.Background()[0], 0.0);
  EXPECT_EQ(doc.Background()[1], 0.0);
  EXPECT_EQ(doc.Background()[2], 0.0);
  EXPECT_EQ(AppPaths().GetLastOpenDir(), "");

  m_ui.ClearLog();
  Show(doc.SaveConfig());
  EXPECT_TRUE(doc.CanCloseFrame());
  EXPECT_TRUE(m_ui.messages().empty());
  EXPECT_EQ(ReadWholeFile(ConfigFile()), "Region 0\nBkgndClr 0 0 0\nLastOpenDir -\n");
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(ConfigTest, ItemsAreTakenByPositionWhateverTheKeys) {
  const std::string files[] = {
      "Region 1\nBkgndClr 0.5 0.25 1\nLastOpenDir -\n",
      "A 1\nB 0.5 0.25 1\nC -\n",
      "Region 1\r\nBkgndClr 0.5 0.25 1\r\nLastOpenDir -\r\n",
      "Region 1 BkgndClr\t0.5 0.25 1 LastOpenDir -",
      "  Region\n\n1\nBkgndClr 5e-1 .25 1.0\nLastOpenDir - trailing words\n",
  };
  for (const std::string& text : files) {
    StartAfresh(text);
    CZorvikDoc doc;
    Show(doc.OnNewDocument());
    EXPECT_TRUE(m_ui.messages().empty()) << text;
    EXPECT_EQ(doc.PaletteIndex(), 1) << text;
    EXPECT_EQ(doc.Background()[0], 0.5) << text;
    EXPECT_EQ(doc.Background()[1], 0.25) << text;
    EXPECT_EQ(doc.Background()[2], 1.0) << text;
    EXPECT_EQ(AppPaths().GetLastOpenDir(), "") << text;
  }
}

// Items before the first bad one are taken; it and all later ones are not,
// and the directory value then counts as empty, which the conversion refuses.
TEST_F(ConfigTest, ReadingStopsAtTheFirstBadItem) {
  struct Case {
    std::string text;
    int palette;
    double red, green, blue;
  };
  const double keep = 0.75;  // set before reading; kept when not read
  const Case cases[] = {
      {"Region 7\n", 7, keep, keep, keep},
      {"Region 1\nBkgndClr 0.5", 1, 0.5, keep, keep},
      {"Region 1\nBkgndClr 0.5 abc 0.25\nLastOpenDir -\n", 1, 0.5, keep, keep},
      {"Region x\nBkgndClr 0.5 0.5 0.5\nLastOpenDir -\n", 3, keep, keep, keep},
      {"Region 99999999999\nBkgndClr 0.5 0.5 0.5\nLastOpenDir -\n", 3, keep, keep, keep},
      {"Region 2\nBkgndClr 0.1 0.2 1e999\nLastOpenDir -\n", 2, 0.1, 0.2, keep},
      {"", 3, keep, keep, keep},
  };
  for (const Case& c : cases) {
    StartAfresh(c.text);
    CZorvikDoc doc;
    doc.SetPaletteIndex(3);
    doc.SetBackground(keep, keep, keep);
    Show(doc.OnNewDocument());
    EXPECT_EQ(m_ui.messages(), Messages{kError3}) << c.text;
    EXPECT_EQ(doc.PaletteIndex(), c.palette) << c.text;
    EXPECT_EQ(doc.Background()[0], c.red) << c.text;
    EXPECT_EQ(doc.Background()[1], c.green) << c.text;
    EXPECT_EQ(doc.Background()[2], c.blue) << c.text;
    // The failed conversion leaves what the buffer last held: the
    // executable's directory.
    EXPECT_EQ(AppPaths().GetLastOpenDir(), ExeDir()) << c.text;
  }
}

TEST_F(ConfigTest, SettingsAreWrittenBackAsRead) {
  fs::create_directories(File("models/jets"));
  const std::string files[] = {
      "Region 7\nBkgndClr 0.501961 0.25098 0\nLastOpenDir -\n",
      "Region -1\nBkgndClr 1 0.5 1e-07\nLastOpenDir " + File("models/jets") + "\n",
      "Region 0\nBkgndClr 0.333333 0.666667 0.123457\nLastOpenDir " + root() + "/\n",
  };
  for (const std::string& text : files) {
    StartAfresh(text);
    CZorvikDoc doc;
    Show(doc.OnNewDocument());
    Show(doc.SaveConfig());
    EXPECT_TRUE(m_ui.messages().empty()) << text;
    EXPECT_EQ(ReadWholeFile(ConfigFile()), text);
  }
}

TEST_F(ConfigTest, ColoursAreWrittenWithSixSignificantDigits) {
  struct Case {
    double red, green, blue;
    std::string line;
  };
  const Case cases[] = {
      {128 * kByteToUnit, 64 * kByteToUnit, 0.0, "BkgndClr 0.501961 0.25098 0"},
      {1.0, 255 * kByteToUnit, 1.0 / 3.0, "BkgndClr 1 1 0.333333"},
      {0.1234567, 1e-7, 0.5, "BkgndClr 0.123457 1e-07 0.5"},
  };
  for (const Case& c : cases) {
    CZorvikDoc doc;
    doc.SetPaletteIndex(1);
    doc.SetBackground(c.red, c.green, c.blue);
    Show(AppPaths().SetBaseDir(ExeDir()));
    Show(doc.SaveConfig());
    EXPECT_EQ(ReadWholeFile(ConfigFile()), "Region 1\n" + c.line + "\nLastOpenDir -\n");
  }
  EXPECT_TRUE(m_ui.messages().empty());
}

TEST_F(ConfigTest, DirectoryValues) {
  // Blanks, tabs, line breaks and '%' in names are legal here; the file
  // holds them encoded so that the value stays one word.
  const std::string odd = File("my models/100% done\tv2\nold");
  fs::create_directories(odd);
  fs::create_directories(File("a%zz"));
  struct Case {
    std::string value;     // as written in the file
    std::string expected;  // remembered directory after reading
    Messages messages;
  };
  const std::vector<Case> cases = {
      {"-", "", {}},
      {File("a%zz"), File("a%zz"), {}},  // no valid escape: taken literally
      {File("my%20models/100%25%20done%09v2%0Aold"), odd, {}},
      {File("my%20models/100%25%20done%09v2%0aold"), odd, {}},
      {File("never%20there"), ExeDir(), {kError3}},
  };
  for (const Case& c : cases) {
    StartAfresh("Region 0\nBkgndClr 0 0 0\nLastOpenDir " + c.value + "\n");
    CZorvikDoc doc;
    Show(doc.OnNewDocument());
    EXPECT_EQ(m_ui.messages(), c.messages) << c.value;
    EXPECT_EQ(AppPaths().GetLastOpenDir(), c.expected) << c.value;
  }

  // And the other way: saved, the file keeps three lines and reads back.
  Show(AppPaths().SetLastOpenDir(odd));
  CZorvikDoc doc;
  Show(doc.SaveConfig());
  EXPECT_EQ(ReadWholeFile(ConfigFile()), "Region 0\nBkgndClr 0 0 0\nLastOpenDir " +
                                             File("my%20models/100%25%20done%09v2%0Aold") + "\n");
  AppPaths().Reset();
  m_ui.ClearLog();
  Show(doc.OnNewDocument());
  EXPECT_TRUE(m_ui.messages().empty());
  EXPECT_EQ(AppPaths().GetLastOpenDir(), odd);
}

TEST_F(ConfigTest, StaleDirectoryIsReplacedByTheExecutablesOnNextSave) {
  WriteConfig("Region 1\nBkgndClr 0 0 0\nLastOpenDir /no/such/folder\n");
  CZorvikDoc doc;
  Show(doc.OnNewDocument());
  EXPECT_EQ(m_ui.messages(), Messages{kError3});
  Show(doc.SaveConfig());
  EXPECT_EQ(ReadWholeFile(ConfigFile()),
            "Region 1\nBkgndClr 0 0 0\nLastOpenDir " + root() + "/zorvik%20bin/\n");
}

TEST_F(ConfigTest, FileNewReadsTheSavedSettingsAgain) {
  WriteConfig("Region 1\nBkgndClr 0.5 0.5 0.5\nLastOpenDir -\n");
  CZorvikDoc doc;
  Show(doc.OnNewDocument());
  doc.SetPaletteIndex(0);
  doc.SetBackground(0.0, doc.Background()[1], doc.Background()[2]);
  Show(doc.OnNewDocument());
  EXPECT_EQ(doc.PaletteIndex(), 1);
  EXPECT_EQ(doc.Background()[0], 0.5);
  EXPECT_TRUE(m_ui.messages().empty());
}

// A settings file is three short lines: one of gigabytes (here a sparse
// file, which costs no disk) is refused by its size at once, not read, and
// the defaults stay; one just within the limit is read as usual.
TEST_F(ConfigTest, OversizedFileIsRefusedQuicklyAndDefaultsStay) {
  const std::string settings = "Region 1\nBkgndClr 0.5 0.5 0.5\nLastOpenDir -\n";
  const struct {
    std::uintmax_t size;
    bool read;
  } cases[] = {{64 * 1024, true}, {64 * 1024 + 1, false}, {std::uintmax_t{4} << 30, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    WriteConfig(settings);
    fs::resize_file(ConfigFile(), c.size);
    m_ui.ClearLog();
    CZorvikDoc doc;
    const auto start = std::chrono::steady_clock::now();
    Show(doc.OnNewDocument());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(doc.PaletteIndex(), c.read ? 1 : 0);
    if (c.read) {
      EXPECT_TRUE(m_ui.messages().empty());
    } else {
      EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigLoadError, ConfigFile(), "larger than"));
    }
  }
}

// A save that cannot finish shows the message and leaves the previous file
// whole, with no temporary file behind.
TEST_F(ConfigTest, FailedSaveKeepsTheOldFile) {
  const std::string old = "Region 1\nBkgndClr 0.5 0.5 0.5\nLastOpenDir -\n";
  CZorvikDoc doc;
  doc.SetPaletteIndex(0);
  Show(AppPaths().SetBaseDir(ExeDir()));

  // The configuration's name is taken by a model: it stays one.
  WriteConfig("LGMD and the rest of a model");
  Show(doc.SaveConfig());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigSaveError, ConfigFile(), "an LGMD model"));
  EXPECT_EQ(ReadWholeFile(ConfigFile()), "LGMD and the rest of a model");
  fs::remove(ConfigFile());
  m_ui.ClearLog();

  // The configuration's name is taken by a folder: the final rename fails.
  fs::create_directories(ConfigFile() + "/inside");
  Show(doc.SaveConfig());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigSaveError, ConfigFile(), "Is a directory"));
  EXPECT_TRUE(fs::is_directory(ConfigFile() + "/inside"));
  EXPECT_TRUE(Leftovers().empty());
  fs::remove_all(ConfigFile());

  // The disk takes no more bytes: writing the new content fails.
  WriteConfig(old);
  m_ui.ClearLog();
  {
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit none = saved;
    none.rlim_cur = 0;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    Show(doc.SaveConfig());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
  }
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigSaveError, ConfigFile(), "File too large"));
  EXPECT_EQ(ReadWholeFile(ConfigFile()), old);
  EXPECT_TRUE(Leftovers().empty());

  // The base directory lies below a plain file: nothing can be created.
  m_ui.ClearLog();
  AppPaths().m_strBaseDir = ConfigFile() + "/";
  Show(doc.SaveConfig());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigSaveError, ConfigFile()));
  EXPECT_EQ(ReadWholeFile(ConfigFile()), old);
}

// A read-only directory. Permissions do not bind root, so the save runs in a
// child process that has given up root first.
TEST_F(ConfigTest, ReadOnlyDirectoryKeepsTheOldFile) {
  const std::string old = "Region 1\nBkgndClr 0.5 0.5 0.5\nLastOpenDir -\n";
  WriteConfig(old);
  fs::permissions(root(), fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
  fs::permissions(ExeDir(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec | fs::perms::group_read |
                                fs::perms::group_exec);
  Show(AppPaths().SetBaseDir(ExeDir()));

  EXPECT_EXIT(
      {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(3);
        platform::ScopedRecordingPlatform ui;
        CZorvikDoc doc;
        Show(doc.SaveConfig());
        std::_Exit(IsConfigMessage(ui.messages(), kConfigSaveError, ConfigFile()) ? 0 : 2);
      },
      testing::ExitedWithCode(0), "");
  fs::permissions(ExeDir(), fs::perms::owner_all);
  EXPECT_EQ(ReadWholeFile(ConfigFile()), old);
  EXPECT_TRUE(Leftovers().empty());
}

// A configuration the user made read-only stays as it is, and its mode with
// it, even for root; closing says so and still closes.
TEST_F(ConfigTest, ReadOnlyFileIsRefusedAtCloseAndKeptWithItsMode) {
  const std::string old = "Region 1\nBkgndClr 0.5 0.5 0.5\nLastOpenDir -\n";
  WriteConfig(old);
  fs::permissions(ConfigFile(),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  CZorvikDoc doc;
  Show(AppPaths().SetBaseDir(ExeDir()));
  doc.SetPaletteIndex(0);
  Show(doc.SaveConfig());
  EXPECT_TRUE(doc.CanCloseFrame());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigSaveError, ConfigFile()));
  EXPECT_EQ(ReadWholeFile(ConfigFile()), old);
  EXPECT_EQ(fs::status(ConfigFile()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(Leftovers().empty());
}

// The executable's directory cannot be converted: the process ends with 1
// before anything is read. A platform that also prints its messages lets the
// parent see which message came first.
class EchoingPlatform : public platform::ScopedRecordingPlatform {
 public:
  void ShowMessage(const std::string& text, MsgIcon icon) override {
    std::fprintf(stderr, "[%s]\n", text.c_str());
    RecordingPlatform::ShowMessage(text, icon);
  }
};

TEST_F(ConfigTest, Error1EndsTheProcessWithCode1) {
  EXPECT_EXIT(
      {
        EchoingPlatform ui;
        ui.SetRealExit(true);
        ui.SetExecutablePath("/no/such/folder/zorvik");
        CZorvikDoc doc;
        Show(doc.OnNewDocument());
        std::_Exit(0);
      },
      testing::ExitedWithCode(1), "^\\[Error#1: Error getting short path name - aborting\\]\n$");

  // In-process, the recording layer stops the sequence at the exit: the
  // configuration is never read.
  m_ui.SetExecutablePath("zorvik");  // no folder at all: the empty string
  CZorvikDoc doc;
  EXPECT_THROW(Show(doc.OnNewDocument()), platform::EndProcessCalled);
  const std::vector<platform::RecordedEvent> expected = {
      {platform::EventKind::Message, "Error#1: Error getting short path name - aborting",
       MsgIcon::Stop, 0},
      {platform::EventKind::Exit, "", MsgIcon::None, 1},
  };
  EXPECT_EQ(m_ui.events(), expected);
}

}  // namespace
