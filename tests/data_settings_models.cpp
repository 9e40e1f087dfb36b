// Tests of settings.txt and the seven OFF models of the default data set,
// read back the way the game reads them: the 90 values by the names and
// types of the game's table, and each model placed by its section's
// transform.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "assets/settings.h"
#include "support/test_support.h"

namespace {

const std::string kData = VELKARRA_DATA_DIR;

std::vector<std::string> settingsTokens() {
  std::istringstream in(readFile(kData + "/settings.txt"));
  std::vector<std::string> tokens;
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

double number(const std::string& token) { return std::strtod(token.c_str(), nullptr); }

// The token of settings.txt that the game's table names name.
std::string token(const std::string& name) {
  const int at = findSetting(name.c_str());
  EXPECT_GE(at, 0) << "no setting named " << name;
  return settingsTokens().at(at);
}

double valueOf(const std::string& name) { return number(token(name)); }

struct Section {
  std::string file;
  int flip;
  double scale, tx, ty, tz, turnZ, turnY;
};

Section section(const std::string& model) {
  auto part = [&](const char* name) { return valueOf(model + " model " + name); };
  return {token(model + " model file"),
          static_cast<int>(part("flipNormals")),
          part("scale"),
          part("x offset"),
          part("y offset"),
          part("z offset"),
          part("z turn"),
          part("y turn")};
}

TEST(DataSettings, NinetyValuesOfTheKindsTheGameReads) {
  std::vector<std::string> tokens = settingsTokens();
  ASSERT_EQ(tokens.size(), 90u);
  // An optional sign, then digits only.
  auto isInteger = [](const std::string& t) {
    size_t start = !t.empty() && (t[0] == '+' || t[0] == '-') ? 1 : 0;
    return t.size() > start && t.find_first_not_of("0123456789", start) == std::string::npos;
  };
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& t = tokens[i];
    const SettingRow& row = settingRows[i];
    char* end = nullptr;
    std::strtod(t.c_str(), &end);
    bool isNumber = *end == '\0';
    if (row.type == settingWhole) {
      EXPECT_TRUE(isInteger(t)) << row.name << ": " << t;
    } else if (row.type == settingWord) {
      EXPECT_FALSE(isNumber) << row.name << ": " << t;
      EXPECT_TRUE(std::filesystem::is_regular_file(kData + "/" + t)) << t << " is missing";
    } else {
      EXPECT_TRUE(isNumber) << row.name << ": " << t;
    }
  }
}

TEST(DataSettings, TuningIsConsistent) {
  EXPECT_GT(valueOf("arenaHalfSize"), 0);
  EXPECT_LT(valueOf("planeMinAltitude"), valueOf("planeMaxAltitude"));
  EXPECT_GT(valueOf("planeMinAltitude"), 2.5) << "planes must fly above the hills";
  EXPECT_GT(valueOf("livesPerLevel"), 0);
  for (std::string interval : {"trooperDrop", "bombDrop", "planeTurn"}) {
    EXPECT_GT(valueOf(interval + "Min"), 0) << interval;
    EXPECT_LE(valueOf(interval + "Min"), valueOf(interval + "Max")) << interval;
  }
  // Troopers: the shot-away floor lies below the open-chute ceiling, both
  // falling; gravity pulls down and the open chute brakes.
  EXPECT_LT(valueOf("shotFallSpeedLimit"), valueOf("chuteFallSpeedLimit"));
  EXPECT_LT(valueOf("chuteFallSpeedLimit"), 0);
  EXPECT_LT(valueOf("freeFallAccel"), 0);
  EXPECT_GT(valueOf("chuteAccel"), 0);
  EXPECT_GT(valueOf("chuteOpenDelay"), 0);
  EXPECT_GT(valueOf("bombSpeed"), 0);
  EXPECT_GT(valueOf("shellSpeed"), valueOf("bombSpeed")) << "shells outrun bombs";
  for (std::string blast : {"planeBlast", "trooperBlast", "chuteBlast", "impactBlast"}) {
    EXPECT_GE(valueOf(blast + "Size"), 0.1) << blast << "Size would vanish at once";
    EXPECT_GE(valueOf(blast + "Count"), 1) << blast << "Count";
    EXPECT_LE(valueOf(blast + "Count"), 128) << blast << "Count";
  }
  EXPECT_GT(valueOf("shardSpeed"), 0);
  EXPECT_GT(valueOf("shardDecay"), 0);
  EXPECT_LT(valueOf("shardDecay"), 1) << "shards that never shrink fill the pool";
  EXPECT_GT(valueOf("missileSpeed"), 0);
  EXPECT_GT(valueOf("missileLifetime"), 0);
}

// An OFF model as the game loads it, then placed by its section.
struct Mesh {
  std::vector<std::array<double, 3>> v;
  std::vector<std::array<int, 3>> f;
};

Mesh loadPlaced(const std::string& model) {
  Section s = section(model);
  std::istringstream in(readFile(kData + "/" + s.file));
  Mesh m;
  std::string header;
  int vertexCount = -1, faceCount = -1, edges = -1;
  in >> header >> vertexCount >> faceCount >> edges;
  EXPECT_EQ(header, "OFF") << s.file;
  EXPECT_EQ(edges, 0) << s.file;
  EXPECT_GT(vertexCount, 3) << s.file;
  EXPECT_GT(faceCount, 3) << s.file;
  for (int i = 0; i < vertexCount; ++i) {
    double x, y, z;
    in >> x >> y >> z;
    m.v.push_back({x, y, z});
  }
  for (int i = 0; i < faceCount; ++i) {
    int n, a, b, c;
    in >> n >> a >> b >> c;
    EXPECT_EQ(n, 3) << s.file << " face " << i;
    for (int k : {a, b, c}) EXPECT_TRUE(k >= 0 && k < vertexCount) << s.file << " face " << i;
    m.f.push_back({a, b, c});
  }
  EXPECT_FALSE(in.fail()) << s.file << " ends early";
  std::string rest;
  EXPECT_FALSE(in >> rest) << s.file << " has more than its counts say";

  // Translate, then scale (for the bomb: after the turns, by 0.5, 5, 5 x
  // scale), turn about +z, then about -y.
  const double kDeg = 3.14159265358979 / 180;
  const bool bomb = model == "bomb";
  for (auto& p : m.v) {
    double x = p[0] + s.tx, y = p[1] + s.ty, z = p[2] + s.tz;
    if (!bomb) x *= s.scale, y *= s.scale, z *= s.scale;
    double cz = std::cos(s.turnZ * kDeg), sz = std::sin(s.turnZ * kDeg);
    double x1 = x * cz - y * sz, y1 = x * sz + y * cz;
    double cy = std::cos(s.turnY * kDeg), sy = std::sin(s.turnY * kDeg);
    p = {x1 * cy - z * sy, y1, x1 * sy + z * cy};
    if (bomb) p = {p[0] * 0.5 * s.scale, p[1] * 5 * s.scale, p[2] * 5 * s.scale};
  }
  return m;
}

std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

struct Extent {
  std::array<double, 3> lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
  double size(int axis) const { return hi[axis] - lo[axis]; }
  double centre(int axis) const { return (hi[axis] + lo[axis]) / 2; }
};

Extent extent(const Mesh& m) {
  Extent e;
  for (const auto& p : m.v) {
    for (int a = 0; a < 3; ++a)
      e.lo[a] = std::min(e.lo[a], p[a]), e.hi[a] = std::max(e.hi[a], p[a]);
  }
  return e;
}

// Largest distance from the x axis among vertices with x in [from, to].
double radiusAlongX(const Mesh& m, double from, double to) {
  double r = 0;
  for (const auto& p : m.v) {
    if (p[0] >= from && p[0] <= to) r = std::max(r, std::hypot(p[1], p[2]));
  }
  return r;
}

class DataModel : public ::testing::TestWithParam<const char*> {};

// Closed and wound outward: every edge is met once in each direction, no
// triangle is flat, and each connected part encloses a positive volume (so
// the game's face normals, with flip 0, point out of it).
TEST_P(DataModel, ClosedSolidsWoundOutward) {
  Mesh m = loadPlaced(GetParam());
  EXPECT_EQ(section(GetParam()).flip, 0);
  std::map<std::pair<int, int>, int> edges;
  std::vector<int> part(m.v.size());
  for (size_t i = 0; i < part.size(); ++i) part[i] = static_cast<int>(i);
  auto root = [&](int i) {
    while (part[i] != i) i = part[i] = part[part[i]];
    return i;
  };
  for (const auto& f : m.f) {
    auto a = m.v[f[0]], b = m.v[f[1]], c = m.v[f[2]];
    auto n =
        cross({b[0] - a[0], b[1] - a[1], b[2] - a[2]}, {c[0] - a[0], c[1] - a[1], c[2] - a[2]});
    EXPECT_GT(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) / 2, 1e-8)
        << GetParam() << ": flat triangle " << f[0] << " " << f[1] << " " << f[2];
    for (int k = 0; k < 3; ++k) {
      ++edges[{f[k], f[(k + 1) % 3]}];
      part[root(f[k])] = root(f[(k + 1) % 3]);
    }
  }
  int unmatched = 0;
  for (const auto& [edge, count] : edges) {
    auto back = edges.find({edge.second, edge.first});
    if (count != 1 || back == edges.end() || back->second != 1) ++unmatched;
  }
  EXPECT_EQ(unmatched, 0) << GetParam() << ": open or inconsistently wound edges";

