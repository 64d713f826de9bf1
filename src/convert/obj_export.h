// Wavefront OBJ export: the model as the viewer shows it, for modelling
// programs that read no glTF.
#pragma once

#include <string>
#include <vector>

#include "convert/export_scene.h"

class CModel;

// Builds the files of an OBJ export in memory; nothing is written: the OBJ
// at outPath, its material library "<stem>.mtl" and one "<stem>.<material>
// .png" per texture beside it. The main file comes last in files. One "o"
// group per part ("body", "object_N"), "usemtl" per material; the library
// gives each material its colour (Kd), its texture (map_Kd) and, for
// see-through textures, the same PNG as opacity (map_d, from its alpha).
//
// The model must have its palette applied and its texture images read.
// Says why when a texture cannot be encoded.
// The material library of an OBJ at outPath: "<stem>.mtl".
std::string ObjLibraryPath(const std::string& outPath);

BuildResult BuildObj(const CModel& model, const std::string& outPath,
                     std::vector<OutputFile>& files);
