// glTF 2.0 export: the model as the viewer shows it, with its parts, colours
// and palette-converted textures, for today's modelling programs, engines
// and web viewers.
#pragma once

#include <string>
#include <vector>

#include "convert/export_scene.h"

class CModel;

// Builds the files of a glTF export of the model in memory; nothing is
// written. binary: one ".glb" at outPath with the geometry and the PNG
// textures inside. Otherwise the JSON at outPath, with the geometry in
// "<stem>_geometry.bin" and one "<stem>.<material>.png" per texture beside
// it ("dir/plane.gltf" -> "dir/plane_geometry.bin", "dir/plane.fabric.png";
// the buffer is never "<stem>.bin", which is usually the model itself). The
// main file comes last in files.
//
// The model must have its palette applied and its texture images read
// (ApplyPalette, ReadTextureImages); a texture that could not be read gives
// the white the viewer draws instead. Says why when a texture cannot
// be encoded or the library fails.
// The buffer of a ".gltf" at outPath: "<stem>_geometry.bin".
std::string GltfBufferPath(const std::string& outPath);

BuildResult BuildGltf(const CModel& model, const std::string& outPath, bool binary,
                      std::vector<OutputFile>& files);
