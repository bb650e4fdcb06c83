#include "engine/commands/media_commands.h"

#include "engine/engine.h"
#include "engine/interpreter.h"
#include "script/arguments.h"
#include "script/script_file.h"

namespace adv {

namespace {

// .mcm: 32 steps, 5 ms apart; each step goes a 32nd further from where the glide began.
constexpr int kGlideSteps = 32;
constexpr int kGlideStepMs = 5;
// A mode-1 sound is looked at again this often.
constexpr std::uint32_t kSoundWaitSleepMs = 2;

// The first argument; "stop" stops the player.
bool ReadStop(Engine& engine, std::string& word) {
  word = ReadStringArg(engine.script);
  return word == "stop";
}

State GlideStep(Engine& engine) {
  CursorGlide& glide = engine.glide;
  ++glide.step;
  const int x = glide.from_x + ((glide.step * (glide.to_x - glide.from_x)) >> 5);
  const int y = glide.from_y + ((glide.step * (glide.to_y - glide.from_y)) >> 5);
  engine.host.SetCursorPos(x, y);
  Yield(engine);
  AddWait(engine, kGlideStepMs);
  return glide.step < kGlideSteps ? State::kCursorGlide : State::kReadLine;
}

}  // namespace

State WavCommand(Engine& engine) {
  std::string file;
  if (ReadStop(engine, file)) {
    engine.media.sound.StopWave();
    return State::kReadLine;
  }
  const int mode = ReadIntArg(engine.script);
  engine.media.sound.PlayWave(AddDefaultExtension(file, ".wav"), mode);
  return engine.media.sound.Busy() ? State::kSoundWait : State::kReadLine;
}

State MidCommand(Engine& engine) {
  std::string file;
  if (ReadStop(engine, file)) {
    engine.media.midi.Stop();
    return State::kReadLine;
  }
  const int loop = ReadIntArg(engine.script);
  // A file that cannot be read at all leaves the song before loaded, which Play restarts.
  engine.media.midi.Load(engine.files, AddDefaultExtension(file, ".mid"));
  engine.media.midi.SetLoop(loop != 0);
  engine.media.midi.Play();
  return State::kReadLine;
}

State Mp3Command(Engine& engine) {
  std::string file;
  if (ReadStop(engine, file)) {
    engine.media.mp3.Stop();
    return State::kReadLine;
  }
  const int loop = ReadIntArg(engine.script);
  engine.media.mp3.SetFile(AddDefaultExtension(file, ".mp3"));
  engine.media.mp3.SetLoop(loop != 0);
  engine.media.mp3.Play();
  return State::kReadLine;
}

State CdaCommand(Engine& engine) {
  std::string track;
  if (ReadStop(engine, track)) {
    engine.media.cd.Stop();
    return State::kReadLine;
  }
  const int loop = ReadIntArg(engine.script);
  engine.media.cd.SetLoop(loop != 0);
  engine.media.cd.Play(WordToInt(engine.script, track));
  return State::kReadLine;
}

State AviCommand(Engine& engine) {
  // There is no stop form: the next movie replaces this one.
  engine.media.movie.SetFile(AddDefaultExtension(ReadStringArg(engine.script), ".avi"));
  engine.media.movie.SetRepeat(true);
  engine.media.movie.Play();
  return State::kReadLine;
}

State McmCommand(Engine& engine) {
  CursorGlide& glide = engine.glide;
  glide.to_x = ReadIntArg(engine.script);
  glide.to_y = ReadIntArg(engine.script);
  engine.host.GetCursorPos(glide.from_x, glide.from_y);
  glide.step = 0;
  return GlideStep(engine);
}

State SoundWaitStep(Engine& engine) {
  if (!engine.media.sound.Busy()) return State::kReadLine;
  engine.host.Sleep(kSoundWaitSleepMs);
  return State::kSoundWait;
}

State CursorGlideStep(Engine& engine) {
  return GlideStep(engine);
}

}  // namespace adv
