// x11_support.cpp: processes, windows and key repeats for the tests under
// Xvfb.
#include "support/x11_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

#include "support/test_support.h"

extern char** environ;

pid_t spawnProcess(std::vector<std::string> args, const std::string& out) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!out.empty())
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void stopProcess(pid_t* pid, int signal) {
  if (*pid <= 0) return;
  kill(*pid, signal);
  waitpid(*pid, nullptr, 0);
  *pid = -1;
}

pid_t startOpenbox(Display* display) {
  pid_t pid = spawnProcess({"/usr/bin/openbox"});
  const Atom selection = XInternAtom(display, "WM_S0", False);
  if (pid <= 0 || !waitFor([&] { return XGetSelectionOwner(display, selection) != 0; })) {
    ADD_FAILURE() << "openbox did not start";
    stopProcess(&pid, SIGKILL);
  }
  return pid;
}

std::string windowManagerName(const ::testing::TestParamInfo<bool>& param) {
  return param.param ? "Openbox" : "Bare";
}

Window findWindow(Display* display, const char* title, Window parent, int depth) {
  if (!parent) parent = DefaultRootWindow(display);
  Window rootReturn, parentReturn, *children = nullptr;
  unsigned count = 0;
  if (depth > 3 || !XQueryTree(display, parent, &rootReturn, &parentReturn, &children, &count))
    return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; i++) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (strcmp(name, title) == 0) found = children[i];
      XFree(name);
    }
    if (!found) found = findWindow(display, title, children[i], depth + 1);
  }
  if (children) XFree(children);
  return found;
}

bool holdUntilRepeated(Display* display, Window window, const char* name, int repeats,
                       void (*meanwhile)()) {
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(name));
  if (code == 0) return false;
  XSelectInput(display, window, KeyPressMask);
  XSync(display, False);
  auto countPresses = [&] {
    int presses = 0;
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      presses += event.type == KeyPress && event.xkey.keycode == code;
    }
    return presses;
  };
  countPresses();  // presses from before this one
  const ProcessResult down = runProcess({"/usr/bin/xdotool", "keydown", name}, "", {}, 20000);
  if (down.status != 0) return false;
  int presses = 0;
  const bool repeated = waitFor([&] {
    if (meanwhile) meanwhile();
    presses += countPresses();
    return presses > repeats;
  });
  XSelectInput(display, window, NoEventMask);
  XSync(display, False);
  return repeated;
}
