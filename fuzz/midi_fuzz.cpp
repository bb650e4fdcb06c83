// The MIDI parser on arbitrary bytes, and what parses played for two virtual seconds with a
// loop, so that dispatch, tempo changes and the loop chase see the fuzzer's tables too.
#include <cstddef>
#include <cstdint>
#include <span>

#include "host/midi_port.h"
#include "host/virtual_timer.h"
#include "media/midi_sequencer.h"
#include "media/midi_song.h"

namespace {

class NullPort : public adv::MidiPort {
 public:
  bool Open() override { return open_ = true; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  bool Short(std::uint32_t) override { return open_; }
  bool Long(std::span<const std::uint8_t> m) override { return open_ && !m.empty(); }

 private:
  bool open_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  adv::SmfSong song;
  if (!adv::ParseSmf(std::span(data, size), song)) return 0;
  adv::VirtualTimers clock;
  NullPort port;
  adv::MidiSequencer seq(port, [&](adv::TimerClient& c) { return clock.Create(c); });
  // Most inputs do not parse; those that do must play without harm.
  (void)seq.LoadBytes(std::span(data, size));
  seq.SetLoop(true);
  (void)seq.Play();
  clock.AdvanceTo(2000);
  seq.Stop();
  return 0;
}
