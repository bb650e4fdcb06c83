#include "media/midi_song.h"

#include <gtest/gtest.h>

#include <array>

#include "support/smf_writer.h"

namespace adv {
namespace {

using test::BuildSmf;
using test::SmfTrack;
using Entry = std::array<std::uint32_t, 4>;  // delta, status, data 1, data 2

SmfSong Parse(const std::vector<std::uint8_t>& bytes) {
  SmfSong song;
  EXPECT_TRUE(ParseSmf(bytes, song));
  return song;
}

std::vector<Entry> Entries(const SmfSong& song) {
  std::vector<Entry> out;
  for (const MidiEvent& e : song.events) out.push_back({e.delta, e.status, e.data1, e.data2});
  return out;
}

TEST(MidiSong, SimultaneousEventsComeInTrackOrderRoundByRound) {
  SmfTrack a, b, c;
  a.Event(2, {0x90, 60, 1}).Event(0, {0x90, 61, 2}).Event(10, {0x80, 60, 0});
  b.Event(2, {0x91, 62, 3}).Event(5, {0x81, 62, 0});
  c.Event(1, {0x92, 64, 4}).Event(6, {0xC0, 5});
  SmfSong song = Parse(BuildSmf(480, {a, b, c}));
  EXPECT_EQ(song.division, 480);
  // The first entry carries the earliest time; the second event of track a at tick 2 follows
  // the first events of all later tracks.
  EXPECT_EQ(Entries(song), (std::vector<Entry>{{1, 0x92, 64, 4},
                                               {1, 0x90, 60, 1},
                                               {0, 0x91, 62, 3},
                                               {0, 0x90, 61, 2},
                                               {5, 0x81, 62, 0},
                                               {0, 0xC0, 5, 0},
                                               {5, 0x80, 60, 0}}));
}

TEST(MidiSong, RunningStatusTempoAndOtherMetaEvents) {
  SmfTrack t;
  t.Event(0, {0x90, 60, 100}).Event(1, {62, 100}).Meta(1, 0x01, "x").Event(1, {64, 0});
  t.Event(1, {0xC3, 7}).Event(1, {8}).Tempo(1, 0x123456);
  t.bytes.push_back(0x00);  // fewer than two bytes left: the track ends
  SmfSong song = Parse(BuildSmf(480, {t}));
  // Running status repeats the last channel status across meta events; a tempo takes two
  // continuation entries.
  EXPECT_EQ(Entries(song), (std::vector<Entry>{{0, 0x90, 60, 100},
                                               {1, 0x90, 62, 100},
                                               {1, 0, 0, 0},
                                               {1, 0x90, 64, 0},
                                               {1, 0xC3, 7, 0},
                                               {1, 0xC3, 8, 0},
                                               {1, 0xFF, 0x51, 0},
                                               {0, 0, 0x56, 0x34},
                                               {0, 0, 0x12, 0}}));
  EXPECT_EQ(song.TempoAt(6), 0x123456u);
}

TEST(MidiSong, MarkersOfTheFirstTrackAndTheLastLoopMarker) {
  SmfTrack a, b;
  a.Marker(0, "intro").Marker(960, "L").Marker(960, "L").Marker(10, "Loop");
  b.Marker(3000, "L").Event(0, {0x90, 1, 1});
  SmfSong song = Parse(BuildSmf(480, {a, b}));
  EXPECT_EQ(song.marker_texts, std::string("intro\0L\0L\0Loop\0", 15));
  EXPECT_EQ(song.loop_tick, 1920u);
  ASSERT_EQ(song.events.size(), 6u);
  EXPECT_EQ(song.events[3].data1, kMidiMetaMarker);
  EXPECT_EQ(song.MarkerText(song.events[3]), "Loop");
  EXPECT_EQ(song.MarkerText(song.events[0]), "intro");
  // Another track's marker is a no-operation entry.
  EXPECT_EQ(song.events[4].status, 0);
  EXPECT_EQ(song.events[4].delta, 3000u - 1930u);
}

TEST(MidiSong, SysExKeepsItsHeaderAndEscapesStayRaw) {
  SmfTrack t;
  t.SysEx(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7}).SysEx(2, 0xF7, {0xF3, 0x01});
  SmfSong song = Parse(BuildSmf(480, {t}));
  EXPECT_EQ(song.sysex, (std::vector<std::vector<std::uint8_t>>{
                            {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, {0xF3, 0x01}}));
  ASSERT_EQ(song.events.size(), 2u);
  EXPECT_EQ(song.events[1].status, kMidiStatusSysEx);
  EXPECT_EQ(song.events[1].Word56(), 1);
  EXPECT_EQ(song.events[1].delta, 2u);
}

std::vector<std::uint8_t> WithByte(std::vector<std::uint8_t> bytes, std::size_t at,
                                   std::uint8_t value) {
  bytes[at] = value;
  return bytes;
}

TEST(MidiSong, MalformedFilesAreRefusedButTagsAndFormatAreNotExamined) {
  SmfTrack good;
  good.Event(0, {0x90, 60, 1}).End();
  const std::vector<std::uint8_t> base = BuildSmf(480, {good});
  // The track's tag and the format are never looked at.
  EXPECT_EQ(Entries(Parse(WithByte(WithByte(base, 14, 'X'), 9, 7)))[0], (Entry{0, 0x90, 60, 1}));
  auto track_of = [](std::initializer_list<std::uint8_t> bytes) {
    SmfTrack t;
    t.bytes = bytes;
    return BuildSmf(480, {t});
  };
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
