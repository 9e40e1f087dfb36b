// replay.cpp: the recorded-session script: its checker (over memory or a
// file, line by line, with nothing kept), the replay that streams a checked
// file frame by frame, and the recorder that writes one.
#include "session/replay.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/gzip_file.h"
#include "base/numbers.h"
#include "base/printable.h"
#include "base/program.h"

namespace {

constexpr int kMaxLine = 512;
constexpr int kMaxWords = 7 + maxFrameChars;
constexpr int kVersion = 5;
constexpr int kOldestVersion = 2;
// Version 2 knew the first twelve keys; version 3 added the player's own
// keys and the world options of the header; version 4 lets the options
// change between two frames; version 5 names its data set in the header.
constexpr int kVersion2Keys = 12;
const char kHeader[] = "# velkarra3d input ";

// Where lines come from: a file or a block of memory, plain or
// gzip-compressed.
struct LineSource {
  GzipReader* reader;
};

// lineLast: a line the source ends in, with no newline after it.
// lineFault: the file cannot be read on, or its compressed data is damaged.
enum LineResult { lineOk, lineLast, lineEnd, lineTooLong, lineNul, lineFault };

// One line without its newline into buf.
LineResult nextLine(LineSource* src, char (&buf)[kMaxLine]) {
  int length = 0;
  int c = gzipByte(src->reader);
  const auto faulty = [src] {
    return src->reader->status == gzipCorrupt || src->reader->status == gzipReadFailed;
  };
  if (c < 0) return faulty() ? lineFault : lineEnd;
  bool nul = false;
  for (; c >= 0 && c != '\n'; c = gzipByte(src->reader)) {
    if (c == 0) nul = true;
    if (length < kMaxLine - 1) buf[length] = static_cast<char>(c);
    length++;
  }
  if (faulty()) return lineFault;
  if (length >= kMaxLine - 1) return lineTooLong;
  buf[length] = '\0';
  return nul ? lineNul : c < 0 ? lineLast : lineOk;
}

enum Stage {
  expectHeader,
  expectSeed,
  expectStart,
  expectCentre,
  expectData,
  expectFrames,
  afterEnd
};

// An option line: a world option's name and value text.
constexpr int kOptionTextSize = 64;
struct RecordedOption {
  char name[kOptionTextSize];
  char value[kOptionTextSize];
};

// The option lines read since the last frame line (or since the header).
struct RecordedOptions {
  int count;
  RecordedOption options[maxOptionsBeforeFrame];
};

struct Parser {
  const ReplayOptionRules* rules;
  int line;
  int version;
  Stage stage;
  RecordedOptions header;  // the options before the first frame
  RecordedOptions gap;     // those before the frame read last (after the first)
  bool optionsEnded;       // version 3: a client or frame line has come, no more options
  uint32_t seed;
  uint32_t startMs;
  int32_t centre[2];
  bool hasDataHash;  // version 5 names the data set it was recorded on
  uint64_t dataHash;
  uint32_t lastTickMs;  // the tick of the last frame read
  bool hasClient;
  int32_t client[4];
  int32_t frame;  // the last frame read
  bool cut;       // the source ended after the header without its 'end' line
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// "end", with nothing but blanks or a comment around it.
bool isEndLine(const char* line) {
  while (isBlank(*line)) line++;
  if (strncmp(line, "end", 3) != 0) return false;
  for (line += 3; isBlank(*line); line++) {
  }
  return *line == '\0' || *line == '#';
}

int splitWords(char* line, char* words[kMaxWords + 1]) {
  int count = 0;
  char* p = line;
  while (true) {
    while (isBlank(*p)) p++;
    if (*p == '\0') return count;
    if (count == kMaxWords + 1) return count;
    words[count++] = p;
    while (*p && !isBlank(*p)) p++;
    if (*p) *p++ = '\0';
  }
}

// word as a number within [least, most] into *out. Where it is not, what
// gets what is wrong with it after its name in the line, in parentheses, for
// the end of the line's message: " (S takes a whole number from 0 to
// 4294967295, not 'x')".
template <typename T>
bool readField(const char* word, const char* name, int64_t least, int64_t most, T* out,
               char (&what)[256], unsigned syntax = numberPlain) {
  int64_t v = 0;
  if (readWhole(word, least, most, &v, syntax)) {
    *out = static_cast<T>(v);
    return true;
  }
  const int said = snprintf(what, sizeof what, " (%s ", name);
  if (said < 0 || static_cast<size_t>(said) + 2 >= sizeof what) return false;
  wholeNumberError(what + said, static_cast<int>(sizeof what) - said - 1, least, most, word,
                   syntax);
  strcat(what, ")");
  return false;
}

bool parseHeader(const char* line, int* versionRead, char* why, int whySize) {
  const size_t n = sizeof kHeader - 1;
  int64_t version = 0;
  if (strncmp(line, kHeader, n) != 0 || !readWhole(line + n, 0, 1000000, &version) ||
      version < kOldestVersion) {
    snprintf(why, whySize, "not a recorded velkarra3d session (the first line is not '%s%d')",
             kHeader, kVersion);
    return false;
  }
  if (version > kVersion) {
    snprintf(why, whySize, "recorded by a newer velkarra3d (input %d; this one replays input %d)",
             static_cast<int>(version), kVersion);
    return false;
  }
  *versionRead = static_cast<int>(version);
  return true;
}

// "option NAME VALUE": a world option, checked by the rules' check; kept
// with the header's or with the next frame's options.
bool parseOption(Parser* p, char* words[], int count, char* why, int whySize) {
  if (count != 3) {
    snprintf(why, whySize, "expected 'option NAME VALUE'");
    return false;
  }
  const char* name = words[1];
  const char* value = words[2];
  if (strlen(name) >= kOptionTextSize || strlen(value) >= kOptionTextSize) {
    snprintf(why, whySize, "option name or value longer than %d characters", kOptionTextSize - 1);
    return false;
  }
  char reason[200];
  if (p->rules && p->rules->check && !p->rules->check(name, value, reason, sizeof reason)) {
    snprintf(why, whySize, "option %s", reason);
    return false;
  }
  RecordedOptions& list = p->frame == 0 ? p->header : p->gap;
  if (list.count == maxOptionsBeforeFrame) {
    snprintf(why, whySize, "more than %d option lines before frame %d", maxOptionsBeforeFrame,
             p->frame + 1);
    return false;
  }
  RecordedOption& option = list.options[list.count++];
  snprintf(option.name, sizeof option.name, "%s", name);
  snprintf(option.value, sizeof option.value, "%s", value);
  return true;
}

bool parseFrame(Parser* p, char* words[], int count, FrameInput* in, char* why, int whySize) {
  int64_t read = 0;
  if (!readWhole(words[0], 0, INT32_MAX, &read) || read != int64_t{p->frame} + 1) {
    snprintf(why, whySize, "expected frame %d, not '%s'", p->frame + 1, words[0]);
    return false;
  }
  const int32_t frame = static_cast<int32_t>(read);
  if (!p->hasClient) {
    snprintf(why, whySize, "frame %d comes before any 'client' line", frame);
    return false;
  }
  const int64_t keys = (int64_t{1} << (p->version == 2 ? kVersion2Keys : inputKeyCount)) - 1;
  char what[256];
  snprintf(what, sizeof what, " (active 0 or 1, key masks in hex up to %llx)",
           static_cast<unsigned long long>(keys));
  if (count < 7 || !readField(words[1], "TICK", 0, UINT32_MAX, &in->tickMs, what) ||
      !readField(words[2], "ACTIVE", 0, 1, &in->active, what) ||
      !readField(words[3], "X", INT32_MIN, INT32_MAX, &in->cursorX, what) ||
      !readField(words[4], "Y", INT32_MIN, INT32_MAX, &in->cursorY, what) ||
      !readField(words[5], "HELD", 0, keys, &in->held, what, numberHex) ||
      !readField(words[6], "PRESSED", 0, keys, &in->pressed, what, numberHex)) {
    snprintf(why, whySize, "frame %d: expected TICK ACTIVE X Y HELD PRESSED%s", frame, what);
    return false;
  }
  if (count - 7 > maxFrameChars) {
    snprintf(why, whySize, "frame %d: more than %d characters", frame, maxFrameChars);
    return false;
  }
  in->charCount = count - 7;
  in->charWithG = 0;
  for (int i = 0; i < in->charCount; i++) {
    const char* w = words[7 + i];
    const size_t length = strlen(w);
    const bool plus = length == 3 && w[2] == '+';
    int64_t c = 0;
    if (!(length == 2 || plus) || !readWholeIn(w, 2, 0, 255, &c, numberHex)) {
      snprintf(why, whySize, "frame %d: bad character '%s' (two hex digits, '+' if G was down)",
               frame, w);
      return false;
    }
    in->chars[i] = static_cast<unsigned char>(c);
    if (plus) in->charWithG |= 1u << i;
  }
  for (int k = 0; k < 4; k++) in->client[k] = p->client[k];
  p->frame = frame;
  p->lastTickMs = in->tickMs;
  return true;
}

// Reads one line. *frameRead is set when the line was a frame, which is then
// in *in.
bool parseLine(Parser* p, char* line, FrameInput* in, bool* frameRead, char* why, int whySize) {
  *frameRead = false;
  p->line++;
  if (p->stage == expectHeader) {
    if (!parseHeader(line, &p->version, why, whySize)) return false;
    p->stage = expectSeed;
    return true;
  }
  if (char* hash = strchr(line, '#')) *hash = '\0';
  char* words[kMaxWords + 1];
  const int count = splitWords(line, words);
  if (count == 0) return true;
  if (count > kMaxWords) {
    snprintf(why, whySize, "too many words");
    return false;
  }
  const char* verb = words[0];
  char what[256] = "";
  switch (p->stage) {
    case expectSeed:
      snprintf(what, sizeof what, " (0 to 4294967295)");
      if (count != 2 || strcmp(verb, "seed") != 0 ||
          !readField(words[1], "S", 0, UINT32_MAX, &p->seed, what)) {
        snprintf(why, whySize, "expected 'seed S'%s", what);
        return false;
      }
      p->stage = expectStart;
      return true;
    case expectStart:
      snprintf(what, sizeof what, " (0 to 4294967295)");
      if (count != 2 || strcmp(verb, "start") != 0 ||
          !readField(words[1], "T", 0, UINT32_MAX, &p->startMs, what)) {
        snprintf(why, whySize, "expected 'start T'%s", what);
        return false;
      }
      p->stage = expectCentre;
      return true;
    case expectCentre:
      if (count != 3 || strcmp(verb, "centre") != 0 ||
          !readField(words[1], "X", INT32_MIN, INT32_MAX, &p->centre[0], what) ||
          !readField(words[2], "Y", INT32_MIN, INT32_MAX, &p->centre[1], what)) {
        snprintf(why, whySize, "expected 'centre X Y'%s", what);
        return false;
      }
      p->stage = p->version >= 5 ? expectData : expectFrames;
      return true;
    case expectData: {
      // Sixteen hex digits, read as two halves of 32 bits.
      int64_t high = 0, low = 0;
      if (count != 2 || strcmp(verb, "data") != 0 || strlen(words[1]) != 16 ||
          !readWholeIn(words[1], 8, 0, UINT32_MAX, &high, numberHex) ||
          !readWholeIn(words[1] + 8, 8, 0, UINT32_MAX, &low, numberHex)) {
        snprintf(why, whySize, "expected 'data HASH' (the data set's hash in 16 hex digits)");
        return false;
      }
      p->dataHash = static_cast<uint64_t>(high) << 32 | static_cast<uint64_t>(low);
      p->hasDataHash = true;
      p->stage = expectFrames;
      return true;
    }
    case expectFrames:
      if (strcmp(verb, "end") == 0 && count == 1) {
        p->stage = afterEnd;
        return true;
      }
      if (strcmp(verb, "option") == 0 && (p->version >= 4 || (p->version == 3 && !p->optionsEnded)))
        return parseOption(p, words, count, why, whySize);
      p->optionsEnded = true;
      if (strcmp(verb, "client") == 0) {
        static const char* const sides[4] = {"LEFT", "TOP", "RIGHT", "BOTTOM"};
        for (int k = 0; k < 4; k++)
          if (count != 5 ||
              !readField(words[1 + k], sides[k], INT32_MIN, INT32_MAX, &p->client[k], what)) {
            snprintf(why, whySize, "expected 'client LEFT TOP RIGHT BOTTOM'%s", what);
            return false;
          }
        p->hasClient = true;
        return true;
      }
      int64_t number;
      if (!readWhole(verb, 0, INT32_MAX, &number)) {
        snprintf(why, whySize, "unknown line '%s' (a frame, 'client' or 'end')", verb);
        return false;
      }
      *frameRead = true;
      return parseFrame(p, words, count, in, why, whySize);
    case expectHeader:
    case afterEnd:
      break;
  }
  snprintf(why, whySize, "text after the 'end' line");
  return false;
}

// Reads lines until a frame is read (true) or the source ends (false, with
// *ok telling whether that was a clean end). A recording whose writer was
// killed ends without its 'end' line, perhaps in the middle of a line: once
// the header is complete that is a clean end too (p->cut), and a last line
// with no newline after it, unless it is the 'end' line, is the part cut
// off and is not read.
bool readFrame(Parser* p, LineSource* src, FrameInput* in, const char* name, char* err, int errSize,
               bool* ok) {
  char line[kMaxLine];
  char why[400];
  *ok = true;
  p->gap.count = 0;
  while (true) {
    const LineResult r = nextLine(src, line);
    if (r == lineEnd) break;
    const int lineNo = p->line + 1;
    if (r == lineLast && p->stage == expectFrames && !isEndLine(line)) break;
    if (r == lineTooLong || r == lineNul || r == lineFault) {
      char fault[160];
      gzipFault(*src->reader, fault, sizeof fault);
      snprintf(err, errSize, "%s:%d: %s", name, lineNo,
               r == lineTooLong ? "line is too long"
               : r == lineNul   ? "not a text line (a NUL byte)"
                                : fault);
      *ok = false;
      return false;
    }
    bool frameRead = false;
    const Stage stage = p->stage;
    if (!parseLine(p, line, in, &frameRead, why, sizeof why)) {
      if (r == lineLast && stage < expectFrames)  // cut in the middle of the header
        snprintf(err, errSize, "%s: ends early (the header is not complete)", name);
      else
        snprintf(err, errSize, "%s:%d: %s", name, lineNo, why);
      *ok = false;
      return false;
    }
    if (frameRead) return true;
  }
  if (p->stage < expectFrames) {
    snprintf(err, errSize, "%s: ends early (the header is not complete)", name);
    *ok = false;
  }
  p->cut = p->stage == expectFrames;
  return false;
}

// Checks a whole source; on success *p holds the header.
bool checkAll(Parser* p, LineSource* src, const ReplayOptionRules* rules, const char* name,
              char* err, int errSize) {
  *p = Parser{};
  p->rules = rules;
  if (errSize > 0) err[0] = '\0';
  FrameInput in;
  bool ok = true;
  while (readFrame(p, src, &in, name, err, errSize, &ok)) {
  }
  // What damaged compressed data gives may read as a bad line before zlib
  // finds the damage: the rest of the stream tells.
  if (!ok && src->reader->packed) {
    while (gzipByte(src->reader) >= 0) {
    }
    if (src->reader->status == gzipCorrupt) {
      char fault[160];
      gzipFault(*src->reader, fault, sizeof fault);
      snprintf(err, errSize, "%s: %s", name, fault);
    }
  }
  return ok;
}

// ---- Replay ----
struct Replay {
  bool open;
  GzipReader reader;
  char name[512];
  Parser parser;
  LineSource src;
  ReplayOptionRules rules;
  bool hasNext;
  FrameInput next;
  RecordedOptions beforeNext;  // the option lines recorded before next
  bool cut;                    // a cut recording plays the frames the check found, no more
  int32_t checkedFrames;
  uint32_t lastTickMs;  // the last checked frame's tick
};
Replay replay;

void fetchNext() {
  char err[700];
  bool ok = true;
  if (replay.cut && replay.parser.frame >= replay.checkedFrames) {
    replay.hasNext = false;
    return;
  }
  replay.hasNext =
      readFrame(&replay.parser, &replay.src, &replay.next, replay.name, err, sizeof err, &ok);
  replay.beforeNext = replay.parser.gap;
  if (!ok) {
    fprintf(stderr, "velkarra3d: %s (the file changed during the replay)\n", err);
    exit(2);
  }
}

// Reads the file again from the top: the header sets seed, start and
// centre again, and the first frame waits in replay.next.
bool startFromTop() {
  if (!gzipRewind(&replay.reader)) return false;
  replay.parser = Parser{};
  replay.parser.rules = &replay.rules;
  replay.src = LineSource{&replay.reader};
  fetchNext();
  return true;
}

// ---- Recording ----

// Where a recording goes: the --record file and the kept run's copy
// (session/runs.h), each plain or compressed.
enum RecordSinkId { sinkRecord, sinkKept, sinkCount };
struct RecordSink {
  bool open;
  bool used;    // opened in this run (and perhaps closed since)
  bool warned;  // its write failed, and that was said
  GzipWriter out;
  char name[256];  // for the message
};

struct Recording {
  RecordSink sinks[sinkCount];
  int32_t frame;
  bool hasClient;
  int32_t client[4];
  char line[kMaxLine * 2];
};
Recording recording;

bool recordingOpen() { return recording.sinks[sinkRecord].open || recording.sinks[sinkKept].open; }

// The text in recording.line, to every sink; a sink whose write fails says
// so once and is written no more.
void writeLine(int length) {
  if (length <= 0) return;
  const size_t size = static_cast<size_t>(length) < sizeof recording.line
                          ? static_cast<size_t>(length)
                          : sizeof recording.line - 1;
  for (RecordSink& sink : recording.sinks) {
    if (!sink.open || sink.out.failed) continue;
    if (!gzipWrite(&sink.out, recording.line, size) && !sink.warned) {
      sink.warned = true;
      fprintf(stderr, "%s: cannot write the recording '%s': %s\n", programName,
              printable(sink.name), strerror(sink.out.error));
    }
  }
}

__attribute__((format(printf, 1, 2))) void recordLine(const char* format, ...);

bool openSink(RecordSinkId id, int fd, bool packed, const char* name) {
  RecordSink& sink = recording.sinks[id];
  if (sink.open) gzipFinish(&sink.out);
  sink = RecordSink{};
  if (!gzipCreate(&sink.out, fd, packed)) return false;
  snprintf(sink.name, sizeof sink.name, "%s", name);
  sink.open = sink.used = true;
  // A window closed through its close box ends the process without the
  // game's own end: the recording still gets its end line.
  static bool hooked = false;
  if (!hooked) atexit(recordClose);
  hooked = true;
  return true;
}

}  // namespace

bool isRecordedSession(const char* path) {
  static GzipReader reader;
  if (!gzipOpen(&reader, path)) return false;
  char line[64] = {};
  size_t n = 0;
  for (int c; n + 1 < sizeof line && (c = gzipByte(&reader)) >= 0 && c != '\n';)
    line[n++] = static_cast<char>(c);
  // No event script is compressed: a damaged stream is a recording's, whose
  // reader says what is wrong with it.
  const bool packed = reader.packed;
  gzipClose(&reader);
  if (packed) return true;
  if (n < sizeof kHeader - 1 || memcmp(line, kHeader, sizeof kHeader - 1) != 0) return false;
  // "# velkarra3d input 1" would be an event script that says so.
  return strtol(line + sizeof kHeader - 1, nullptr, 10) != 1;
}

bool replayParse(const char* text, size_t size, const char* name, const ReplayOptionRules& rules,
                 char* err, int errSize) {
  static GzipReader reader;
  gzipOpenMemory(&reader, text, size);
  LineSource src = {&reader};
  Parser p;
  const bool ok = checkAll(&p, &src, &rules, name, err, errSize);
  gzipClose(&reader);
  return ok;
}

bool replayOpen(const char* path, const ReplayOptionRules& rules, char* err, int errSize) {
  replayClose();
  if (!gzipOpen(&replay.reader, path)) {
    snprintf(err, errSize, "%s: cannot open: %s", path, strerror(errno));
    return false;
  }
  LineSource src = {&replay.reader};
  replay.rules = rules;
  if (!checkAll(&replay.parser, &src, &replay.rules, path, err, errSize)) {
    replayClose();
    return false;
  }
  if (replay.parser.cut)
    fprintf(stderr,
            "%s: %s: the recording is cut short (no 'end' line): replaying its %d whole frames\n",
            programName, printable(path), replay.parser.frame);
  replay.cut = replay.parser.cut;
  replay.checkedFrames = replay.parser.frame;
  replay.lastTickMs = replay.parser.lastTickMs;
  replay.open = true;
  snprintf(replay.name, sizeof replay.name, "%s", path);
  if (!startFromTop()) {
    snprintf(err, errSize, "%s: cannot read it again: %s", path, strerror(errno));
    replayClose();
    return false;
  }
  return true;
}

uint32_t replaySeed() { return replay.parser.seed; }
uint32_t replayStartMs() { return replay.parser.startMs; }
void replayHeaderOptions(void (*apply)(const char* name, const char* value)) {
  const RecordedOptions& header = replay.parser.header;
  for (int i = 0; i < header.count; i++) apply(header.options[i].name, header.options[i].value);
}

void replayStartCentre(int32_t centre[2]) {
  centre[0] = replay.parser.centre[0];
  centre[1] = replay.parser.centre[1];
}

bool replayDataHash(uint64_t* hash) {
  *hash = replay.parser.dataHash;
  return replay.parser.hasDataHash;
}

int32_t replayFrameCount() { return replay.checkedFrames; }
int32_t replayFramesPlayed() { return replay.parser.frame - (replay.hasNext ? 1 : 0); }
uint32_t replayLengthMs() {
  return replay.checkedFrames > 0 ? replay.lastTickMs - replay.parser.startMs : 0;
}

bool replayNextTick(uint32_t* tick) {
  *tick = replay.next.tickMs;
  return replay.hasNext;
}

bool replayRestart() { return replay.open && startFromTop(); }

void replayNext(FrameInput* in) {
  if (!replay.hasNext) {
    fprintf(stderr, "velkarra3d: %s: no frame left to replay\n", replay.name);
    exit(2);
  }
  const RecordedOptions& changes = replay.beforeNext;
  for (int i = 0; i < changes.count && replay.rules.apply; i++)
    replay.rules.apply(changes.options[i].name, changes.options[i].value);
  *in = replay.next;
  fetchNext();
}

bool replayFinished() { return replay.open && !replay.hasNext; }

void replayClose() {
  gzipClose(&replay.reader);
  replay = Replay{};
}

bool recordOpen(const char* path) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // A name that ends in ".gz" asks for a compressed recording.
  const size_t length = strlen(path);
  const bool packed = length > 3 && strcmp(path + length - 3, ".gz") == 0;
  return openSink(sinkRecord, fd, packed, path);
}