  std::map<int, double> volume;
  for (const auto& f : m.f) {
    auto n = cross(m.v[f[1]], m.v[f[2]]);
    const auto& a = m.v[f[0]];
    volume[root(f[0])] += (a[0] * n[0] + a[1] * n[1] + a[2] * n[2]) / 6;
  }
  for (const auto& [id, v] : volume) EXPECT_GT(v, 0) << GetParam() << ": part inside out";
}

INSTANTIATE_TEST_SUITE_P(Models, DataModel,
                         ::testing::Values("plane", "trooper", "parachute", "bomb", "shell",
                                           "missile", "cannon"));

TEST(DataModelSize, PlaneFliesNoseFirstAlongX) {
  Mesh m = loadPlaced("plane");
  Extent e = extent(m);
  EXPECT_GE(e.size(0), 2.0);
  EXPECT_LE(e.size(0), 3.5);
  EXPECT_GT(e.size(1), 1.5) << "wing span";
  EXPECT_LT(e.size(2), e.size(1));
  EXPECT_NEAR(e.centre(0), 0, 0.3);
  EXPECT_NEAR(e.centre(1), 0, 0.05) << "symmetric wings";
  // The tail fin stands at the back (-x), higher than anything at the nose.
  double tailTop = -1e9, noseTop = -1e9;
  for (const auto& p : m.v) {
    if (p[0] < e.lo[0] + 0.3 * e.size(0)) tailTop = std::max(tailTop, p[2]);
    if (p[0] > e.hi[0] - 0.3 * e.size(0) && std::fabs(p[1]) < 0.3)
      noseTop = std::max(noseTop, p[2]);
  }
  EXPECT_GT(tailTop, noseTop + 0.1);
}

