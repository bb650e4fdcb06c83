#include "host/host_movie_device.h"

#include <algorithm>

#include "base/tick_time.h"

namespace adv {

namespace {

// A movie's sound followed by silence to the end of its picture: one round of it is one round
// of the movie, so the mixer repeats sound and picture together without a gap, and its
// position is the clock the frames keep.
class MovieSound : public AudioSource {
 public:
  MovieSound(std::shared_ptr<AudioSource> sound, std::uint64_t picture_frames)
      : sound_(std::move(sound)), picture_(picture_frames) {}

  std::size_t Read(std::int16_t* out, std::size_t frames) override {
    const std::size_t got = sound_->Read(out, frames);
    std::size_t silence = 0;
    if (got < frames && position_ + got < picture_) {
      silence = static_cast<std::size_t>(
          std::min<std::uint64_t>(frames - got, picture_ - position_ - got));
      std::fill_n(out + got * kMixChannels, silence * kMixChannels, std::int16_t{0});
    }
    position_ += got + silence;
    return got + silence;
  }
  bool Seek(std::uint64_t frame) override {
    if (!sound_->Seek(std::min(frame, sound_->Length()))) return false;
    position_ = frame;
    return true;
  }
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Length() const override { return std::max(sound_->Length(), picture_); }

 private:
  std::shared_ptr<AudioSource> sound_;
  std::uint64_t picture_;
  std::uint64_t position_ = 0;
};

}  // namespace

struct HostMovieDevice::Movie {
  int id = 0;
  std::unique_ptr<MovieFrames> picture;
  std::shared_ptr<AudioSource> sound;  // null for a silent movie
  int voice = 0;
  bool windowed = false;
  bool playing = false;
  bool repeat = false;
  bool shown = false;         // a frame has been put in `frame`
  std::uint32_t start = 0;    // clock time of the movie's time 0 in this round
  std::int64_t sound_ms = 0;  // the sound's time at the last update
  bool held = false;          // the picture has ended; its last frame waits for the next round
  bool have_next = false;     // a decoded frame waits for its time
  std::int64_t next_ms = 0;
  std::vector<std::uint32_t> frame;
};

HostMovieDevice::HostMovieDevice(AudioMixer& mixer, std::function<MediaCodecs*()> codecs,
                                 std::function<std::uint32_t()> now,
                                 std::function<bool()> has_window)
    : mixer_(mixer),
      codecs_(std::move(codecs)),
      now_(std::move(now)),
      has_window_(std::move(has_window)) {}

HostMovieDevice::~HostMovieDevice() {
  if (movie_) Close(movie_->id);
}

int HostMovieDevice::Open(const std::string& native_path) {
  if (movie_) Close(movie_->id);
  MediaCodecs* codecs = codecs_();
  if (codecs == nullptr) return 0;
  auto picture = codecs->OpenMovie(native_path, kWidth, kHeight);
  if (!picture) return 0;
  movie_ = std::make_unique<Movie>();
  movie_->id = next_id_++;
  movie_->picture = std::move(picture);
  movie_->sound = codecs->OpenSound(native_path);
  movie_->frame.assign(static_cast<std::size_t>(kWidth) * kHeight, 0xFF000000u);
  return movie_->id;
}

bool HostMovieDevice::SetWindow(int movie) {
  if (!movie_ || movie_->id != movie || !has_window_()) return false;
  movie_->windowed = true;
  return true;
}

bool HostMovieDevice::FillWindow(int movie) {
  // The picture is always scaled to the whole client area.
  return movie_ && movie_->id == movie && movie_->windowed;
}

bool HostMovieDevice::Play(int movie, bool repeat) {
  if (!movie_ || movie_->id != movie || !movie_->windowed) return false;
  Movie& m = *movie_;
  if (!m.picture->Rewind()) return false;
  mixer_.Stop(m.voice);
  m.voice = 0;
  if (m.sound) {
    const std::uint64_t picture = MsToFrames(m.picture->LengthMs());
    m.voice =
        mixer_.Start(std::make_shared<MovieSound>(m.sound, picture), 0, AudioMixer::kToEnd, repeat);
  }
  m.repeat = repeat;
  m.playing = true;
  m.have_next = false;
  m.held = false;
  m.sound_ms = 0;
  m.start = now_();
  ShowDue(0, m.voice != 0);
  return true;
}

bool HostMovieDevice::Stop(int movie) {
  if (!movie_ || movie_->id != movie) return false;
  mixer_.Stop(movie_->voice);
  movie_->voice = 0;
  movie_->playing = false;
  return true;
}

bool HostMovieDevice::Close(int movie) {
  if (!movie_ || movie_->id != movie) return false;
  mixer_.Stop(movie_->voice);
  changed_ = changed_ || movie_->shown;
  movie_.reset();
  return true;
}

void HostMovieDevice::ShowDue(std::int64_t t, bool by_sound) {
  Movie& m = *movie_;
  bool due = false;
  bool restarted = false;
  while (true) {
    if (!m.have_next) {
      if (m.held) {
        // Without its sound nothing starts the next round.
        m.playing = by_sound;
        break;
      }
      if (!m.picture->Next(m.next_ms)) {
        if (by_sound) {
          m.held = true;
          break;
        }
        const std::int64_t period = m.picture->EndMs();
        // A movie with no frame after its restart has nothing to repeat.
        if (!m.repeat || restarted || period <= 0 || !m.picture->Rewind()) {
          m.playing = false;
          break;
        }
        restarted = true;
        // Whole rounds that passed unseen (a long virtual sleep) are skipped.
        const std::int64_t rounds = std::max<std::int64_t>(1, t / period);
        m.start += static_cast<std::uint32_t>(rounds * period);
        t -= rounds * period;
        continue;
      }
      m.have_next = true;
      restarted = false;
    }
    if (m.next_ms > t) break;
    m.have_next = false;
    due = true;
    if (m.picture->Convert(m.frame.data())) m.shown = true;
  }
  if (due) changed_ = true;
}

bool HostMovieDevice::Update(std::uint32_t now) {
  std::uint64_t heard = 0;
  if (movie_ && movie_->playing && movie_->voice != 0 && mixer_.Position(movie_->voice, heard)) {
    // The sound's clock, not the host's: in a window the sound card keeps its own time, and the
    // picture must keep it too. The sound going back is its next round, and the picture's.
    Movie& m = *movie_;
    const std::int64_t t = FramesToMs(heard);
    if (t < m.sound_ms) {
      m.have_next = false;
      m.held = false;
      m.playing = m.picture->Rewind();
    }
    m.sound_ms = t;
    // Should the sound go, the host's clock goes on from here.
    m.start = now - static_cast<std::uint32_t>(t);
    if (m.playing) ShowDue(t, true);
  } else if (movie_ && movie_->playing) {
    ShowDue(TickDiff(now, movie_->start), false);
  }
  const bool changed = changed_;
  changed_ = false;
  return changed;
}

const std::uint32_t* HostMovieDevice::Frame() const {
  return movie_ && movie_->shown ? movie_->frame.data() : nullptr;
}

}  // namespace adv
