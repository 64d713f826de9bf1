// The LGMD writer: a model back into the bytes of its file, in memory. It
// is the reader's counterpart: what the reader interprets is written from
// the model's fields, and what it does not interpret (header bytes, the
// tails of material and polygon records, object names and unused fields,
// the root object's record) comes from the bytes the reader kept, so a
// model read and written again reads back as the same model, and writing
// that again gives the same bytes.
//
// The file is laid out as header, objects (root first), materials, texture
// coordinates, vertices, normals, polygons, with no gaps: bytes a file had
// outside every section, or a partial texture-coordinate record at the end
// of its section, are not kept.
//
// Positions are written as the file stores them, in each sub-object's own
// frame: the ones the reader kept (m_byFilePositions) when the model has
// them for every vertex, otherwise the vertices' positions as they are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CModel;

enum class LgmdWriteError {
  None,
  TooMany,       // more records than the file's counts or indices can hold
  OutOfRange,    // a value that does not fit its field, or an index outside its array
  NameTooLong,   // a name longer than its field
  BadHierarchy,  // sub-objects the object records cannot express
};

struct LgmdWriteResult {
  LgmdWriteError error = LgmdWriteError::None;
  std::string reason;  // one line naming the record and the value, e.g. "polygon 3: ..."
  bool ok() const { return error == LgmdWriteError::None; }
};

// The model as an LGMD file. On failure bytes is empty and nothing about
// the model has changed.
LgmdWriteResult WriteLgmd(const CModel& model, std::vector<std::uint8_t>& bytes);
