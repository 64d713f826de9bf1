#include "render/draw_recording.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "model/model.h"
#include "render/draw_walk.h"
#include "render/texture_set.h"

namespace {

constexpr std::size_t kFloatsPerCorner = 12;

// A batch ends after this many texture binds or polygons, whichever comes
// first: a few megabytes of queued work in Mesa's software renderer, and
// few enough batches per frame that waiting for them costs nothing seen.
constexpr std::size_t kBindsPerBatch = 128;
constexpr std::size_t kPolygonsPerBatch = 1024;

// How long the replay waits for a batch before it goes on regardless:
// the wait only bounds memory, it must never freeze the window.
constexpr GLuint64 kBatchWaitNs = 1'000'000'000;

using Command = CDrawRecording::Command;

// Keeps the walk's calls instead of sending them.
class RecordingSink {
 public:
  RecordingSink(largemem::Vector<Command>& commands, largemem::Vector<float>& corners,
                largemem::Vector<int>& firsts, largemem::Vector<int>& counts)
      : m_commands(commands), m_corners(corners), m_firsts(firsts), m_counts(counts) {}

  void EnableTexture() { Push(Command::Kind::kEnableTexture); }
  void DisableTexture() { Push(Command::Kind::kDisableTexture); }
  void BindTexture(unsigned name) { Push(Command::Kind::kBindTexture).name = name; }
  // Kept for the corners that follow rather than as a state change.
  void Colour(const float colour[4]) { std::copy(colour, colour + 4, m_colour); }
  void BeginPolygon() {
    // Polygons with no state change between them make one run.
    if (m_commands.empty() || m_commands.back().kind != Command::Kind::kPolygons) {
      Push(Command::Kind::kPolygons).first = m_firsts.size();
    }
    m_firstCorner = static_cast<int>(m_corners.size() / kFloatsPerCorner);
  }
  void Corner(const Vertex& vertex, float u, float v) {
    m_corners.insert(m_corners.end(),
                     {u, v, m_colour[0], m_colour[1], m_colour[2], m_colour[3], vertex.nx,
                      vertex.ny, vertex.nz, vertex.x, vertex.y, vertex.z});
  }
  void EndPolygon() {
    m_firsts.push_back(m_firstCorner);
    m_counts.push_back(static_cast<int>(m_corners.size() / kFloatsPerCorner) - m_firstCorner);
    ++m_commands.back().count;
  }

 private:
  Command& Push(Command::Kind kind) {
    m_commands.emplace_back();
    m_commands.back().kind = kind;
    return m_commands.back();
  }

  largemem::Vector<Command>& m_commands;
  largemem::Vector<float>& m_corners;
  largemem::Vector<int>& m_firsts;
  largemem::Vector<int>& m_counts;
  int m_firstCorner = 0;
  float m_colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// Turns texturing on once at the start and makes each "texturing off" a
// bind of the white texture, joining the runs that then follow each other
// with nothing between them. Only for a frame that textures at all: one
// without textures has no changes left to save.
void BindWhiteForUntextured(largemem::Vector<Command>& commands, unsigned white) {
  const auto textured = std::find_if(commands.begin(), commands.end(), [](const Command& c) {
    return c.kind == Command::Kind::kEnableTexture;
  });
  if (white == 0 || textured == commands.end()) return;
  largemem::Vector<Command> joined;
  joined.reserve(commands.size() + 1);
  joined.emplace_back().kind = Command::Kind::kEnableTexture;
  for (Command command : commands) {
    if (command.kind == Command::Kind::kEnableTexture) continue;
    if (command.kind == Command::Kind::kDisableTexture) {
      command.kind = Command::Kind::kBindTexture;
      command.name = white;
    }
    if (command.kind == Command::Kind::kPolygons && joined.back().kind == command.kind) {
      joined.back().count += command.count;
      continue;
    }
    joined.push_back(command);
  }
  commands.swap(joined);
}

// Ends a batch after every kBindsPerBatch binds or kPolygonsPerBatch
// polygons, splitting a run where it has to. Nothing ends the last batch:
// the frame's own end hands it over.
void EndBatches(largemem::Vector<Command>& commands) {
  largemem::Vector<Command> batched;
  batched.reserve(commands.size() + commands.size() / kBindsPerBatch + 1);
  std::size_t binds = 0;
  std::size_t polygons = 0;
  const auto end = [&] {
    batched.emplace_back().kind = Command::Kind::kEndBatch;
    binds = 0;
    polygons = 0;
  };
  for (Command command : commands) {
    if (command.kind == Command::Kind::kBindTexture && ++binds > kBindsPerBatch) {
      end();
      binds = 1;
    }
    if (command.kind != Command::Kind::kPolygons) {
      batched.push_back(command);
      continue;
    }
    while (polygons + command.count > kPolygonsPerBatch) {
      Command part = command;
      part.count = kPolygonsPerBatch - polygons;
      if (part.count > 0) batched.push_back(part);
      end();
      command.first += part.count;
      command.count -= part.count;
    }
    if (command.count > 0) batched.push_back(command);
    polygons += command.count;
  }
  commands.swap(batched);
}

// Whether the current context can wait for its own work: fences came with
// OpenGL 3.2 and before it with ARB_sync. Indirect GLX, for one, has
// neither.
bool ContextHasFences() {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0;
  int minor = 0;
  if (version != nullptr && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
      (major > 3 || (major == 3 && minor >= 2))) {
    return true;
  }
  const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (extensions == nullptr) return false;
  constexpr std::string_view kSync = "GL_ARB_sync";
  for (const char* at = std::strstr(extensions, kSync.data()); at != nullptr;
       at = std::strstr(at + 1, kSync.data())) {
    const bool starts = at == extensions || at[-1] == ' ';
    const char after = at[kSync.size()];
    if (starts && (after == ' ' || after == '\0')) return true;
  }
  return false;
}

// Hands each batch over as it ends and waits, before the next one is
// sent, until the one before it is drawn: one batch is drawn while the
// next is sent, and no more than two are ever queued.
class BatchQueue {
 public:
  explicit BatchQueue(bool fences) : m_bFences(fences) {}
  BatchQueue(const BatchQueue&) = delete;
  BatchQueue& operator=(const BatchQueue&) = delete;
  ~BatchQueue() {
    if (m_previous != nullptr) glDeleteSync(m_previous);
  }

