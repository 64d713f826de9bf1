// Model space of the biplane: x to the right as seen from the front, y up,
// z forward (the nose points at the viewer before any turn); the origin
// lies between the wings, so the aircraft turns about its middle. Units
// are metres.
//
// The parts and their frames:
//   root       struts, undercarriage and tail skid, stored in model space
//   fuselage   local x runs back along the body
//   upwing     upper wing, local x along the span, set at an incidence
//   lowwing    lower wing, the same
//   tail       tailplane and fin, modelled facing backwards and turned round
//   engine     in the fuselage's frame, local z along the thrust line
//   prop       in the engine's frame, turned about the thrust line
#include "biplane.h"

#include <array>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <numbers>
#include <utility>

#include "geometry.h"

namespace samples {

namespace {

// Material ids. "metal" and "wood" share an id: a polygon's colour flag
// picks one or the other.
enum MaterialId : std::uint8_t {
  kFabricWing = 1,
  kFabricTail,
  kHull,
  kMetal,
  kWood = kMetal,
  kRoundel,
  kRudder,
  kScreen,
  kPilot,
  kStrut,
  kTyre,
  kSpinner,
  kEngine,
};

constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------- wings

// How a face of a flying surface takes its texture.
enum class Mapping {
  kFabric,  // repeats with the span and chord, so ribs fall every half metre
  kPanel,   // one copy across the face: decals such as roundels
  kChord,   // across the whole chord, repeating along the span: rudder stripes
};

struct Skin {
  Surface surface;
  Mapping mapping = Mapping::kFabric;
};

struct Station {
  double span;   // position along the span
  double lead;   // chord coordinate of the leading edge
  double trail;  // and of the trailing edge
};

// The section: six points, as a fraction of the chord from the leading
// edge and a fraction of the thickness above the chord line. Edge 1-2 is
// the main upper face.
struct Profile {
  std::array<double, 6> along;
  std::array<double, 6> above;
};

constexpr Profile kCambered = {{0.0, 0.22, 0.7, 1.0, 0.7, 0.22}, {0.0, 0.5, 0.4, 0.0, -0.2, -0.25}};
constexpr Profile kSymmetric = {{0.0, 0.22, 0.7, 1.0, 0.7, 0.22}, {0.0, 0.5, 0.4, 0.0, -0.4, -0.5}};

struct WingSpec {
  std::vector<Station> stations;
  Profile profile;
  double thickness;
  // Turns (span, thickness, chord) coordinates into the part's frame.
  std::function<Vec3(double, double, double)> place;
  // Skin of edge e of the segment between stations s and s + 1.
  std::function<Skin(int s, int e)> skin;
  Surface cap;  // the two end faces
};

constexpr double kFabricRepeat = 2.0;  // texture repeats per metre

void AddWing(Part& part, const WingSpec& w) {
  const std::size_t n = w.stations.size();
  auto chordAt = [&](const Station& st, int p) {
    return st.lead + (st.trail - st.lead) * w.profile.along[static_cast<std::size_t>(p)];
  };
  auto pointAt = [&](const Station& st, int p) {
    return w.place(st.span, w.thickness * w.profile.above[static_cast<std::size_t>(p)],
                   chordAt(st, p));
  };
  std::vector<std::array<int, 6>> ring(n);
  std::vector<Vec3> centre(n);
  for (std::size_t i = 0; i < n; ++i) {
    for (int p = 0; p < 6; ++p) {
      const Vec3 v = pointAt(w.stations[i], p);
      ring[i][static_cast<std::size_t>(p)] = part.AddVertex(v);
      centre[i] = centre[i] + v * (1.0 / 6.0);
    }
  }
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Vec3 inside = (centre[i] + centre[i + 1]) * 0.5;
    for (int e = 0; e < 6; ++e) {
      const int f = (e + 1) % 6;
      const Skin skin = w.skin(static_cast<int>(i), e);
      std::vector<std::array<float, 2>> uv;
      const std::array<std::pair<std::size_t, int>, 4> corners = {
          {{i, e}, {i, f}, {i + 1, f}, {i + 1, e}}};
      for (const auto& [st, p] : corners) {
        const Station& s = w.stations[st];
        const double along = w.profile.along[static_cast<std::size_t>(p)];
        double u = 0.0, v = 0.0;
        switch (skin.mapping) {
          case Mapping::kFabric:
            u = s.span * kFabricRepeat;
            v = chordAt(s, p);
            break;
          case Mapping::kPanel:
            u = (s.span - w.stations[i].span) / (w.stations[i + 1].span - w.stations[i].span);
            v = (along - w.profile.along[1]) / (w.profile.along[2] - w.profile.along[1]);
            break;
          case Mapping::kChord:
            u = along;
            v = s.span * kFabricRepeat;
            break;
        }
        uv.push_back({static_cast<float>(u), static_cast<float>(v)});
      }
      part.AddFace(
          {ring[i][static_cast<std::size_t>(e)], ring[i][static_cast<std::size_t>(f)],
           ring[i + 1][static_cast<std::size_t>(f)], ring[i + 1][static_cast<std::size_t>(e)]},
          inside, skin.surface, uv);
    }
  }
  // End caps: six corners each, with vertices of their own so the tips
  // are lit flat.
  for (std::size_t i : {std::size_t{0}, n - 1}) {
    const Vec3 inside = i == 0 ? centre[1] : centre[n - 2];
    std::vector<Vec3> points;
    std::vector<std::array<float, 2>> uv;
    for (int p = 0; p < 6; ++p) {
      points.push_back(pointAt(w.stations[i], p));
      uv.push_back({static_cast<float>(chordAt(w.stations[i], p)),
                    static_cast<float>(w.profile.above[static_cast<std::size_t>(p)])});
    }
    part.AddFlatFace(points, inside, w.cap, uv);
  }
}

Vec3 Horizontal(double span, double thick, double chord) { return {span, thick, chord}; }
Vec3 Vertical(double span, double thick, double chord) { return {thick, span, chord}; }

// The stations of a surface symmetric about the centre line, from those of
// its right half, innermost first; a station on the centre line is taken
// once.
std::vector<Station> BothSides(std::initializer_list<Station> half) {
  std::vector<Station> stations;
  for (auto it = std::rbegin(half); it != std::rend(half); ++it) {
    if (it->span != 0.0) stations.push_back({-it->span, it->lead, it->trail});
  }
  stations.insert(stations.end(), half.begin(), half.end());
  return stations;
}

// The same skin on every face.
std::function<Skin(int, int)> Everywhere(Skin skin) {
  return [skin](int, int) { return skin; };
}

// The two main planes: cambered, spanning x, the ends capped in wing
// fabric.
Part MainPlane(const char* name, std::initializer_list<Station> half, double thickness,
               std::function<Skin(int, int)> skin) {
  Part part(name);
  AddWing(part, {.stations = BothSides(half),
                 .profile = kCambered,
                 .thickness = thickness,
                 .place = Horizontal,
                 .skin = std::move(skin),
                 .cap = Textured(kFabricWing)});
  return part;
}

// A roundel on the upper face near each tip, between stations 1-2 and 7-8.
Part UpperWing() {
  return MainPlane("upwing",
                   {{0.5, 0.65, -0.65},
                    {1.6, 0.65, -0.65},
                    {2.9, 0.65, -0.65},
                    {3.55, 0.65, -0.65},
                    {4.0, 0.5, -0.55}},
                   0.12, [](int s, int e) {
                     if (e == 1 && (s == 1 || s == 7))
                       return Skin{Textured(kRoundel), Mapping::kPanel};
                     return Skin{Textured(kFabricWing), Mapping::kFabric};
                   });
}

Part LowerWing() {
  return MainPlane(
      "lowwing",
      {{0.0, 0.6, -0.6}, {1.3, 0.6, -0.6}, {2.6, 0.6, -0.6}, {3.2, 0.6, -0.6}, {3.7, 0.45, -0.5}},
      0.11, Everywhere({Textured(kFabricWing), Mapping::kFabric}));
}

// The tail's frame faces backwards (it is turned half round about y to
// fit), so in it the leading edges lie toward -z.
Part Tail() {
  Part part("tail");
  const WingSpec plane{
      .stations = BothSides({{0.0, -0.65, 0.4}, {0.9, -0.55, 0.4}, {1.6, -0.2, 0.35}}),
      .profile = kSymmetric,
      .thickness = 0.06,
      .place = Horizontal,
      .skin = Everywhere({Textured(kFabricTail), Mapping::kFabric}),
      .cap = Textured(kFabricTail)};
  AddWing(part, plane);

  const WingSpec fin{.stations = {{0.08, -0.7, 0.45}, {0.7, -0.15, 0.45}, {1.0, 0.1, 0.38}},
                     .profile = kSymmetric,
                     .thickness = 0.06,
                     .place = Vertical,
                     .skin = Everywhere({Textured(kRudder), Mapping::kChord}),
                     .cap = Textured(kFabricTail)};
  AddWing(part, fin);
  return part;
}

// ------------------------------------------------------------- fuselage

// An octagon with flat top, bottom and sides, centred on (0, centreY) of
// the y-z plane at local x.
std::array<Vec3, 8> Octagon(double x, double halfWidth, double halfHeight, double centreY) {
  std::array<Vec3, 8> ring;
  const double flat = std::cos(kPi / 8);
  for (std::size_t k = 0; k < 8; ++k) {
    const double a = kPi / 8 + kPi / 4 * static_cast<double>(k);
    ring[k] = {x, centreY + halfHeight * std::sin(a) / flat, halfWidth * std::cos(a) / flat};
  }
  return ring;
}

// Fuselage lengths below are measured back from the firewall; the frame's
// origin lies midway along the body, so the stored coordinates stay close
// round the origin as the other parts' do.
constexpr double kMidship = 2.85;

Vec3 Body(double fromFirewall, double y, double z) { return {fromFirewall - kMidship, y, z}; }

struct FuselageStation {
  double x, halfWidth, halfHeight, centreY;
};

void AddFuselageBody(Part& part) {
  const std::array<FuselageStation, 6> stations = {{{0.0, 0.5, 0.55, 0.0},
                                                    {0.6, 0.5, 0.55, 0.0},
                                                    {1.8, 0.48, 0.52, 0.02},
                                                    {2.9, 0.38, 0.42, 0.08},
                                                    {4.2, 0.24, 0.28, 0.16},
                                                    {5.7, 0.08, 0.1, 0.26}}};
  std::array<std::array<int, 8>, 6> rings;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const auto& s = stations[i];
    const auto points = Octagon(s.x - kMidship, s.halfWidth, s.halfHeight, s.centreY);
    for (std::size_t k = 0; k < 8; ++k) rings[i][k] = part.AddVertex(points[k]);
  }
  // The section behind the engine is metal; the rest is covered in fabric
  // whose texture wraps once round the body.
  for (std::size_t i = 0; i + 1 < stations.size(); ++i) {
    const Vec3 inside = Body((stations[i].x + stations[i + 1].x) / 2,
                             (stations[i].centreY + stations[i + 1].centreY) / 2, 0);
    for (std::size_t k = 0; k < 8; ++k) {
      const std::size_t next = (k + 1) % 8;
      const std::vector<int> corners = {rings[i][k], rings[i][next], rings[i + 1][next],
                                        rings[i + 1][k]};
      if (i == 0) {
        part.AddFace(corners, inside, Colour(kMetal));
        continue;
      }
      const auto u0 = static_cast<float>(stations[i].x * kFabricRepeat);
      const auto u1 = static_cast<float>(stations[i + 1].x * kFabricRepeat);
      const auto v0 = static_cast<float>(k) / 8.0f;
      const auto v1 = static_cast<float>(k + 1) / 8.0f;
      part.AddFace(corners, inside, Textured(kHull), {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}});
    }
  }
  // Eight-cornered ends: the firewall behind the engine and the tail post.
  const std::vector<int> front(rings[0].begin(), rings[0].end());
  part.AddFace(front, Body(1.0, 0.0, 0.0), Colour(kMetal));
  std::vector<std::array<float, 2>> uv;
  for (std::size_t k = 0; k < 8; ++k) {
    uv.push_back({static_cast<float>(k) / 8.0f, 0.5f});
  }
  const std::vector<int> back(rings[5].begin(), rings[5].end());
  part.AddFace(back, Body(4.5, 0.2, 0.0), Textured(kHull), uv);
}

