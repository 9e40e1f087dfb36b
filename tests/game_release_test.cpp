// Tests of what a distribution reads beside the game: one version and one
// release date in the binary, the installed manual page, the AppStream
// metainfo and debian/changelog; the metainfo under its validator; the
// Debian build's dependencies against the set-up's packages.
#include <filesystem>
#include <set>
#include <sstream>

#include "game_support.h"

namespace fs = std::filesystem;

namespace {

const std::string sourceDir = VELKARRA_SOURCE_DIR;

// The text between the first `open` in text and the next `close`; empty
// when either is missing.
std::string between(const std::string& text, const std::string& open, const std::string& close) {
  const size_t start = text.find(open);
  if (start == std::string::npos) return "";
  const size_t end = text.find(close, start + open.size());
  return end == std::string::npos ? ""
                                  : text.substr(start + open.size(), end - start - open.size());
}

// The first line of text that starts with prefix, and text without it.
std::string lineStarting(const std::string& text, const std::string& prefix) {
  return prefix + between("\n" + text, "\n" + prefix, "\n");
}
std::string withoutLine(const std::string& text, const std::string& line) {
  const size_t at = text.find(line + "\n");
  return at == std::string::npos ? text : text.substr(0, at) + text.substr(at + line.size() + 1);
}

// "Mon, 07 Dec 2026 12:00:00 +0000" as "2026-12-07": the day as written.
std::string isoDay(const std::string& changelogDate) {
  std::istringstream in(changelogDate);
  std::string weekday, monthName;
  int day = 0, year = 0;
  if (!(in >> weekday >> day >> monthName >> year)) return "";
  const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const size_t month = months.find(monthName);
  if (monthName.size() != 3 || month == std::string::npos || month % 3 != 0) return "";
  const auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  return std::to_string(year) + "-" + twoDigits(static_cast<int>(month / 3 + 1)) + "-" +
         twoDigits(day);
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
  const std::string written = readFile(sourceDir + "/dist/velkarra3d.6");
  const std::string header = lineStarting(page, ".TH ");
  EXPECT_EQ(header, ".TH VELKARRA3D 6 " + date + " \"Velkarra3D " + version + "\" \"Games\"");
  EXPECT_EQ(withoutLine(page, header), withoutLine(written, lineStarting(written, ".TH ")));

  // The metainfo's newest release, the first one listed.
  const std::string meta = readFile(VELKARRA_METAINFO);
  const std::string release = between(meta, "<release ", ">");
  EXPECT_EQ(between(release, "version=\"", "\""), version);
  EXPECT_EQ(between(release, "date=\"", "\""), date);

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
  // puts in place, and it starts the binary the metainfo provides, opening
  // the file type it provides (a recording, watched).
  const std::string meta = readFile(VELKARRA_METAINFO);
  const std::string id = between(meta, "<id>", "</id>");
  EXPECT_EQ(fs::path(VELKARRA_METAINFO).filename().string(), id + ".metainfo.xml");
  const std::string launchable = between(meta, "<launchable type=\"desktop-id\">", "</launchable>");
  ASSERT_EQ(launchable, "velkarra3d.desktop");
  const std::string entry = readFile(sourceDir + "/dist/" + launchable);
  const std::string binary = between(meta, "<binary>", "</binary>");
  EXPECT_NE(entry.find("\nExec=" + binary + " --watch=%f\n"), std::string::npos) << binary;
  const std::string type = between(meta, "<mediatype>", "</mediatype>");
  EXPECT_NE(entry.find("\nMimeType=" + type + ";\n"), std::string::npos) << type;
}

// The names of a Debian relationship field ("a (>= 1), b <!nocheck>,").
std::set<std::string> relationNames(const std::string& control, const std::string& field) {
  // The value goes on over the lines that start with a space.
  std::istringstream lines(control);
  std::string value;
  bool inField = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(field + ":", 0) == 0) {
      inField = true;
      value = line.substr(field.size() + 1);
    } else if (inField && line.rfind(" ", 0) == 0) {
      value += line;
    } else if (inField) {
      break;
    }
  }
  std::set<std::string> names;
  std::istringstream items(value);
  for (std::string item; std::getline(items, item, ',');) {
    const size_t start = item.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    const size_t end = item.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.+-", start);
    names.insert(item.substr(start, end - start));
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
