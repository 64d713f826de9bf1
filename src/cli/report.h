// How the headless commands speak to the user: one line on stderr per
// problem, "zorvik: " first.
#pragma once

#include <string>

class CModel;

// Writes "zorvik: " + text to stderr, the text's "\r\n" line breaks as "\n".
void Complain(const std::string& text);

// Reads the model at path; on failure says "cannot read model PATH: REASON"
// and returns false.
bool ReadModelOrComplain(CModel& model, const std::string& path);
