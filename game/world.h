// world.h: the whole state of play as one record, World, that lives for
// the whole run; the tuning values; the game's random generator.
//
// Everything a frame reads and changes and a replay must reproduce is in
// `world`: the entities and the counters, and beside them the clock, the
// frame's input record and what the input keeps from frame to frame (the
// hold point, the pending characters, the steady aim, the pad's carry), the
// world options, the frame's sounds and the run's count. Plain assignment
// resets it (world = World{}), saves it and puts it back (tests, benchmarks,
// the soak). The parts keep their own names (game, cannon, planes,
// lastFrame, cursorCentre, ...) as references into it, and every floor
// above reads and writes them: the rules (game/), the entity updates (sim/),
// the drawing (render/), the trace and the autoplayer (session/). What is
// not play state stays outside: the settings read from the data set, the
// models, the GL objects, the window, the options of the run. Pools are
// fixed arrays; a slot is in use exactly while its `active` is 1, and a new
// entity takes the first free slot in index order.
#pragma once

#include <cstdint>

#include "assets/box.h"
#include "assets/model.h"
#include "assets/settings.h"
#include "base/vec3.h"

struct GameState {
  int32_t level;  // 0 until the first level starts
  int32_t lives;
  int32_t points;      // points of the current level, never below 0
  int32_t planesLeft;  // planes of this level not yet shot down
  int32_t gameOver;    // the game-over screen waits for Y or N
  int32_t paused;
  int32_t cameraLock;  // 1: the camera sits beside the cannon
  int32_t wasActive;   // the window was active in the frame before
};

// The lighting material a thing is drawn in, shards included; the renderer
// keeps the colours (render/material.h) in this order.
enum MaterialId : uint8_t {
  materialPlane,
  materialTrooper,
  materialBomb,
  materialShell,
  materialChute,
  materialCannon,
  materialTerrain,
  materialCount
};

struct Cannon {
  Vec3 pos;   // always the origin
  float yaw;  // copied from the aim every frame no missile flies
  float pitch;
  Vec3 forward;
  Vec3 right;
  Vec3 up;
  BoundingBox* modelBox;
  BoundingBox worldBox;  // bombs are tested against this
  Model* model;
};

struct PlaneVelocity {
  float x, y;
};

struct Plane {
  int32_t active;
  Vec3 pos;           // z is the altitude, fixed for the plane's life
  PlaneVelocity vel;  // horizontal, units per second
  float heading;      // radians about +z from +x
  int32_t turnTimerMs;
  int32_t bombTimerMs;
  int32_t trooperTimerMs;
  Model* model;
  BoundingBox* modelBox;
  BoundingBox worldBox;
};

struct Trooper {
  int32_t active;
  Vec3 pos;
  float vz;    // vertical speed, positive upward
  float spin;  // about +z, grows once the chute is shot away
  float tilt;  // about -y, 0.9599312 once the chute is shot away
  Model* model;
  BoundingBox* modelBox;
  BoundingBox worldBox;
  Model* chuteModel;
  BoundingBox* chuteModelBox;
  BoundingBox chuteWorldBox;
  int32_t chuteOpen;
  int32_t chuteShot;
  uint32_t dropTime;  // tick count at which the trooper left its plane
};

struct Bomb {
  int32_t active;
  Vec3 pos;
  Vec3 vel;  // constant: straight at the origin
  float yaw;
  float pitch;
  Model* model;
  BoundingBox* modelBox;
  BoundingBox worldBox;
};

struct Shell {
  int32_t active;
  Vec3 pos;
  Vec3 vel;
  float yaw;
  float pitch;
  int32_t lifeMs;
  Model* model;
  BoundingBox* modelBox;
  BoundingBox worldBox;
};

struct Particle {
  int32_t active;
  Vec3 pos;
  float yaw;    // grows at 5 radians per second
  float pitch;  // fixed at the spawn
  Vec3 vel;     // only z changes after the spawn
  float size;   // shrinks every frame; the shard ends below 0.1
  MaterialId material;
};

struct Missile {
  int32_t active;
  Vec3 pos;
  Vec3 vel;  // always missileSpeed x forward
  float yaw;
  float pitch;
  Vec3 forward;
  Vec3 up;
  Vec3 right;
  Model* model;
  BoundingBox* modelBox;
  BoundingBox worldBox;
  uint32_t launchMs;
};

// The viewer and the aim the mouse turns.
struct Camera {
  Vec3 pos;     // eye position
  float yaw;    // aim yaw: about +z from +x, never wrapped
  float pitch;  // aim pitch: clamped just inside +-pi/2 by the aim step
};

// Where the picture is seen from, as gluLookAt takes it: set by the aim step
// from the camera, or from the flying missile, and drawn by the renderer.
struct View {
  double eye[3];
  double centre[3];
  double up[3];
};

// ---- The frame loop's state, kept in the world beside the entities ----

// The values of the frame that ran last (game/clock.h).
struct FrameInfo {
  int32_t number;   // 0 during start-up, then 1, 2, ...
  uint32_t now;     // the tick count read by the frame
  int32_t frameMs;  // milliseconds since the frame before; 0 while paused
  float dt;         // frameMs in seconds
};

