#include "check/media_check.h"

#include <cstdio>

#include "script/script_file.h"

namespace adv {

namespace {

// A media file named by the word (its default extension added); an empty name plays nothing and
// is not looked for. The players report nothing of their own, so the message is ours.
void CheckMediaFile(LineCheck& at, const Arg& name, std::string_view extension,
                    std::string_view what, bool packed_twin_counts) {
  if (!name.Known() || name.text.empty()) return;
  const std::string file = AddDefaultExtension(name.text, extension);
  if (!at.FileFound(file, packed_twin_counts)) {
    at.Fault(Cat("cannot open the ", what, " ", Quoted(file), ": it is not played"));
  }
}

// "stop", or a file and an integer (the loop flag or the mode).
void CheckStopOrFile(LineCheck& at, std::string_view extension, std::string_view what,
                     bool packed_twin_counts) {
  const Arg first = at.String();
  if (first.text == "stop") return;
  CheckMediaFile(at, first, extension, what, packed_twin_counts);
  at.Int();
}

}  // namespace

void CheckAvi(LineCheck& at) {
  // No stop form: "stop" is a movie name like any other.
  CheckMediaFile(at, at.String(), ".avi", "movie", false);
}

void CheckWav(LineCheck& at) {
  const Arg first = at.String();
  if (first.text == "stop") return;
  CheckMediaFile(at, first, ".wav", "sound", false);
  const std::optional<int> mode = at.Int();
  if (mode && (*mode < 0 || *mode > 2)) {
    at.Fault(Cat(".wav mode ", std::to_string(*mode), " plays nothing (it takes 0, 1 or 2)"));
  }
}

void CheckMid(LineCheck& at) {
  // The MIDI loader reads through the file reader, so a packed twin plays too.
  CheckStopOrFile(at, ".mid", "music", true);
}

void CheckMp3(LineCheck& at) {
  CheckStopOrFile(at, ".mp3", "music", false);
}

void CheckCda(LineCheck& at) {
  const Arg first = at.String();
  if (first.text == "stop") return;
  const std::optional<int> track = at.IntOf(first);
  at.Int();
  if (!track) return;
  const std::string number = std::to_string(*track);
  if (*track < 1 || *track > 99) {
    at.Fault(Cat("there is no CD track ", number, " (tracks are 1 to 99): nothing is played"));
    return;
  }
  // Track N is the first of cdaudio/trackNN.{ogg,flac,mp3,wav} in the scenario folder.
  char stem[32];
  std::snprintf(stem, sizeof(stem), "cdaudio/track%02d", *track);
  for (const char* extension : {".ogg", ".flac", ".mp3", ".wav"}) {
    if (at.FileFound(Cat(stem, extension), false)) return;
  }
  at.Fault(Cat("there is no CD track ", number, " (", stem,
               ".ogg, .flac, .mp3 or .wav): nothing is played"));
}

}  // namespace adv
