// Small games played twice: headless, and in a real window under Xvfb with input sent through
// the X server and sound written by SDL's disk driver. What the player sees and hears must be
// what the headless run recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "support/bmp_writer.h"
#include "support/flow_headless.h"
#include "support/media_files.h"
#include "support/smf_writer.h"
#include "x_session.h"

namespace adv::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kScreenWidth = 1280, kScreenHeight = 720;  // 1.5 x 480 high, bars at the sides
constexpr int kStepMs = 400;  // virtual time between the headless run's steps
constexpr int kSettleMs = 8000;
constexpr std::uint32_t kFirstFrame = 0xFF0000;  // of the test movie

// A game played: tests/window/FOLDER/NAME.steps says what the player does, a step a line, in the
// input file's words ("move X Y", "click X Y", "wheel up|down X Y", "key NAME", "keydown NAME",
// "keyup NAME") or: "wait MS" (time passes), "watch MS" (time passes while the movie's repeats
// are timed), "shot": the window must come to show what the headless run showed at this point,
// with the pointer left still ("fullshot": and fill the screen; "shot new": a picture unlike the
// shot before; "shot as N": the same as shot N, counted from 1); "sound MS": compare the sound's
// onsets for this long after the first.
struct Game {
  std::string folder, name;
  std::vector<std::string> steps;
  int sound_ms = 0;
  void (*prepare)(const TempDir& game) = nullptr;
};

void PrintTo(const Game& game, std::ostream* out) {
  *out << game.name;
}

// The picture matches when every pixel has the headless run's five bits a channel. A window
// larger than 640 x 480 shows the picture scaled in the middle with black bars: pixels are
// taken at the centres of the scaled ones, where the picture does not change within a pixel.
int Mismatches(const Grab& grab, const Picture& shot) {
  if (grab.width == 0 || shot.width != 640) return -1;
  const double scale = std::min(grab.width / 640.0, grab.height / 480.0);
  const double left = (grab.width - 640 * scale) / 2, top = (grab.height - 480 * scale) / 2;
  int bad = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      bool flat = true;
      for (int dy = -1; dy <= 1 && scale != 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = std::clamp(x + dx, 0, 639), ny = std::clamp(y + dy, 0, 479);
          flat = flat && shot.At(nx, ny) == shot.At(x, y);
        }
      }
      if (!flat) continue;
      const int gx = static_cast<int>(left + (x + 0.5) * scale);
      const int gy = static_cast<int>(top + (y + 0.5) * scale);
      if ((grab.At(gx, gy) & 0xF8F8F8) != (shot.At(x, y) & 0xF8F8F8)) ++bad;
    }
  }
  if (left >= 1 && (grab.At(0, grab.height / 2) != 0 || grab.At(grab.width - 1, 0) != 0)) ++bad;
  return bad;
}

// Left-channel samples of 16-bit stereo PCM.
std::vector<std::int16_t> LeftChannel(const std::string& bytes) {
  std::vector<std::int16_t> left(bytes.size() / 4);
  for (std::size_t i = 0; i < left.size(); ++i) std::memcpy(&left[i], &bytes[i * 4], 2);
  return left;
}

// Onsets in ms: where the sound rises above a quarter of its peak after 25 ms below it.
std::vector<double> Onsets(const std::vector<std::int16_t>& s) {
  int peak = 0;
  for (std::int16_t v : s) peak = std::max(peak, std::abs(int{v}));
  const int threshold = peak / 4;
  std::vector<double> onsets;
  std::size_t last_loud = 0;
  bool any = false;
  for (std::size_t i = 0; i < s.size() && peak > 1000; ++i) {
    if (std::abs(int{s[i]}) <= threshold) continue;
    if (!any || i - last_loud > 44100 * 25 / 1000) onsets.push_back(i * 1000.0 / 44100);
    any = true;
    last_loud = i;
  }
  return onsets;
}

