// data_writer.cpp: file output for the data set tool.
#include "tools/data_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

std::string DataFolder::path(const std::string& name) const {
  return (std::filesystem::path(root_) / name).string();
}

void DataFolder::create() const {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(root_) / "s", ec);
  if (ec) throw WriteError("cannot create folder " + path("s") + ": " + ec.message());
}

static void writeRaw(const std::string& path, const void* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw WriteError("cannot write " + path + ": " + std::strerror(errno));
  bool ok = std::fwrite(data, 1, size, file) == size;
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) throw WriteError("cannot write " + path + ": write failed");
}

void writeBytes(const std::string& path, const std::string& bytes) {
  writeRaw(path, bytes.data(), bytes.size());
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  writeRaw(path, bytes.data(), bytes.size());
}

void putInt32(std::vector<uint8_t>& out, int32_t value) {
  uint32_t u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

void putUint16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putFloat(std::vector<uint8_t>& out, float value) {
  uint32_t u;
  std::memcpy(&u, &value, 4);
  putInt32(out, static_cast<int32_t>(u));
}

void putTag(std::vector<uint8_t>& out, const char* fourChars) {
  out.insert(out.end(), fourChars, fourChars + 4);
}
