// The rules of file dialogs' filters and default extensions, kept free of
// the toolkit so that they can be checked on their own.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The file name part of path has no '.', so a default extension applies.
bool LacksExtension(const std::string& path);

// "desc|pattern|desc|pattern||" with the empty trailing pairs that some
// callers end their filters with removed; wx reads "||" as an empty filter.
std::string TrimFilter(const std::string& filter);

// The filter with each pattern matching its letters in either case
// ("*.bin" becomes "*.[bB][iI][nN]"), as the file dialogs of the system the
// formats come from match; GTK's patterns go by case. The descriptions, the
// text the dialog shows, stay as they are.
std::string AnyCasePatterns(const std::string& filter);

// The extension ("." and what follows) of the first pattern of each filter
// entry, in entry order; empty for an entry whose pattern names none
// ("*.*", "*").
std::vector<std::string> FilterExtensions(const std::string& filter);

// path as a save dialog hands it on when the filter entry `chosen` is
// selected: unchanged when it ends in any of the filter's extensions (in
// any case), otherwise with the chosen entry's extension appended.
std::string WithFilterExtension(const std::string& path, const std::string& filter, int chosen);

// The name a save dialog shows once the user picks the filter entry
// `chosen`: a name that ends in one of the filter's extensions takes the
// chosen entry's instead; any other name stays as typed.
std::string SwitchFilterExtension(const std::string& name, const std::string& filter, int chosen);

}  // namespace platform