// The options that change what the input does to the world (game/input.h):
// the mouse's sensitivity (a factor on the aim's and the steering's scales)
// and its vertical sense, and whether a window losing the focus pauses the
// game. The defaults leave every scale as it is.
struct WorldOptions {
  float mouseSensitivity = 1;
  bool invertY = false;
  bool pauseOnFocusLoss = false;
};

// Characters kept per frame; more in one frame are dropped.
constexpr int maxFrameChars = 32;

// The input of one frame (game/input.h), sampled once at its top: the
// tick, the active-window test, the cursor, the client area, every key and
// button the frame may read, and the characters that reached the keyboard
// callback since the previous frame.
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

// Characters from the keyboard callback, waiting for the next frame's
// record: a saved world neither loses nor repeats a key typed between two
// frames.
struct PendingChars {
  int32_t count;
  unsigned char chars[maxFrameChars];
  uint32_t withG;
};

// What the steady aim (game/input.h) keeps of the frame before.
struct SteadyAim {
  bool aimed;        // the frame before aimed
  int32_t where[2];  // the hold point then
};

// What the pad's part (game/pad.h) keeps from one frame to the next.
struct PadCarry {
  double carry[2];     // cursor motion not yet a whole pixel
  bool fireTrigger;    // the right trigger pressed the left button last frame
  bool launchTrigger;  // the left trigger pressed the right button last frame
  bool aAnswered;      // A answered the game-over screen and is still down
};

// The sounds started since the trace's last line (game/sounds.h). Far
// fewer than maxFrameSounds start in one frame; any beyond are counted but
// not kept.
enum SoundId : uint8_t;
constexpr int maxFrameSounds = 256;
struct FrameSounds {
  SoundId started[maxFrameSounds];
  int32_t count;
};

// What a run has scored so far (game/tally.h).
struct RunTally {
  int32_t levelsCleared;
  int32_t clearedPoints;   // banked as each level was cleared
  int32_t replayedPoints;  // of lost levels, banked as N played each again
  int32_t points;          // of the level in play
  int32_t livesLost;
  int32_t highestLevel;
  int32_t frames;    // looks taken
  uint32_t startMs;  // the tick count at the first look
};

// What the world looked like at the tally's last look, and the count so far.
struct RunWatch {
  bool started;
  int32_t level, lives, points, planesLeft, gameOver;
  RunTally count;
};

// ---- The world ----

constexpr int planePoolSize = 32;
constexpr int trooperPoolSize = 32;
constexpr int bombPoolSize = 32;
constexpr int shellPoolSize = 16;
constexpr int particlePoolSize = 128;

struct World {
  GameState game;
  Cannon cannon;
  Plane planes[planePoolSize];
  Trooper troopers[trooperPoolSize];
  Bomb bombs[bombPoolSize];
  Shell shells[shellPoolSize];
  Particle particles[particlePoolSize];
  Missile missile;
  Camera camera;
  View view;
  // Tick count of the last shell fired; 0 after every level start, shifted
  // forward by paused time.
  uint32_t lastShotMs;
  // 1 once a shell has been fired in this level: the first shell of a level
  // is never held back by the 500 ms rule, whatever the tick count.
  int32_t firedThisLevel;
  uint32_t rng = 1;  // the random generator's state

  // The frame loop's own state, beside the entities.
  FrameInfo frame;            // the frame that ran last (lastFrame, game/clock.h)
  uint32_t lastTickMs;        // the tick count of the frame before
  FrameInput input;           // the record of the frame that runs (frameInput)
  WorldOptions options;       // the world options in force (worldOptions)
  int32_t holdPoint[2];       // the cursor's hold point (cursorCentre)
  PendingChars pendingChars;  // typed since the last record
  SteadyAim steadyAim;        // whether the frame before aimed, and from where
  PadCarry pad;               // the pad's leftover motion and last buttons
  FrameSounds sounds;         // started since the trace's last line
  RunWatch tally;             // the run's count (game/tally.h)
};

extern World world;
extern Settings settings;

extern GameState& game;
extern Cannon& cannon;
extern Plane (&planes)[planePoolSize];
extern Trooper (&troopers)[trooperPoolSize];
extern Bomb (&bombs)[bombPoolSize];
extern Shell (&shells)[shellPoolSize];
extern Particle (&particles)[particlePoolSize];
extern Missile& missile;
extern Camera& camera;
extern uint32_t& lastShotMs;
extern int32_t& firedThisLevel;

// The game's one 15-bit random generator (0..32767), seeded once at start-up.
// It is kept apart from the C library's rand so that nothing else in the
// process (GL driver, audio) can disturb the sequence.
void seedRand(uint32_t seed);
int32_t gameRand();
uint32_t randState();
// lo + r x (hi - lo) / 32767 in single precision: both ends can occur.
float randRange(float lo, float hi);
// The same on integer millisecond bounds, truncated toward zero.
int32_t randIntervalMs(int32_t lo, int32_t hi);

// value truncated toward zero, saturated at the int32 range (NaN gives 0).
int32_t truncToInt32(double value);

// The first slot of a pool not in use, or null when the pool is full.
template <typename Record, int count>
Record* firstFree(Record (&pool)[count]) {
  for (Record& record : pool)
    if (!record.active) return &record;
  return nullptr;
}
