// Scripts and settings files of arbitrary bytes run to their end with script errors at most.
#include <gtest/gtest.h>

#include <random>

#include "app/display_mode.h"
#include "app/frame_loop.h"
#include "app/startup.h"
#include "engine/commands/config_script.h"
#include "support/test_engine.h"

namespace adv {
namespace {

// Runs settings, config and start through start-up and up to max_steps interpreter steps;
// returns whether the run ended cleanly: the script reached its end, or it waits for a click
// that nobody gives.
bool RunGameText(const std::string& ini, const std::string& config, const std::string& start,
                 int max_steps = 100000) {
  HeadlessOptions options;
  options.quiet = true;
  test::TestEngine t(options);
  t.WriteFile("adv.ini", ini);
  t.WriteFile("config.txt", config);
  t.WriteFile("start.txt", start);
  ApplySettings(t.app, {t.dir.Path("adv.ini"), t.dir.path()}, std::nullopt);
  t.engine.files.SetBase(t.dir.path());
  t.engine.script.extension = ".txt";
  (void)RunConfigScript(t.engine);  // a broken config script is part of what is run through
  EXPECT_TRUE(t.engine.surfaces.back.Create(640, 480));
  EXPECT_TRUE(t.engine.surfaces.spare.Create(640, 480));
  EXPECT_TRUE(CreateMainWindow(t.app));
  EXPECT_TRUE(StartInterpreter(t.engine));
  for (int i = 0; i < max_steps && !t.app.quit; ++i) {
    Step(t.engine);
    PumpMessages(t.app);
  }
  const State state = t.engine.interp.state();
  return t.app.quit || IsClickWait(state) || state == State::kChoices;
}

TEST(RobustnessTest, NulBytesLoneLeadBytesAndHugeLines) {
  std::string huge(2 << 20, 'x');
  // Text is shown a character a step, so a text line is long rather than huge.
  std::string long_text(30000, 'x');
  std::string nasty = std::string(".let a\0 = 5\n", 12) + ".let a = [\x82\n" + ".wat \x81" +
                      "\n.int\n" + "[[[[[[]]]]]]]]][[[\n" + ".let " + huge + " = 1\n" + "." + huge +
                      "\n" + long_text + "[a]\n" + ".pic " + huge + "\n" + ".cap \"" + huge + "\n" +
                      ".cur " + huge + "\n" + "\x1A\x1A\x1A\r\r\r\t\t";
  EXPECT_TRUE(RunGameText("[Settings]\nStyle=\x82\n" + huge + "\n", ".int a\n" + nasty, nasty));
}

TEST(RobustnessTest, RandomBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::string parts[3];
    for (auto& part : parts) {
      std::size_t size = random() % 3000;
      for (std::size_t i = 0; i < size; ++i) {
        // Mostly script-like bytes, so commands and brackets are common.
        static const char kAlphabet[] = ".[]^#\"\t \n\r:0123456789letwatpicsprscreenoff\x82\xFF";
        part.push_back(random() % 4 == 0 ? static_cast<char>(random())
                                         : kAlphabet[random() % (sizeof(kAlphabet) - 1)]);
      }
    }
    EXPECT_TRUE(RunGameText(parts[0], parts[1], parts[2])) << "round " << round;
  }
}

}  // namespace
}  // namespace adv
