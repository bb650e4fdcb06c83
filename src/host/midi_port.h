// Where the MIDI sequencer sends its messages: the synthesizer in a real run, a recorder in
// tests. Calls come from the sequencer's timer thread and from the interpreter thread, never two
// at once (the sequencer serialises them).
#pragma once

#include <cstdint>
#include <span>

namespace adv {

class MidiPort {
 public:
  virtual ~MidiPort() = default;
  // Opens the port (keeps it open when it is); the synthesizer starts from its reset state.
  [[nodiscard]] virtual bool Open() = 0;
  // Silences every note and closes the port.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // A channel message packed as status | data1 << 8 | data2 << 16. False when closed.
  virtual bool Short(std::uint32_t message) = 0;
  // A SysEx message (0xF0 ... 0xF7) or an escape packet. False when closed.
  virtual bool Long(std::span<const std::uint8_t> message) = 0;
};

}  // namespace adv
