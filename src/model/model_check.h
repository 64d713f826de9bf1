// What is wrong with a model file, all of it at once: for people who make
// models, who need every problem of a file rather than the first, each with
// the place it concerns.
#pragma once

#include <string>
#include <vector>

enum class CheckLevel {
  Error,    // the viewer refuses the file, or shows it wrongly or incompletely
  Warning,  // legal, but probably not what the maker meant
};

struct CheckProblem {
  CheckLevel level = CheckLevel::Error;
  std::string where;  // "polygon 12", "material 3 \"wing\"", "offset 320"...
  std::string what;   // one line; names from the file are escaped (PrintableName)
};

// Every problem of the model at path and of the textures beside it, errors
// and warnings in the order of the file's records. A file the reader refuses
// gives that one error: nothing after it can be trusted.
std::vector<CheckProblem> CheckModelFile(const std::string& path);
