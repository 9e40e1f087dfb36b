// json_lines.cpp: reading trace lines through nlohmann-json, with the check
// for fields written twice that its parser leaves to the caller.
#include "support/json_lines.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "gtest/gtest.h"
#include "support/test_support.h"

void jsonLacks(const char* check, const char* file, int line) {
  fprintf(stderr, "%s:%d: the JSON value lacks what the test asked for (%s)\n", file, line, check);
  abort();
}

bool parseJsonLine(const std::string& text, Json* out) {
  // The names seen in each object still open, innermost last.
  std::vector<std::set<std::string>> open;
  bool twice = false;
  auto watch = [&](int, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) open.emplace_back();
    if (event == Json::parse_event_t::object_end) open.pop_back();
    if (event == Json::parse_event_t::key && !open.back().insert(parsed.get<std::string>()).second)
      twice = true;
    return true;
  };
  *out = Json::parse(text, watch, /*allow_exceptions=*/false);
  return !out->is_discarded() && !twice;
}

std::vector<Json> readJsonLines(const std::string& path) {
  std::vector<Json> lines;
  std::istringstream in(readFile(path));
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    number++;
    Json value;
    if (!parseJsonLine(line, &value)) {
      ADD_FAILURE() << path << ":" << number << " is not JSON: " << line.substr(0, 200);
      break;
    }
    lines.push_back(value);
  }
  return lines;
}

Json lastJsonLine(const std::string& path) {
  const std::string text = readFile(path);
  const size_t end = text.rfind('\n');
  if (end == std::string::npos) return Json();
  const size_t before = end == 0 ? std::string::npos : text.rfind('\n', end - 1);
  const size_t start = before == std::string::npos ? 0 : before + 1;
  Json line;
  if (!parseJsonLine(text.substr(start, end - start), &line)) return Json();
  return line;
}

std::vector<std::string> fieldsOf(const Json& object) {
  std::vector<std::string> names;
  for (const auto& field : object.items()) names.push_back(field.key());
  return names;
}
