#include "support/test_engine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "app/frame_loop.h"
#include "engine/commands/config_script.h"
#include "engine/interpreter.h"
#include "host/sjis_convert.h"

namespace adv::test {

TestEngine::TestEngine(HeadlessOptions options) : host(std::move(options)), engine(host) {
  engine.files.SetBase(dir.path());
  engine.files.SetRoot(dir.path());
}

void TestEngine::RunConfig(std::string_view config) {
  WriteFile("config.txt", config);
  EXPECT_TRUE(RunConfigScript(engine));
}

void TestEngine::Execute(std::string_view line) {
  WriteFile("exec.txt", std::string(line) + "\n");
  EXPECT_TRUE(engine.script.file.Open(engine.files, "exec.txt"));
  EnterState(engine, State::kReadLine);
  Step(engine);
}

void TestEngine::OpenScript(std::string_view name, std::string_view text) {
  WriteFile(name, text);
  EXPECT_TRUE(engine.script.file.Open(engine.files, name));
}

void TestEngine::Drain() {
  PumpMessages(app);
}

StartedEngine::StartedEngine() {
  EXPECT_TRUE(engine.surfaces.back.Create(640, 480) && engine.surfaces.spare.Create(640, 480));
  WriteFile("start.txt", "");
  EXPECT_TRUE(StartInterpreter(engine) && engine.message_layer.font() != nullptr)
      << "the engine did not start: are the IPA fonts installed?";
}

namespace {

// The script with its "@X" lines written out.
std::string Traced(std::string_view script) {
  static const std::regex kMark("^@(.)$", std::regex::ECMAScript | std::regex::multiline);
  return std::regex_replace(std::string(script), kMark, ".let t = \"[t]$1\"");
}

void WriteScript(TestEngine& t, std::string_view name, std::string_view script) {
  std::ofstream(t.engine.files.Base() + "/" + std::string(name), std::ios::binary)
      << Traced(script);
}

}  // namespace

bool RunScript(TestEngine& t, std::string_view start, int max_steps) {
  WriteScript(t, "start.txt", start);
  EXPECT_TRUE(t.engine.script.file.Open(t.engine.files, "start.txt"));
  EnterState(t.engine, State::kReadLine);
  for (int i = 0; i < max_steps; ++i) {
    if (t.engine.interp.state() == State::kEnd) return true;
    Step(t.engine);
  }
  return t.engine.interp.state() == State::kEnd;
}

void ExpectOnlyError(const TestEngine& t, const ScriptError& error) {
  if (error.file == nullptr) {
    EXPECT_TRUE(t.boxes().empty()) << t.boxes()[0];
    return;
  }
  ASSERT_EQ(t.boxes().size(), 1u);
  EXPECT_EQ(t.boxes()[0], "FILE : " + std::string(error.file) + "\nLINE : " +
                              std::to_string(error.line) + "\n\n" + SjisToUtf8(error.message));
}

}  // namespace adv::test
