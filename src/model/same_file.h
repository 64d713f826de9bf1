// An export must never replace the model it is made from: a careless name
// (File > Save pointed at the open "plane.bin", or `zorvik export m.bin
// m.bin`) would lose the only copy. The check goes by the file itself, not
// by its name, so a link or another spelling of the path is caught too.
#pragma once

#include <string>
#include <vector>

#include "model/safe_write.h"

// Whether path and modelPath name one existing file (same device and
// inode, links followed). False when either does not exist.
bool IsSameFile(const std::string& path, const std::string& modelPath);

// The first of the files that would replace the model, or null.
const safewrite::OutputFile* FindFileOverModel(const std::vector<safewrite::OutputFile>& files,
                                               const std::string& modelPath);