  void EndBatch() {
    if (!m_bFences) return;
    GLsync ended = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    if (m_previous != nullptr) {
      glClientWaitSync(m_previous, 0, kBatchWaitNs);
      glDeleteSync(m_previous);
    }
    m_previous = ended;
  }

 private:
  bool m_bFences;
  GLsync m_previous = nullptr;
};

// Room for every corner the walk can send, so the arrays grow once.
std::size_t CornerBound(const CModel& model) {
  std::size_t corners = 0;
  for (const Polygon& polygon : model.Polygons()) corners += polygon.vecVertIdx.size();
  return corners;
}

}  // namespace

void CDrawRecording::Draw(const CModel& model, const CTextureSet& textures, int polygonMode) {
  // Drawing from the recorded arrays costs less than sending the calls one
  // at a time even for a single frame (a headless render), so the frame
  // that records replays too.
  if (!m_bRecorded || m_nPolygonMode != polygonMode ||
      m_nTextureGeneration != textures.Generation()) {
    Record(model, textures, polygonMode);
    // A recording binds the texture names of one context, so it is only
    // ever replayed there.
    m_bFences = ContextHasFences();
  }
  Replay();
}

void CDrawRecording::Record(const CModel& model, const CTextureSet& textures, int polygonMode) {
  m_vecCommands.clear();
  m_vecCorners.clear();
  m_vecFirsts.clear();
  m_vecCounts.clear();
  m_vecCorners.reserve(CornerBound(model) * kFloatsPerCorner);
  m_vecFirsts.reserve(model.Polygons().size());
  m_vecCounts.reserve(model.Polygons().size());
  RecordingSink recording(m_vecCommands, m_vecCorners, m_vecFirsts, m_vecCounts);
  drawwalk::Walk(model, textures, polygonMode, recording);

  BindWhiteForUntextured(m_vecCommands, textures.WhiteName());
  EndBatches(m_vecCommands);

  m_bRecorded = true;
  m_nPolygonMode = polygonMode;
  m_nTextureGeneration = textures.Generation();
}

void CDrawRecording::Replay() const {
  // Normals as the immediate draw sends them: floats, as glNormal3d stores
  // its doubles made from floats. Like the immediate draw, the replay sets
  // texturing before its first polygon, so it needs nothing from the frame
  // before; the current colour it leaves is the driver's to choose.
  glInterleavedArrays(GL_T2F_C4F_N3F_V3F, 0, m_vecCorners.data());
  BatchQueue batches(m_bFences);
  for (const Command& command : m_vecCommands) {
    switch (command.kind) {
      case Command::Kind::kEnableTexture:
        glEnable(GL_TEXTURE_2D);
        break;
      case Command::Kind::kDisableTexture:
        glDisable(GL_TEXTURE_2D);
        break;
      case Command::Kind::kBindTexture:
        glBindTexture(GL_TEXTURE_2D, command.name);
        break;
      case Command::Kind::kPolygons:
        // One call for the run; each polygon stays a GL_POLYGON of its own.
        glMultiDrawArrays(GL_POLYGON, m_vecFirsts.data() + command.first,
                          m_vecCounts.data() + command.first, static_cast<GLsizei>(command.count));
        break;
      case Command::Kind::kEndBatch:
        batches.EndBatch();
        break;
    }
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}