// A three-pane windscreen: one sloping front pane and two side triangles.
void AddWindscreen(Part& part) {
  const double baseY = 0.52, topY = 0.84;
  const Vec3 baseRight = Body(1.95, baseY, 0.22), baseLeft = Body(1.95, baseY, -0.22);
  const Vec3 topRight = Body(2.2, topY, 0.2), topLeft = Body(2.2, topY, -0.2);
  const Vec3 backRight = Body(2.22, baseY, 0.24), backLeft = Body(2.22, baseY, -0.24);
  const Vec3 inside = Body(2.15, 0.6, 0.0);
  const Surface glass = Textured(kScreen);
  part.AddFlatFace({baseRight, baseLeft, topLeft, topRight}, inside, glass,
                   {{1, 0}, {0, 0}, {0, 1}, {1, 1}});
  part.AddFlatFace({baseRight, topRight, backRight}, inside, glass, {{0, 0}, {1, 1}, {1, 0}});
  part.AddFlatFace({baseLeft, topLeft, backLeft}, inside, glass, {{0, 0}, {1, 1}, {1, 0}});
}

// The pilot's head above the rear cockpit.
void AddPilot(Part& part) {
  const double x0 = 2.4 - kMidship, x1 = 2.65 - kMidship, y0 = 0.45, y1 = 0.8, z = 0.11;
  const Vec3 inside{(x0 + x1) / 2, (y0 + y1) / 2, 0};
  const std::vector<std::array<float, 2>> uv = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const Surface head = Textured(kPilot);
  part.AddFlatFace({{x0, y0, -z}, {x0, y0, z}, {x0, y1, z}, {x0, y1, -z}}, inside, head, uv);
  part.AddFlatFace({{x1, y0, -z}, {x1, y0, z}, {x1, y1, z}, {x1, y1, -z}}, inside, head, uv);
  part.AddFlatFace({{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}, inside, head, uv);
  part.AddFlatFace({{x0, y0, -z}, {x1, y0, -z}, {x1, y1, -z}, {x0, y1, -z}}, inside, head, uv);
  part.AddFlatFace({{x0, y1, -z}, {x1, y1, -z}, {x1, y1, z}, {x0, y1, z}}, inside, head, uv);
}

Part Fuselage() {
  Part part("fuselage");
  AddFuselageBody(part);
  AddWindscreen(part);
  AddPilot(part);
  return part;
}

// --------------------------------------------------- engine and propeller

std::array<Vec3, 8> Circle(double radius, double z) {
  std::array<Vec3, 8> ring;
  for (std::size_t k = 0; k < 8; ++k) {
    const double a = kPi / 8 + kPi / 4 * static_cast<double>(k);
    ring[k] = {radius * std::cos(a), radius * std::sin(a), z};
  }
  return ring;
}

std::array<int, 8> AddRing(Part& part, const std::array<Vec3, 8>& points) {
  std::array<int, 8> ring;
  for (std::size_t k = 0; k < 8; ++k) ring[k] = part.AddVertex(points[k]);
  return ring;
}

void AddBand(Part& part, const std::array<int, 8>& a, const std::array<int, 8>& b, Vec3 inside,
             Surface surface) {
  for (std::size_t k = 0; k < 8; ++k) {
    const std::size_t next = (k + 1) % 8;
    part.AddFace({a[k], a[next], b[next], b[k]}, inside, surface);
  }
}

// A round cowling whose front is the dark face of a radial engine.
Part Engine() {
  Part part("engine");
  const auto back = AddRing(part, Circle(0.62, 0.0));
  const auto lip = AddRing(part, Circle(0.6, 0.45));
  const auto face = AddRing(part, Circle(0.42, 0.52));
  const Vec3 inside{0, 0, 0.25};
  AddBand(part, back, lip, inside, Colour(kMetal));
  AddBand(part, lip, face, inside, Colour(kMetal));
  part.AddFace({face.begin(), face.end()}, inside, Colour(kEngine));
  part.AddFace({back.begin(), back.end()}, inside, Colour(kMetal));
  return part;
}

// One wooden blade along +x, twisted from root to tip, turned by angle
// about the thrust line.
void AddBlade(Part& part, double angle) {
  struct Section {
    double radius, chord, pitch;
  };
  const std::array<Section, 3> sections = {
      {{0.12, 0.17, 40.0}, {0.55, 0.15, 28.0}, {1.0, 0.09, 18.0}}};
  const double thickness = 0.035;
  const Frame turn = RotationZ(angle);
  std::array<std::array<int, 4>, 3> rings;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const auto& s = sections[i];
    const double p = s.pitch * kPi / 180;
    const Vec3 chord{0, std::cos(p), std::sin(p)};
    const Vec3 across{0, -std::sin(p), std::cos(p)};
    const Vec3 axis{s.radius, 0, 0};
    const std::array<Vec3, 4> corners = {axis + chord * (s.chord / 2) + across * (thickness / 2),
                                         axis - chord * (s.chord / 2) + across * (thickness / 2),
                                         axis - chord * (s.chord / 2) - across * (thickness / 2),
                                         axis + chord * (s.chord / 2) - across * (thickness / 2)};
    for (std::size_t c = 0; c < 4; ++c) rings[i][c] = part.AddVertex(Apply(turn, corners[c]));
  }
  const Surface wood = Textured(kWood);
  for (std::size_t i = 0; i + 1 < sections.size(); ++i) {
    const Vec3 inside = Apply(turn, {(sections[i].radius + sections[i + 1].radius) / 2, 0, 0});
    const auto u0 = static_cast<float>(sections[i].radius);
    const auto u1 = static_cast<float>(sections[i + 1].radius);
    for (std::size_t c = 0; c < 4; ++c) {
      const std::size_t next = (c + 1) % 4;
      const float v0 = static_cast<float>(c) / 4.0f, v1 = static_cast<float>(c + 1) / 4.0f;
      part.AddFace({rings[i][c], rings[i][next], rings[i + 1][next], rings[i + 1][c]}, inside, wood,
                   {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}});
    }
  }
  const std::vector<std::array<float, 2>> capUv = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  part.AddFace({rings[2].begin(), rings[2].end()}, Apply(turn, {0.8, 0, 0}), wood, capUv);
  part.AddFace({rings[0].begin(), rings[0].end()}, Apply(turn, {0.3, 0, 0}), wood, capUv);
}

