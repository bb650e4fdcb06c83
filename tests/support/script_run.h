// Runs scripts to their end in a TestEngine, for tests of jumps, subroutines, blocks and save
// files. A script line "@X" stands for `.let t = "[t]X"`: with `.str t` declared, t then spells
// out which marked lines ran, in order.
#pragma once

#include <string>
#include <string_view>

#include "support/test_engine.h"

namespace adv::test {

// Writes a traced script into the scenario folder (the file system's base).
void WriteScript(TestEngine& t, std::string_view name, std::string_view script);
// Declares the variables of config (written and run as the configuration script).
void RunConfigText(TestEngine& t, std::string_view config);
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
