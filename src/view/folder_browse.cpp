// View > Next Model in Folder and Previous Model in Folder.
#include "view/folder_browse.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include <wx/arrstr.h>

#include "io/lgmd_magic.h"
#include "view/zorvik_view.h"

namespace {

namespace fs = std::filesystem;

// A file manager's order; names it cannot tell apart (case only, or names
// that are not text) fall back to their bytes, so the order stays strict.
bool NameLess(const std::string& a, const std::string& b) {
  const int natural = wxCmpNatural(wxString::FromUTF8(a), wxString::FromUTF8(b));
  return natural != 0 ? natural < 0 : a < b;
}

// The names of the models in folder, except `skip`, in name order.
std::vector<std::string> ModelsInFolder(const fs::path& folder, const std::string& skip) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name != skip && HasLgmdMagic(it->path().string())) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NameLess);
  return names;
}

}  // namespace

std::string NeighbourModel(const std::string& current, int step) {
  std::error_code ec;
  const fs::path file = fs::absolute(current, ec);
  if (ec || !file.has_filename()) return {};
  const std::string self = file.filename().string();
  const std::vector<std::string> names = ModelsInFolder(file.parent_path(), self);
  if (names.empty()) return {};

  // Positioned by name, so a file that has gone since still has its place.
  std::string chosen;
  if (step > 0) {
    const auto after = std::upper_bound(names.begin(), names.end(), self, NameLess);
    chosen = after == names.end() ? names.front() : *after;
  } else {
    const auto at = std::lower_bound(names.begin(), names.end(), self, NameLess);
    chosen = at == names.begin() ? names.back() : *(at - 1);
  }
  return (file.parent_path() / chosen).string();
}

void CZorvikView::OpenNeighbourModel(int step) {
  // After a file of the folder failed to open, the next step goes on from
  // it instead of trying the same file again.
  const std::string from =
      m_strFailedNeighbourOf == m_strModelPath ? m_strFailedNeighbour : m_strModelPath;
  if (from.empty()) return;
  const std::string next = NeighbourModel(from, step);
  if (next.empty() || next == m_strModelPath) return;
  if (OpenModel(next)) {
    m_strFailedNeighbour.clear();
    m_strFailedNeighbourOf.clear();
  } else {
    m_strFailedNeighbour = next;
    m_strFailedNeighbourOf = m_strModelPath;
  }
}

void CZorvikView::OnViewNextModel(wxCommandEvent&) { OpenNeighbourModel(+1); }

void CZorvikView::OnViewPrevModel(wxCommandEvent&) { OpenNeighbourModel(-1); }

// There is a folder to go through once a model is open.
void CZorvikView::OnUpdateViewFolderModel(wxUpdateUIEvent& event) {
  event.Enable(!m_strModelPath.empty());
}
