// sounds.cpp: explosions are noise through a low-pass filter whose cutoff
// falls while the level decays, with a pitched boom beneath the heavier
// ones; the two jingles are short tunes of buzzy, brass-like notes.
#include "tools/sounds.h"

#include <algorithm>
#include <cmath>

#include "tools/data_writer.h"
#include "tools/noise.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.85;
constexpr double kFadeIn = 0.002, kFadeOut = 0.025;  // seconds

int samplesFor(double seconds) { return static_cast<int>(seconds * kSampleRate); }

// Two one-pole low-passes in a row, with the cutoff given per sample.
class LowPass {
 public:
  double step(double x, double cutoffHz) {
    double a = 1 - std::exp(-2 * kPi * cutoffHz / kSampleRate);
    y1_ += a * (x - y1_);
    y2_ += a * (y1_ - y2_);
    return y2_;
  }

 private:
  double y1_ = 0, y2_ = 0;
};

struct Blast {
  double seconds;
  double cutoffStart, cutoffEnd;  // Hz, falling exponentially over the sound
  double decay;                   // seconds per 1/e of the noise level
  double boomHz, boomEndHz;       // pitched thump underneath (0: none)
  double boomLevel, boomDecay;
  double crackle;  // level of sparse sharp pops early on
  double rumble;   // depth of a slow random flutter
  uint32_t seed;
};

std::vector<double> blast(const Blast& b) {
  Random random(b.seed);
  LowPass noiseFilter, crackleFilter;
  std::vector<double> out(samplesFor(b.seconds));
  double phase = 0, flutter = 1, flutterTarget = 1;
  for (size_t i = 0; i < out.size(); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    double progress = t / b.seconds;
    double cutoff = b.cutoffStart * std::pow(b.cutoffEnd / b.cutoffStart, progress);
    double level = std::exp(-t / b.decay) * std::min(1.0, t / 0.004);
    if (i % 300 == 0) flutterTarget = 1 - b.rumble * random.uniform();
    flutter += (flutterTarget - flutter) * 0.004;
    double sample = noiseFilter.step(random.signedUniform(), cutoff) * level * flutter * 3;

    if (b.crackle > 0) {
      double pop = random.uniform() < 0.004 ? random.signedUniform() : 0;
      sample += crackleFilter.step(pop * 40, 2500) * b.crackle * std::exp(-t / (b.decay * 1.5));
    }
    if (b.boomHz > 0) {
      double hz = b.boomHz * std::pow(b.boomEndHz / b.boomHz, progress);
      phase += 2 * kPi * hz / kSampleRate;
      sample +=
          std::sin(phase) * b.boomLevel * std::exp(-t / b.boomDecay) * std::min(1.0, t / 0.003);
    }
    out[i] = sample;
  }
  // Squash the loudest peaks a little so the body of the blast stays loud
  // once the file is normalised.
  double peak = 1e-9;
  for (double s : out) peak = std::max(peak, std::fabs(s));
  for (double& s : out) s = std::tanh(2.0 * s / peak);
  return out;
}

// The bomb's crack: a burst of raw noise in front of its blast.
std::vector<double> crack() {
  std::vector<double> out = blast({0.7, 3200, 350, 0.13, 120, 50, 0.5, 0.12, 0.6, 0, 4});
  Random random(44);
  for (int i = 0; i < samplesFor(0.018); ++i) {
    out[i] += random.signedUniform() * 1.2 * (1 - i / static_cast<double>(samplesFor(0.018)));
  }
  return out;
}

struct Note {
  double start, seconds, hz;
};

// A brassy note: odd and even harmonics that brighten with the attack.
void addNote(std::vector<double>& out, const Note& n, double level, double vibrato) {
  int first = samplesFor(n.start), count = samplesFor(n.seconds);
  double phase = 0;
  for (int i = 0; i < count && first + i < static_cast<int>(out.size()); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    double env = std::min(1.0, t / 0.012) * std::exp(-t / (n.seconds * 0.8)) *
                 std::min(1.0, (n.seconds - t) / 0.03);
    double hz = n.hz * (1 + vibrato * std::sin(2 * kPi * 5.5 * t) * std::min(1.0, t / 0.2));
    phase += 2 * kPi * hz / kSampleRate;
    double bright = 0.4 + 0.6 * env;
    double s = std::sin(phase) + 0.5 * bright * std::sin(2 * phase) +
               0.33 * bright * std::sin(3 * phase) + 0.2 * bright * std::sin(4 * phase) +
               0.12 * bright * std::sin(5 * phase);
    out[first + i] += s * env * level;
  }
}

