// Flipping through a folder of models: the LGMD file before or after a
// given one among the files of its folder.
#pragma once

#include <string>

// The model next to `current` (step +1) or before it (-1) among the files
// of current's folder that begin with the LGMD magic, in name order as a
// file manager sorts (numbers by value, case aside), wrapping from the last
// to the first and back. `current` itself need not exist any more nor be a
// model. Empty when the folder holds no other model or cannot be read.
std::string NeighbourModel(const std::string& current, int step);