TEST(DataModelSize, TrooperStandsOnItsOriginUnderTheCanopy) {
  Extent body = extent(loadPlaced("trooper"));
  EXPECT_NEAR(body.lo[2], 0, 0.05) << "the trooper lands when its origin meets the ground";
  EXPECT_GE(body.size(2), 0.45);
  EXPECT_LE(body.size(2), 0.8);
  EXPECT_LE(std::max(body.size(0), body.size(1)), 0.5);

  Mesh chute = loadPlaced("parachute");
  Extent c = extent(chute);
  EXPECT_NEAR(c.centre(0), 0, 0.1);
  EXPECT_NEAR(c.centre(1), 0, 0.1);
  EXPECT_GE(std::min(c.size(0), c.size(1)), 1.0) << "canopy width";
  EXPECT_LE(std::max(c.size(0), c.size(1)), 2.5);
  EXPECT_GE(c.hi[2], 2.0);
  EXPECT_LE(c.hi[2], 2.8);
  // The canopy's rim (the widest point) lies about 2 above the feet, where
  // the game bursts a hit parachute.
  double widest = 0, rimZ = 0;
  for (const auto& p : chute.v) {
    double r = std::hypot(p[0], p[1]);
    if (r > widest) widest = r, rimZ = p[2];
  }
  EXPECT_NEAR(rimZ, 2.0, 0.4);
  EXPECT_GT(c.lo[2], body.lo[2] + 0.3) << "lines end at the trooper, not below it";
}

