// What the media players and the MIDI sequencer get from the host: the sound device over the
// mixer, the movie device, the MIDI port and the 1 ms timer. Both hosts give the same pieces;
// the timer's ticks come from the mix, which the windowed host's audio device pulls and the
// headless host pulls on its virtual clock.
#pragma once

#include <memory>
#include <string>

#include "host/audio_device.h"
#include "host/midi_port.h"
#include "host/movie_device.h"
#include "host/periodic_timer.h"

namespace adv {

class MediaHost {
 public:
  virtual ~MediaHost() = default;
  // Sounds and movie sound play on Audio, MP3 and CD tracks on MusicAudio: the player sets the
  // two volumes apart (SetVolumes, percent; the synthesizer follows the music's).
  virtual AudioDevice& Audio() = 0;
  virtual AudioDevice& MusicAudio() { return Audio(); }
  virtual void SetVolumes(int music, int sound) {
    (void)music;
    (void)sound;
  }
  virtual MovieDevice& Movies() = 0;
  virtual MidiPort& Midi() = 0;
  virtual std::unique_ptr<PeriodicTimer> CreateTimer(TimerClient& client) = 0;
  // The SoundFont the synthesizer loads when MIDI first plays; empty: Debian's GM SoundFont.
  virtual void SetSoundFont(const std::string& native_path) = 0;
};

}  // namespace adv
