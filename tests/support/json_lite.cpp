// json_lite.cpp: the recursive-descent reader behind json_lite.h.
#include "support/json_lite.h"

#include <cstdlib>
#include <sstream>

#include "gtest/gtest.h"
#include "support/test_support.h"

namespace {

struct Reader {
  const std::string& s;
  size_t i = 0;
  void space() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) i++;
  }
  bool literal(const char* word) {
    size_t n = std::char_traits<char>::length(word);
    if (s.compare(i, n, word) != 0) return false;
    i += n;
    return true;
  }
  bool string(std::string* out) {
    if (i >= s.size() || s[i] != '"') return false;
    i++;
    while (i < s.size() && s[i] != '"') {
      char c = s[i++];
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c == '\\') {
        if (i >= s.size()) return false;
        char e = s[i++];
        if (e == 'u') {
          if (i + 4 > s.size()) return false;
          c = static_cast<char>(strtol(s.substr(i, 4).c_str(), nullptr, 16));
          i += 4;
        } else if (e == 'n') {
          c = '\n';
        } else if (e == '"' || e == '\\' || e == '/') {
          c = e;
        } else {
          return false;
        }
      }
      out->push_back(c);
    }
    if (i >= s.size()) return false;
    i++;
    return true;
  }
  bool value(Json* out) {
    space();
    if (i >= s.size()) return false;
    char c = s[i];
    if (c == '{') {
      out->kind = Json::objectKind;
      i++;
      space();
      if (i < s.size() && s[i] == '}') return ++i, true;
      for (;;) {
        space();
        std::string name;
        if (!string(&name)) return false;
        space();
        if (i >= s.size() || s[i++] != ':') return false;
        Json item;
        if (!value(&item) || out->fields.count(name)) return false;
        out->fields[name] = item;
        out->order.push_back(name);
        space();
        if (i < s.size() && s[i] == ',') {
          i++;
          continue;
        }
        return i < s.size() && s[i++] == '}';
      }
    }
    if (c == '[') {
      out->kind = Json::arrayKind;
      i++;
      space();
      if (i < s.size() && s[i] == ']') return ++i, true;
      for (;;) {
        Json item;
        if (!value(&item)) return false;
        out->items.push_back(item);
        space();
        if (i < s.size() && s[i] == ',') {
          i++;
          continue;
        }
        return i < s.size() && s[i++] == ']';
      }
    }
    if (c == '"') {
      out->kind = Json::stringKind;
      return string(&out->text);
    }
    if (literal("true")) return out->kind = Json::boolKind, out->boolean = true, true;
    if (literal("false")) return out->kind = Json::boolKind, true;
    if (literal("null")) return out->kind = Json::nullKind, true;
    const char* start = s.c_str() + i;
    char* end = nullptr;
    out->number = strtod(start, &end);
    if (end == start) return false;
    // JSON has no inf, nan, hex or leading '+'.
    for (const char* p = start; p < end; p++)
      if (!strchr("-0123456789.eE+", *p)) return false;
    if (*start == '+') return false;
    out->kind = Json::numberKind;
    i += static_cast<size_t>(end - start);
    return true;
  }
};

const Json missing;

}  // namespace

const Json& Json::operator[](const std::string& name) const {
  auto it = fields.find(name);
  return it == fields.end() ? missing : it->second;
}

const Json& Json::operator[](size_t index) const {
  return index < items.size() ? items[index] : missing;
}

bool parseJson(const std::string& text, Json* out) {
  Reader reader{text};
  if (!reader.value(out)) return false;
  reader.space();
  return reader.i == text.size();
}

std::vector<Json> readJsonLines(const std::string& path) {
  std::vector<Json> lines;
  std::istringstream in(readFile(path));
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    number++;
    Json value;
    if (!parseJson(line, &value)) {
      ADD_FAILURE() << path << ":" << number << " is not JSON: " << line.substr(0, 200);
      break;
    }
    lines.push_back(value);
  }
  return lines;
}
