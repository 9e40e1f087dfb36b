// platform_x11_pad.cpp: game controllers in the windowed backend, which
// opens SDL's game-controller subsystem beside the sound: a virtual
// controller plugged in and pulled out in-process, and the real binary in a
// window, silent about pads without one and naming each bad mapping once.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "devices/pads.h"
#include "platform/platform.h"
#include "platform/windowed.h"
#include "support/test_support.h"

namespace {

TEST(WindowedPad, ControllersComeAndGoBesideTheSound) {
  const std::string config = makeTempDir("padwindow");
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);  // no mapping file of the machine's
  static char name[] = "velkarra3d";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(platInitWindowed(&argc, argv));
  EXPECT_TRUE(windowedAudioOpen());
  PlatPad pad;
  platPadState(&pad);
  EXPECT_FALSE(pad.connected);

  const int index = padsAttachVirtual("Window pad");
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* stick = SDL_JoystickOpen(index);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_RIGHTX, 30000);
  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_B, 1);
  platPadState(&pad);
  EXPECT_TRUE(pad.connected);
  EXPECT_EQ(pad.axes[platPadRightX], 30000);
  EXPECT_EQ(pad.held, 1u << platPadB);

  const SDL_JoystickID id = SDL_JoystickInstanceID(stick);
  SDL_JoystickClose(stick);
  for (int i = 0; i < SDL_NumJoysticks(); i++)
    if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
  platPadState(&pad);
  EXPECT_FALSE(pad.connected);
  EXPECT_TRUE(pad.unplugged);
  EXPECT_EQ(pad.axes[platPadRightX], 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("velkarra3d: controller connected: Window pad\n"
                     "velkarra3d: controller removed: Window pad\n"),
            std::string::npos)
      << err;
  removeTree(config);
}

TEST(WindowedPad, WithoutAPadNothingIsSaidAndEachBadMappingOnce) {
  const std::string config = makeTempDir("padmappings");
  const std::vector<std::string> run = {VELKARRA_BINARY, "--data", VELKARRA_DATA_DIR, "--frames",
                                        "10"};
  ProcessResult quiet = runProcess(run, "", {"SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=" + config});
  EXPECT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.err.find("controller"), std::string::npos) << quiet.err;

  ASSERT_EQ(mkdir((config + "/velkarra3d").c_str(), 0755), 0);
  ASSERT_TRUE(writeFile(config + "/velkarra3d/gamecontrollerdb.txt",
                        "03000000de2800000112000001000000,Good Pad,a:b0,\n"
                        "03000000de2800000112000001000000,Bad Pad,a:bb,\n"));
  ProcessResult warned = runProcess(
      run, "",
      {"SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=" + config, "SDL_GAMECONTROLLERCONFIG=nonsense"});
  EXPECT_EQ(warned.status, 0) << warned.err;
  const std::string file = config + "/velkarra3d/gamecontrollerdb.txt";
  EXPECT_NE(warned.err.find("velkarra3d: SDL_GAMECONTROLLERCONFIG:1: bad controller mapping: "),
            std::string::npos)
      << warned.err;
  EXPECT_NE(warned.err.find("velkarra3d: " + file +
                            ":2: bad controller mapping: 'a' is bound to 'bb', not to bN, aN or "
                            "hN.M\n"),
            std::string::npos)
      << warned.err;
  size_t lines = 0;
  for (size_t at = warned.err.find("bad controller mapping"); at != std::string::npos;
       at = warned.err.find("bad controller mapping", at + 1))
    lines++;
  EXPECT_EQ(lines, 2u) << warned.err;
  removeTree(config);
}

}  // namespace
