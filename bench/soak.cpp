// Soak: a long session through the document in a headless OpenGL context.
// Each cycle opens the model, switches the palette (which opens it again,
// as the viewer does) and switches the look to outlines and back, drawing
// a frame after each step. Memory after the first 10 cycles and after the
// last shows whether anything grows with use: the resident size as it is,
// then again once the allocator has handed its free pages back (what is
// really in use), and the bytes malloc holds for the program and its
// libraries, Mesa's software rasteriser included. --no-draw leaves the
// frames out, which tells the document's own memory from the rasteriser's.
//
//   soak [CYCLES] [--no-draw]   (default 1000; bench/soak.sh runs it)
#include <GL/gl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "bench_support.h"
#include "doc/zorvik_doc.h"
#include "render/frame_memory.h"
#include "render/headless_gl.h"
#include "support/recording_platform.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kWarmUpCycles = 10;

struct Memory {
  long residentKiB = 0;
  long trimmedKiB = 0;  // resident once free pages went back to the system
  long heapKiB = 0;     // handed out by malloc
};

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

Memory Sample() {
  Memory memory;
  memory.residentKiB = ResidentKiB();
  malloc_trim(0);
  memory.trimmedKiB = ResidentKiB();
  const struct mallinfo2 info = mallinfo2();
  memory.heapKiB = static_cast<long>((info.uordblks + info.hblkhd) / 1024);
  return memory;
}

double Percent(long from, long to) {
  return from > 0 ? 100.0 * static_cast<double>(to - from) / static_cast<double>(from) : 0.0;
}

// What the opens said, each text once: the demo lacks a texture on purpose.
// The log is emptied every cycle so that it does not grow.
void ReportMessages(platform::RecordingPlatform& ui, const char* name, bool first) {
  std::set<std::string> texts;
  for (const auto& message : ui.messages()) texts.insert(message.text);
  for (std::string text : texts) {
    if (!first) break;
    for (char& c : text) c = (c == '\r' || c == '\n') ? ' ' : c;
    std::printf("%-6s message of each open: %s\n", name, text.c_str());
  }
  ui.ClearLog();
}

struct Session {
  platform::RecordingPlatform& ui;
  int cycles = 0;
  bool draw = true;
};

void Frame(const Session& session, CZorvikDoc& doc) {
  if (!session.draw) return;
  doc.DrawScene();
  glFinish();
}

// False when an open fails.
bool Soak(const Session& session, const char* name, const std::string& path) {
  CZorvikDoc doc;
  doc.SetupScene(kWidth, kHeight);
  Memory start;
  for (int cycle = 1; cycle <= session.cycles; ++cycle) {
    for (int palette : {0, 1}) {
      if (!doc.LoadModel(path, palette).Ok()) {
        ReportMessages(session.ui, name, true);
        return false;
      }
      Frame(session, doc);
    }
    doc.SetPolygonMode(kPolygonModeLine);
    Frame(session, doc);
    doc.SetPolygonMode(kPolygonModeFill);
    Frame(session, doc);
    ReportMessages(session.ui, name, cycle == 1);
    if (cycle == kWarmUpCycles) start = Sample();
  }
  const Memory end = Sample();
  std::printf(
      "%-6s after %d cycles -> after %d, KiB: resident %ld -> %ld (%+.1f %%), "
      "in use %ld -> %ld (%+.1f %%), malloc %ld -> %ld\n",
      name, kWarmUpCycles, session.cycles, start.residentKiB, end.residentKiB,
      Percent(start.residentKiB, end.residentKiB), start.trimmedKiB, end.trimmedKiB,
      Percent(start.trimmedKiB, end.trimmedKiB), start.heapKiB, end.heapKiB);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int cycles = 1000;
  bool draw = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--no-draw") {
      draw = false;
    } else {
      cycles = std::atoi(arg.c_str());
    }
  }
  if (cycles < kWarmUpCycles) {
    std::fprintf(stderr, "usage: soak [CYCLES >= %d] [--no-draw]\n", kWarmUpCycles);
    return 2;
  }
  bench::SampleContent content;
  if (!content.ok()) {
    std::fprintf(stderr, "soak: %s\n", content.error().c_str());
    return 1;
  }
  // As the window does: the frames reuse the driver's freed memory.
  render::KeepFreedMemoryForFrames();
  HeadlessGlContext context;
  if (!context.Create(kWidth, kHeight)) {
    std::fprintf(stderr, "soak: no headless OpenGL: %s\n", context.error().c_str());
    return 1;
  }
  platform::ScopedRecordingPlatform ui;
  const char* threads = std::getenv("LP_NUM_THREADS");
  std::printf("resident at start: %ld KiB; %d cycles%s; LP_NUM_THREADS %s\n", ResidentKiB(), cycles,
              draw ? "" : ", no frames drawn", threads != nullptr ? threads : "unset");
  std::fflush(stdout);
  const Session session{ui, cycles, draw};
  const bool ok =
      Soak(session, "demo", content.Biplane()) && Soak(session, "large", content.LargeModel());
  return ok ? 0 : 1;
}
