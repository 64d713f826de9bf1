// The parts of a file's path, by the rule of the platform: on Linux only
// '/' separates names ('\' is an ordinary character in a Linux file name);
// on Windows '\' does too.
// Everything that derives a model's directory (File Open's remembered
// directory, the file dialogs' starting folder, the textures beside a
// model) or the names of an export's files asks here.
#pragma once

#include <string>

// Everything before the last separator; the root ("/", "C:\") for a file
// directly in it; "." for a bare name, which lies in the working directory.
std::string DirectoryOf(const std::string& path);

// outPath without its extension: the name that the files written beside
// the main one are made from ("dir/plane.gltf" -> "dir/plane").
std::string PathStem(const std::string& outPath);

// The last path component.
std::string FileNamePart(const std::string& path);
