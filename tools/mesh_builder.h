// mesh_builder.h: a small triangle-mesh builder for the game's models.
// Every solid it makes is closed and wound counter-clockwise seen from
// outside, so the game's normals (flip 0) point outward. A model is a union
// of such solids; append() refuses a part that is inside out or has a
// triangle of zero area, which catches mistakes when a model is edited.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

struct V3 {
  double x, y, z;
};

// A profile point of a solid of revolution: position along the axis and
// distance from it.
using AxialPoint = std::pair<double, double>;
// A polygon corner in the plane of a slab.
using Point2 = std::pair<double, double>;

class Mesh {
 public:
  std::vector<V3> vertices;
  std::vector<std::array<int, 3>> faces;

  int addVertex(V3 v);
  void addTriangle(int a, int b, int c) { faces.push_back({a, b, c}); }

  // Adds a closed part; throws std::logic_error if it is inside out or
  // has a degenerate triangle.
  Mesh& append(const Mesh& part);

  Mesh& translate(V3 by);
  Mesh& scale(double sx, double sy, double sz);  // positive factors only
  // Right-handed turns by degrees about the world axes.
  Mesh& rotateX(double degrees);
  Mesh& rotateY(double degrees);
  Mesh& rotateZ(double degrees);

  double signedVolume() const;
  double smallestTriangleArea() const;

  // The OFF text: "OFF", counts, vertices, then "3 a b c" faces.
  std::string toOff() const;
};

// A solid of revolution about the +x axis. The profile runs from one end of
// the axis to the other and must start and end on the axis (radius 0); a
// flat end is made by a point (a, 0) followed by (a, r). Travelling along
// the profile, the solid must lie on the side of the axis (so for a plain
// body the axial positions increase). phaseDegrees turns the facets.
Mesh revolve(const std::vector<AxialPoint>& profile, int segments, double phaseDegrees = 0);

// Profile of an ellipsoid centred at c along the axis with half-length
// halfLength and radius radius, from -x end to +x end.
std::vector<AxialPoint> ellipsoidProfile(double c, double halfLength, double radius, int rings);

Mesh box(V3 lo, V3 hi);

// A convex polygon (counter-clockwise in the xy plane) extruded to the
// given thickness along z, centred on z = 0. Wings, fins, wedges.
Mesh slab(const std::vector<Point2>& polygon, double thickness);

// A bar of square section (side width) from a to b, e.g. a shroud line.
Mesh strut(V3 a, V3 b, double width);
