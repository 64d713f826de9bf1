// The text form of a palette file: three header words of any content, then
// up to 256 entries of three decimal integers, red, green and blue, separated
// by any blanks. Reading stops at the first token that is not a whole int
// (an optional sign and digits whose value fits an int).
#pragma once

#include <cstddef>
#include <vector>

#include "model/model.h"

// Parses text into exactly 256 entries, each stored blue, green, red; the
// entries the text does not supply are (0, 0, 0). Never fails: a text that
// holds no entries gives 256 black ones.
void ParsePaletteText(const char* text, std::size_t size, std::vector<PaletteEntry>& palette);
