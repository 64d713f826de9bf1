// The draw of a model, recorded once and replayed on every frame. A heavy
// model costs a hundred thousand calls per frame in immediate mode. The
// recording keeps what one immediate frame sends: the corners of every
// polygon in one array, each with the colour it was drawn in, and the
// texture changes between them, in the same order. The replay draws the
// same polygons as GL_POLYGONs from that array, so the picture is the same
// and only the cost of sending the corners one call at a time goes.
//
// Each state change ends the driver's batch, and a model whose polygons
// take turns between materials would change state on every polygon. So
// the colour travels with the corners (colour material lights with it just
// as with the current colour), and in a frame with textures the untextured
// polygons bind a white texture instead of turning texturing off: the
// colour modulated by white is the colour itself. What is left between
// runs is texture binds alone.
//
// A driver may queue a whole frame before it draws it: Mesa's software
// renderer keeps every state change of the queued work (some 30 KB each)
// and holds on to that memory until it reuses it, so a frame that took
// turns on every polygon left 80 to 120 MB behind, and which of the two
// depended on how the renderer's threads happened to keep pace. The replay
// therefore hands the frame over in batches of a bounded size and lets at
// most two be queued at once, where the context can tell when a batch is
// done.
#pragma once

#include <cstddef>
#include <vector>

#include "model/large_memory.h"

class CModel;
class CTextureSet;

class CDrawRecording {
 public:
  // Draws what Draw() draws, with the current context, by replaying the
  // recording; records first when there is no recording yet, when it was
  // made for the other look, or when the texture set has uploaded since
  // (the texture names it binds may have changed).
  void Draw(const CModel& model, const CTextureSet& textures, int polygonMode);

  // The model changed (a load, a palette switch): the next Draw records
  // anew.
  void Invalidate() { m_bRecorded = false; }

  // One state change, a run of polygons drawn with the state the changes
  // before it left, or the end of a batch.
  struct Command {
    enum class Kind { kEnableTexture, kDisableTexture, kBindTexture, kPolygons, kEndBatch };
    Kind kind = Kind::kPolygons;
    unsigned name = 0;      // kBindTexture
    std::size_t first = 0;  // kPolygons: index of the run's first polygon
    std::size_t count = 0;  // kPolygons: polygons in the run
  };

 private:
  void Record(const CModel& model, const CTextureSet& textures, int polygonMode);
  void Replay() const;

  bool m_bRecorded = false;
  // The recording's context has fences (OpenGL 3.2 or ARB_sync), so the
  // replay can wait for a batch to be drawn.
  bool m_bFences = false;
  int m_nPolygonMode = 0;
  unsigned m_nTextureGeneration = 0;
  largemem::Vector<Command> m_vecCommands;
  // Texture coordinate, colour, normal and position of each corner (the
  // layout of GL_T2F_C4F_N3F_V3F), polygon after polygon.
  largemem::Vector<float> m_vecCorners;
  // Per polygon drawn: its first corner and its number of corners.
  largemem::Vector<int> m_vecFirsts;
  largemem::Vector<int> m_vecCounts;
};
