#include "media/midi_song.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/smf_writer.h"

namespace adv {
namespace {

using test::BuildSmf;
using test::SmfTrack;

SmfSong Parse(const std::vector<std::uint8_t>& bytes) {
  SmfSong song;
  EXPECT_TRUE(ParseSmf(bytes, song));
  return song;
}

// The table's entries as "delta status data1 data2", the bytes in hex.
std::vector<std::string> Entries(const SmfSong& song) {
  std::vector<std::string> out;
  char text[32];
  for (const MidiEvent& e : song.events) {
    std::snprintf(text, sizeof text, "%u %02X %02X %02X", e.delta, e.status, e.data1, e.data2);
    out.push_back(text);
  }
  return out;
}
using Strings = std::vector<std::string>;

TEST(MidiSong, SimultaneousEventsComeInTrackOrderRoundByRound) {
  SmfTrack a, b, c;
  a.Event(2, {0x90, 0x3C, 1}).Event(0, {0x90, 0x3D, 2}).Event(10, {0x80, 0x3C, 0});
  b.Event(2, {0x91, 0x3E, 3}).Event(5, {0x81, 0x3E, 0});
  c.Event(1, {0x92, 0x40, 4}).Event(6, {0xC0, 5});
  SmfSong song = Parse(BuildSmf(480, {a, b, c}));
  // The first entry carries the earliest time; the second event of track a at tick 2 follows
  // the first events of all later tracks.
  EXPECT_EQ(Entries(song), (Strings{"1 92 40 04", "1 90 3C 01", "0 91 3E 03", "0 90 3D 02",
                                    "5 81 3E 00", "0 C0 05 00", "5 80 3C 00"}));
}

TEST(MidiSong, RunningStatusTempoAndOtherMetaEvents) {
  SmfTrack t;
  t.Event(0, {0x90, 0x3C, 0x64}).Event(1, {0x3E, 0x64}).Meta(1, 0x01, "x").Event(1, {0x40, 0});
  t.Event(1, {0xC3, 7}).SysEx(1, 0xF0, {0xF7}).Event(1, {8}).Tempo(1, 0x123456);
  t.bytes.push_back(0x00);  // fewer than two bytes left: the track ends
  SmfSong song = Parse(BuildSmf(480, {t}));
  // Running status repeats the last channel status across meta and SysEx events; a tempo takes
  // two continuation entries.
  EXPECT_EQ(Entries(song),
            (Strings{"0 90 3C 64", "1 90 3E 64", "1 00 00 00", "1 90 40 00", "1 C3 07 00",
                     "1 F0 00 00", "1 C3 08 00", "1 FF 51 00", "0 00 56 34", "0 00 12 00"}));
  EXPECT_EQ(song.TempoAt(7), 0x123456u);
}

TEST(MidiSong, MarkersOfTheFirstTrackTheLastLoopMarkerAndSysEx) {
  SmfTrack a, b;
  a.Marker(0, "intro").SysEx(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
  a.Marker(960, "L").Marker(960, "L").SysEx(2, 0xF7, {0xF3, 0x01}).Marker(8, "Loop");
  b.Marker(3000, "L").Event(0, {0x90, 1, 1});
  SmfSong song = Parse(BuildSmf(480, {a, b}));
  // Markers keep the offset of their text, SysEx entries their index; another track's marker is
  // a no-operation entry.
  EXPECT_EQ(Entries(song), (Strings{"0 FF 06 00", "0 F0 00 00", "960 FF 06 06", "960 FF 06 08",
                                    "2 F0 01 00", "8 FF 06 0A", "1070 00 00 00", "0 90 01 01"}));
  EXPECT_EQ(song.MarkerText(song.events[5]), "Loop");
  EXPECT_EQ(song.loop_tick, 1920u);
  // A SysEx message keeps its 0xF0; an escape packet stays as it is in the file.
  EXPECT_EQ(song.sysex, (std::vector<std::vector<std::uint8_t>>{
                            {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, {0xF3, 0x01}}));
}

std::vector<std::uint8_t> WithByte(std::vector<std::uint8_t> bytes, std::size_t at,
                                   std::uint8_t value) {
  bytes[at] = value;
  return bytes;
}

TEST(MidiSong, MalformedFilesAreRefusedButTagsAndFormatAreNotExamined) {
  SmfTrack good;
  good.Event(0, {0x90, 0x3C, 1});
  const std::vector<std::uint8_t> base = BuildSmf(480, {good});
  // The track's tag and the format are never looked at.
  EXPECT_EQ(Entries(Parse(WithByte(WithByte(base, 14, 'X'), 9, 7))), Strings{"0 90 3C 01"});
  auto track_of = [](std::initializer_list<std::uint8_t> bytes) {
    SmfTrack t;
    t.bytes = bytes;
    return BuildSmf(480, {t});
  };
  // The table's size is bounded over all tracks together.
  auto notes = [](std::size_t n) {
    SmfTrack t;
    t.Event(0, {0x90, 60, 1});
    for (std::size_t i = 1; i < n; ++i) t.Event(0, {60, 1});
    return t;
  };
  const std::size_t half = kMaxMidiEntries / 2;
  EXPECT_EQ(Parse(BuildSmf(480, {notes(half), notes(half)})).events.size(), kMaxMidiEntries);
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"shorter than a header", std::vector<std::uint8_t>(base.begin(), base.begin() + 13)},
      {"division 0", WithByte(WithByte(base, 12, 0), 13, 0)},
      {"chunk longer than the file", std::vector<std::uint8_t>(base.begin(), base.end() - 1)},
      {"header length past the file", WithByte(base, 4, 0x7F)},
      {"more tracks than chunks", WithByte(base, 11, 2)},
      {"number of five bytes", track_of({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 1})},
      {"data byte without a status", track_of({0x00, 60, 1})},
      {"channel message cut short", track_of({0x00, 0x90, 60})},
      {"meta block past the track", track_of({0x00, 0xFF, 0x01, 0x05, 'a'})},
      {"meta type missing", track_of({0x00, 0xFF})},
      {"SysEx block past the track", track_of({0x00, 0xF0, 0x7F, 0x01})},
      {"SysEx length of five bytes", track_of({0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})},
      {"system common status", track_of({0x00, 0xF2, 0x00, 0x00})},
      {"event missing after a delta", track_of({0x00, 0x90, 60, 1, 0x10, 0x10})},
      {"more entries than a table holds", BuildSmf(480, {notes(half), notes(half + 1)})},
  };
  for (const auto& c : cases) {
    SmfSong song;
    song.division = 1;
    EXPECT_FALSE(ParseSmf(c.bytes, song)) << c.name;
    EXPECT_TRUE(song.Empty()) << c.name;
  }
}

}  // namespace
}  // namespace adv
