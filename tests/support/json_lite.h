// json_lite.h: a small JSON reader for checking the game's trace lines.
// Enough of JSON for the trace: objects, arrays, numbers, strings, true,
// false and null. parseJson returns false on anything that is not JSON.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct Json {
  enum Kind { nullKind, boolKind, numberKind, stringKind, arrayKind, objectKind } kind = nullKind;
  double number = 0;
  bool boolean = false;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> fields;
  std::vector<std::string> order;  // field names in the order written

  const Json& operator[](const std::string& name) const;
  const Json& operator[](size_t index) const;
  bool has(const std::string& name) const { return fields.count(name) != 0; }
  double num() const { return number; }
  size_t size() const { return kind == arrayKind ? items.size() : fields.size(); }
};

bool parseJson(const std::string& text, Json* out);

// Every line of a JSON Lines file; fails the test on a line that is not
// JSON.
std::vector<Json> readJsonLines(const std::string& path);
