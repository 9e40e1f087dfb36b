// models.cpp: the plane, trooper, parachute, bomb, shell, missile and cannon
// meshes. Sizes are in world units; every model points its nose along +x
// and is drawn turned by its yaw about +z and pitch about -y.
#include "tools/models.h"

#include <cmath>

#include "tools/data_writer.h"
#include "tools/settings_file.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBombDesignScale = 0.2;  // the bomb section's scale in settings.txt

// A fin or wing panel in the xz plane (profile given as x, z corners,
// counter-clockwise seen from -y), thickness along y.
Mesh verticalPanel(const std::vector<Point2>& xz, double thickness) {
  return slab(xz, thickness).rotateX(90);
}

// Four tail fins in an X, each a trapezoid from the body radius outward.
void addCrossFins(Mesh& m, double xBack, double xFront, double rootR, double tipR, double tipChord,
                  double thickness, double phaseDegrees) {
  for (int i = 0; i < 4; ++i) {
    Mesh fin =
        slab({{xBack, rootR * 0.5}, {xFront, rootR * 0.5}, {xBack + tipChord, tipR}, {xBack, tipR}},
             thickness);
    fin.rotateX(phaseDegrees + 90 * i);
    m.append(fin);
  }
}

}  // namespace

Mesh buildPlane() {
  Mesh m;
  // Fuselage, 2.7 long, nose at +1.38.
  m.append(revolve({{-1.32, 0},
                    {-1.32, 0.05},
                    {-0.9, 0.1},
                    {-0.3, 0.16},
                    {0.6, 0.18},
                    {1.15, 0.17},
                    {1.3, 0.12},
                    {1.38, 0}},
                   12, 15));
  // Canopy over the front half.
  m.append(revolve(ellipsoidProfile(0.45, 0.3, 0.11, 8), 10).translate({0, 0, 0.14}));
  // Main wing through the fuselage, a little swept, span 2.8.
  m.append(slab({{-0.25, -1.4}, {0.1, -1.4}, {0.5, 0}, {0.1, 1.4}, {-0.25, 1.4}, {-0.3, 0}}, 0.07)
               .translate({0, 0, -0.04}));
  // Tailplane and fin.
  m.append(slab({{-1.32, -0.55}, {-1.12, -0.55}, {-0.92, 0}, {-1.12, 0.55}, {-1.32, 0.55}}, 0.05)
               .translate({0, 0, 0.04}));
  m.append(verticalPanel({{-1.32, 0.05}, {-0.95, 0.05}, {-1.2, 0.55}, {-1.34, 0.55}}, 0.05));
  // Propeller hub and blade.
  m.append(box({1.37, -0.025, -0.36}, {1.41, 0.025, 0.36}));
  return m;
}

Mesh buildTrooper() {
  Mesh m;                                                   // feet at z = 0, facing +x, 0.6 tall
  m.append(box({-0.04, -0.085, 0}, {0.05, -0.015, 0.27}));  // legs
  m.append(box({-0.04, 0.015, 0}, {0.05, 0.085, 0.27}));
  m.append(box({-0.01, -0.085, 0}, {0.09, -0.015, 0.04}));  // boots
  m.append(box({-0.01, 0.015, 0}, {0.09, 0.085, 0.04}));
  m.append(box({-0.05, -0.1, 0.26}, {0.06, 0.1, 0.48}));    // torso
  m.append(box({-0.11, -0.08, 0.3}, {-0.05, 0.08, 0.46}));  // pack
  // Arms raised to the risers.
  m.append(strut({0, -0.1, 0.46}, {0, -0.17, 0.58}, 0.05));
  m.append(strut({0, 0.1, 0.46}, {0, 0.17, 0.58}, 0.05));
  m.append(revolve(ellipsoidProfile(0, 0.065, 0.06, 8), 10).rotateY(-90).translate({0, 0, 0.535}));
  return m;
}

Mesh buildChute() {
  Mesh m;
  // Canopy: a thin dome whose centre of rotation lies 1.45 above the feet;
  // rim at about 1.9, top at 2.4.
  const double centre = 1.45, outer = 0.95, thick = 0.03, rimAngle = 62 * kPi / 180;
  const int steps = 6, gores = 12;
  std::vector<AxialPoint> profile;    // axis is +z after the turn below
  for (int i = 0; i <= steps; ++i) {  // inner surface, apex to rim
    double a = rimAngle * i / steps;
    profile.push_back(
        {centre + (outer - thick) * std::cos(a), i ? (outer - thick) * std::sin(a) : 0});
  }
  for (int i = steps; i >= 0; --i) {  // outer surface, rim to apex
    double a = rimAngle * i / steps;
    profile.push_back({centre + outer * std::cos(a), i ? outer * std::sin(a) : 0});
  }
  m.append(revolve(profile, gores).rotateY(-90));
  // Shroud lines from the rim down to the trooper's raised hands.
  const double rimR = outer * std::sin(rimAngle) * 0.97;
  const double rimZ = centre + outer * std::cos(rimAngle) + 0.01;
  for (int i = 0; i < 8; ++i) {
    double a = 2 * kPi * (i + 0.5) / 8;
    double side = std::sin(a) < 0 ? -0.17 : 0.17;
    m.append(strut({rimR * std::cos(a), rimR * std::sin(a), rimZ}, {0, side, 0.6}, 0.015));
  }
  return m;
}

