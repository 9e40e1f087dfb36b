// Malformed inputs through the real binary, headless: each data file, the
// data folder, the flags and input scripts. Each must end the run with its
// status and one line that starts as expected (or no line at all), and
// values that hold control characters must come back escaped.
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "assets/data_files.h"
#include "base/printable.h"
#include "game_support.h"

namespace {

// What a run must print: the whole of stdout (the game's own lines) and
// the start of stderr's one line, each "" for nothing; DIR stands for the
// data folder.
struct BadInput {
  const char* what;
  std::function<void(const std::string& dir)> prepare;  // changes the data folder copy
  std::vector<std::string> args;                        // after --headless --data DIR
  int status;
  std::string out;
  std::string err;
};

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; i++) out += s;
  return out;
}

// A BMP file header plus a BITMAPINFOHEADER (40 bytes) declaring w x h.
std::string bmpHeader(int32_t w, int32_t h) {
  std::string b = "BM";
  auto le32 = [&](uint32_t v) {
    for (int i = 0; i < 4; i++) b += static_cast<char>(v >> (8 * i) & 0xff);
  };
  auto le16 = [&](uint16_t v) {
    b += static_cast<char>(v & 0xff);
    b += static_cast<char>(v >> 8);
  };
  le32(54), le32(0), le32(54), le32(40), le32(w), le32(h), le16(1), le16(24);
  le32(0), le32(0), le32(2835), le32(2835), le32(0), le32(0);
  return b;
}

