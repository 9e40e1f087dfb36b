// input.h: the input of one frame, sampled once at the top of the frame.
//
// frameTick fills one FrameInput per frame with sampleInput and then reads
// nothing else: the tick, the active-window test, the cursor, the client
// area, every key and button the frame may read, and the characters that
// reached the keyboard callback since the previous frame. fireWeapons (sim/)
// gets the record too. The record comes from one of three sources: the
// platform (a window or the headless script), a recorded session
// (shell/replay.h) or the autoplayer (shell/autoplay.h); a run can also
// write each frame's record to a file (shell/replay.h).
#pragma once

#include <cstdint>

// The keys and buttons a frame may read; bit k of held and pressed.
enum InputKey : uint8_t {
  keyQ,
  keyE,
  keyW,
  keyS,
  keyA,
  keyD,
  keyEscape,
  keyN,
  keyY,
  keyG,
  keyLButton,
  keyRButton,
  inputKeyCount
};

// The platform key code of each InputKey.
extern const int inputKeyCodes[inputKeyCount];

// Characters kept per frame; more in one frame are dropped.
constexpr int maxFrameChars = 32;

struct FrameInput {
  uint32_t tickMs;  // the frame's tick count
  int32_t active;   // the game window is the active window
  int32_t cursorX;  // cursor position, screen coordinates
  int32_t cursorY;
  int32_t client[4];  // client area: left, top, right, bottom (one past)
  uint32_t held;      // bit k: key k is down now
  uint32_t pressed;   // bit k: key k went down since the previous frame
  int32_t charCount;  // characters that reached onKey since the last frame
  unsigned char chars[maxFrameChars];
  uint32_t charWithG;  // bit i: G was down (or pressed) when chars[i] came
};

// The record of the frame that runs now.
extern FrameInput frameInput;

// Held now or pressed since the previous frame: what the game calls pressed.
inline bool keyDown(const FrameInput& in, InputKey key) {
  return ((in.held | in.pressed) >> key) & 1u;
}

enum InputSource : uint8_t { inputFromPlatform, inputFromReplay, inputFromAutoplay };
void setInputSource(InputSource source);
InputSource inputSource();

// Fills in with this frame's input from the chosen source, and writes it to
// the recording when one is open. Called once at the top of every frame. A
// replay hands each recorded character to applyKeyEvent here, where the
// platform would have called the keyboard callback before the frame.
void sampleInput(FrameInput* in);

// The keyboard callback's part: notes the character for the next record and
// returns whether G is down (or was pressed since the previous query).
bool noteKeyEvent(unsigned char c);

// Back to the platform source with nothing pending, no replay open and the
// autoplayer's count cleared (resetGame calls this).
void resetInput();

// The tick count a run starts from: the platform clock, or the recorded one.
uint32_t inputStartTick();

// The distance from the client area's edge within which the hold point may
// not lie.
constexpr int32_t holdMargin = 64;

// Moves centre to the middle of the client area when it lies outside the
// area or within holdMargin pixels of its edge (always, for an area narrower
// or lower than 2 x holdMargin).
void keepHoldPointInside(int32_t centre[2], const int32_t client[4]);