// The onsets of both within span ms of their first, each as its distance from the first, must
// agree within 2 ms.
void ExpectSameOnsets(const std::vector<std::int16_t>& headless,
                      const std::vector<std::int16_t>& window, double span) {
  const std::vector<double> h = Onsets(headless), w = Onsets(window);
  ASSERT_FALSE(h.empty());
  ASSERT_FALSE(w.empty()) << "the window run made no sound";
  ASSERT_GT(window.size() / 44.1 - w[0], span) << "the window's sound stopped short";
  ASSERT_GT(headless.size() / 44.1 - h[0], span);
  const auto from_first = [span](const std::vector<double>& all) {
    std::vector<double> within;
    for (double t : all) {
      if (t - all[0] < span) within.push_back(t - all[0]);
    }
    return within;
  };
  const std::vector<double> hs = from_first(h), ws = from_first(w);
  std::ostringstream both;
  for (std::size_t i = 0; i < std::max(hs.size(), ws.size()); ++i) {
    both << (i < hs.size() ? hs[i] : -1) << "/" << (i < ws.size() ? ws[i] : -1) << " ";
  }
  ASSERT_EQ(hs.size(), ws.size()) << "onsets headless/window in ms: " << both.str();
  for (std::size_t i = 0; i < hs.size(); ++i) {
    EXPECT_NEAR(ws[i], hs[i], 2.0) << "onset " << i << "; headless/window: " << both.str();
  }
}

// A movie's picture keeps with its sound: each time its first frame came back, the sound
// written by then stood the same distance past the start of the sound's loop.
void ExpectPictureWithSound(const std::vector<double>& loops, const std::vector<double>& sound) {
  ASSERT_GE(loops.size(), 3u) << "the movie did not repeat";
  std::ostringstream seen;
  double low = 1e9, high = -1e9;
  for (double at : loops) {
    double nearest = 1e9;
    for (double s : sound) {
      if (std::abs(at - s) < std::abs(nearest)) nearest = at - s;
    }
    low = std::min(low, nearest);
    high = std::max(high, nearest);
    seen << nearest << " ";
  }
  // The sound file grows a device buffer (23 ms) at a time.
  EXPECT_LT(high - low, 40) << "picture behind its sound by (ms): " << seen.str();
}

const std::map<std::string, const char*> kKeySyms = {
    {"enter", "Return"}, {"space", "space"}, {"esc", "Escape"},
    {"f4", "F4"},        {"left", "Left"},   {"up", "Up"},
    {"right", "Right"},  {"down", "Down"},   {"ctrl", "Control_L"}};

