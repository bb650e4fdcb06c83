#include "media/midi_song.h"

#include <queue>
#include <tuple>

#include "base/byte_reader.h"

namespace adv {

namespace {

// SysEx indices and marker offsets live in 16-bit fields of an entry.
constexpr std::size_t kMaxSysEx = 0x10000;
constexpr std::size_t kMaxMarkerOffset = 0xFFFF;

// A track's bytes with its running status.
struct Track {
  ByteReader bytes;
  std::uint8_t running = 0;
  bool first = false;  // markers count only in the first track
};

// One event as read from a track.
struct RawEvent {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  std::uint8_t meta = 0;                // type of a meta event
  std::span<const std::uint8_t> block;  // SysEx or meta data
};

// A variable-length number: seven bits a byte, high bit on every byte but the last. More than
// four bytes is not a MIDI file.
[[nodiscard]] bool ReadNumber(ByteReader& r, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (r.AtEnd()) return false;
    const std::uint8_t b = r.U8();
    value = (value << 7) | (b & 0x7F);
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

[[nodiscard]] bool ReadBlock(ByteReader& r, std::span<const std::uint8_t>& block) {
  std::uint32_t length = 0;
  if (!ReadNumber(r, length) || length > r.remaining()) return false;
  block = r.Take(length);
  return true;
}

[[nodiscard]] bool ReadEvent(Track& t, RawEvent& e) {
  ByteReader& r = t.bytes;
  if (r.AtEnd()) return false;
  std::uint8_t status = r.U8At(r.pos());
  if (status < 0x80) {
    // Running status: the byte is the first data byte of a repeated channel message. Meta and
    // SysEx events do not take part in it.
    if (t.running == 0) return false;
    status = t.running;
  } else {
    r.Skip(1);
  }
  e = RawEvent{};
  e.status = status;
  if (status < 0xF0) {
    t.running = status;
    const bool one = status >= 0xC0 && status <= 0xDF;
    if (r.remaining() < (one ? 1u : 2u)) return false;
    e.data1 = r.U8();
    if (!one) e.data2 = r.U8();
    return true;
  }
  if (status == 0xF0 || status == 0xF7) return ReadBlock(r, e.block);
  if (status == kMidiStatusMeta) {
    if (r.AtEnd()) return false;
    e.meta = r.U8();
    return ReadBlock(r, e.block);
  }
  return false;  // system common and real-time messages have no place in a file
}

bool IsTempo(const RawEvent& e) {
  return e.status == kMidiStatusMeta && e.meta == kMidiMetaTempo && e.block.size() >= 3;
}

bool IsMarker(const RawEvent& e, const Track& t) {
  return e.status == kMidiStatusMeta && e.meta == kMidiMetaMarker && t.first;
}

// Entries an event takes in the table.
std::size_t EntryCount(const RawEvent& e) {
  return IsTempo(e) ? 3 : 1;
}

// The tracks' byte ranges from the chunk lengths; false when a chunk runs past the file.
bool SplitTracks(ByteReader& file, std::vector<Track>& tracks) {
  const std::uint32_t header_length = file.U32BeAt(4);
  const std::uint16_t count = static_cast<std::uint16_t>((file.U8At(10) << 8) | file.U8At(11));
  if (!file.ok()) return false;
  std::uint64_t at = 8 + std::uint64_t{header_length};
  for (std::uint16_t i = 0; i < count; ++i) {
    if (at + 8 > file.size()) return false;
    const std::uint64_t length = file.U32BeAt(static_cast<std::size_t>(at) + 4);
    if (at + 8 + length > file.size()) return false;
    Track t;
    t.bytes = ByteReader(
        file.bytes().subspan(static_cast<std::size_t>(at) + 8, static_cast<std::size_t>(length)));
    t.first = i == 0;
    tracks.push_back(t);
    at += 8 + length;
  }
  return true;
}

// First pass: sizes of the table, the SysEx table and the marker texts.
bool CountTrack(Track t, std::size_t& entries, std::size_t& sysex, std::size_t& marker_bytes) {
  RawEvent e;
  std::uint32_t delta = 0;
  while (t.bytes.remaining() >= 2 && entries <= kMaxMidiEntries) {
    if (!ReadNumber(t.bytes, delta) || !ReadEvent(t, e)) return false;
    entries += EntryCount(e);
    if (e.status == 0xF0 || e.status == 0xF7) ++sysex;
    if (IsMarker(e, t)) marker_bytes += e.block.size() + 1;
  }
  return true;
}

class Merger {
 public:
  Merger(SmfSong& song, std::size_t capacity) : song_(song), capacity_(capacity) {}

  // Stores one event at absolute tick `tick`; delta is the entry's delta.
  bool Store(const RawEvent& e, const Track& t, std::uint64_t tick, std::uint32_t delta) {
    if (song_.events.size() + EntryCount(e) > capacity_) return false;
    MidiEvent entry;
    entry.delta = delta;
    if (e.status < 0xF0) {
      entry.status = e.status;
      entry.data1 = e.data1;
      entry.data2 = e.data2;
    } else if (e.status == 0xF0 || e.status == 0xF7) {
      if (song_.sysex.size() >= kMaxSysEx) return false;
      entry.status = kMidiStatusSysEx;
      entry.data1 = static_cast<std::uint8_t>(song_.sysex.size());
      entry.data2 = static_cast<std::uint8_t>(song_.sysex.size() >> 8);
      std::vector<std::uint8_t> message;
      if (e.status == 0xF0) message.push_back(0xF0);
      message.insert(message.end(), e.block.begin(), e.block.end());
      song_.sysex.push_back(std::move(message));
    } else if (IsTempo(e)) {
      const std::uint32_t tempo =
          (std::uint32_t{e.block[0]} << 16) | (e.block[1] << 8) | e.block[2];
      entry.status = kMidiStatusMeta;
      entry.data1 = kMidiMetaTempo;
      song_.events.push_back(entry);
      MidiEvent low;
      low.data1 = static_cast<std::uint8_t>(tempo);
      low.data2 = static_cast<std::uint8_t>(tempo >> 8);
      song_.events.push_back(low);
      MidiEvent high;
      high.data1 = static_cast<std::uint8_t>(tempo >> 16);
      song_.events.push_back(high);
      return true;
    } else if (IsMarker(e, t)) {
      const std::size_t offset = song_.marker_texts.size();
      if (offset > kMaxMarkerOffset) return false;
      entry.status = kMidiStatusMeta;
      entry.data1 = kMidiMetaMarker;
      entry.data2 = static_cast<std::uint8_t>(offset);
      entry.data3 = static_cast<std::uint8_t>(offset >> 8);
      song_.marker_texts.append(e.block.begin(), e.block.end());
      song_.marker_texts.push_back('\0');
      if (e.block.size() == 1 && e.block[0] == 'L') song_.loop_tick = tick;
    }
    // Any other meta event stays status 0: nothing to send, but its delta counts.
    song_.events.push_back(entry);
    return true;
  }

 private:
  SmfSong& song_;
  std::size_t capacity_;
};

}  // namespace

std::uint32_t SmfSong::TempoAt(std::size_t i) const {
  if (i + 2 >= events.size()) return 0;
  return events[i + 1].Word56() | (std::uint32_t{events[i + 2].Word56()} << 16);
}

std::string_view SmfSong::MarkerText(const MidiEvent& marker) const {
  const std::size_t offset = marker.Word67();
  if (offset >= marker_texts.size()) return {};
  std::string_view rest(marker_texts);
  rest.remove_prefix(offset);
  return rest.substr(0, rest.find('\0'));
}

bool ParseSmf(std::span<const std::uint8_t> bytes, SmfSong& song) {
  song = SmfSong{};
  ByteReader file(bytes);
  if (bytes.size() < 14) return false;
  const std::uint16_t division = static_cast<std::uint16_t>((bytes[12] << 8) | bytes[13]);
  // Ticks are converted to time by dividing by the tempo and multiplying by the division; a
  // division of 0 would stall the song forever.
  if (division == 0) return false;
  std::vector<Track> tracks;
  if (!SplitTracks(file, tracks)) return false;

  std::size_t entries = 0, sysex = 0, marker_bytes = 0;
  for (const Track& t : tracks) {
    if (!CountTrack(t, entries, sysex, marker_bytes)) return false;
  }
  if (sysex > kMaxSysEx || entries > kMaxMidiEntries) return false;

  SmfSong merged;
  merged.division = division;
  merged.events.reserve(entries);
  merged.sysex.reserve(sysex);
  merged.marker_texts.reserve(marker_bytes);
  Merger merger(merged, entries);

  // The tracks are merged in rounds: each round takes one event from every track whose next
  // event is due at the earliest pending time, in track order. Ordering by (tick, how many
  // events that track has already given at this tick, track) gives the same order without
  // scanning every track per event.
  using Key = std::tuple<std::uint64_t, std::uint32_t, std::size_t>;
  std::priority_queue<Key, std::vector<Key>, std::greater<Key>> due;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    std::uint32_t delta = 0;
    if (tracks[i].bytes.remaining() < 2) continue;
    if (!ReadNumber(tracks[i].bytes, delta)) return false;
    due.emplace(delta, 0, i);
  }
  std::uint64_t last_tick = 0;
  RawEvent e;
  while (!due.empty()) {
    const auto [tick, ordinal, index] = due.top();
    due.pop();
    Track& t = tracks[index];
    if (!ReadEvent(t, e)) return false;
    if (!merger.Store(e, t, tick, static_cast<std::uint32_t>(tick - last_tick))) return false;
    last_tick = tick;
    if (t.bytes.remaining() < 2) continue;
    std::uint32_t delta = 0;
    if (!ReadNumber(t.bytes, delta)) return false;
    due.emplace(tick + delta, delta == 0 ? ordinal + 1 : 0, index);
  }
  if (merged.events.size() != entries) return false;
  song = std::move(merged);
  return true;
}

}  // namespace adv
