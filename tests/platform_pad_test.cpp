// platform_pad_test.cpp: the game controller below the game: mapping lines
// and the configuration folder's mapping file, the headless script's pad
// events, and platPadState over SDL's virtual controllers (which pad plays,
// presses, unplugging, and no SDL at all for a run without a pad).
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "devices/pads.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace {

const std::string kGuid = "03000000de2800000112000001000000";

struct MappingCase {
  std::string text;
  const char* warning;  // nullptr: the text is good
};

TEST(PadMappings, EachBadLineIsNamedInOneWarningLine) {
  const std::string longLine = kGuid + ",Long," + std::string(2100, 'x') + ":b0";
  const MappingCase cases[] = {
      {kGuid + ",Pad,a:b0,b:b1,leftx:a0,-lefty:-a1,righty:a3~,lefttrigger:+a2,dpup:h0.1,"
               "platform:Linux,\r\n",
       nullptr},
      {"# a comment\n\n   \t\r\n", nullptr},
      {kGuid + ",Pad,a:b0,misc9:b3,hint:SDL_X:=1,", nullptr},  // newer names are SDL's business
      {"garbage", "db.txt:1: bad controller mapping: it does not start with a GUID"},
      {"\n" + kGuid.substr(2) + ",Pad,a:b0", "db.txt:2: bad controller mapping: it does not"},
      {kGuid + ",,a:b0", "no controller name after the GUID"},
      {kGuid + ",Pad", "no controller name after the GUID"},
      {kGuid + ",Pad,a:q0", "'a' is bound to 'q0', not to bN, aN or hN.M"},
      {kGuid + ",Pad,dpup:h0", "'dpup' is bound to 'h0'"},
      {kGuid + ",Pad,a", "'a' is not NAME:VALUE"},
      {kGuid + ",Pad,platform:Linux", "no button or axis is bound"},
      {kGuid + ",Pad,a:b0" + std::string(1, '\0') + "x", "the line holds a NUL byte"},
      {longLine, "the line is longer than 2048 characters"},
  };
  for (const MappingCase& c : cases) {
    testing::internal::CaptureStderr();
    const int bad = padsReadMappings(c.text.data(), c.text.size(), "db.txt", false);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bad, c.warning ? 1 : 0) << c.text;
    if (c.warning) {
      EXPECT_EQ(err.rfind("velkarra3d: db.txt:", 0), 0u) << err;
      EXPECT_NE(err.find(c.warning), std::string::npos) << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
    } else {
      EXPECT_EQ(err, "");
    }
  }
  // A file of nothing but bad lines names the first five, then counts.
  std::string junk;
  for (int i = 0; i < 40; i++) junk += "junk\n";
  testing::internal::CaptureStderr();
  EXPECT_EQ(padsReadMappings(junk.data(), junk.size(), "db.txt", false), 40);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("db.txt:5: "), std::string::npos);
  EXPECT_EQ(err.find("db.txt:6: "), std::string::npos);
  EXPECT_NE(err.find("velkarra3d: db.txt: 35 more bad controller mappings\n"), std::string::npos);
}

TEST(PadMappings, TheConfigFolderFileIsReadAtStartAndTheEnvironmentChecked) {
  const std::string dir = makeTempDir("padconfig");
  const char* home = getenv("HOME");
  const std::string oldHome = home ? home : "";
  char path[1024];
  setenv("XDG_CONFIG_HOME", "relative/dir", 1);
  setenv("HOME", "/home/player", 1);
  ASSERT_TRUE(padsConfigFile(path, sizeof path));
  EXPECT_STREQ(path, "/home/player/.config/velkarra3d/gamecontrollerdb.txt");
  unsetenv("HOME");
  EXPECT_FALSE(padsConfigFile(path, sizeof path));
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  ASSERT_TRUE(padsConfigFile(path, sizeof path));
  EXPECT_EQ(std::string(path), dir + "/velkarra3d/gamecontrollerdb.txt");

  const std::string other = "03000000de2800000212000001000000";
  ASSERT_EQ(mkdir((dir + "/velkarra3d").c_str(), 0755), 0);
  ASSERT_TRUE(writeFile(dir + "/velkarra3d/gamecontrollerdb.txt",
                        "# extra pads\n" + kGuid + ",Config Pad,a:b1,b:b0,\n" + other +
                            ",Other System Pad,a:b0,platform:Windows,\n" + "half a line\n"));
  setenv("SDL_GAMECONTROLLERCONFIG", "not a mapping", 1);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(padsOpen(true));
  const std::string err = testing::internal::GetCapturedStderr();
  unsetenv("SDL_GAMECONTROLLERCONFIG");
  EXPECT_EQ(err,
            "velkarra3d: SDL_GAMECONTROLLERCONFIG:1: bad controller mapping: it does not "
            "start with a GUID of 32 hex digits and a comma\n"
            "velkarra3d: " +
                std::string(path) +
                ":4: bad controller mapping: it does not start with a "
                "GUID of 32 hex digits and a comma\n");
  char* added = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(kGuid.c_str()));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(std::string(added).find(kGuid + ",Config Pad,a:b1,b:b0"), 0u) << added;
  SDL_free(added);
  EXPECT_EQ(SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(other.c_str())), nullptr)
      << "another system's line is not for this one";
  removeTree(dir);
  unsetenv("XDG_CONFIG_HOME");
  if (home) setenv("HOME", oldHome.c_str(), 1);
}

