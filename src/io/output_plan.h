// Before a run writes anything, it lists every file it will write (the
// main file and its companions: a material library, a glTF buffer, the
// texture pictures) and asks the plan whether each may be written. A file
// is refused, with both files named, when it is:
//  - the model being read for it, or any other model the run reads, by
//    device and inode (on Windows: volume serial number and file index)
//    through any links, so another spelling or a link is caught too;
//  - already written by the run (two models with one output name, or a
//    file and a companion that share a name);
//  - an existing LGMD model: a picture, a buffer or a material library
//    never replaces a model, whatever the model's file is called; only a
//    model writer may say that it replaces one.
// Every writer goes through here: the commands, in one run or a batch,
// and the viewer's Save, Export and Save Picture.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace output {

enum class Conflict {
  kNone,
  kOwnInput,       // the model the file is made from
  kOtherInput,     // another model the run reads
  kPlannedTwice,   // the run writes the file already
  kExistingModel,  // an LGMD model is there
};

struct PlanCheck {
  Conflict conflict = Conflict::kNone;
  std::string path;   // the refused output, as the caller named it
  std::string other;  // the input it is, or the model whose output it is already
  std::string role;   // how the run names the model it writes from

  bool Ok() const { return conflict == Conflict::kNone; }
  // Why, in a few words: "it is the model being rendered".
  std::string Reason() const;
  // "not writing PATH: REASON", as the commands say it.
  std::string Line() const;
};

class COutputPlan {
 public:
  // role names the model an output is made from, as the refusal says it:
  // "the model being rendered", "the open model file".
  explicit COutputPlan(std::string role);

  // A model the run reads; no output may be it.
  void AddInput(const std::string& path);

  // The files that one model's job writes. Checked against the run's
  // inputs, against what earlier jobs claimed and against each other;
  // only when none clashes are they all claimed. mayReplaceModel lets a
  // model writer replace an existing model (never an input).
  PlanCheck Claim(const std::string& input, const std::vector<std::string>& outputs,
                  bool mayReplaceModel = false);

 private:
  // A file by identity, two ways. Its place: the identity of the folder
  // it is (or will be) in and its name there, links followed; a place
  // stays the same when the file is written, so what a job claimed is
  // still known once it exists. And, for a file that exists, its device
  // and inode, which also know a second hard link to a model.
  using FileKey = std::tuple<std::uint64_t, std::uint64_t, std::string>;
  struct Identity {
    FileKey place;
    std::optional<FileKey> inode;
  };
  static Identity IdentityOf(const std::string& path);
  // The input that identity is, or null.
  const std::string* InputOf(const Identity& id) const;

  std::string m_strRole;
  std::map<FileKey, std::string> m_inputPlaces;  // -> the input's path
  std::map<FileKey, std::string> m_inputInodes;
  std::map<FileKey, std::string> m_claimed;  // place -> the input it is written for
};

}  // namespace output