Part Propeller() {
  Part part("prop");
  // The spinner: a cone of triangles on an eight-cornered base.
  const auto base = AddRing(part, Circle(0.16, -0.08));
  const int tip = part.AddVertex({0, 0, 0.3});
  const Vec3 inside{0, 0, 0.05};
  for (std::size_t k = 0; k < 8; ++k) {
    part.AddFace({base[k], base[(k + 1) % 8], tip}, inside, Colour(kSpinner));
  }
  part.AddFace({base.begin(), base.end()}, inside, Colour(kSpinner));
  AddBlade(part, 0.0);
  AddBlade(part, 180.0);
  return part;
}

// ------------------------------------------------------------------ root

// An eight-sided wheel turning about the x axis.
void AddWheel(Part& part, Vec3 hub, double radius, double width) {
  std::array<std::array<int, 8>, 2> sides;
  for (std::size_t s = 0; s < 2; ++s) {
    const double x = hub.x + (s == 0 ? -width / 2 : width / 2);
    for (std::size_t k = 0; k < 8; ++k) {
      const double a = kPi / 8 + kPi / 4 * static_cast<double>(k);
      sides[s][k] = part.AddVertex({x, hub.y + radius * std::sin(a), hub.z + radius * std::cos(a)});
    }
  }
  const Surface tyre = Colour(kTyre);
  for (std::size_t k = 0; k < 8; ++k) {
    const std::size_t next = (k + 1) % 8;
    part.AddFace({sides[0][k], sides[0][next], sides[1][next], sides[1][k]}, hub, tyre);
  }
  part.AddFace({sides[0].begin(), sides[0].end()}, hub, tyre);
  part.AddFace({sides[1].begin(), sides[1].end()}, hub, tyre);
}

