// An Engine over a HeadlessHost with a temporary scenario folder, for tests that drive the
// interpreter line by line, and scripts run to their end in one. A script line "@X" stands for
// `.let t = "[t]X"`: with `.str t` declared, t then spells out which marked lines ran, in order.
#pragma once

#include <string>
#include <string_view>

#include "app/app.h"
#include "engine/engine.h"
#include "host/headless/headless_host.h"
#include "support/temp_dir.h"

namespace adv::test {

class TestEngine {
 public:
  explicit TestEngine(HeadlessOptions options = {});

  // Writes a file into the scenario folder.
  void WriteFile(std::string_view name, std::string_view bytes) { dir.Write(name, bytes); }
  // Runs the configuration script from text.
  void RunConfig(std::string_view config);
  // Executes one command or text line as the line-reading state would (dispatch included).
  void Execute(std::string_view line);
  // Opens name as the current script (so errors name it and its line).
  void OpenScript(std::string_view name, std::string_view text);
  // Sets the current line for a reader to consume.
  void SetLine(std::string_view line) { engine.script.line.Set(line); }
  // Serves the events the host has queued, as the frame loop would.
  void Drain();
  // The message boxes shown so far.
  const std::vector<std::string>& boxes() const { return host.message_boxes(); }
  std::int32_t Int(const std::string& name) { return engine.script.vars.ints.at(name); }
  std::string String(const std::string& name) { return engine.script.vars.strings.at(name); }

  TempDir dir;
  HeadlessHost host;
  Engine engine;
  App app{engine};
};

// A TestEngine started as a run starts it: back and spare buffers, the base surface, both text
// layers with their defaults, and an empty start script open, so text and wait code can be
// driven step by step. A start-up that fails (no fonts found) fails the test.
class StartedEngine : public TestEngine {
 public:
  StartedEngine();
};

// Writes and opens start.txt, then steps the interpreter until the script ends; false when it
// still runs after max_steps.
bool RunScript(TestEngine& t, std::string_view start, int max_steps = 1000);

// A script error a test expects: where it is reported and its Shift-JIS message.
struct ScriptError {
  const char* file = nullptr;  // no error
  int line = 0;
  std::string_view message;
};
// Expects the boxes shown so far to be exactly that error's, or none.
void ExpectOnlyError(const TestEngine& t, const ScriptError& error);

}  // namespace adv::test
