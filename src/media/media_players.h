// Every media player of one engine over the host's media services: the MIDI sequencer, sounds,
// MP3 music, CD audio and movies. The engine owns one of these and hands it the host's
// end-of-playback events.
#pragma once

#include "host/file_system.h"
#include "host/internal_error_log.h"
#include "host/media_host.h"
#include "media/cd_audio.h"
#include "media/midi_sequencer.h"
#include "media/movie_player.h"
#include "media/mp3_player.h"
#include "media/sound_player.h"

namespace adv {

class MediaPlayers {
 public:
  MediaPlayers(MediaHost& host, const FileSystem& files, InternalErrorLog& log);
  MediaPlayers(const MediaPlayers&) = delete;
  MediaPlayers& operator=(const MediaPlayers&) = delete;

  // HostEvent::kMediaDone: offered to CD audio first and then to the MP3 player. True when one of
  // them took it.
  bool OnMediaDone(int media_id);
  // Everything stops (at exit; the destructor does the same).
  void StopAll();

  // Declared in the order they are destroyed last to first: the movie and the music go before
  // the sequencer's timer.
  MidiSequencer midi;
  SoundPlayer sound;
  Mp3Player mp3;
  CdAudio cd;
  MoviePlayer movie;
};

}  // namespace adv
