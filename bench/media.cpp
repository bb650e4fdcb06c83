// MIDI parsing, sequencer callbacks, the synthesizer and mixer, and streaming decoders, each
// beside a copy of the 640 x 480 16-bit screen in the same run for scale.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "host/audio_mixer.h"
#include "host/codecs/ffmpeg_audio_source.h"
#include "host/codecs/fluid_synthesizer.h"
#include "host/thread_timer.h"
#include "media/midi_sequencer.h"
#include "media/midi_song.h"
#include "support/media_files.h"
#include "support/smf_writer.h"

namespace adv {
namespace {

void BM_ScreenMemcpy(benchmark::State& state) {
  std::vector<std::uint16_t> a(640 * 480, 0x1234), b(640 * 480);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 2);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(a.size() * 2));
}
BENCHMARK(BM_ScreenMemcpy);

// 16 tracks of notes, controllers and running status: about 1.5 MB.
std::vector<std::uint8_t> LargeSong() {
  std::vector<test::SmfTrack> tracks(16);
  for (int ch = 0; ch < 16; ++ch) {
    test::SmfTrack& t = tracks[static_cast<std::size_t>(ch)];
    if (ch == 0) t.Tempo(0, 500000).Marker(0, "L");
    const auto s = static_cast<std::uint8_t>(ch);
    t.Event(0, {static_cast<std::uint8_t>(0xC0 | s), s});
    for (int i = 0; i < 12000; ++i) {
      const auto key = static_cast<std::uint8_t>(36 + (i * 7 + ch) % 48);
      t.Event(i % 3 == 0 ? 0 : 60, {static_cast<std::uint8_t>(0x90 | s), key, 90});
      t.Event(60, {key, 0});
      if (i % 50 == 0) t.Event(0, {static_cast<std::uint8_t>(0xB0 | s), 7, 100});
    }
    t.End();
  }
  return test::BuildSmf(480, tracks);
}

void BM_ParseLargeMidi(benchmark::State& state) {
  const auto bytes = LargeSong();
  SmfSong song;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseSmf(bytes, song));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_ParseLargeMidi)->Unit(benchmark::kMillisecond);

class NullPort : public MidiPort {
 public:
  bool Open() override { return true; }
  void Close() override {}
  bool IsOpen() const override { return true; }
  bool Short(std::uint32_t m) override {
    benchmark::DoNotOptimize(m);
    ++sent;
    return true;
  }
  bool Long(std::span<const std::uint8_t>) override { return true; }
  std::uint64_t sent = 0;
};

// The sequencer's timer, ticked by the benchmark with a clock it moves.
class BenchTimer : public PeriodicTimer {
 public:
  explicit BenchTimer(TimerClient& c) : client(c) {}
  std::uint32_t Now() const override { return now; }
  bool Start(std::uint32_t) override { return running = true; }
  void Kill() override { running = false; }
  bool Running() const override { return running; }
  std::uint32_t Period() const override { return 1; }
  TimerClient& client;
  std::uint32_t now = 0;
  bool running = false;
};

struct SequencerRig {
  explicit SequencerRig(const std::vector<std::uint8_t>& song)
      : seq(port, [this](TimerClient& c) {
          auto t = std::make_unique<BenchTimer>(c);
          timer = t.get();
          return t;
        }) {
    if (!seq.LoadBytes(song) || !seq.Play()) std::abort();
    for (int i = 0; i < 101; ++i) Tick();  // past the start delay
  }
  void Tick() {
    ++timer->now;
    timer->client.OnTimerTick();
  }
  NullPort port;
  BenchTimer* timer = nullptr;
  MidiSequencer seq;
};

void BM_SequencerCallbackNothingDue(benchmark::State& state) {
  // One note now and the next one far away: every callback finds the clock moved on a tick or
  // so and nothing to send.
  test::SmfTrack t;
  t.Event(0, {0x90, 60, 1}).Event(0x0FFFFFFF, {0x80, 60, 0});
  SequencerRig rig(test::BuildSmf(480, {t}));
  for (auto _ : state) rig.Tick();
}
BENCHMARK(BM_SequencerCallbackNothingDue);