// 27 bytes: the file header, the 12-byte OS/2 header declaring 32261 x 806,
// and one pixel byte.
std::string os2Bmp() {
  const unsigned char bytes[27] = {'B', 'M', 27, 0, 0, 0,   0,  0, 0, 0, 26, 0, 0, 0,
                                   12,  0,   0,  0, 5, 126, 38, 3, 1, 0, 24, 0, 7};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::function<void(const std::string&)> settingsWith(int index, const std::string& value) {
  return [=](const std::string& dir) {
    writeFile(dir + "/settings.txt", settingsText({{index, value}}));
  };
}

std::function<void(const std::string&)> fileWith(const std::string& name,
                                                 const std::string& content) {
  return [=](const std::string& dir) { writeFile(dir + "/" + name, content); };
}

std::function<void(const std::string&)> without(const std::string& name) {
  return [=](const std::string& dir) { unlink((dir + "/" + name).c_str()); };
}

std::function<void(const std::string&)> script(const std::string& text) {
  return fileWith("input.txt", text);
}

const std::vector<std::string> oneFrame = {"--frames", "1"};
const std::vector<std::string> withScript = {"--frames", "1", "--input", "input.txt"};

class BadInputs : public GameTest {};

TEST_F(BadInputs, EndWithTheirStatusAndOneClearLine) {
  const std::string cannon = "DIR/cannon.off: ";
  const BadInput cases[] = {
      {"nan", settingsWith(setting("arenaHalfSize"), "nan"), oneFrame, 1,
       "settings.txt: value 1 (arenaHalfSize) is not a finite number\n", ""},
      {"inf", settingsWith(setting("planeSpeed"), "-inf"), oneFrame, 1,
       "settings.txt: value 14 (planeSpeed) is not a finite number\n", ""},
      {"beyond float", settingsWith(setting("shellSpeed"), "1e39"), oneFrame, 1,
       "settings.txt: value 60 (shellSpeed) is not a finite number\n", ""},
      {"beyond float seconds", settingsWith(setting("bombDropMin"), "-1e39"), oneFrame, 1,
       "settings.txt: value 17 (bombDropMin) is not a finite number\n", ""},
      {"long token", settingsWith(setting("plane model file"), repeat("p", 300)), oneFrame, 1,
       "settings.txt: value 5 (plane model file) is longer than 255 characters\n", ""},
      {"word for count", settingsWith(setting("planeBlastCount"), "x"), oneFrame, 1,
       "settings.txt: value 62 (planeBlastCount) is not a whole number\n", ""},
      {"empty settings", fileWith("settings.txt", " \n"), oneFrame, 1,
       "settings.txt: value 1 (arenaHalfSize) is missing: the file ends early\n", ""},
      {"settings a folder",
       [](const std::string& dir) {
         unlink((dir + "/settings.txt").c_str());
         mkdir((dir + "/settings.txt").c_str(), 0755);
       },
       oneFrame, 1, "settings.txt: value 1 (arenaHalfSize) cannot be read\n", ""},
      {"no settings", without("settings.txt"), oneFrame, 1,
       "settings.txt: cannot open: No such file or directory\n", ""},
      {"missing model", settingsWith(setting("bomb model file"), "gone.off"), oneFrame, 1,
       "Cannon open model file: gone.off\n", ""},
      {"model name escaped", settingsWith(setting("bomb model file"), "\x1b[31mred.off"), oneFrame,
       1, "Cannon open model file: \\x1b[31mred.off\n", ""},
      {"OFF header", fileWith("shell.off", "OFFX 3 1 0\n0 0 0 1 0 0 0 1 0\n3 0 1 2\n"), oneFrame, 1,
       "Bad file format\n", "velkarra3d: DIR/shell.off: it does not start with OFF (line 1)\n"},
      {"OFF short", fileWith("shell.off", "OFF 1000000 1000000 0\n0 0 0\n"), oneFrame, 1,
       "Bad file format\n",
       "velkarra3d: DIR/shell.off: the file is too short for the 1000000 vertices and 1000000 "
       "faces it declares (line 1)\n"},
      {"OFF index", fileWith("shell.off", "OFF 3 1 0\n0 0 0 1 0 0 0 1 0\n3 0 1 3\n"), oneFrame, 1,
       "Bad file format\n",
       "velkarra3d: DIR/shell.off: face 1 names vertex 3, of 0 to 2 (line 3)\n"},
      {"OFF negative", fileWith("shell.off", "OFF -3 1 0\n"), oneFrame, 1, "Bad file format\n",
       "velkarra3d: DIR/shell.off: it declares -3 vertices (at most 1048576) (line 1)\n"},
      {"OFF empty", fileWith("cannon.off", ""), oneFrame, 1, "Bad file format\n",
       "velkarra3d: " + cannon + "the file is empty (line 1)\n"},
      {"OFF no counts", fileWith("cannon.off", "OFF\n\nthree\n"), oneFrame, 1, "Bad file format\n",
       "velkarra3d: " + cannon +
           "OFF is not followed by the counts of vertices, faces and edges (line 3)\n"},
      {"OFF cut in a vertex", fileWith("cannon.off", "OFF\n3 1 0\n0 0 0\n1 0" + repeat(" ", 20)),
       oneFrame, 1, "Bad file format\n",
       "velkarra3d: " + cannon + "the file ends in vertex 2 of 3 (line 4)\n"},
      {"OFF word in a vertex", fileWith("cannon.off", "OFF\n3 1 0\n0 0 0\n1 0\nx 0 1 0\n3 0 1 2\n"),
       oneFrame, 1, "Bad file format\n",
       "velkarra3d: " + cannon + "vertex 2 of 3 is not three numbers (line 5)\n"},
      {"OFF cut in a face",
       fileWith("cannon.off", "OFF\n3 2 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n3 0 1" + repeat(" ", 20)),
       oneFrame, 1, "Bad file format\n",
       "velkarra3d: " + cannon + "the file ends in face 2 of 2 (line 7)\n"},
      {"font short", fileWith("font.glf", std::string(30, '\1')), oneFrame, 0, "",
       "velkarra3d: DIR/font.glf: its header declares an impossible size or number of glyphs; "
       "playing without text\n"},
      {"font huge",
       fileWith("font.glf", std::string("\0\0\0\0"
                                        "\0\x20\0\0"
                                        "\0\x20\0\0"
                                        "\x20\0\0\0"
                                        "\x7e\0\0\0"
                                        "\0\0\0\0",
                                        24)),
       oneFrame, 0, "",
       "velkarra3d: DIR/font.glf: the file is too short for the glyphs and the image its header "
       "declares; playing without text\n"},
      {"font missing", without("font.glf"), oneFrame, 0, "",
       "velkarra3d: DIR/font.glf: cannot open: No such file or directory; playing without text\n"},
      {"ground huge", fileWith("ground.bmp", bmpHeader(30000, 30000)), oneFrame, 1, "",
       "velkarra3d: cannot load the height map 'DIR/ground.bmp': it declares 30000 x 30000 pixels, "
       "more than the game loads"},
      {"ground box long", fileWith("ground_box.bmp", bmpHeader(134217984, 1)), oneFrame, 1, "",
       "velkarra3d: cannot load the texture 'DIR/ground_box.bmp': it declares 134217984 x 1 "
       "pixels"},
      {"sky OS/2", fileWith("sky.bmp", os2Bmp()), oneFrame, 1, "",
       "velkarra3d: cannot load the texture 'DIR/sky.bmp': it declares 32261 x 806 pixels"},
      {"sand wide", fileWith("sand.bmp", bmpHeader(16385, 1)), oneFrame, 1, "",
       "velkarra3d: cannot load the texture 'DIR/sand.bmp': it declares 16385 x 1 pixels"},
      {"sand missing", without("sand.bmp"), oneFrame, 1, "",
       "velkarra3d: cannot load the texture 'DIR/sand.bmp': the file is missing\n"},
      {"sky cut short", fileWith("sky.bmp", bmpHeader(2565, 16384) + "\x07"), oneFrame, 1, "",
       "velkarra3d: cannot load the texture 'DIR/sky.bmp': the file is too short for the 2565 x "
       "16384 pixels it declares\n"},
      {"sky cap text", fileWith("sky_up.bmp", "not a picture\n"), oneFrame, 1, "",
       "velkarra3d: cannot load the texture 'DIR/sky_up.bmp': not a readable BMP bitmap\n"},
      {"ground missing", without("ground.bmp"), oneFrame, 1, "",
       "velkarra3d: cannot load the height map 'DIR/ground.bmp': the file is missing\n"},
      {"no data set",
       [](const std::string& dir) {
         for (const char* name : dataFileNames) unlink((dir + "/" + name).c_str());
       },
       oneFrame, 2, "",
       "velkarra3d: the folder 'DIR' holds no data set (looked for settings.txt there)\n"},
      {"no data folder",
       nullptr,
       {"--data", "/nonexistent/\x01", "--frames", "1"},
       2,
       "",
       "velkarra3d: cannot use the data folder '/nonexistent/\\x01'"},
      {"flag with newline",
       nullptr,
       {"--x\ny"},
       2,
       "",
       "velkarra3d: unknown option '--x\\ny' (try --help)\n"},
      {"value with control",
       nullptr,
       {"--frames", "\x01\x7f"},
       2,
       "",
       "velkarra3d: --frames takes a whole number from 0 to 2147483647, not '\\x01\\x7f'\n"},
      {"long flag cut",
       nullptr,
       {"--" + repeat("z", 5000)},
       2,
       "",
       "velkarra3d: unknown option '--" + repeat("z", printableValueLimit - 2) + "...' "},
      {"draw every 0",
       nullptr,
       {"--draw-every", "0"},
       2,
       "",
       "velkarra3d: --draw-every takes a whole number from 1 to 1000000, not '0'\n"},
      {"script verb", script("1 \x1b[2J a\n"), withScript, 2, "",
       "velkarra3d: input.txt:1: unknown verb '\\x1b[2J'"},
      {"script frame 0", script("0 tap a\n"), withScript, 2, "",
       "velkarra3d: input.txt:1: the frame number takes a whole number from 1 to 1073741824, not "
       "'0'\n"},
      {"script long line", script(repeat("1 tap a ", 100) + "\n"), withScript, 2, "",
       "velkarra3d: input.txt:1: line is longer than"},
      {"script missing", nullptr, withScript, 2, "", "velkarra3d: input.txt: cannot open"},
      {"recording unwritable",
       nullptr,
       {"--frames", "1", "--record", "no/such/\x01.rec"},
       2,
       "",
       "velkarra3d: cannot write the recording '"},
  };
  for (const BadInput& c : cases) {
    std::string dir = dataDir();
    if (c.prepare) c.prepare(dir);
    std::vector<std::string> args = {"--headless", "--detail", "low", "--data", dir};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProcessResult r = runGame(args, dir);
    auto withDir = [&dir](std::string text) {
      for (size_t at; (at = text.find("DIR")) != std::string::npos;) text.replace(at, 3, dir);
      return text;
    };
    EXPECT_EQ(r.status, c.status) << c.what << ": " << r.out << r.err;
    EXPECT_EQ(r.out, withDir(c.out)) << c.what;
    EXPECT_EQ(r.err.rfind(withDir(c.err), 0), 0u) << c.what << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.err.empty() ? 0 : 1)
        << c.what << ": " << r.err;
    EXPECT_EQ((r.out + r.err).find('\x01'), std::string::npos) << c.what << ": not escaped";
  }
}

// printable keeps valid UTF-8 and escapes what a terminal could act on.
TEST(Printable, EscapesControlsAndBrokenUtf8AndCutsLongValues) {
  EXPECT_STREQ(printable("plain-name_1.off"), "plain-name_1.off");
  EXPECT_STREQ(printable("a\tb\r\n"), "a\\tb\\r\\n");
  EXPECT_STREQ(printable("gr\xc3\xbcn \xe2\x82\xac"), "gr\xc3\xbcn \xe2\x82\xac");
  EXPECT_STREQ(printable("\xc3(\xc2\x9b\xed\xa0\x80\xff"), "\\xc3(\\xc2\\x9b\\xed\\xa0\\x80\\xff");
  EXPECT_STREQ(printable(nullptr), "(null)");
  std::string cut = printable(repeat("\x01", 500).c_str());
  EXPECT_EQ(cut, repeat("\\x01", printableValueLimit) + "...");
}

}  // namespace
