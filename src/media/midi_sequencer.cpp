#include "media/midi_sequencer.h"

#include <vector>

#include "base/tick_time.h"
#include "files/file_reader.h"

namespace adv {

namespace {

constexpr std::uint8_t kController = 0xB0;
constexpr std::uint8_t kProgram = 0xC0;
constexpr std::uint8_t kNoteOn = 0x90;

std::uint32_t Pack(std::uint8_t status, std::uint8_t data1, std::uint8_t data2 = 0) {
  return status | (std::uint32_t{data1} << 8) | (std::uint32_t{data2} << 16);
}

}  // namespace

MidiSequencer::MidiSequencer(MidiPort& port, const TimerFactory& make_timer)
    : port_(port), timer_(make_timer(*this)) {}

MidiSequencer::~MidiSequencer() {
  Stop();
  // No tick may run once the members it uses are gone.
  timer_->Kill();
}

bool MidiSequencer::Load(const FileSystem& files, std::string_view name) {
  Stop();
  CFileReader reader;
  std::vector<std::uint8_t> bytes;
  if (!reader.Open(files, name) || !reader.ReadAll(bytes, kMaxFileSize)) return false;
  return LoadBytes(bytes);
}

bool MidiSequencer::LoadBytes(std::span<const std::uint8_t> bytes) {
  Stop();
  SmfSong parsed;
  const bool ok = ParseSmf(bytes, parsed);
  std::lock_guard lock(mutex_);
  song_ = std::move(parsed);
  current_ = 0;
  return ok;
}

bool MidiSequencer::Play() {
  {
    std::lock_guard lock(mutex_);
    if (song_.Empty()) return false;
  }
  Stop();
  std::lock_guard lock(mutex_);
  stopping_ = false;
  ResetChannelsAndClock();
  current_ = 0;
  song_tick_ = 0;
  // The port opens without a synthesizer too (it logs why): the song then keeps its time and
  // its loops silently, as a game that waits on it expects.
  (void)port_.Open();
  playing_ = true;
  StartTimer();
  return true;
}

bool MidiSequencer::Stop() {
  // The request goes first and the timer next: once Kill returns no tick is running, and none
  // will start again (a loop restart in progress sees the request and leaves the timer off),
  // so the channels can be silenced without a tick sending notes behind our back.
  stopping_ = true;
  timer_->Kill();
  std::lock_guard lock(mutex_);
  if (playing_) SilenceAndClose();
  return true;
}

std::uint64_t MidiSequencer::SongTick() const {
  std::lock_guard lock(mutex_);
  return song_tick_;
}

MidiChannelState MidiSequencer::Channel(int channel) const {
  std::lock_guard lock(mutex_);
  return channels_[static_cast<std::size_t>(channel) & 15];
}

void MidiSequencer::SilenceAndClose() {
  playing_ = false;
  for (std::uint8_t ch = 0; ch < 16; ++ch) port_.Short(Pack(kController | ch, 7, 0));
  port_.Close();
}

void MidiSequencer::OnTimerTick() {
  std::lock_guard lock(mutex_);
  if (stopping_) {
    timer_->Kill();
    return;
  }
  const std::uint32_t now = timer_->Now();
  if (start_delay_set_) {
    // The delay stamp is 50 ms ahead of the moment it was set, and the clock starts 50 ms after
    // the stamp: playback begins about 100 ms after Play or a loop restart.
    if (!TickReached(now, start_delay_ + kStartDelay)) return;
    segment_start_ = now;
    start_delay_set_ = false;
  }
  elapsed_ = now - segment_start_;
  Tick();
}

void MidiSequencer::Tick() {
  const std::size_t count = song_.events.size();
  if (current_ < count) {
    // The loop ends with the table too: past its end there is nothing to dispatch.
    int budget = kMaxEntriesPerCallback;
    for (int i = 0; i < kMaxTicksPerCallback && current_ < count; ++i) {
      const std::uint64_t target = std::uint64_t{elapsed_} * song_.division * 1000 / tempo_;
      if (target < ticks_done_) break;
      // Far behind (a stalled thread): catch up without a burst of notes.
      lagging_ = target >= ticks_done_ + kMaxTicksPerCallback;
      if (!Advance(budget)) break;  // the same tick goes on in the next callback
      ++ticks_done_;
    }
    return;
  }
  if (loop_) {
    timer_->Kill();
    ResetChannelsAndClock();
    current_ = 0;
    song_tick_ = 0;
    if (song_.loop_tick != 0) Chase();
    Resume();
    return;
  }
  stopping_ = true;
  timer_->Kill();
  SilenceAndClose();
}

bool MidiSequencer::Advance(int& budget) {
  const std::size_t count = song_.events.size();
  if (countdown_ == 0) {
    while (current_ < count) {
      if (budget <= 0) return false;
      --budget;
      song_tick_ += song_.events[current_].delta;
      Dispatch();
      ++current_;
      if (current_ >= count) break;
      countdown_ = song_.events[current_].delta;
      if (countdown_ != 0) break;
    }
  }
  if (countdown_ > 0) --countdown_;
  return true;
}

// Applies the part of the song before the loop tick without a sound, so that programs and
// controllers are as they were there; the entries at the loop tick itself are left for
// playback, which goes on from the loop tick.
void MidiSequencer::Chase() {
  const std::size_t count = song_.events.size();
  chasing_ = true;
  while (current_ < count && song_tick_ + song_.events[current_].delta < song_.loop_tick) {
    song_tick_ += song_.events[current_].delta;
    Dispatch();
    ++current_;
  }
  countdown_ =
      current_ < count
          ? static_cast<std::uint32_t>(song_tick_ + song_.events[current_].delta - song_.loop_tick)
          : 0;
  chasing_ = false;
}

void MidiSequencer::Dispatch() {
  const MidiEvent& e = song_.events[current_];
  if (e.status == kMidiStatusSysEx) {
    const std::size_t index = e.Word56();
    if (!chasing_ && index < song_.sysex.size()) port_.Long(song_.sysex[index]);
    return;
  }
  if (e.status == kMidiStatusMeta) {
    if (e.data1 == kMidiMetaTempo) {
      const std::uint32_t tempo = song_.TempoAt(current_);
      for (int i = 0; i < 2 && current_ + 1 < song_.events.size(); ++i) {
        ++current_;
        song_tick_ += song_.events[current_].delta;
      }
      // A tempo of 0 would divide by zero; such an event changes nothing.
      if (tempo == 0) return;
      tempo_ = tempo;
      StartTimer();
    } else if (e.data1 == kMidiMetaMarker) {
      OnMarker(song_.MarkerText(e));
    }
    return;
  }
  if (e.status < 0x80 || e.status > 0xEF) return;
  MidiChannelState& ch = channels_[e.status & 15];
  const std::uint8_t kind = e.status & 0xF0;
  if (kind == kProgram) ch.program = e.data1;
  if (kind == kController) {
    switch (e.data1) {
      case 0:
        ch.bank = e.data2;
        break;
      case 7:
        ch.volume = e.data2;
        break;
      case 10:
        ch.pan = e.data2;
        break;
      case 91:
        ch.reverb = e.data2;
        break;
      case 93:
        ch.chorus = e.data2;
        break;
      default:
        break;
    }
  }
  if (chasing_) return;
  // Only sounding note-ons are dropped while lagging: a note-on with velocity 0 ends a note,
  // and dropping it would leave that note hanging.
  if (lagging_ && kind == kNoteOn && e.data2 != 0) return;
  Send(Pack(e.status, e.data1, e.data2));
}

void MidiSequencer::Send(std::uint32_t message) {
  port_.Short(message);
}

// Unlike Play, a restart does not clear a stop request: Stop may be waiting for this very tick.
void MidiSequencer::Resume() {
  if (!port_.IsOpen()) port_.Open();
  for (std::uint8_t ch = 0; ch < 16; ++ch) Send(Pack(kProgram | ch, channels_[ch].program));
  const std::pair<std::uint8_t, std::uint8_t MidiChannelState::*> controllers[] = {
      {0, &MidiChannelState::bank},
      {10, &MidiChannelState::pan},
      {91, &MidiChannelState::reverb},
      {93, &MidiChannelState::chorus},
      {7, &MidiChannelState::volume}};
  for (const auto& [number, field] : controllers) {
    for (std::uint8_t ch = 0; ch < 16; ++ch) {
      Send(Pack(kController | ch, number, channels_[ch].*field));
    }
  }
  StartTimer();
}

void MidiSequencer::StartTimer() {
  if (stopping_) return;
  segment_start_ = timer_->Now();
  elapsed_ = 0;
  ticks_done_ = 0;
  if (chasing_) return;
  if (!timer_->Running() || timer_->Period() != 1) {
    timer_->Kill();
    (void)timer_->Start(1);  // fails only on a virtual clock that is gone with its host
  }
}

void MidiSequencer::ResetChannelsAndClock() {
  channels_.fill(MidiChannelState{});
  tempo_ = kDefaultTempo;
  countdown_ = 0;
  lagging_ = false;
  start_delay_ = timer_->Now() + kStartDelay;
  start_delay_set_ = true;
}

}  // namespace adv
