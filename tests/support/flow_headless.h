// Runs of adv --headless on a copy of a scenario folder, and the NAME.expect files in scenario
// folders that say what a run must leave behind. An expect file is made of sections:
//   [vars]          the whole --vars file, a line each (an empty section: no variables)
//   [vars-match]    a regular expression the whole --vars file matches
//   [errors]        every script error line ("FILE:LINE: message"), in order (default: none)
//   [stderr]        parts of lines of stderr, in that order ("end at 800 ms")
//   [file NAME]     the whole file the game folder then holds, a line each
//   [until]         the --until time
//   [pixels]        "AT X Y RRGGBB": the screenshot at AT ms (or "end") has that script colour
//   [lines]         "MS C1 C2 ...": the white ink of message line i reaches Ci half-width cells
//   [ink]           "MS RRGGBB L T R B": the bounds of ink of that colour; instead of the
//                   bounds "-" (none), "+" (some), "cells L T R B" (text filling those cells)
//                   or "same MS2" (the same ink as at MS2, a time named elsewhere in the file);
//                   then "within L T R B" to look only there
//   [adv.ini]       the settings file's [Settings] lines
//   [write NAME]    a file to write into the game's copy first (adv.ini, input.txt, data/...)
//   [edit NAME]     "FROM => TO": the first FROM in the game's file NAME becomes TO
//   [game]          the game folder to play, from tests/scenarios (default: the file's own)
//   [args]          more arguments to adv, a line each; "{game}" starts a path in the copy
//   [shots]         more screenshots to take (ms), for checks in code
//   [check]         run adv --check on the copy instead: every line it writes on stderr
//   [status]        adv's exit status (default 0)
// A run takes NAME.txt of the folder as its input file, or else input.txt, when there is one; "#"
// starts a comment.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {

struct HeadlessRun {
  TempDir game, out;
  RunResult result;
  std::string vars;  // the --vars file

  // The --shot picture taken at `at` ("end" or milliseconds).
  Picture Shot(const std::string& at) const;
  // The script error lines on stderr ("FILE:LINE: message"), in order.
  std::vector<std::string> Errors() const;
};

// Copies the folder `from` into run.game (files already there stay) and runs adv --headless on
// it with args, --vars, its input.txt when it has one and args give no other, and --shot at
// each of `shots` and at the end; adv must exit with `status`.
void RunHeadless(HeadlessRun& run, const std::string& from, std::vector<std::string> args = {},
                 const std::vector<std::string>& shots = {}, int status = 0);

// One expect file, with what its game needs written into the copy first and any check the file
// cannot say.
struct ExpectCase {
  std::string file;  // relative to tests/scenarios
  void (*prepare)(const TempDir& game) = nullptr;
  void (*check)(const HeadlessRun& run) = nullptr;
};
// Every expect file under tests/scenarios whose path starts with one of `prefixes`; the
// prepare function for all, and checks by the start of the path.
std::vector<ExpectCase> ExpectFiles(
    const std::vector<std::string>& prefixes, void (*prepare)(const TempDir&) = nullptr,
    const std::vector<std::pair<std::string, void (*)(const HeadlessRun&)>>& checks = {});
void ExpectScenario(const ExpectCase& c);
inline void PrintTo(const ExpectCase& c, std::ostream* out) {
  *out << c.file;
}

// The test that runs expect files; each scenario source instantiates it with its own.
class ScenarioFolder : public testing::TestWithParam<ExpectCase> {};
std::string CaseName(const testing::TestParamInfo<ExpectCase>& info);

}  // namespace adv::test
