// "zorvik.cfg" beside the executable (in the user's configuration directory
// for an installed copy): three lines, "Region <int>",
// "BkgndClr <r> <g> <b>" and "LastOpenDir <dir or ->". The reader goes by
// position only; the key words are never compared.
#include <cstddef>
#include <cstdint>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "doc/app_paths.h"
#include "doc/config.h"
#include "doc/zorvik_doc.h"
#include "io/file_bytes.h"
#include "io/output_plan.h"
#include "io/safe_write.h"
#include "io/system_path.h"
#include "io/text.h"
#include "platform/install_layout.h"
#include "platform/platform.h"

namespace {

constexpr const char* kConfigName = "zorvik.cfg";
constexpr const char* kNoDirectory = "-";
// Three short lines; a file far larger than that is no configuration of
// ours, and is refused before it is read, as palettes are.
constexpr std::size_t kMaxConfigFileSize = 64 * 1024;

std::string ConfigPath() { return AppPaths().GetConfigDir() + kConfigName; }

bool NeedsEscape(unsigned char c) { return c <= 0x20 || c == 0x7F || c == '%'; }

// The value of a hexadecimal digit; nothing for any other character.
std::optional<int> HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// Directories here may hold blanks, which the whitespace-split reader would
// cut, so the file keeps them, and anything else that is whitespace or
// invisible, as %XX.
std::string EncodeDirectory(const std::string& dir) {
  return PercentEncode(dir, [](unsigned char c) { return !NeedsEscape(c); });
}

// The reverse of EncodeDirectory. A '%' not followed by two hex digits is
// taken literally, so values written before encoding existed read as before.
std::string DecodeDirectory(const std::string& word) {
  std::string dir;
  dir.reserve(word.size());
  for (std::string::size_type i = 0; i < word.size(); ++i) {
    const std::optional<int> high = i + 2 < word.size() ? HexValue(word[i + 1]) : std::nullopt;
    const std::optional<int> low = i + 2 < word.size() ? HexValue(word[i + 2]) : std::nullopt;
    if (word[i] == '%' && high && low) {
      dir += static_cast<char>(*high * 16 + *low);
      i += 2;
    } else {
      dir += word[i];
    }
  }
  return dir;
}

// The general notation of a default output stream: 6 significant digits,
// no trailing zeros. Fixed to the classic locale so that a user's decimal
// comma never reaches the file.
std::string FormatComponent(double value) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << value;
  return out.str();
}

}  // namespace

ConfigValues ParseConfigText(std::string_view text) {
  // Formatted extraction over the text in memory: items are separated by
  // any whitespace, so CR LF and LF files read alike. Each setting takes its
  // item only when that item was read; once one fails, the stream refuses
  // every later one and those settings keep their values.
  std::istringstream in{std::string(text)};
  in.imbue(std::locale::classic());
  ConfigValues values;
  std::string key;
  int palette = 0;
  if (in >> key >> palette) values.palette = palette;
  double component = 0.0;
  if (in >> key >> component) values.red = component;
  if (in >> component) values.green = component;
  if (in >> component) values.blue = component;
  std::string word;
  if (!(in >> key >> word)) word.clear();

  // An empty value is not "-": it goes to the conversion, which fails and
  // says so, as for a directory that no longer exists.
  if (word != kNoDirectory) values.lastOpenDir = DecodeDirectory(word);
  return values;
}

SettingsResult CZorvikDoc::OnNewDocument() {
  const std::string exe = platform::Current().GetExecutablePath();
  const std::string::size_type slash = exe.find_last_of(syspath::kSeparators);
  const std::string dir = slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
  if (const PathStatus status = AppPaths().SetBaseDir(dir); status != PathStatus::kOk) {
    return {{{PathMessage(status), platform::MsgIcon::Stop}}, true};
  }
  return LoadConfig();
}

SettingsResult CZorvikDoc::LoadConfig() {
  std::vector<std::uint8_t> bytes;
  const std::string path = ConfigPath();
  std::string reason;
  if (!filebytes::ReadFileBytes(path, bytes, reason, kMaxConfigFileSize)) {
    // An installed copy has no configuration of the user's own until its
    // first close: a file that is not there yet is no fault. One that is
    // there and cannot be read still says so, and why.
    if (AppPaths().IsInstalled() && platform::IsMissing(path)) return {};
    return {
        {{"Error loading config file\r\n" + path + ": " + reason, platform::MsgIcon::Exclamation}}};
  }

  const ConfigValues values =
      ParseConfigText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (values.palette) m_nPalette = *values.palette;
  if (values.red) m_dBkRed = *values.red;
  if (values.green) m_dBkGreen = *values.green;
  if (values.blue) m_dBkBlue = *values.blue;
  SettingsResult result;
  if (values.lastOpenDir) {
    const PathStatus status = AppPaths().SetLastOpenDir(*values.lastOpenDir);
    if (status != PathStatus::kOk) {
      result.messages.push_back({PathMessage(status), platform::MsgIcon::Stop});
    }
  }
  return result;
}

SettingsResult CZorvikDoc::SaveConfig() {
  const std::string dir = AppPaths().GetLastOpenDir();
  std::string content;
  content += "Region " + std::to_string(m_nPalette) + "\n";
  content += "BkgndClr " + FormatComponent(m_dBkRed) + " " + FormatComponent(m_dBkGreen) + " " +
             FormatComponent(m_dBkBlue) + "\n";
  content +=
      "LastOpenDir " + (dir.empty() ? std::string(kNoDirectory) : EncodeDirectory(dir)) + "\n";

  // Written through the safe path: a save that fails half-way (full disk, a
  // read-only file, a crash) leaves the previous file whole.
  // The user's configuration directory may not exist before the first
  // save; a directory that cannot be made fails the write below.
  if (AppPaths().IsInstalled()) platform::MakeDirectories(AppPaths().GetConfigDir());
  // Models are known by their content, whatever their name: not even the
  // settings replace one.
  const std::string path = ConfigPath();
  output::COutputPlan plan("the settings");
  if (const output::PlanCheck check = plan.Claim({}, {path}); !check.Ok()) {
    return {{{"Error saving config file\r\n" + path + ": " + check.Reason(),
              platform::MsgIcon::Exclamation}}};
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
  const safewrite::WriteResult written = safewrite::WriteFile(path, {bytes, content.size()});
  if (written.Ok()) return {};
  return {{{"Error saving config file\r\n" + written.path + ": " + written.reason,
            platform::MsgIcon::Exclamation}}};
}

// The document is never modified, so closing always goes ahead, also when
// the settings could not be written.
bool CZorvikDoc::CanCloseFrame() { return true; }
