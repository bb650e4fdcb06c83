#include "support/test_engine.h"

#include <gtest/gtest.h>

#include "app/frame_loop.h"
#include "engine/commands/config_script.h"
#include "engine/interpreter.h"

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

}  // namespace adv::test
