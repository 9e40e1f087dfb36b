// scratch_home.cpp: every test binary starts with the player's folders (the
// XDG config and data homes) in the build's own tests/home, so that no test
// reads a configuration file or writes scores or screenshots in the home of
// whoever runs it. A test that wants other folders sets them itself.
#include <cstdlib>
#include <string>

namespace {

struct ScratchHome {
  ScratchHome() {
    const std::string home = std::string(VELKARRA_BUILD_DIR) + "/tests/home";
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  }
};
const ScratchHome scratchHome;

}  // namespace
