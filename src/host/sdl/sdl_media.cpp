// Media in the window: the SDL audio device pulls the mix, movie frames go to their own
// texture, finished voices become HostEvent::kMediaDone.
#include <SDL.h>

#include "host/sdl/sdl_host.h"
#include "host/thread_timer.h"

namespace adv {

namespace {

// Poll-free waits: the end of a voice must reach a window loop that sleeps until input.
constexpr std::uint32_t kMediaWakeMs = 10;

}  // namespace

// The audio thread: mixes what the voices' buffers hold, runs the synthesizer and, between its
// frames, the MIDI ticks that fall inside this buffer. It reads no file and waits for nobody.
void SdlHost::PullMix(void* host, Uint8* stream, int length) {
  auto* self = static_cast<SdlHost*>(host);
  AudioMixer& mixer = self->media_->mixer();
  self->media_->Pull(reinterpret_cast<std::int16_t*>(stream),
                     static_cast<std::size_t>(length) / (2 * kMixChannels));
  if (self->media_wake_ != 0 && mixer.HasFinished() && !self->wake_sent_.exchange(true)) {
    SDL_Event wake{};
    wake.type = self->media_wake_;
    SDL_PushEvent(&wake);
  }
}

std::optional<std::uint32_t> SdlHost::MediaWakeMs() {
  if (!media_) return std::nullopt;
  // A movie's frames and voices mixed by the clock (no device) move on only when polled.
  if (media_->movie().Frame() != nullptr) return kMediaWakeMs;
  if (!audio_running_ && media_->mixer().HasVoices()) return kMediaWakeMs;
  return std::nullopt;
}

MediaHost* SdlHost::Media() {
  if (media_) return media_.get();
  HostMediaHooks hooks;
  hooks.now = [this] { return Now(); };
  hooks.has_window = [this] { return window_ != nullptr; };
  hooks.log = [this](const std::string& line) { DebugLog(line); };
  hooks.fill_ahead = true;
  media_ = std::make_unique<HostMedia>(std::move(hooks));
  unheard_at_ = Now();
  unheard_from_ = 0;
  // The audio device opens when something is first to be heard.
  return media_.get();
}

bool SdlHost::OpenAudioDevice() {
  if (audio_device_ != 0) return true;
  if (audio_failed_) return false;
  audio_failed_ = true;  // tried once; a game without sound plays on unheard
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    DebugLog(std::string("adv: no sound: ") + SDL_GetError());
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = kMixRate;
  want.format = AUDIO_S16SYS;
  want.channels = kMixChannels;
  // About 23 ms: short enough for sounds to start with their picture, long enough not to crackle
  // while a frame is drawn.
  want.samples = 1024;
  want.callback = PullMix;
  want.userdata = this;
  SDL_AudioSpec have{};
  audio_device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (audio_device_ == 0) {
    DebugLog(std::string("adv: no sound device: ") + SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  audio_failed_ = false;
  return true;
}

// Runs the device while something is audible and pauses it otherwise: a paused device calls
// back nobody. Time that passed unheard still moves the voices on.
void SdlHost::UpdateAudioDevice() {
  const bool audible = media_->Audible();
  if (audible && !audio_running_ && OpenAudioDevice()) {
    SDL_PauseAudioDevice(audio_device_, 0);
    audio_running_ = true;
  } else if (!audible && audio_running_) {
    SDL_PauseAudioDevice(audio_device_, 1);
    audio_running_ = false;
    std::lock_guard lock(unheard_mutex_);
    unheard_at_ = Now();
    unheard_from_ = media_->mixer().FramesDone();
  }
  // Without a device a thread moves the mix on the wall clock while a MIDI timer runs, so the
  // song keeps its time (and ends, or loops) though nobody hears it.
  const bool drive = !audio_running_ && media_->TimersRunning();
  if (drive && !wall_clock_) {
    wall_clock_driver_ = std::make_unique<WallClockDriver>(*this);
    wall_clock_ = std::make_unique<ThreadTimer>(*wall_clock_driver_);
    wall_clock_driver_->timer = wall_clock_.get();
  }
  if (drive && !wall_clock_->Running()) {
    (void)wall_clock_->Start(1);  // a thread timer always starts
  } else if (!drive && wall_clock_) {
    wall_clock_->Kill();
  }
}

void SdlHost::WallClockDriver::OnTimerTick() {
  host.FollowWallClock();
  // The song has ended or stopped: the thread sleeps until the next one.
  if (!host.media_->TimersRunning()) timer->Kill();
}

void SdlHost::FollowWallClock() {
  std::lock_guard lock(unheard_mutex_);
  const std::uint64_t due =
      unheard_from_ +
      std::uint64_t{static_cast<std::uint32_t>(Now() - unheard_at_)} * kMixRate / 1000;
  const std::uint64_t done = media_->mixer().FramesDone();
  if (due > done) media_->Pull(nullptr, static_cast<std::size_t>(due - done));
}

void SdlHost::CloseMedia() {
  wall_clock_.reset();
  if (audio_device_ != 0) {
    // Waits for a callback in progress; after this nothing pulls the mixer.
    SDL_CloseAudioDevice(audio_device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_device_ = 0;
  }
  media_.reset();
}

void SdlHost::PumpMedia() {
  if (!media_) return;
  UpdateAudioDevice();
  if (!audio_running_) FollowWallClock();
  wake_sent_ = false;
  media_->TakeDone(media_events_);
  HostMovieDevice& movie = media_->movie();
  if (!movie.Update(Now()) || renderer_ == nullptr) return;
  if (const std::uint32_t* frame = movie.Frame()) {
    if (movie_texture_ == nullptr) {
      movie_texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
      if (movie_texture_ == nullptr) {
        Fail("SDL_CreateTexture");
        return;
      }
      SDL_SetTextureBlendMode(movie_texture_, SDL_BLENDMODE_NONE);
    }
    SDL_UpdateTexture(movie_texture_, nullptr, frame, kWidth * 4);
  }
  Redraw();
}

}  // namespace adv