Part Root() {
  Part part("biplane");
  const Surface strut = Colour(kStrut);
  const double stagger = 0.15;
  for (double side : {-1.0, 1.0}) {
    // Interplane struts, front and rear spar, leaning forward with the
    // upper wing's stagger.
    const double x = 2.75 * side;
    AddRod(part, {x, -0.39, 0.3}, {x, 1.42, 0.3 + stagger}, 0.06, strut);
    AddRod(part, {x, -0.39, -0.3}, {x, 1.42, -0.3 + stagger}, 0.06, strut);
    // Cabane struts from the fuselage top to the upper wing.
    AddRod(part, {0.3 * side, 0.5, 0.7}, {0.45 * side, 1.42, 0.55}, 0.05, strut);
    AddRod(part, {0.3 * side, 0.5, 0.1}, {0.45 * side, 1.42, 0.0}, 0.05, strut);
    // Undercarriage legs from the axle up to the fuselage.
    const Vec3 axleEnd{0.75 * side, -1.28, 0.75};
    AddRod(part, axleEnd, {0.3 * side, -0.52, 1.2}, 0.06, strut);
    AddRod(part, axleEnd, {0.3 * side, -0.5, 0.2}, 0.06, strut);
    AddWheel(part, {0.85 * side, -1.28, 0.75}, 0.3, 0.12);
  }
  AddRod(part, {-0.8, -1.28, 0.75}, {0.8, -1.28, 0.75}, 0.05, strut);
  // The tail skid has no material and takes the viewer's default colour.
  AddRod(part, {0, 0.08, -3.7}, {0, -0.22, -4.05}, 0.05, Surface{});
  return part;
}

}  // namespace