void Play(const Game& game) {
  SCOPED_TRACE(game.name);
  // The headless run: the steps at their virtual times, a shot at each "shot".
  HeadlessRun run;
  std::filesystem::create_directories(run.game.Path("data"));
  if (game.prepare != nullptr) game.prepare(run.game);
  std::string input = "0 move 600 440\n";
  std::vector<std::string> shots;
  int t = 0;
  for (const std::string& step : game.steps) {
    if (step.rfind("wait ", 0) == 0 || step.rfind("watch ", 0) == 0) {
      t += std::stoi(step.substr(step.find(' ') + 1));
      continue;
    }
    t += kStepMs;
    if (step.rfind("shot", 0) == 0 || step == "fullshot") {
      shots.push_back(std::to_string(t));
    } else {
      input += std::to_string(t) + " " + step + "\n";
    }
  }
  run.game.Write("input.txt", input);
  std::vector<std::string> args{"--until", std::to_string(t + kStepMs)};
  if (game.sound_ms > 0) args.insert(args.end(), {"--audio", run.out.Path("headless.wav")});
  RunHeadless(run, ADV_SOURCE_DIR "/tests/window/" + game.folder, args, shots);

  // The same game in a window, each step once the one before has shown.
  XSession x(kScreenWidth, kScreenHeight);
  ASSERT_TRUE(x.ok()) << "no Xvfb with XTest";
  const std::string disk_audio = run.out.Path("window.raw"), log = run.out.Path("window.log");
  ASSERT_TRUE(x.StartAdv(run.game.path(), disk_audio, log)) << ReadFile(log);
  x.MovePointer(600, 440);
  std::size_t shot = 0;
  std::vector<double> loops;
  bool watched = false;
  std::string previous;
  for (const std::string& step : game.steps) {
    std::istringstream words(step);
    std::string verb, arg;
    int px = 0, py = 0;
    words >> verb >> arg;
    if (verb == "shot" || verb == "fullshot") {
      const int width = verb == "shot" ? 640 : kScreenWidth;
      const Picture expected = run.Shot(shots[shot++]);
      std::string same;
      words >> same;
      if (arg == "new") {
        EXPECT_TRUE(expected.rgb != run.Shot(shots[shot - 2]).rgb)
            << "shot " << shot << " as before";
      } else if (arg == "as") {
        EXPECT_TRUE(expected.rgb == run.Shot(shots[std::stoi(same) - 1]).rgb)
            << "shot " << shot << " unlike shot " << same;
      }
      int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
      x.PointerAt(x0, y0);
      Grab grab;
      int bad = -1;
      const auto end = Clock::now() + std::chrono::milliseconds(kSettleMs);
      while ((bad = (grab = x.GrabWindow()).width == width ? Mismatches(grab, expected) : -1) !=
                 0 &&
             Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      x.PointerAt(x1, y1);
      // SDL keeps the pointer where it was in the window when the window changes size.
      if (previous != "key f4") {
        EXPECT_EQ(x1 * 10000 + y1, x0 * 10000 + y0) << "the pointer moved during shot " << shot;
      }
      EXPECT_EQ(bad, 0) << "shot " << shot << " (" << shots[shot - 1] << " ms): the window is "
                        << grab.width << " wide (-1: not " << width << "), or pixels differ\n"
                        << ReadFile(log);
    } else if (verb == "watch") {
      // Where the sound written so far stands each time the movie's first frame comes back.
      const auto end = Clock::now() + std::chrono::milliseconds(std::stoi(arg));
      watched = true;
      bool was_first = true;
      while (Clock::now() < end) {
        const bool first = (x.Pixel(320, 240) & 0xF8F8F8) == (kFirstFrame & 0xF8F8F8);
        std::error_code error;
        if (first && !was_first) {
          loops.push_back(std::filesystem::file_size(disk_audio, error) / 4 / 44.1);
        }
        was_first = first;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    } else if (verb == "wait") {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(arg)));
    } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
      ASSERT_TRUE(kKeySyms.contains(arg)) << step;
      if (verb == "key") x.Key(kKeySyms.at(arg));
      if (verb != "key") x.KeyTo(kKeySyms.at(arg), verb == "keydown");
    } else {
      std::istringstream(step.substr(verb.size() + (verb == "wheel" ? arg.size() + 1 : 0))) >> px >>
          py;
      x.MovePointer(px, py);
      if (verb == "click") x.Button(1);
      if (verb == "wheel") x.Button(arg == "up" ? 4 : 5);
    }
    previous = step;
  }
  // Every game ends with Esc, which closes the window. SDL 2.26 wakes its event wait through a
  // second X connection, and a wake-up sent just before the window goes can reach the server
  // after it: Xlib then reports BadWindow for X_SendEvent and exits with 1. That race is SDL's;
  // any other end is a fault.
  const int status = x.WaitAdv(10000);
  const std::string ended = ReadFile(log);
  const bool sdl_race = status == 1 && ended.find("BadWindow") != std::string::npos &&
                        ended.find("(X_SendEvent)") != std::string::npos;
  EXPECT_TRUE(status == 0 || sdl_race) << "exit status " << status << "\n" << ended;
  if (game.sound_ms > 0) {
    // adv writes its WAV files with a header of 44 bytes.
    ExpectSameOnsets(LeftChannel(ReadFile(run.out.Path("headless.wav")).substr(44)),
                     LeftChannel(ReadFile(disk_audio)), game.sound_ms);
  }
  if (watched) ExpectPictureWithSound(loops, Onsets(LeftChannel(ReadFile(disk_audio))));
}

