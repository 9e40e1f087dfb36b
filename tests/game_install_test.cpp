// Tests of the game as a player installs and starts it: the installed
// tree, the data folder lookup from wherever the game is started, and the
// manual page and menu entry under their validators.
#include <FreeImage.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

#include "app/options.h"
#include "game_support.h"

namespace fs = std::filesystem;

namespace {

// An environment in which only the places a test prepares can hold data.
std::vector<std::string> lookupEnv(const std::string& root) {
  return {"VELKARRA3D_DATA=", "XDG_DATA_HOME=" + root + "/xdg-home",
          "XDG_DATA_DIRS=" + root + "/xdg-dirs", "SDL_AUDIODRIVER=dummy"};
}

std::string canonical(const std::string& path) { return fs::weakly_canonical(path).string(); }

// Every regular file below root, by its name relative to root.
std::set<std::string> filesBelow(const std::string& root) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) names.insert(fs::relative(entry.path(), root).string());
  return names;
}

class Install : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    root_ = makeTempDir("install");
    fs::create_directories(root_ + "/elsewhere");
  }
  void TearDown() override {
    removeTree(root_);
    GameTest::TearDown();
  }
  // A folder below root_ holding a copy of the default data set.
  std::string dataCopy(const std::string& name) {
    const std::string dir = root_ + "/" + name;
    fs::create_directories(dir);
    copyTree(defaultDataDir(), dir);
    return dir;
  }
  ProcessResult run(const std::string& binary, std::vector<std::string> args,
                    std::vector<std::string> env = {}) {
    args.insert(args.begin(), binary);
    std::vector<std::string> all = lookupEnv(root_);
    all.insert(all.end(), env.begin(), env.end());
    return runProcess(args, root_ + "/elsewhere", all);
  }
  std::string root_;
};