// The bomb as it should look in the game: 0.8 long, 0.25 thick, with a cross
// of tail fins. The loader stretches the bomb by (0.5, 5, 5) x its section's
// scale, so bomb.off holds it shrunk by that stretch for a section scale of
// kBombDesignScale: with that scale the game shows exactly this shape, and
// another scale in settings.txt makes the bomb that much larger or smaller.
Mesh buildBomb() {
  Mesh m;
  m.append(revolve({{-0.36, 0},
                    {-0.36, 0.04},
                    {-0.26, 0.09},
                    {-0.12, 0.125},
                    {0.2, 0.125},
                    {0.3, 0.1},
                    {0.37, 0.06},
                    {0.4, 0}},
                   12));
  addCrossFins(m, -0.4, -0.2, 0.12, 0.16, 0.1, 0.015, 0);
  return m.scale(1 / (0.5 * kBombDesignScale), 1 / (5 * kBombDesignScale),
                 1 / (5 * kBombDesignScale));
}

Mesh buildShell() {
  // A tracer 0.6 long: the round at the front, a thin glowing tail behind.
  // The length also keeps its hit box long enough that a fast shell cannot
  // step over a trooper between two frames.
  Mesh m;
  m.append(revolve(
      {{-0.52, 0}, {-0.52, 0.01}, {-0.1, 0.02}, {0.02, 0.022}, {0.06, 0.012}, {0.08, 0}}, 8));
  return m;
}

// The missile is 0.8 long with its nose at the origin and its body behind.
// The game's missile camera rides just above the origin looking ahead, so
// the whole model stays behind the eye and the view ahead is clear.
Mesh buildMissile() {
  Mesh m;
  m.append(revolve({{-0.4, 0},
                    {-0.4, 0.03},
                    {-0.37, 0.045},
                    {0.26, 0.045},
                    {0.33, 0.036},
                    {0.38, 0.018},
                    {0.4, 0}},
                   10));
  addCrossFins(m, -0.4, -0.2, 0.045, 0.13, 0.08, 0.012, 45);
  addCrossFins(m, 0.12, 0.2, 0.045, 0.075, 0.05, 0.01, 45);
  return m.translate({-0.4, 0, 0});
}

Mesh buildCannon() {
  Mesh m;  // stands on z = 0; barrels along +x from the pivot near the origin
  // Round base plate with a bevelled edge.
  m.append(revolve({{0, 0}, {0, 0.42}, {0.09, 0.42}, {0.13, 0.37}, {0.13, 0}}, 16).rotateY(-90));
  // Turret: a sloped block, side profile in xz extruded along y.
  m.append(verticalPanel({{-0.3, 0.12}, {0.26, 0.12}, {0.16, 0.36}, {-0.26, 0.36}}, 0.48));
  // Mantlet and twin barrels at z = 0.26, thin and low so the view from
  // 0.6 above the pivot passes over them.
  m.append(box({0.12, -0.15, 0.19}, {0.3, 0.15, 0.33}));
  for (double y : {-0.08, 0.08}) {
    m.append(revolve({{0.2, 0},
                      {0.2, 0.035},
                      {1.05, 0.03},
                      {1.06, 0.042},
                      {1.2, 0.042},
                      {1.2, 0.025},
                      {1.19, 0}},
                     10)
                 .translate({0, y, 0.26}));
  }
  return m;
}

void writeModels(const DataFolder& folder) {
  struct Entry {
    const char* setting;
    Mesh (*build)();
  };
  const Entry entries[] = {
      {"plane model file", buildPlane},     {"trooper model file", buildTrooper},
      {"parachute model file", buildChute}, {"bomb model file", buildBomb},
      {"shell model file", buildShell},     {"missile model file", buildMissile},
      {"cannon model file", buildCannon}};
  for (const Entry& e : entries) {
    writeBytes(folder.path(settingValue(e.setting)), e.build().toOff());
  }
}
