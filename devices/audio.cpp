// audio.cpp: SDL2's sound device (see audio.h). One queued device, opened
// with the frequency and channel count it prefers; every sound is converted
// to that format as it is read, so playing one is a single queue call.
#include "devices/audio.h"

#include <SDL2/SDL.h>
#include <dirent.h>
#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxSounds = 16;
constexpr int kPathSize = 1024;

struct Sound {
  char path[kPathSize];  // absolute, so a change of directory names another file
  bool ok;
  Uint8* data;
  Uint32 bytes;
};

struct Audio {
  bool open;
  SDL_AudioDeviceID device;
  SDL_AudioSpec output;  // the format the device plays
  int soundCount;
  Sound sounds[kMaxSounds];
  int volume = 100;  // percent; 0 plays nothing
  Uint8* scaled;     // a sound at a lower volume, as queued
  Uint32 scaledBytes;
};

Audio gAudio;

// ALSA writes its own diagnostics to stderr when there is no sound card; the
// reason SDL gives is enough, and the one line we print must stay alone.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
  if (strcmp(SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "", "alsa") != 0) return;
  void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
  if (!alsa) return;
  typedef void (*Handler)(const char*, int, const char*, int, const char*, ...);
  typedef int (*SetHandler)(Handler);
  SetHandler set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (set) set(quietAlsa);
}

void noAudio(const char* reason) {
  fprintf(stderr, "velkarra3d: no audio device (%s); playing without sound\n",
          reason && reason[0] ? reason : "unknown reason");
}

void closeAudio() {
  if (!gAudio.open) return;
  gAudio.open = false;
  SDL_CloseAudioDevice(gAudio.device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// The absolute path `path` stands for now; false if it does not fit.
bool absolutePath(const char* path, char* out, int size) {
  if (!path) return false;
  if (path[0] == '/') return snprintf(out, size, "%s", path) < size;
  char cwd[kPathSize];
  if (!getcwd(cwd, sizeof cwd)) return false;
  return snprintf(out, size, "%s/%s", cwd, path) < size;
}

// Decodes a WAV file and converts it to the device's format.
bool decodeSound(const char* path, Uint8** data, Uint32* bytes) {
  SDL_AudioSpec wavInfo;
  Uint8* wav = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path, &wavInfo, &wav, &length)) return false;
  SDL_AudioCVT cvt;
  const int needed =
      SDL_BuildAudioCVT(&cvt, wavInfo.format, wavInfo.channels, wavInfo.freq, gAudio.output.format,
                        gAudio.output.channels, gAudio.output.freq);
  if (needed < 0) {
    SDL_FreeWAV(wav);
    return false;
  }
  if (needed == 0) {
    *data = wav;
    *bytes = length;
    return true;
  }
  cvt.len = static_cast<int>(length);
  cvt.buf = static_cast<Uint8*>(SDL_malloc(static_cast<size_t>(length) * cvt.len_mult));
  if (!cvt.buf) {
    SDL_FreeWAV(wav);
    return false;
  }
  memcpy(cvt.buf, wav, length);
  SDL_FreeWAV(wav);
  if (SDL_ConvertAudio(&cvt) != 0) {
    SDL_free(cvt.buf);
    return false;
  }
  *data = cvt.buf;
  *bytes = static_cast<Uint32>(cvt.len_cvt);
  return true;
}

const Sound* findSound(const char* path) {
  for (int i = 0; i < gAudio.soundCount; i++)
    if (strcmp(gAudio.sounds[i].path, path) == 0) return &gAudio.sounds[i];
  return nullptr;
}

// Room for a scaled copy of bytes; sounds are read ahead at start-up, so
// during play this finds the room already there.
bool roomToScale(Uint32 bytes) {
  if (bytes <= gAudio.scaledBytes) return true;
  Uint8* bigger = static_cast<Uint8*>(SDL_realloc(gAudio.scaled, bytes));
  if (!bigger) return false;
  gAudio.scaled = bigger;
  gAudio.scaledBytes = bytes;
  return true;
}