TEST_F(Install, InstalledGameFindsItsDataFromAnywhere) {
  ProcessResult r =
      runProcess({VELKARRA_CMAKE, "--install", VELKARRA_BUILD_DIR, "--prefix", "/opt/velkarra"}, "",
                 {"DESTDIR=" + root_ + "/stage"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const std::string prefix = root_ + "/stage/opt/velkarra";

  // What is installed, and nothing else: the data set as the build wrote it.
  std::set<std::string> expected = {"games/velkarra3d",
                                    "share/man/man6/velkarra3d.6",
                                    "share/applications/velkarra3d.desktop",
                                    "share/metainfo/" VELKARRA_APPSTREAM_ID ".metainfo.xml",
                                    "share/doc/velkarra3d/README.md",
                                    "share/mime/packages/velkarra3d.xml"};
  for (const char* size : {"16", "24", "32", "48", "64", "128", "256"})
    expected.insert(std::string("share/icons/hicolor/") + size + "x" + size +
                    "/apps/velkarra3d.png");
  for (const std::string& name : filesBelow(defaultDataDir()))
    expected.insert("share/games/velkarra3d/" + name);
  EXPECT_EQ(filesBelow(prefix), expected);
  EXPECT_EQ(readFile(prefix + "/share/icons/hicolor/32x32/apps/velkarra3d.png"),
            readFile(defaultDataDir() + "/icon.png"));
  FIBITMAP* big = FreeImage_Load(FIF_PNG,
                                 (prefix + "/share/icons/hicolor/256x256/apps/"
                                           "velkarra3d.png")
                                     .c_str(),
                                 0);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(big), 256u);
  EXPECT_EQ(FreeImage_GetHeight(big), 256u);
  FreeImage_Unload(big);

  // Started from an unrelated folder, without --data: the data beside it,
  // ahead of the XDG folders; a screenshot lands where it was started.
  const std::string game = prefix + "/games/velkarra3d";
  dataCopy("xdg-home/games/velkarra3d");
  r = run(game, {"--print-data-dir"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, canonical(prefix + "/share/games/velkarra3d") + "\n");
  r = run(game, {"--headless", "--seed", "4", "--frames", "3", "--screenshot", "shot.png"});
  EXPECT_EQ(r.status, 0) << r.err;
  FIBITMAP* shot = FreeImage_Load(FIF_PNG, (root_ + "/elsewhere/shot.png").c_str(), 0);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(shot), 800u);
  FreeImage_Unload(shot);

  // VELKARRA3D_DATA wins over the installed data: a copy without its
  // ground box must end the run as a missing texture does.
  const std::string copy = dataCopy("copy");
  r = run(game, {"--print-data-dir"}, {"VELKARRA3D_DATA=" + copy});
  EXPECT_EQ(r.out, canonical(copy) + "\n");
  r = run(game, {"--headless", "--frames", "2"}, {"VELKARRA3D_DATA=" + copy});
  EXPECT_EQ(r.status, 0) << r.err;
  fs::remove(copy + "/ground_box.bmp");
  r = run(game, {"--headless", "--frames", "2"}, {"VELKARRA3D_DATA=" + copy});
  EXPECT_EQ(r.status, 1);
}

// Each row: the folders that hold a data set, the extra arguments and
// environment, and the folder the game must choose (relative to the
// test's root). The build's binary has no data installed beside it.
TEST_F(Install, LookupTakesTheFirstPlaceInOrder) {
  struct Case {
    std::vector<std::string> holding;
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::string chosen;
  };
  const std::string r = root_;
  const std::vector<Case> cases = {
      {{"elsewhere", "opt", "env"},
       {"--data", r + "/opt"},
       {"VELKARRA3D_DATA=" + r + "/env"},
       "opt"},
      {{"elsewhere", "env"}, {}, {"VELKARRA3D_DATA=" + r + "/env"}, "env"},
      {{"elsewhere", "xdg-home/games/velkarra3d"}, {}, {}, "elsewhere"},
      {{"xdg-home/games/velkarra3d", "b/games/velkarra3d"},
       {},
       {"XDG_DATA_DIRS=" + r + "/a:" + r + "/b"},
       "xdg-home/games/velkarra3d"},
      {{"b/games/velkarra3d", "c/games/velkarra3d"},
       {},
       {"XDG_DATA_DIRS=relative::" + r + "/a:" + r + "/b/:" + r + "/c"},
       "b/games/velkarra3d"},
      {{"h/.local/share/games/velkarra3d"},
       {},
       {"XDG_DATA_HOME=relative", "HOME=" + r + "/h"},
       "h/.local/share/games/velkarra3d"},
  };
  for (const Case& c : cases) {
    for (const char* dir : {"opt", "env", "xdg-home", "a", "b", "c", "h"})
      removeTree(root_ + "/" + dir);
    fs::remove(root_ + "/elsewhere/settings.txt");
    for (const std::string& dir : c.holding) {
      fs::create_directories(root_ + "/" + dir);
      writeFile(root_ + "/" + dir + "/settings.txt", "");
    }
    std::vector<std::string> args = c.args;
    args.push_back("--print-data-dir");
    ProcessResult result = run(VELKARRA_BINARY, args, c.env);
    EXPECT_EQ(result.status, 0) << c.chosen << ": " << result.err;
    EXPECT_EQ(result.out, canonical(root_ + "/" + c.chosen) + "\n");
  }
}

TEST_F(Install, NoDataIsOneLineAndStatusOneBeforeAnyWindow) {
  // No DISPLAY either: the data must be missed before a window is tried.
  ProcessResult r = run("/usr/bin/env", {"-u", "DISPLAY", VELKARRA_BINARY, "--frames", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(r.err.rfind("velkarra3d: no data folder found", 0), 0u) << r.err;
  for (const std::string& place :
       {canonical(root_ + "/elsewhere"), root_ + "/xdg-home/games/velkarra3d",
        root_ + "/xdg-dirs/games/velkarra3d"})
    EXPECT_NE(r.err.find(place), std::string::npos) << place << " not listed: " << r.err;
  // An explicit folder that cannot be entered is no silent fall-back.
  r = run(VELKARRA_BINARY, {"--headless", "--frames", "1"},
          {"VELKARRA3D_DATA=" + root_ + "/missing"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(root_ + "/missing"), std::string::npos) << r.err;
}

// The option names a text mentions anywhere.
std::set<std::string> optionsIn(const std::string& text) {
  std::set<std::string> names;
  // "--" then lower-case letters and inner hyphens, ending on a letter.
  for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
    size_t end = at + 2;
    while (end < text.size() &&
           (islower(static_cast<unsigned char>(text[end])) || text[end] == '-'))
      end++;
    while (end > at + 2 && text[end - 1] == '-') end--;
    if (end > at + 2 && islower(static_cast<unsigned char>(text[at + 2])) &&
        (at == 0 || text[at - 1] != '-'))
      names.insert(text.substr(at, end - at));
  }
  return names;
}

// The tags of the manual page's OPTIONS section as the page shows them:
// ".BI \-\-window " w" x h" is "--window wxh", the macro's arguments
// joined as it sets them.
std::vector<std::string> manualOptionTags(const std::string& page) {
  std::vector<std::string> tags;
  std::istringstream in(page.substr(std::min(page.find(".SH OPTIONS\n"), page.size())));
  std::string line;
  std::getline(in, line);  // .SH OPTIONS
  bool tagNext = false;
  while (std::getline(in, line) && line.rfind(".SH ", 0) != 0) {
    if (tagNext) {
      std::string tag;
      bool quoted = false;
      for (size_t i = line.find(' ') + 1; i < line.size(); i++) {
        if (line[i] == '"') {
          quoted = !quoted;
        } else if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '-') {
          tag += '-';
          i++;
        } else if (line[i] != ' ' || quoted) {
          tag += line[i];
        }
      }
      tags.push_back(tag);
    }
    tagNext = line == ".TP";
  }
  return tags;
}

TEST(InstallFiles, ManualPageAndMenuEntryPassTheirValidatorsAndMatchTheOptionTable) {
  const std::string page = std::string(VELKARRA_BUILD_DIR) + "/dist/velkarra3d.6";
  const std::string entry = std::string(VELKARRA_SOURCE_DIR) + "/dist/velkarra3d.desktop";
  ProcessResult man = runProcess({"/usr/bin/man", "--warnings", "-E", "UTF-8", "-l", page}, "",
                                 {"MANWIDTH=80", "LC_ALL=C.UTF-8"});
  EXPECT_EQ(man.status, 0) << man.err;
  EXPECT_EQ(man.err, "");
  ProcessResult desktop = runProcess({"/usr/bin/desktop-file-validate", entry});
  EXPECT_EQ(desktop.status, 0);
  EXPECT_EQ(desktop.out + desktop.err, "");
  // A recording opened from a file manager is watched; the menu, which
  // names no file, starts the game (--watch= with nothing after it).
  EXPECT_NE(readFile(entry).find("\nExec=velkarra3d --watch=%f\n"), std::string::npos);
  EXPECT_NE(readFile(entry).find("\nMimeType=application/x-velkarra3d-recording;\n"),
            std::string::npos);
  const std::string mime = makeTempDir("mime");
  fs::create_directories(mime + "/packages");
  fs::copy(std::string(VELKARRA_SOURCE_DIR) + "/dist/velkarra3d.xml", mime + "/packages");
  ProcessResult types = runProcess({"/usr/bin/update-mime-database", mime});
  EXPECT_EQ(types.status, 0) << types.err;
  for (const char* glob : {":*.v3drec\n", ":*.v3drec.gz\n"})
    EXPECT_NE(
        readFile(mime + "/globs2").find("application/x-velkarra3d-recording" + std::string(glob)),
        std::string::npos)
        << glob;
  removeTree(mime);

  // The OPTIONS section lists the table's options in its order, each with
  // its value form in the page's lower case ("--frames n" for N).
  std::vector<std::string> table;
  std::set<std::string> names;
  for (const OptionRow& row : optionRows) {
    std::string form = row.valueForm;
    for (char& c : form) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    table.push_back("--" + std::string(row.name) + (form.empty() ? "" : " " + form));
    names.insert("--" + std::string(row.name));
  }
  EXPECT_EQ(manualOptionTags(readFile(page)), table);

  // Every option the rendered page or --help mentions, anywhere, is one of
  // the table's; the rendered page spells options with plain hyphens.
  for (const std::string& text : {man.out, std::string(usageText())})
    for (const std::string& name : optionsIn(text))
      EXPECT_EQ(names.count(name), 1u) << name << " is no option";
  EXPECT_EQ(optionsIn(man.out), names);
}

}  // namespace
