// A standard MIDI file turned into one time-ordered table: the tracks are merged so that the
// sequencer only walks the table from front to back, sending each entry after its delta.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace adv {

inline constexpr std::uint8_t kMidiStatusSysEx = 0xF0;
inline constexpr std::uint8_t kMidiStatusMeta = 0xFF;
inline constexpr std::uint8_t kMidiMetaTempo = 0x51;
inline constexpr std::uint8_t kMidiMetaMarker = 0x06;

// One 8-byte entry of the table: delta (ticks since the previous entry), status, data 1,
// data 2 and a spare byte. SysEx entries keep their SysEx index in bytes 5-6, markers the offset
// of their text in bytes 6-7, and the two entries after a tempo entry (status 0) its low and
// high 16 bits in bytes 5-6. Status 0 is a no-operation entry whose delta still counts.
struct MidiEvent {
  std::uint32_t delta = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  std::uint8_t data3 = 0;

  std::uint16_t Word56() const { return static_cast<std::uint16_t>(data1 | (data2 << 8)); }
  std::uint16_t Word67() const { return static_cast<std::uint16_t>(data2 | (data3 << 8)); }
};
static_assert(sizeof(MidiEvent) == 8);

struct SmfSong {
  std::uint16_t division = 0;  // ticks per quarter note
  std::vector<MidiEvent> events;
  // Each message as the port sends it: 0xF0 and the event's bytes (0xF7 included). Escape
  // packets (0xF7 events) are kept as they are in the file, without a 0xF0 before them.
  std::vector<std::vector<std::uint8_t>> sysex;
  // The first track's marker texts, each followed by a zero byte.
  std::string marker_texts;
  // Tick of the last marker "L" of the first track; 0 when there is none.
  std::uint64_t loop_tick = 0;

  bool Empty() const { return events.empty(); }
  // The tempo kept in the two entries after the tempo entry at index i.
  std::uint32_t TempoAt(std::size_t i) const;
  std::string_view MarkerText(const MidiEvent& marker) const;
};

// Most table entries a song may have (2 MiB of table): far beyond any song written to be heard,
// and a bound on what one loop of a song can make the synthesizer do.
inline constexpr std::size_t kMaxMidiEntries = 1u << 18;

// Merges the tracks of a standard MIDI file into song. False, with song left empty, when the
// file is inconsistent: a header or chunk longer than the file, division 0, an event or a
// length running past its track, a variable-length number of more than four bytes, a data byte
// with no status to repeat, a status no file may hold, or more than kMaxMidiEntries entries.
[[nodiscard]] bool ParseSmf(std::span<const std::uint8_t> bytes, SmfSong& song);

}  // namespace adv
