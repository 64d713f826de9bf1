#include "io/output_plan.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <filesystem>
#include <utility>

#include "io/lgmd_magic.h"
#include "io/system_path.h"

namespace output {

namespace fs = std::filesystem;

std::string PlanCheck::Reason() const {
  switch (conflict) {
    case Conflict::kNone:
      return {};
    case Conflict::kOwnInput:
      return "it is " + role + (other == path ? "" : " (" + other + ")");
    case Conflict::kOtherInput:
      return "it is the model " + other + ", which this run reads";
    case Conflict::kPlannedTwice:
      return "this run writes it already, for " + other;
    case Conflict::kExistingModel:
      return "it is an LGMD model";
  }
  return {};
}

std::string PlanCheck::Line() const { return "not writing " + path + ": " + Reason(); }

COutputPlan::COutputPlan(std::string role) : m_strRole(std::move(role)) {}

#ifdef _WIN32

namespace {

// The volume and the file index: what tells two names of one file apart
// from two files. Folders open too (backup semantics); links are followed.
bool FileIndexOf(const fs::path& path, std::uint64_t& volume, std::uint64_t& index) {
  HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!known) return false;
  volume = info.dwVolumeSerialNumber;
  index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return true;
}

// Names in a folder match without regard to case, as the file system
// compares them.
std::string FoldedName(const fs::path& name) {
  std::wstring wide = name.wstring();
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return syspath::Narrow(wide);
}

}  // namespace

COutputPlan::Identity COutputPlan::IdentityOf(const std::string& path) {
  Identity id;
  fs::path file = syspath::FromUtf8(path);
  std::error_code ec;
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  if (FileIndexOf(file, volume, index)) {
    id.inode = FileKey{volume, index, {}};
    const fs::path target = fs::canonical(file, ec);
    if (!ec) file = target;
  }
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(L".");
  if (FileIndexOf(folder, volume, index)) {
    id.place = {volume, index, FoldedName(file.filename())};
  } else {
    id.place = {0, 0, FoldedName(fs::absolute(file, ec).lexically_normal())};
  }
  return id;
}

#else

COutputPlan::Identity COutputPlan::IdentityOf(const std::string& path) {
  Identity id;
  struct stat st {};
  // A link to a file is written through, so the file it leads to is the
  // one that counts; a link to nothing is itself replaced.
  fs::path file(path);
  std::error_code ec;
  if (stat(path.c_str(), &st) == 0) {
    id.inode = FileKey{st.st_dev, st.st_ino, {}};
    const fs::path target = fs::canonical(file, ec);
    if (!ec) file = target;
  }
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  if (stat(folder.c_str(), &st) == 0) {
    id.place = {st.st_dev, st.st_ino, file.filename().string()};
  } else {
    id.place = {0, 0, fs::absolute(file, ec).lexically_normal().string()};
  }
  return id;
}

#endif

const std::string* COutputPlan::InputOf(const Identity& id) const {
  if (const auto in = m_inputPlaces.find(id.place); in != m_inputPlaces.end()) return &in->second;
  if (id.inode) {
    if (const auto in = m_inputInodes.find(*id.inode); in != m_inputInodes.end()) {
      return &in->second;
    }
  }
  return nullptr;
}

void COutputPlan::AddInput(const std::string& path) {
  const Identity id = IdentityOf(path);
  m_inputPlaces.try_emplace(id.place, path);
  if (id.inode) m_inputInodes.try_emplace(*id.inode, path);
}

PlanCheck COutputPlan::Claim(const std::string& input, const std::vector<std::string>& outputs,
                             bool mayReplaceModel) {
  const Identity own = IdentityOf(input);
  std::map<FileKey, std::string> claims;
  for (const std::string& path : outputs) {
    PlanCheck check{Conflict::kNone, path, {}, m_strRole};
    const Identity id = IdentityOf(path);
    const std::string* other = InputOf(id);
    if (id.place == own.place || (id.inode && id.inode == own.inode)) {
      check.conflict = Conflict::kOwnInput;
      check.other = input;
    } else if (other != nullptr) {
      check.conflict = Conflict::kOtherInput;
      check.other = *other;
    } else if (const auto done = m_claimed.find(id.place); done != m_claimed.end()) {
      check.conflict = Conflict::kPlannedTwice;
      check.other = done->second;
    } else if (!claims.try_emplace(id.place, input).second) {
      check.conflict = Conflict::kPlannedTwice;
      check.other = input;
    } else if (!mayReplaceModel && HasLgmdMagic(path)) {
      check.conflict = Conflict::kExistingModel;
    }
    if (!check.Ok()) return check;
  }
  m_claimed.merge(claims);
  return {};
}

}  // namespace output
