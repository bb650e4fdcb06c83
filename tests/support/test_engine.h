// An Engine over a HeadlessHost with a temporary scenario folder, for tests that drive the
// interpreter line by line.
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
  std::int32_t Int(const std::string& name) { return engine.script.vars.ints[name]; }
  std::string String(const std::string& name) { return engine.script.vars.strings[name]; }

  TempDir dir;
  HeadlessHost host;
  Engine engine;
  App app{engine};
};

}  // namespace adv::test