void queueOnly(const Uint8* data, Uint32 bytes) {
  SDL_ClearQueuedAudio(gAudio.device);
  if (gAudio.volume <= 0) return;
  if (gAudio.volume >= 100) {
    SDL_QueueAudio(gAudio.device, data, bytes);
    return;
  }
  // SDL keeps its own copy of what is queued, so one buffer serves every
  // sound: silence, with the sound mixed in at the volume.
  if (!roomToScale(bytes)) return;
  memset(gAudio.scaled, gAudio.output.silence, bytes);
  SDL_MixAudioFormat(gAudio.scaled, data, gAudio.output.format, bytes,
                     gAudio.volume * SDL_MIX_MAXVOLUME / 100);
  SDL_QueueAudio(gAudio.device, gAudio.scaled, bytes);
}

// Decodes the file at path into the next free entry of the table, kept for
// the whole run, failures too, so a missing file is looked for only once.
// Null when the table is full.
const Sound* rememberSound(const char* path) {
  if (gAudio.soundCount >= kMaxSounds) return nullptr;
  Sound& sound = gAudio.sounds[gAudio.soundCount++];
  snprintf(sound.path, sizeof sound.path, "%s", path);
  sound.data = nullptr;
  sound.bytes = 0;
  sound.ok = decodeSound(path, &sound.data, &sound.bytes);
  if (sound.ok) roomToScale(sound.bytes);
  return &sound;
}

}  // namespace

bool audioOpen() {
  if (gAudio.open) return true;
  // SDL would otherwise take over SIGINT and SIGTERM, and the game never
  // reads SDL's event queue: Ctrl+C must still stop it.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    noAudio(SDL_GetError());
    return false;
  }
  silenceAlsa();
  SDL_AudioSpec want;
  memset(&want, 0, sizeof want);
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  gAudio.device =
      SDL_OpenAudioDevice(nullptr, 0, &want, &gAudio.output,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (gAudio.device == 0) {
    noAudio(SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  gAudio.open = true;
  SDL_PauseAudioDevice(gAudio.device, 0);
  atexit(closeAudio);
  return true;
}

void audioPreload(const char* folder) {
  if (!gAudio.open) return;
  DIR* dir = opendir(folder);
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    size_t length = strlen(entry->d_name);
    if (length < 5 || strcasecmp(entry->d_name + length - 4, ".wav") != 0) continue;
    char relative[kPathSize], path[kPathSize];
    if (snprintf(relative, sizeof relative, "%s/%s", folder, entry->d_name) >=
        static_cast<int>(sizeof relative))
      continue;
    // The game names its sounds with the backslash as separator, so a
    // backslash in a file name stands for a folder when the sound plays: the
    // file read ahead is the one the game will ask for.
    for (char* c = relative; *c; c++)
      if (*c == '\\') *c = '/';
    if (absolutePath(relative, path, sizeof path) && !findSound(path) && !rememberSound(path))
      break;
  }
  closedir(dir);
}

void audioPlay(const char* path) {
  if (!gAudio.open) return;
  char absolute[kPathSize];
  if (!absolutePath(path, absolute, sizeof absolute)) return;
  const Sound* known = findSound(absolute);
  if (!known) known = rememberSound(absolute);
  if (known) {
    if (known->ok) queueOnly(known->data, known->bytes);
    return;
  }
  // The table is full: decode, play and let it go (SDL keeps its own copy).
  Uint8* data = nullptr;
  Uint32 bytes = 0;
  if (decodeSound(absolute, &data, &bytes)) {
    queueOnly(data, bytes);
    SDL_free(data);
  }
}

void audioSetVolume(int percent) {
  gAudio.volume = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  if (gAudio.volume == 0) audioStop();
}

bool audioIsOpen() { return gAudio.open; }

void audioStop() {
  if (gAudio.open) SDL_ClearQueuedAudio(gAudio.device);
}

uint32_t audioQueuedBytes() { return gAudio.open ? SDL_GetQueuedAudioSize(gAudio.device) : 0; }

int audioBytesPerSecond() {
  if (!gAudio.open) return 0;
  return gAudio.output.freq * gAudio.output.channels *
         (SDL_AUDIO_BITSIZE(gAudio.output.format) / 8);
}

long audioSoundBytes(const char* path) {
  char absolute[kPathSize];
  if (!absolutePath(path, absolute, sizeof absolute)) return -1;
  const Sound* sound = findSound(absolute);
  return sound && sound->ok ? static_cast<long>(sound->bytes) : -1;
}