TEST(PadScript, PadEventsTakeSdlNamesAndSayWhatIsWrong) {
  char err[512];
  const std::string good =
      "1 pad plug\n2 pad leftx -32768\n2 pad righttrigger 32767\n3 pad dpup down\n"
      "4 pad start up\n5 pad touchpad down\n9 pad unplug\n";
  EXPECT_TRUE(headlessParseScript(good.data(), good.size(), "s", err, sizeof err)) << err;
  EXPECT_EQ(headlessScriptLastFrame(), 9);
  for (const char* bad :
       {"1 pad", "1 pad leftx 32768", "1 pad leftx -32769", "1 pad leftx", "1 pad LEFTX 5",
        "1 pad +leftx 5", "1 pad leftx 1.5", "1 pad a press", "1 pad plug in", "1 pad dpup"}) {
    EXPECT_FALSE(headlessParseScript(bad, strlen(bad), "s", err, sizeof err)) << bad;
    EXPECT_EQ(std::string(err).rfind("s:1: 'pad", 0), 0u) << bad << ": " << err;
  }
}

TEST(PadState, FirstPadPlaysPressesCountOnceAndUnpluggingIsSaidOnce) {
  // A run without a pad opens nothing of SDL (asked in a fresh process: an
  // earlier test of this one may have opened it).
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        platInitHeadless(0, 16);
        PlatPad none;
        platPadState(&none);
        _exit(none.connected || SDL_WasInit(SDL_INIT_GAMECONTROLLER) ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  platInitHeadless(0, 16);
  PlatPad pad;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(headlessPadPlug());
  headlessPadAxis(platPadRightX, -20000);
  headlessPadAxis(platPadRightTrigger, 32767);
  headlessPadAxis(platPadLeftTrigger, -5);  // a trigger below 0 is released
  headlessPadButton(platPadA, true);
  platPadState(&pad);
  EXPECT_TRUE(pad.connected);
  EXPECT_FALSE(pad.unplugged);
  EXPECT_EQ(pad.axes[platPadRightX], -20000);
  EXPECT_EQ(pad.axes[platPadRightTrigger], 32767);
  EXPECT_EQ(pad.axes[platPadLeftTrigger], 0);
  EXPECT_EQ(pad.axes[platPadLeftX], 0);
  EXPECT_EQ(pad.pressed, 0u) << "down at the plug: not a press";
  headlessPadButton(platPadA, false);
  platPadState(&pad);
  headlessPadButton(platPadStart, true);
  platPadState(&pad);
  EXPECT_EQ(pad.held, 1u << platPadStart);
  EXPECT_EQ(pad.pressed, 1u << platPadStart);
  platPadState(&pad);
  EXPECT_EQ(pad.held, 1u << platPadStart);
  EXPECT_EQ(pad.pressed, 0u) << "a press counts once";

  // A second controller waits while the first plays, and plays once it goes.
  const int second = padsAttachVirtual("Second pad");
  ASSERT_GE(second, 0) << SDL_GetError();
  SDL_Joystick* stick = SDL_JoystickOpen(second);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, 12345);
  platPadState(&pad);
  EXPECT_EQ(pad.axes[platPadRightX], -20000);
  EXPECT_EQ(pad.axes[platPadLeftY], 0);
  headlessPadUnplug();
  platPadState(&pad);
  EXPECT_TRUE(pad.unplugged);
  EXPECT_TRUE(pad.connected);
  EXPECT_EQ(pad.axes[platPadLeftY], 12345);
  platPadState(&pad);
  EXPECT_FALSE(pad.unplugged) << "said once";
  const SDL_JoystickID secondId = SDL_JoystickInstanceID(stick);
  SDL_JoystickClose(stick);
  for (int i = 0; i < SDL_NumJoysticks(); i++)
    if (SDL_JoystickGetDeviceInstanceID(i) == secondId) SDL_JoystickDetachVirtual(i);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "velkarra3d: controller connected: Scripted pad\n"
            "velkarra3d: controller connected: Second pad\n"
            "velkarra3d: controller removed: Scripted pad\n");

  // A new run starts with no pad, and says nothing of the ones before.
  testing::internal::CaptureStderr();
  platInitHeadless(0, 16);
  platPadState(&pad);
  EXPECT_FALSE(pad.connected);
  EXPECT_FALSE(pad.unplugged);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
