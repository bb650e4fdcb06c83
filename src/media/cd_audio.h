// CD audio from ripped track files: track N is the first of
// cdaudio/trackNN.ogg, .flac, .mp3 and .wav in the scenario folder; the number of tracks is the
// highest N found (a missing track, such as a data track, has length 0), and the tracks play
// back to back as one disc, so that a range runs to the end of the disc after the last track.
// Positions are milliseconds on that disc. Return codes and debug-log texts tell each failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/audio_device.h"
#include "host/file_system.h"
#include "host/internal_error_log.h"

namespace adv {

class CdAudio {
 public:
  static constexpr int kMaxTracks = 99;

  CdAudio(AudioDevice& device, const FileSystem& files, InternalErrorLog& log)
      : device_(device), files_(files), log_(log) {}
  ~CdAudio() { Close(); }
  CdAudio(const CdAudio&) = delete;
  CdAudio& operator=(const CdAudio&) = delete;

  // 0; 1 no disc (no track files, or one that cannot be decoded); 2 to 5 a status query failed.
  // The drive is kept for later opens; there is only the one folder to read.
  int Open(std::string_view drive = {});
  int Play(int track) { return Play(track, track); }
  // 0; 1 the disc does not open; 2 no such track; 3 play failed.
  int Play(int first, int last);
  // Plays from..to on the disc (to = -1: to its end). 0; 1 not open; 2 play failed.
  int PlayDW(std::int64_t from, std::int64_t to, bool keep_from);
  int Stop();  // 0; 1 not open; 2 not playing
  void Close();
  void SetLoop(bool loop) { loop_ = loop; }
  // An end notification: 0 when it was this player's (the range plays again or it stops), 1 not.
  int OnNotify(int media_id);

  bool IsOpen() const { return open_; }
  bool IsPlaying() const { return playing_; }
  int TrackCount() const { return tracks_; }
  std::int64_t TrackStart(int track) const { return starts_[static_cast<std::size_t>(track)]; }
  std::int64_t TrackLength(int track) const { return lengths_[static_cast<std::size_t>(track)]; }
  std::int64_t DiscLength() const { return disc_length_; }

 private:
  int TryOpen();
  std::vector<std::string> TrackFiles() const;
  int Fail(std::string_view message, int code);

  AudioDevice& device_;
  const FileSystem& files_;
  InternalErrorLog& log_;
  std::string drive_;
  int stream_ = 0;
  int playback_ = 0;
  bool open_ = false;
  bool loop_ = false;
  bool playing_ = false;
  int tracks_ = 0;
  std::int64_t disc_length_ = 0;
  // Indexed by track number; entry 0 and the one past the last track are kept for the ranges.
  std::vector<std::int64_t> starts_ = std::vector<std::int64_t>(kMaxTracks + 2, 0);
  std::vector<std::int64_t> lengths_ = std::vector<std::int64_t>(kMaxTracks + 2, 0);
  std::int64_t play_from_ = 0;
  std::int64_t play_to_ = -1;
};

}  // namespace adv
