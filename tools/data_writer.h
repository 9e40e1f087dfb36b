// data_writer.h: where the data set goes and how a failed write is reported.
// Every writer throws WriteError naming the file it could not write; main
// turns that into one line on stderr and a non-zero exit status.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class WriteError : public std::runtime_error {
 public:
  explicit WriteError(const std::string& message) : std::runtime_error(message) {}
};

// The folder the data set is written into; file names are joined to it.
class DataFolder {
 public:
  explicit DataFolder(std::string root) : root_(std::move(root)) {}
  std::string path(const std::string& name) const;
  // Creates the folder and its s/ subfolder when they are missing.
  void create() const;

 private:
  std::string root_;
};

// Writes the bytes to path, replacing an existing file; throws WriteError.
void writeBytes(const std::string& path, const std::string& bytes);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Little-endian appenders for binary formats (font, wav).
void putInt32(std::vector<uint8_t>& out, int32_t value);
void putUint16(std::vector<uint8_t>& out, uint16_t value);
void putFloat(std::vector<uint8_t>& out, float value);
void putTag(std::vector<uint8_t>& out, const char* fourChars);
