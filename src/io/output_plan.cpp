#include "io/output_plan.h"

#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "io/lgmd_magic.h"

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

COutputPlan::FileKey COutputPlan::KeyOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return {st.st_dev, st.st_ino, {}};
  // Not there yet (or a link to nothing, which the write replaces): the
  // folder it will be made in, and its name there.
  const fs::path file(path);
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  if (stat(folder.c_str(), &st) == 0) return {st.st_dev, st.st_ino, file.filename().string()};
  std::error_code ec;
  return {0, 0, fs::absolute(file, ec).lexically_normal().string()};
}

void COutputPlan::AddInput(const std::string& path) { m_inputs.try_emplace(KeyOf(path), path); }

PlanCheck COutputPlan::Claim(const std::string& input, const std::vector<std::string>& outputs,
                             bool mayReplaceModel) {
  const FileKey own = KeyOf(input);
  std::map<FileKey, std::string> claims;
  for (const std::string& path : outputs) {
    PlanCheck check{Conflict::kNone, path, {}, m_strRole};
    const FileKey key = KeyOf(path);
    if (key == own) {
      check.conflict = Conflict::kOwnInput;
      check.other = input;
    } else if (const auto in = m_inputs.find(key); in != m_inputs.end()) {
      check.conflict = Conflict::kOtherInput;
      check.other = in->second;
    } else if (const auto done = m_claimed.find(key); done != m_claimed.end()) {
      check.conflict = Conflict::kPlannedTwice;
      check.other = done->second;
    } else if (!claims.try_emplace(key, input).second) {
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
