// MidiSequencer: plays one song at a time through a MIDI port on a 1 ms timer. The timer's
// thread (in a real run the audio render's, between the samples of its ticks) walks the event
// table; the interpreter thread loads, plays, stops and sets the loop. All the song state is
// under one lock; the stop request is an atomic so that a tick sees it at once.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>

#include "host/file_system.h"
#include "host/midi_port.h"
#include "host/periodic_timer.h"
#include "media/midi_song.h"

namespace adv {

struct MidiChannelState {
  std::uint8_t program = 0;
  std::uint8_t bank = 0;      // controller 0
  std::uint8_t pan = 64;      // controller 10
  std::uint8_t reverb = 0;    // controller 91
  std::uint8_t chorus = 0;    // controller 93
  std::uint8_t volume = 100;  // controller 7
};

class MidiSequencer : private TimerClient {
 public:
  static constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds per quarter note
  static constexpr std::uint32_t kStartDelay = 50;        // ms, counted twice: see OnTimerTick
  static constexpr int kMaxTicksPerCallback = 100;
  // Entries one callback dispatches at most; the rest of a crowded tick goes out in the next
  // callbacks, so a stop or a close never waits long for a tick in progress.
  static constexpr int kMaxEntriesPerCallback = 512;
  static constexpr std::uint64_t kMaxFileSize = 64u << 20;

  MidiSequencer(MidiPort& port, const TimerFactory& make_timer);
  virtual ~MidiSequencer();
  MidiSequencer(const MidiSequencer&) = delete;
  MidiSequencer& operator=(const MidiSequencer&) = delete;

  // Stops, then reads the file through the file reader (plain or packed twin) and parses it.
  // A file that cannot be read leaves the previous song; one that does not parse leaves none.
  [[nodiscard]] bool Load(const FileSystem& files, std::string_view name);
  // The same from bytes already read.
  [[nodiscard]] bool LoadBytes(std::span<const std::uint8_t> bytes);
  // Restarts the loaded song from its beginning about 100 ms from now. False without a song.
  [[nodiscard]] bool Play();
  // Stops playback: waits for a tick in progress, sets every channel's volume to 0 and closes
  // the port. Nothing when no song plays.
  bool Stop();
  void SetLoop(bool loop) { loop_ = loop; }

  bool IsPlaying() const { return playing_; }
  std::uint64_t SongTick() const;
  MidiChannelState Channel(int channel) const;

 protected:
  // A marker event was played (on the timer thread, under the sequencer's lock).
  virtual void OnMarker(std::string_view /*text*/) {}

 private:
  void OnTimerTick() override;
  void Tick();
  // False when the budget ran out before the tick's entries did.
  bool Advance(int& budget);
  void Dispatch();
  void Chase();
  void Resume();
  void StartTimer();
  void ResetChannelsAndClock();
  void SilenceAndClose();
  void Send(std::uint32_t message);

  MidiPort& port_;
  std::unique_ptr<PeriodicTimer> timer_;
  mutable std::mutex mutex_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> loop_{true};
  std::atomic<bool> playing_{false};  // written under mutex_

  // Guarded by mutex_.
  SmfSong song_;
  std::array<MidiChannelState, 16> channels_{};
  std::uint32_t segment_start_ = 0;
  std::uint32_t elapsed_ = 0;
  std::uint64_t ticks_done_ = 0;
  std::uint32_t countdown_ = 0;
  std::uint32_t tempo_ = kDefaultTempo;
  bool chasing_ = false;
  bool lagging_ = false;
  bool start_delay_set_ = false;
  std::uint32_t start_delay_ = 0;
  std::size_t current_ = 0;
  std::uint64_t song_tick_ = 0;
};

}  // namespace adv