std::vector<double> gameOverTune() {
  std::vector<double> out(samplesFor(1.45));
  const Note notes[] = {
      {0.0, 0.24, 392.0}, {0.24, 0.24, 329.63}, {0.48, 0.24, 261.63}, {0.72, 0.72, 196.0}};
  for (const Note& n : notes) addNote(out, n, 1.0, n.seconds > 0.5 ? 0.012 : 0.0);
  return out;
}

std::vector<double> fanfare() {
  std::vector<double> out(samplesFor(1.0));
  const Note notes[] = {{0.0, 0.11, 523.25}, {0.1, 0.11, 659.25}, {0.2, 0.11, 783.99}};
  for (const Note& n : notes) addNote(out, n, 1.0, 0);
  for (double hz : {1046.5, 783.99, 659.25}) addNote(out, {0.3, 0.7, hz}, 0.6, 0.006);
  return out;
}

}  // namespace

std::vector<uint8_t> encodeWav(std::vector<double> samples) {
  // Remove any offset, fade the ends, then set the peak.
  const size_t n = samples.size();
  double mean = 0;
  for (double s : samples) mean += s;
  mean /= std::max<size_t>(1, n);
  const size_t fadeIn = samplesFor(kFadeIn), fadeOut = samplesFor(kFadeOut);
  double peak = 1e-9;
  for (size_t i = 0; i < n; ++i) {
    double& s = samples[i];
    s -= mean;
    if (i < fadeIn) s *= static_cast<double>(i) / fadeIn;
    if (i + fadeOut > n) s *= static_cast<double>(n - 1 - i) / fadeOut;
    peak = std::max(peak, std::fabs(s));
  }
  std::vector<uint8_t> pcm;
  for (double s : samples) {
    long v = std::lround(s * (kPeak / peak) * 32767);
    putUint16(pcm, static_cast<uint16_t>(static_cast<int16_t>(std::clamp(v, -32767L, 32767L))));
  }

  std::vector<uint8_t> out;
  putTag(out, "RIFF");
  putInt32(out, static_cast<int32_t>(36 + pcm.size()));
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  putInt32(out, 16);
  putUint16(out, 1);  // PCM
  putUint16(out, 1);  // mono
  putInt32(out, kSampleRate);
  putInt32(out, kSampleRate * 2);  // bytes per second
  putUint16(out, 2);               // bytes per frame
  putUint16(out, 16);              // bits per sample
  putTag(out, "data");
  putInt32(out, static_cast<int32_t>(pcm.size()));
  out.insert(out.end(), pcm.begin(), pcm.end());
  return out;
}

// The samples of each of the game's sounds.
std::vector<double> synthesise(SoundId sound) {
  // seconds, cutoff start/end, decay, boom Hz start/end, boom level/decay,
  // crackle, rumble, seed
  switch (sound) {
    case soundPlaneDown:
      return blast({1.3, 2600, 220, 0.32, 70, 38, 0.9, 0.35, 0.8, 0.3, 1});
    case soundTrooperDown:
      return blast({0.45, 4200, 900, 0.08, 190, 120, 0.35, 0.05, 0.3, 0, 2});
    case soundBurst:
      return blast({0.35, 1600, 400, 0.035, 150, 55, 1.0, 0.07, 0, 0, 3});
    case soundBombDown:
      return crack();
    case soundCannonHit:
      return blast({1.5, 700, 110, 0.5, 48, 30, 1.0, 0.55, 0.4, 0.6, 5});
    case soundGameOver:
      return gameOverTune();
    case soundLevelCleared:
    case soundCount:
      break;
  }
  return fanfare();
}

void writeSounds(const DataFolder& folder) {
  for (int id = 0; id < soundCount; ++id) {
    std::string name = soundFiles[id];
    std::replace(name.begin(), name.end(), '\\', '/');
    writeBytes(folder.path(name), encodeWav(synthesise(static_cast<SoundId>(id))));
  }
}
