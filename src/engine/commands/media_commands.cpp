#include "engine/commands/media_commands.h"

#include "engine/engine.h"
#include "engine/media_waits.h"
#include "script/arguments.h"
#include "script/script_file.h"

namespace adv {

namespace {

// The first argument; "stop" stops the player.
bool ReadStop(Engine& engine, std::string& word) {
  word = ReadStringArg(engine.script);
  return word == "stop";
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
  // Mode 1: the script waits, a frame at a time, until the sound has played.
  return engine.media.sound.Busy() ? State::kSoundWait : State::kReadLine;
}

State MidCommand(Engine& engine) {
  std::string file;
  if (ReadStop(engine, file)) {
    engine.media.midi.Stop();
    return State::kReadLine;
  }
  const int loop = ReadIntArg(engine.script);
  // A file that cannot be read at all keeps the song loaded before, which Play restarts; with
  // no song at all nothing plays, and the script goes on as it would with one.
  (void)engine.media.midi.Load(engine.files, AddDefaultExtension(file, ".mid"));
  engine.media.midi.SetLoop(loop != 0);
  (void)engine.media.midi.Play();
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
  const int x = ReadIntArg(engine.script);
  const int y = ReadIntArg(engine.script);
  return StartCursorGlide(engine, x, y);
}

}  // namespace adv
