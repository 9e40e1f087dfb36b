// Tests of the Debian packages that `make deb` built into build/deb: their
// fields and dependencies, the files each holds, and the unpacked game run
// from another folder. `make deb-test` runs them (ctest -C Package).
#include <FreeImage.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "gtest/gtest.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string version = VELKARRA_VERSION;

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// Every regular file or symbolic link below root, by its name relative to root.
std::set<std::string> filesBelow(const std::string& root) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (!entry.is_directory()) names.insert(fs::relative(entry.path(), root).string());
  return names;
}

class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    arch_ = firstLine(runProcess({"/usr/bin/dpkg", "--print-architecture"}).out);
    game_ = std::string(VELKARRA_BUILD_DIR) + "/deb/velkarra3d_" + version + "_" + arch_ + ".deb";
    data_ = std::string(VELKARRA_BUILD_DIR) + "/deb/velkarra3d-data_" + version + "_all.deb";
    root_ = makeTempDir("package");
    // Each package on its own, and both together as dpkg would install them.
    for (const auto& [deb, dir] :
         {std::pair{game_, "/game"}, {data_, "/data"}, {game_, "/both"}, {data_, "/both"}})
      unpacked_ &= runProcess({"/usr/bin/dpkg-deb", "-x", deb, root_ + dir}).status == 0;
    fs::create_directories(root_ + "/elsewhere");
  }
  static void TearDownTestSuite() { removeTree(root_); }
  void SetUp() override {
    ASSERT_TRUE(fs::exists(game_) && fs::exists(data_))
        << game_ << " or " << data_ << " is missing: run make deb first";
    ASSERT_TRUE(unpacked_);
  }
  static std::string field(const std::string& deb, const std::string& name) {
    return firstLine(runProcess({"/usr/bin/dpkg-deb", "-f", deb, name}).out);
  }
  static inline std::string arch_, game_, data_, root_;
  static inline bool unpacked_ = true;
};

TEST_F(Package, GameAndDataAreSplitAndHoldTheInstalledFiles) {
  EXPECT_EQ(field(game_, "Version"), version);
  EXPECT_EQ(field(data_, "Version"), version);
  EXPECT_EQ(field(game_, "Architecture"), arch_);
  EXPECT_EQ(field(data_, "Architecture"), "all");
  EXPECT_EQ(field(data_, "Multi-Arch"), "foreign");
  EXPECT_EQ(field(game_, "Section"), "games");

  // The game: the binary, the gzipped manual page, the menu entry, its
  // icons, the metainfo and the documents.
  std::set<std::string> game = {"usr/games/velkarra3d",
                                "usr/share/man/man6/velkarra3d.6.gz",
                                "usr/share/applications/velkarra3d.desktop",
                                "usr/share/metainfo/" VELKARRA_APPSTREAM_ID ".metainfo.xml",
                                "usr/share/mime/packages/velkarra3d.xml",
                                "usr/share/doc/velkarra3d/README.md.gz",
                                "usr/share/doc/velkarra3d/changelog.gz",
                                "usr/share/doc/velkarra3d/copyright"};
  for (const char* size : {"16", "24", "32", "48", "64", "128", "256"})
    game.insert(std::string("usr/share/icons/hicolor/") + size + "x" + size +
                "/apps/velkarra3d.png");
  EXPECT_EQ(filesBelow(root_ + "/game"), game);

  // The data: the build's data set, file for file and byte for byte.
  std::set<std::string> data = {"usr/share/doc/velkarra3d-data/changelog.gz",
                                "usr/share/doc/velkarra3d-data/copyright",
                                "usr/share/lintian/overrides/velkarra3d-data"};
  for (const std::string& name : filesBelow(VELKARRA_DATA_DIR)) {
    data.insert("usr/share/games/velkarra3d/" + name);
    EXPECT_EQ(readFile(root_ + "/data/usr/share/games/velkarra3d/" + name),
              readFile(VELKARRA_DATA_DIR "/" + name))
        << name;
  }
  EXPECT_EQ(filesBelow(root_ + "/data"), data);

  // The metainfo, the menu entry it launches and the icons, as installed.
  ProcessResult tree = runProcess(
      {"/usr/bin/appstreamcli", "validate-tree", "--strict", "--no-net", root_ + "/game"});
  EXPECT_EQ(tree.status, 0) << tree.out << tree.err;

  // The recordings' file type, as the package's trigger will read it, and
  // the menu entry that opens it.
  fs::create_directories(root_ + "/mime/packages");
  fs::copy(root_ + "/game/usr/share/mime/packages/velkarra3d.xml", root_ + "/mime/packages");
  ProcessResult types = runProcess({"/usr/bin/update-mime-database", root_ + "/mime"});
  EXPECT_EQ(types.status, 0) << types.err;
  EXPECT_NE(
      readFile(root_ + "/mime/globs2").find("application/x-velkarra3d-recording:*.v3drec.gz\n"),
      std::string::npos);
  EXPECT_NE(readFile(root_ + "/game/usr/share/applications/velkarra3d.desktop")
                .find("\nMimeType=application/x-velkarra3d-recording;\n"),
            std::string::npos);

  // The manual page's header carries the release.
  ProcessResult page =
      runProcess({"/bin/gzip", "-dc", root_ + "/game/usr/share/man/man6/velkarra3d.6.gz"});
  EXPECT_NE(
      page.out.find("\n.TH VELKARRA3D 6 " VELKARRA_RELEASE_DATE " \"Velkarra3D " + version + "\""),
      std::string::npos);
}

