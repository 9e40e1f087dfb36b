// x11_support.h: what the tests under a private Xvfb share: processes started
// beside them (the game, a window manager), windows found by their title,
// and a held key's auto-repeat seen from the tests' own X connection.
// gtest comes before Xlib, whose macros (None, Bool, Status) would clash.
#pragma once

// clang-format off
#include "gtest/gtest.h"
#include <X11/Xlib.h>
// clang-format on
#include <sys/types.h>

#include <string>
#include <vector>

// Starts args[0] (a path) with the tests' environment, its standard output
// into the file `out` when given; -1 when it cannot start.
pid_t spawnProcess(std::vector<std::string> args, const std::string& out = "");
// Sends `signal` to a process of spawnProcess and reaps it; *pid becomes -1.
void stopProcess(pid_t* pid, int signal);

// Starts openbox and waits until it manages the screen (owns WM_S0); -1,
// after a test failure, when it does not.
pid_t startOpenbox(Display* display);

// The names of a test instantiated with and without a window manager.
std::string windowManagerName(const ::testing::TestParamInfo<bool>& param);

// The window titled `title` under `parent` (the root when 0): a top-level
// one, or one a window manager put into its frame; 0 when there is none.
Window findWindow(Display* display, const char* title, Window parent = 0, int depth = 0);

// Presses the key `name` (an X keysym name, through xdotool) and keeps it
// down until `window` has heard the keyboard's auto-repeat press it
// `repeats` more times, calling `meanwhile` (if any) while it waits. The
// tests' own connection watches the window's key presses for that. False
// when the repeats do not come.
bool holdUntilRepeated(Display* display, Window window, const char* name, int repeats,
                       void (*meanwhile)() = nullptr);
