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

// DIR/<model's name><extension>: where a batch puts the output of a model.
std::string BatchOutputPath(const std::string& dir, const std::string& modelPath,
                            const char* extension);

// Writes text to stdout. False when the write failed; the reason is kept
// for CloseStandardOutput, since a later flush may not see it again.
bool WriteOutput(const std::string& text);

// The end of every command: output the user cannot see is a failure. A
// write to stdout that failed earlier (a full disk, a pipe closed early),
// the final flush or the close failing is reported, and the status becomes
// a failure if it was a success. Returns the exit status to use.
int CloseStandardOutput(int status);
