#include "support/test_engine.h"

#include "script/config_script.h"
#include "script/interpreter.h"

namespace adv::test {

TestEngine::TestEngine(HeadlessOptions options) : host(std::move(options)), engine(host) {
  engine.files.SetBase(dir.path());
}

void TestEngine::RunConfig(std::string_view config) {
  WriteFile("config.txt", config);
  RunConfigScript(engine);
}

void TestEngine::Execute(std::string_view line) {
  WriteFile("exec.txt", std::string(line) + "\n");
  engine.script.Open(engine.files, "exec.txt");
  engine.interp.state = kStateIdle;
  Step(engine);
}

void TestEngine::OpenScript(std::string_view name, std::string_view text) {
  WriteFile(name, text);
  engine.script.Open(engine.files, name);
}

}  // namespace adv::test
