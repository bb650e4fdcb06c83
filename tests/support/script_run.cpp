#include "support/script_run.h"

#include <fstream>
#include <regex>

#include <gtest/gtest.h>

#include "engine/commands/config_script.h"
#include "engine/interpreter.h"
#include "host/sjis_convert.h"

namespace adv::test {

namespace {

// The script with its "@X" lines written out.
std::string Traced(std::string_view script) {
  static const std::regex kMark("^@(.)$", std::regex::ECMAScript | std::regex::multiline);
  return std::regex_replace(std::string(script), kMark, ".let t = \"[t]$1\"");
}

}  // namespace

void WriteScript(TestEngine& t, std::string_view name, std::string_view script) {
  std::ofstream(t.engine.files.Base() + "/" + std::string(name), std::ios::binary)
      << Traced(script);
}

void RunConfigText(TestEngine& t, std::string_view config) {
  WriteScript(t, "config.txt", config);
  EXPECT_TRUE(RunConfigScript(t.engine));
}

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