std::vector<lgmd::BuilderMaterial> BiplaneMaterials() {
  // Textured materials keep their texture number in the blue byte.
  // "fabric.wing" and "fabric.tail" name the same texture, "fabric.mip".
  // Colour materials are greys: the two regions show red and blue the
  // other way round, and grey reads the same in both.
  return {
      {"fabric.wing", 0, kFabricWing, 1, 200, 220},
      {"fabric.tail", 0, kFabricTail, 1, 200, 220},
      {"hull", 0, kHull, 2, 60, 30},
      {"metal", 1, kMetal, 176, 176, 176},
      {"wood", 0, kWood, 3, 90, 140},
      {"roundel", 0, kRoundel, 4, 40, 200},
      {"rudder", 0, kRudder, 5, 40, 200},
      {"t_screen", 0, kScreen, 6, 200, 200},
      {"pilot", 0, kPilot, 7, 160, 200},
      {"strut", 1, kStrut, 70, 70, 70},
      {"tyre", 1, kTyre, 30, 30, 30},
      {"spinner", 1, kSpinner, 215, 215, 215},
      {"engine", 1, kEngine, 46, 44, 44},
  };
}

bool BuildBiplane(lgmd::ModelDesc& desc, std::string& error) {
  desc = {};
  desc.version = 4;
  desc.name = "biplane";
  desc.materials = BiplaneMaterials();

  // The fuselage's local x runs back along the body (the model's -z) and
  // its local z is the model's x; its origin lies midship, behind the
  // firewall at z = 1.4.
  constexpr double kFirewallZ = 1.4;
  const Frame fuselageFrame{{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {0, 0, kFirewallZ - kMidship}};
  // The engine's thrust line (its local z) points forward, the fuselage's
  // -x, from the firewall and a little below the fuselage's axis.
  const Frame engineFrame{{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}, {-kMidship, -0.02, 0}};
  std::vector<SubObjectSpec> parts;
  parts.push_back({Fuselage(), fuselageFrame, -1});
  parts.push_back({UpperWing(), Then(RotationX(-3.0), Translation({0, 1.45, 0.25})), -1});
  parts.push_back({LowerWing(), Then(RotationX(-2.0), Translation({0, -0.45, 0.1})), -1});
  parts.push_back({Tail(), Then(RotationY(180.0), Translation({0, 0.26, -3.95})), -1});
  parts.push_back({Engine(), engineFrame, 0});
  parts.push_back({Propeller(), Then(RotationZ(30.0), Translation({0, 0, 0.62})), 4});
  return Assemble(Root(), parts, desc, error);
}

}  // namespace samples