bool recordKeep(int fd, const char* name) { return openSink(sinkKept, fd, true, name); }

bool recordKeptWhole() {
  const RecordSink& kept = recording.sinks[sinkKept];
  return kept.used && !kept.out.failed && !kept.warned;
}

void recordStart(uint32_t seed, uint32_t startMs, const int32_t centre[2], uint64_t dataHash) {
  if (!recordingOpen()) return;
  recording.frame = 0;
  recording.hasClient = false;
  recordLine("%s%d\nseed %u\nstart %u\ncentre %d %d\ndata %016llx\n", kHeader, kVersion, seed,
             startMs, centre[0], centre[1], static_cast<unsigned long long>(dataHash));
}

void recordOption(const char* name, const char* value) {
  if (!recordingOpen()) return;
  recordLine("option %s %s\n", name, value);
}

void recordFrame(const FrameInput& in) {
  if (!recordingOpen()) return;
  if (!recording.hasClient || memcmp(recording.client, in.client, sizeof in.client) != 0) {
    recordLine("client %d %d %d %d\n", in.client[0], in.client[1], in.client[2], in.client[3]);
    memcpy(recording.client, in.client, sizeof in.client);
    recording.hasClient = true;
  }
  recording.frame++;
  // The whole line at once: each sink writes a plain frame at once, so that
  // a run that is killed or crashes leaves a recording that replays up to
  // its last frame.
  char* line = recording.line;
  const size_t size = sizeof recording.line;
  int used = snprintf(line, size, "%d %u %d %d %d %x %x", recording.frame, in.tickMs,
                      in.active ? 1 : 0, in.cursorX, in.cursorY, in.held, in.pressed);
  for (int i = 0; i < in.charCount && i < maxFrameChars && used > 0; i++)
    used += snprintf(line + used, size - static_cast<size_t>(used), " %02x%s", in.chars[i],
                     (in.charWithG >> i) & 1u ? "+" : "");
  if (used > 0) used += snprintf(line + used, size - static_cast<size_t>(used), "\n");
  writeLine(used);
}

void recordClose() {
  if (!recordingOpen()) return;
  recordLine("end\n");
  for (RecordSink& sink : recording.sinks) {
    if (!sink.open) continue;
    if (!gzipFinish(&sink.out) && !sink.warned) {
      sink.warned = true;
      fprintf(stderr, "%s: cannot write the recording '%s': %s\n", programName,
              printable(sink.name), strerror(sink.out.error));
    }
    sink.open = false;
  }
}

namespace {

void recordLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = vsnprintf(recording.line, sizeof recording.line, format, args);
  va_end(args);
  writeLine(length);
}

}  // namespace