void BM_SequencerCallbackChordDue(benchmark::State& state) {
  // One tick a millisecond, and on every tick an eight-note chord (note-offs of the last one
  // and note-ons of the next).
  test::SmfTrack t;
  for (int i = 0; i < 50000; ++i) {
    for (int n = 0; n < 8; ++n) {
      t.Event(n == 0 && i > 0 ? 1 : 0, {0x90, static_cast<std::uint8_t>(48 + n * 3), 100});
    }
  }
  SequencerRig rig(test::BuildSmf(1000, {test::SmfTrack().Tempo(0, 1000000), t}));
  const std::uint64_t before = rig.port.sent;
  for (auto _ : state) rig.Tick();
  state.counters["msgs_per_call"] =
      static_cast<double>(rig.port.sent - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SequencerCallbackChordDue);

// A second of a 16-channel song through FluidSynth and the mixer. The result's time per
// iteration, divided by one second, is the share of a core it takes.
void BM_SynthAndMixerOneSecond(benchmark::State& state) {
  FluidSynthesizer synth(
      [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
  if (!synth.Load() || !synth.HasSoundFont()) {
    state.SkipWithError("no SoundFont");
    return;
  }
  AudioMixer mixer;
  mixer.SetSynth(&synth);
  if (!synth.Open()) std::abort();
  for (std::uint32_t ch = 0; ch < 16; ++ch) {
    synth.Short(0xC0 | ch | ((ch == 9 ? 0 : ch * 5) << 8));
    synth.Short(0xB0 | ch | (7 << 8) | (100 << 16));
  }
  std::vector<std::int16_t> out(1024 * 2);
  int step = 0;
  for (auto _ : state) {
    // Each channel strikes a new note (and ends its last) four times a second: 16 channels
    // busy all the time, as a full arrangement is.
    for (int block = 0; block < 43; ++block) {
      if (block % 11 == 0) {
        ++step;
        for (std::uint32_t ch = 0; ch < 16; ++ch) {
          const std::uint32_t key = 40 + (ch * 3 + static_cast<std::uint32_t>(step) * 5) % 40;
          const std::uint32_t last = 40 + (ch * 3 + static_cast<std::uint32_t>(step - 1) * 5) % 40;
          synth.Short(0x80 | ch | (last << 8));
          synth.Short(0x90 | ch | (key << 8) | (90 << 16));
        }
      }
      mixer.Render(out.data(), 1024);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["cpu_share_pct"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1024 * 43 / 44100 / 100.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SynthAndMixerOneSecond)->Unit(benchmark::kMillisecond);

void DecodeOneSecond(benchmark::State& state, const char* name) {
  const std::string path = std::string("/tmp/adv-bench-") + name;
  if (!test::EncodeAudio(path, {440, 0.5, 44100, 2, 44100 * 10})) {
    state.SkipWithError("cannot encode");
    return;
  }
  auto source = FfmpegAudioSource::Open(path);
  if (!source) {
    state.SkipWithError("cannot decode");
    return;
  }
  std::vector<std::int16_t> out(44100 * 2);
  for (auto _ : state) {
    if (source->Read(out.data(), 44100) < 44100) source->Seek(0);
    benchmark::DoNotOptimize(out.data());
  }
  std::remove(path.c_str());
}
void BM_DecodeMp3OneSecond(benchmark::State& state) {
  DecodeOneSecond(state, "tone.mp3");
}
void BM_DecodeOggOneSecond(benchmark::State& state) {
  DecodeOneSecond(state, "tone.ogg");
}
BENCHMARK(BM_DecodeMp3OneSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOggOneSecond)->Unit(benchmark::kMillisecond);

// How late the sequencer on its timer thread sends events against their due time: a note every
// 12 ticks (12.5 ms) for four seconds; due times count from the first note.
class TimedPort : public NullPort {
 public:
  bool Short(std::uint32_t m) override {
    if ((m & 0xF0) == 0x90) {
      std::lock_guard lock(mutex);
      times.push_back(std::chrono::steady_clock::now());
    }
    return true;
  }
  std::mutex mutex;
  std::vector<std::chrono::steady_clock::time_point> times;
};

void BM_TimerThreadLateness(benchmark::State& state) {
  test::SmfTrack t;
  const int kNotes = 320;
  for (int i = 0; i < kNotes; ++i) t.Event(i == 0 ? 0 : 12, {0x90, 60, 1});
  std::vector<double> late_us;
  for (auto _ : state) {
    TimedPort port;
    MidiSequencer seq(port, [](TimerClient& c) { return std::make_unique<ThreadTimer>(c); });
    if (!seq.LoadBytes(test::BuildSmf(480, {t}))) std::abort();
    seq.SetLoop(false);
    if (!seq.Play()) std::abort();
    while (seq.IsPlaying()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::lock_guard lock(port.mutex);
    for (std::size_t i = 0; i < port.times.size(); ++i) {
      const double due_us = static_cast<double>(i) * 12 * 500000.0 / 480;
      const double at_us =
          std::chrono::duration<double, std::micro>(port.times[i] - port.times[0]).count();
      late_us.push_back(at_us - due_us);
    }
  }
  std::sort(late_us.begin(), late_us.end());
  if (late_us.empty()) return;
  state.counters["p50_late_us"] = late_us[late_us.size() / 2];
  state.counters["p99_late_us"] = late_us[late_us.size() * 99 / 100];
  state.counters["max_late_us"] = late_us.back();
}
BENCHMARK(BM_TimerThreadLateness)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace adv

BENCHMARK_MAIN();
