// Tests of what a distribution reads beside the game: one version and one
// release date in the binary, the installed manual page, the AppStream
// metainfo and debian/changelog; the metainfo under its validator; the
// Debian build's dependencies against the set-up's packages.
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "game_support.h"

namespace fs = std::filesystem;

namespace {

const std::string sourceDir = VELKARRA_SOURCE_DIR;

// The first match of pattern's group 1 in text; empty when none.
std::string firstGroup(const std::string& text, const std::string& pattern) {
  std::smatch m;
  return std::regex_search(text, m, std::regex(pattern)) ? m[1].str() : "";
}

// "Mon, 07 Dec 2026 12:00:00 +0000" as "2026-12-07": the day as written.
std::string isoDay(const std::string& changelogDate) {
  std::smatch m;
  if (!std::regex_search(changelogDate, m, std::regex(R"((\d{1,2}) (\w{3}) (\d{4}))"))) return "";
  const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const size_t month = months.find(m[2].str());
  if (month == std::string::npos || month % 3 != 0) return "";
  const auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  return m[3].str() + "-" + twoDigits(static_cast<int>(month / 3 + 1)) + "-" +
         twoDigits(std::stoi(m[1].str()));
}

std::string changelogField(const std::string& field) {
  ProcessResult r = runProcess(
      {"/usr/bin/dpkg-parsechangelog", "-l", sourceDir + "/debian/changelog", "-S", field});
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out.substr(0, r.out.find('\n'));
}

TEST(Release, OneVersionAndOneDateEverywhere) {
  const std::string version = VELKARRA_VERSION;
  const std::string date = VELKARRA_RELEASE_DATE;
  EXPECT_EQ(runGame({"--version"}).out, "velkarra3d " + version + "\n");

  // The installed page's header, filled in by the build from the page's
  // placeholders; the body is the page as written.
  const std::string page = readFile(VELKARRA_BUILD_DIR "/dist/velkarra3d.6");
  EXPECT_EQ(firstGroup(page, R"((?:^|\n)(\.TH [^\n]*))"),
            ".TH VELKARRA3D 6 " + date + " \"Velkarra3D " + version + "\" \"Games\"");
  const std::regex header(R"(\n\.TH [^\n]*)");
  EXPECT_EQ(std::regex_replace(page, header, ""),
            std::regex_replace(readFile(sourceDir + "/dist/velkarra3d.6"), header, ""));

  // The metainfo's newest release, the first one listed.
  const std::string meta = readFile(VELKARRA_METAINFO);
  EXPECT_EQ(firstGroup(meta, R"(<release\s[^>]*version="([^"]*)\")"), version);
  EXPECT_EQ(firstGroup(meta, R"(<release\s[^>]*date="([^"]*)\")"), date);

  // debian/changelog's top entry: a native version, without a Debian
  // revision, released that day.
  EXPECT_EQ(changelogField("Version"), version);
  EXPECT_EQ(isoDay(changelogField("Date")), date);
  EXPECT_EQ(isoDay("Tue, 1 Feb 2028 23:59:59 -0800"), "2028-02-01");
}

TEST(Release, MetainfoPassesItsValidatorAndLaunchesTheMenuEntry) {
  ProcessResult r = runProcess({"/usr/bin/appstreamcli", "validate", "--strict", "--no-net",
                                "--explain", VELKARRA_METAINFO});
  EXPECT_EQ(r.status, 0) << r.out << r.err;

  // The id names the file; the launchable is the menu entry the install
  // puts in place, and it starts the binary the metainfo provides.
  const std::string meta = readFile(VELKARRA_METAINFO);
  const std::string id = firstGroup(meta, R"(<id>([^<]*)</id>)");
  EXPECT_EQ(fs::path(VELKARRA_METAINFO).filename().string(), id + ".metainfo.xml");
  const std::string launchable =
      firstGroup(meta, R"(<launchable type="desktop-id">([^<]*)</launchable>)");
  ASSERT_EQ(launchable, "velkarra3d.desktop");
  const std::string entry = readFile(sourceDir + "/dist/" + launchable);
  const std::string binary = firstGroup(meta, R"(<binary>([^<]*)</binary>)");
  EXPECT_NE(entry.find("\nExec=" + binary + "\n"), std::string::npos) << binary;
}

// The names of a Debian relationship field ("a (>= 1), b <!nocheck>,").
std::set<std::string> relationNames(const std::string& control, const std::string& field) {
  std::set<std::string> names;
  const std::string value = firstGroup(control, "(?:^|\n)" + field + R"(:((?:[^\n]|\n )*))");
  std::istringstream items(value);
  std::string item;
  while (std::getline(items, item, ',')) {
    const std::string name = firstGroup(item, R"(^\s*([a-z0-9][a-z0-9.+-]*))");
    if (!name.empty()) names.insert(name);
  }
  return names;
}

TEST(Release, DebianBuildDependsAreAllInTheSetUp) {
  ProcessResult r = runProcess({"/bin/sh", sourceDir + "/scripts/setup.sh", "--list", "deb"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::set<std::string> setUp;
  std::istringstream lines(r.out);
  for (std::string name; std::getline(lines, name);) setUp.insert(name);
  // debhelper-compat is a name the debhelper package provides.
  setUp.insert("debhelper-compat");

  const std::set<std::string> buildDepends =
      relationNames(readFile(sourceDir + "/debian/control"), "Build-Depends");
  EXPECT_GT(buildDepends.size(), 10u);
  for (const std::string& name : buildDepends)
    EXPECT_EQ(setUp.count(name), 1u) << name << " is not installed by scripts/setup.sh deb";
  EXPECT_EQ(relationNames("Depends: a (>= 1),\n b <!nocheck> [amd64],\nX: c", "Depends"),
            (std::set<std::string>{"a", "b"}));
}

}  // namespace
