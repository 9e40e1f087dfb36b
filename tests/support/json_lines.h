// json_lines.h: the game's JSON Lines traces read with nlohmann-json, for the
// tests that check them (the command line's, and the real binary's under
// Xvfb).
//
// Numbers come back as nlohmann reads them: a float the game wrote with %.9g
// is parsed as a double (strtod), and get<double>() cast to float gives back
// the very float the game held; integers are exact.
#pragma once

// A field the test reads that a line lacks would be undefined behaviour
// behind nlohmann's assert in a release build: here it ends the test's
// process with a line saying so (on ctest, each test has its own process).
#define JSON_ASSERT(x) ((x) ? static_cast<void>(0) : jsonLacks(#x, __FILE__, __LINE__))
[[noreturn]] void jsonLacks(const char* check, const char* file, int line);

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// Objects keep their fields in the order written, which the tests check.
using Json = nlohmann::ordered_json;

// One JSON value; false on anything that is not JSON, or holds an object
// with a field written twice (which nlohmann alone would take).
bool parseJsonLine(const std::string& text, Json* out);

// Every line of a JSON Lines file; fails the test on a line that is not
// JSON.
std::vector<Json> readJsonLines(const std::string& path);

// The last whole line of a JSON Lines file that is still being written (a
// trace of a running game); null when it has none yet or it is not JSON.
Json lastJsonLine(const std::string& path);

// The field names of an object, in the order written.
std::vector<std::string> fieldsOf(const Json& object);