// 40 strokes of the claves, one every 62.5 ms (12 ticks of 96 a quarter at 120 a minute).
void MakeBeat(const TempDir& game) {
  SmfTrack track;
  track.Tempo(0, 500000).Event(0, {0xC9, 0});
  for (int i = 0; i < 40; ++i) track.Event(i == 0 ? 0 : 6, {0x99, 75, 127}).Event(6, {0x89, 75, 0});
  game.Write("data/beat.mid", BuildSmf(96, {track.End()}));
  game.Write("data/TimGM6mb.sf2", ReadFile("/usr/share/sounds/sf2/TimGM6mb.sf2"));
}

// 400 ms that sounds for its first 100 ms, as MP3 and as a ripped CD track (the disc's only
// one): each time it starts again is heard.
const Tone kBurst{.hz = 660, .frames = 17640, .period = 17640, .burst = 4410};
void MakeMusic(const TempDir& game) {
  ASSERT_TRUE(EncodeAudio(game.Path("data/music.mp3"), kBurst));
}
void MakeTrack(const TempDir& game) {
  std::filesystem::create_directories(game.Path("data/cdaudio"));
  ASSERT_TRUE(WriteWav(game.Path("data/cdaudio/track01.wav"), kBurst));
}

// A movie of six colours in 600 ms whose sound, as long, begins with 80 ms of tone.
void MakeMovie(const TempDir& game) {
  ASSERT_TRUE(WriteMovie(game.Path("data/clip.avi"), 64, 48, 10, 6,
                         {kFirstFrame, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF},
                         Tone{.hz = 440, .frames = 26460, .period = 26460, .burst = 3528}));
}

// A picture with detail in every channel, for the transition and full screen.
void MakeGradient(const TempDir& game) {
  game.Write("data/grad.bmp", Bmp24(640, 480, [](int x, int y) {
               return static_cast<std::uint32_t>((x * 255 / 639) << 16 | (y * 255 / 479) << 8 |
                                                 ((x / 40 + y / 40) % 2) * 0xC0);
             }));
}

// Every NAME.steps file, with what its game needs written into the copy first.
std::vector<Game> Games() {
  const std::pair<const char*, void (*)(const TempDir&)> prepare[] = {
      {"transition", MakeGradient}, {"fullscreen", MakeGradient}, {"beat", MakeBeat},
      {"music", MakeMusic},         {"cdloop", MakeTrack},        {"movie", MakeMovie}};
  std::vector<Game> games;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(ADV_SOURCE_DIR "/tests/window")) {
    if (entry.path().extension() != ".steps") continue;
    Game game{entry.path().parent_path().filename(), entry.path().stem(), {}};
    std::istringstream in(ReadFile(entry.path()));
    for (std::string step; std::getline(in, step);) {
      if (step.starts_with("sound ")) game.sound_ms = std::stoi(step.substr(6));
      if (!step.empty() && step[0] != '#' && !step.starts_with("sound "))
        game.steps.push_back(step);
    }
    for (const auto& [name, function] : prepare) {
      if (game.name == name) game.prepare = function;
    }
    games.push_back(game);
  }
  std::ranges::sort(games, {}, &Game::name);
  return games;
}

class WindowGame : public testing::TestWithParam<Game> {};

TEST_P(WindowGame, ShowsAndSoundsAsHeadless) {
  Play(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Window, WindowGame, testing::ValuesIn(Games()),
                         [](const testing::TestParamInfo<Game>& i) { return i.param.name; });

}  // namespace
}  // namespace adv::test
