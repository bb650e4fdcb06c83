#include "media/cd_audio.h"

#include <cctype>

#include "base/messages.h"

namespace adv {

namespace {

constexpr const char* kFolder = "cdaudio";
// The first of these found is the track's file.
constexpr const char* kExtensions[] = {"ogg", "flac", "mp3", "wav"};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::vector<std::string> CdAudio::TrackFiles() const {
  // Best extension rank found for each track number.
  std::vector<int> rank(kMaxTracks + 1, -1);
  std::vector<std::string> names(kMaxTracks + 1);
  int count = 0;
  for (const std::string& name : files_.List(kFolder, "track*.*")) {
    const std::string lower = Lower(name);
    if (lower.size() < 9 || !std::isdigit(static_cast<unsigned char>(lower[5])) ||
        !std::isdigit(static_cast<unsigned char>(lower[6])) || lower[7] != '.') {
      continue;
    }
    const int track = (lower[5] - '0') * 10 + (lower[6] - '0');
    if (track < 1) continue;
    for (int r = 0; r < 4; ++r) {
      if (lower.substr(8) != kExtensions[r]) continue;
      if (rank[track] < 0 || r < rank[track]) {
        rank[track] = r;
        names[track] = name;
      }
      count = std::max(count, track);
    }
  }
  std::vector<std::string> paths;
  for (int t = 1; t <= count; ++t) {
    paths.push_back(names[t].empty() ? std::string()
                                     : files_.ResolveFile(std::string(kFolder) + "/" + names[t]));
  }
  return paths;
}

int CdAudio::Fail(std::string_view message, int code) {
  log_.Log(message);
  Close();
  return code;
}

int CdAudio::Open(std::string_view drive) {
  if (open_) Close();
  drive_ = drive;
  // A failed open is tried once more, as with a drive that was still spinning up.
  if (TryOpen() != 0 && TryOpen() != 0) {
    log_.Log(kSdkCdOpen);
    return 1;
  }
  open_ = true;
  std::int64_t value = 0;
  if (!device_.Status(stream_, AudioStatus::kParts, 0, value) || value < 0) {
    return Fail(kSdkCdTrackCount, 2);
  }
  tracks_ = static_cast<int>(std::min<std::int64_t>(value, kMaxTracks));
  if (!device_.Status(stream_, AudioStatus::kLength, 0, disc_length_)) {
    return Fail(kSdkCdDiscLength, 3);
  }
  for (int t = 1; t <= tracks_; ++t) {
    const auto i = static_cast<std::size_t>(t);
    if (!device_.Status(stream_, AudioStatus::kPartStart, t - 1, starts_[i])) {
      return Fail(kSdkCdTrackPosition, 4);
    }
    if (!device_.Status(stream_, AudioStatus::kPartLength, t - 1, lengths_[i])) {
      return Fail(kSdkCdTrackLength, 5);
    }
  }
  starts_[static_cast<std::size_t>(tracks_) + 1] = disc_length_;
  return 0;
}

int CdAudio::TryOpen() {
  if (stream_ != 0) device_.Close(stream_);
  const std::vector<std::string> paths = TrackFiles();
  stream_ = paths.empty() ? 0 : device_.Open(paths);
  return stream_ != 0 ? 0 : 1;
}

int CdAudio::Play(int first, int last) {
  if (!open_ && Open(drive_) != 0) {
    log_.Log(kSdkCdPlayOpen);
    return 1;
  }
  if (last > tracks_) {
    log_.Log(kSdkCdPlayTrackOver);
    return 2;
  }
  // Track numbers index the table of starts: one below 1 or past the last would read outside
  // it.
  if (first < 1 || first > tracks_ || last < 1) {
    log_.Log(kSdkCdPlayTrackInvalid);
    return 2;
  }
  const std::int64_t from = starts_[static_cast<std::size_t>(first)];
  std::int64_t to = -1;
  if (first < tracks_ && last < tracks_) to = starts_[static_cast<std::size_t>(last) + 1];
  // A looping range repeats in the device without a gap: its time is the same in a window and
  // in a headless run, whenever the end notification would have been served.
  const int playback = device_.Play(stream_, from, to, loop_);
  if (playback == 0) {
    log_.Log(kSdkCdPlay);
    return 3;
  }
  play_from_ = from;
  play_to_ = to;
  playback_ = playback;
  playing_ = true;
  return 0;
}

int CdAudio::PlayDW(std::int64_t from, std::int64_t to, bool keep_from) {
  if (!open_) {
    log_.Log(kSdkCdPlayDwNotOpen);
    return 1;
  }
  if (stream_ == 0) return 1;
  if (from == to) return 0;
  const int playback = device_.Play(stream_, from, to, loop_);
  if (playback == 0) {
    log_.Log(kSdkCdPlayDw);
    return 2;
  }
  if (!keep_from) play_from_ = from;
  play_to_ = to;
  playback_ = playback;
  playing_ = true;
  return 0;
}

int CdAudio::Stop() {
  if (!open_) {
    log_.Log(kSdkCdStopNotOpen);
    return 1;
  }
  if (!playing_) return 2;
  playing_ = false;
  device_.Stop(stream_);
  return 0;
}

void CdAudio::Close() {
  if (!open_ && stream_ == 0) return;
  if (playing_) Stop();
  if (stream_ != 0) device_.Close(stream_);
  stream_ = 0;
  playback_ = 0;
  open_ = false;
  playing_ = false;
}

int CdAudio::OnNotify(int media_id) {
  if (!open_ || media_id == 0 || media_id != playback_) return 1;
  if (loop_) {
    PlayDW(play_from_, play_to_, false);
  } else {
    Stop();
  }
  return 0;
}

}  // namespace adv