TEST_F(Package, DependsAreResolvedFromTheLibrariesTheGameLinks) {
  ProcessResult info = runProcess({"/usr/bin/dpkg-deb", "--info", game_});
  ASSERT_EQ(info.status, 0) << info.err;
  const std::string depends = field(game_, "Depends");
  EXPECT_NE(info.out.find(" Depends: " + depends + "\n"), std::string::npos) << info.out;
  EXPECT_EQ(depends.find("${"), std::string::npos) << depends;
  EXPECT_NE(depends.find("velkarra3d-data (= " + version + ")"), std::string::npos) << depends;
  EXPECT_EQ(field(data_, "Depends"), "");

  // Each library the binary needs, in this architecture's library folders,
  // belongs to a package the game depends on (or to one of the
  // alternatives, "libglu1-mesa | libglu1").
  const std::string multiarch =
      firstLine(runProcess({"/usr/bin/dpkg-architecture", "-qDEB_HOST_MULTIARCH"}).out);
  ASSERT_FALSE(multiarch.empty());
  // The names alone: versions in parentheses, commas and bars blanked.
  std::string words;
  bool inVersion = false;
  for (char c : depends) {
    inVersion = (inVersion || c == '(') && c != ')';
    words += inVersion || c == ')' || c == ',' || c == '|' ? ' ' : c;
  }
  std::set<std::string> named;
  std::istringstream items(words);
  for (std::string name; items >> name;) named.insert(name);
  ProcessResult dynamic =
      runProcess({"/usr/bin/readelf", "-d", root_ + "/game/usr/games/velkarra3d"});
  const std::string mark = "Shared library: [";  // readelf's words for a NEEDED entry
  int libraries = 0;
  for (size_t at = dynamic.out.find(mark); at != std::string::npos;
       at = dynamic.out.find(mark, at + 1), libraries++) {
    const size_t start = at + mark.size();
    const std::string library = dynamic.out.substr(start, dynamic.out.find(']', start) - start);
    ProcessResult owner = runProcess({"/usr/bin/dpkg", "-S", "*/" + multiarch + "/" + library});
    const std::string package = owner.out.substr(0, owner.out.find_first_of(":,"));
    EXPECT_EQ(named.count(package), 1u) << library << " from " << package << ": " << depends;
  }
  EXPECT_GE(libraries, 5) << dynamic.out;
}

TEST_F(Package, UnpackedGameFindsItsDataFromAnotherFolder) {
  const std::string game = root_ + "/both/usr/games/velkarra3d";
  // No --data, no VELKARRA3D_DATA, and XDG folders that hold nothing.
  const std::vector<std::string> env = {"VELKARRA3D_DATA=", "XDG_DATA_HOME=" + root_ + "/none",
                                        "XDG_DATA_DIRS=" + root_ + "/none"};
  const std::string elsewhere = root_ + "/elsewhere";
  ProcessResult r = runProcess({game, "--version"}, elsewhere, env);
  EXPECT_EQ(r.out, "velkarra3d " + version + "\n");
  r = runProcess({game, "--print-data-dir"}, elsewhere, env);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, fs::canonical(root_ + "/both/usr/share/games/velkarra3d").string() + "\n");

  r = runProcess({game, "--headless", "--seed", "4", "--frames", "30", "--screenshot", "shot.png"},
                 elsewhere, env);
  EXPECT_EQ(r.status, 0) << r.err;
  FIBITMAP* shot = FreeImage_Load(FIF_PNG, (elsewhere + "/shot.png").c_str(), 0);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(shot), 800u);
  EXPECT_EQ(FreeImage_GetHeight(shot), 600u);
  FreeImage_Unload(shot);
}

}  // namespace
