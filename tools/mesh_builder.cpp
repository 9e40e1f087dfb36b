// mesh_builder.cpp: primitive solids, transforms and OFF output.
#include "tools/mesh_builder.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr double kPi = 3.14159265358979323846;

V3 sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(V3 a) { return std::sqrt(dot(a, a)); }
V3 scaled(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }

// Writes a number with six decimals and no trailing zeros, "-0" as "0".
std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

}  // namespace

int Mesh::addVertex(V3 v) {
  vertices.push_back(v);
  return static_cast<int>(vertices.size()) - 1;
}

Mesh& Mesh::append(const Mesh& part) {
  if (part.signedVolume() <= 0) throw std::logic_error("mesh part is inside out");
  if (part.smallestTriangleArea() < 1e-9) throw std::logic_error("mesh part has a flat triangle");
  int base = static_cast<int>(vertices.size());
  vertices.insert(vertices.end(), part.vertices.begin(), part.vertices.end());
  for (const auto& f : part.faces) addTriangle(f[0] + base, f[1] + base, f[2] + base);
  return *this;
}

Mesh& Mesh::translate(V3 by) {
  for (V3& v : vertices) v = {v.x + by.x, v.y + by.y, v.z + by.z};
  return *this;
}

Mesh& Mesh::scale(double sx, double sy, double sz) {
  if (sx <= 0 || sy <= 0 || sz <= 0) throw std::logic_error("mesh scale must be positive");
  for (V3& v : vertices) v = {v.x * sx, v.y * sy, v.z * sz};
  return *this;
}

Mesh& Mesh::rotateX(double degrees) {
  double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
  for (V3& v : vertices) v = {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
  return *this;
}

Mesh& Mesh::rotateY(double degrees) {
  double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
  for (V3& v : vertices) v = {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
  return *this;
}

Mesh& Mesh::rotateZ(double degrees) {
  double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
  for (V3& v : vertices) v = {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
  return *this;
}

double Mesh::signedVolume() const {
  double sum = 0;
  for (const auto& f : faces) {
    sum += dot(vertices[f[0]], cross(vertices[f[1]], vertices[f[2]]));
  }
  return sum / 6;
}

double Mesh::smallestTriangleArea() const {
  double smallest = INFINITY;
  for (const auto& f : faces) {
    V3 n = cross(sub(vertices[f[1]], vertices[f[0]]), sub(vertices[f[2]], vertices[f[0]]));
    smallest = std::fmin(smallest, length(n) / 2);
  }
  return smallest;
}

std::string Mesh::toOff() const {
  std::string out =
      "OFF\n" + std::to_string(vertices.size()) + " " + std::to_string(faces.size()) + " 0\n";
  for (const V3& v : vertices) out += number(v.x) + " " + number(v.y) + " " + number(v.z) + "\n";
  for (const auto& f : faces) {
    out += "3 " + std::to_string(f[0]) + " " + std::to_string(f[1]) + " " + std::to_string(f[2]) +
           "\n";
  }
  return out;
}

Mesh revolve(const std::vector<AxialPoint>& profile, int segments, double phaseDegrees) {
  if (profile.size() < 3 || profile.front().second != 0 || profile.back().second != 0) {
    throw std::logic_error("a revolved profile must start and end on the axis");
  }
  Mesh m;
  // Each ring is one vertex on the axis or `segments` vertices around it.
  std::vector<std::vector<int>> rings;
  for (const AxialPoint& p : profile) {
    std::vector<int> ring;
    if (p.second == 0) {
      ring.push_back(m.addVertex({p.first, 0, 0}));
    } else {
      for (int k = 0; k < segments; ++k) {
        double a = (2 * kPi * k) / segments + phaseDegrees * kPi / 180;
        ring.push_back(m.addVertex({p.first, p.second * std::cos(a), p.second * std::sin(a)}));
      }
    }
    rings.push_back(ring);
  }
  auto at = [&](const std::vector<int>& ring, int k) {
    return ring.size() == 1 ? ring[0] : ring[k % segments];
  };
  for (size_t i = 0; i + 1 < rings.size(); ++i) {
    const auto& a = rings[i];
    const auto& b = rings[i + 1];
    if (a.size() == 1 && b.size() == 1) throw std::logic_error("profile runs along the axis");
    for (int k = 0; k < segments; ++k) {
      if (a.size() > 1) m.addTriangle(at(a, k), at(a, k + 1), at(b, k + 1));
      if (b.size() > 1) m.addTriangle(at(a, k), at(b, k + 1), at(b, k));
    }
  }
  return m;
}

std::vector<AxialPoint> ellipsoidProfile(double c, double halfLength, double radius, int rings) {
  std::vector<AxialPoint> p;
  for (int i = 0; i <= rings; ++i) {
    double phi = kPi * i / rings;
    double r = i == 0 || i == rings ? 0 : radius * std::sin(phi);
    p.push_back({c - halfLength * std::cos(phi), r});
  }
  return p;
}

Mesh box(V3 lo, V3 hi) {
  Mesh m;
  for (int i = 0; i < 8; ++i) {
    m.addVertex({i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z});
  }
  // Each side as a quad counter-clockwise seen from outside.
  const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& q : quads) {
    m.addTriangle(q[0], q[1], q[2]);
    m.addTriangle(q[0], q[2], q[3]);
  }
  return m;
}

Mesh slab(const std::vector<Point2>& polygon, double thickness) {
  Mesh m;
  int n = static_cast<int>(polygon.size());
  for (const Point2& p : polygon) m.addVertex({p.first, p.second, thickness / 2});
  for (const Point2& p : polygon) m.addVertex({p.first, p.second, -thickness / 2});
  for (int i = 1; i + 1 < n; ++i) {
    m.addTriangle(0, i, i + 1);          // top, seen from +z
    m.addTriangle(n, n + i + 1, n + i);  // bottom, seen from -z
  }
  for (int i = 0; i < n; ++i) {
    int j = (i + 1) % n;
    m.addTriangle(i, n + i, n + j);
    m.addTriangle(i, n + j, j);
  }
  return m;
}

Mesh strut(V3 a, V3 b, double width) {
  V3 axis = sub(b, a);
  double len = length(axis);
  V3 dir = scaled(axis, 1 / len);
  // Build along +x, then turn +x onto dir: first pitch up, then yaw.
  double pitch = std::asin(dir.z) * 180 / kPi;
  double yaw = std::atan2(dir.y, dir.x) * 180 / kPi;
  Mesh m = box({0, -width / 2, -width / 2}, {len, width / 2, width / 2});
  m.rotateY(-pitch).rotateZ(yaw).translate(a);
  return m;
}