TEST(DataModelSize, BombAfterTheStretchIsFinnedAtTheBack) {
  Mesh m = loadPlaced("bomb");
  Extent e = extent(m);
  EXPECT_GE(e.size(0), 0.6);
  EXPECT_LE(e.size(0), 1.0);
  for (int axis : {1, 2}) {
    EXPECT_GE(e.size(axis), 0.15);
    EXPECT_LE(e.size(axis), 0.45);
    EXPECT_NEAR(e.centre(axis), 0, 0.02);
  }
  EXPECT_NEAR(e.centre(0), 0, 0.1);
  EXPECT_GT(radiusAlongX(m, e.lo[0], e.lo[0] + 0.1), radiusAlongX(m, e.hi[0] - 0.1, e.hi[0]));
}

TEST(DataModelSize, ShellAndMissilePointAlongX) {
  Extent shell = extent(loadPlaced("shell"));
  EXPECT_GE(shell.size(0), 0.5) << "long enough not to skip a trooper between frames";
  EXPECT_LE(shell.size(0), 0.7);
  EXPECT_LT(std::max(shell.size(1), shell.size(2)), shell.size(0) / 2);

  Mesh missile = loadPlaced("missile");
  Extent e = extent(missile);
  EXPECT_GE(e.size(0), 0.6);
  EXPECT_LE(e.size(0), 1.0);
  EXPECT_LE(std::max(e.size(1), e.size(2)), 0.35);
  // Its camera rides 0.2 above the origin looking along +x, with the near
  // plane 0.1 ahead: the model must stay behind that plane and below the eye,
  // or it covers the view ahead.
  EXPECT_LE(e.hi[0], 0.1);
  EXPECT_LT(e.hi[2], 0.15);
  EXPECT_GT(radiusAlongX(missile, e.lo[0], e.lo[0] + 0.15),
            radiusAlongX(missile, e.hi[0] - 0.15, e.hi[0]))
      << "fins at the tail";
}

TEST(DataModelSize, CannonStandsAtTheOriginBelowTheView) {
  Mesh m = loadPlaced("cannon");
  Extent e = extent(m);
  EXPECT_NEAR(e.lo[2], 0, 0.05);
  EXPECT_GE(e.hi[0], 1.0) << "barrel reaches out along +x";
  EXPECT_LE(e.hi[0], 1.4);
  EXPECT_GE(e.lo[0], -0.6);
  EXPECT_GE(e.size(1), 0.6) << "a fair target for bombs";
  EXPECT_LE(e.size(1), 1.2);
  EXPECT_NEAR(e.centre(1), 0, 0.05);
  // The locked eye sits 0.6 above and 0.4 to the left of the pivot.
  EXPECT_LE(e.hi[2], 0.5);
  // The barrel is the part ahead of the turret: low and thin.
  EXPECT_LT(radiusAlongX(m, 0.6, 1.4), 0.35);
}

}  // namespace
