// test_support.h: small helpers shared by the test binaries: running a
// program with a time limit and capturing what it printed, temporary
// folders, reading whole files, and waiting for a condition.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ProcessResult {
  int status = -1;  // exit status, or 128 + signal when killed by one
  bool timedOut = false;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs argv[0] (a path) with the given arguments in directory cwd (empty:
// the current one). extraEnv entries ("NAME=value") are added to the
// environment. The process is killed after timeoutMs.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& cwd = "",
                         const std::vector<std::string>& extraEnv = {}, int timeoutMs = 60000);

// A new empty folder under the system's temporary folder; removed by
// removeTree.
std::string makeTempDir(const char* tag);
void removeTree(const std::string& path);

// Copies every regular file of the folder src (recursively) into dst.
void copyTree(const std::string& src, const std::string& dst);

// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& content);

// Polls done() every 10 ms until it holds; false when it still does not after
// timeoutMs (generous: the tests share a loaded machine).
bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000);
