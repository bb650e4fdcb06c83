#include "support/flow_headless.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <stdlib.h>

#include "support/ink.h"

namespace adv::test {

namespace fs = std::filesystem;

Picture HeadlessRun::Shot(const std::string& at) const {
  Picture p;
  EXPECT_TRUE(ReadPng(out.Path(at + ".png"), p)) << at;
  return p;
}

std::vector<std::string> HeadlessRun::Errors() const {
  static const std::regex kError("^[^ /]+:[0-9]+: .*");  // a path is adv's own report
  std::vector<std::string> errors;
  for (const std::string& l : result.ErrLines()) {
    if (std::regex_match(l, kError)) errors.push_back(l);
  }
  return errors;
}

void RunHeadless(HeadlessRun& run, const std::string& from, std::vector<std::string> args,
                 const std::vector<std::string>& shots, int status) {
  fs::copy(from, run.game.path(), fs::copy_options::recursive | fs::copy_options::skip_existing);
  for (const std::string& at : shots) {
    args.insert(args.end(), {"--shot", at + ":" + run.out.Path(at + ".png")});
  }
  if (run.game.Exists("input.txt") && std::ranges::find(args, "--input") == args.end()) {
    args.insert(args.end(), {"--input", run.game.Path("input.txt")});
  }
  args.insert(args.end(), {"--headless", "--vars", run.out.Path("vars.txt"), "--shot",
                           "end:" + run.out.Path("end.png"), run.game.path()});
  run.result = RunAdv(args);
  EXPECT_EQ(run.result.status, status) << run.result.err;
  run.vars = run.out.Read("vars.txt");
}

namespace {

// Where ink of one script colour (0xRRGGBB) lies in a screenshot, inside `within`.
struct ShotInk {
  Rect bounds;  // empty when there is none
  int count = 0;
};
ShotInk FindInk(const Picture& shot, std::uint32_t rrggbb, const Rect& within) {
  const Rect area = IntersectRect(within, Rect{0, 0, shot.width, shot.height});
  ShotInk ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (shot.At(x, y) != ShotColour(rrggbb)) continue;
      ink.bounds = UnionRect(ink.bounds, Rect{x, y, x + 1, y + 1});
      ++ink.count;
    }
  }
  return ink;
}

using Sections = std::map<std::string, std::vector<std::string>>;

Sections ReadSections(const std::string& path) {
  std::ifstream in(path);
  Sections sections;
  std::vector<std::string>* now = nullptr;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      now = &sections[line.substr(1, line.size() - 2)];
    } else if (now != nullptr) {
      now->push_back(line);
    }
  }
  return sections;
}

std::string Joined(const std::vector<std::string>& lines, const char* end) {
  std::string all;
  for (const std::string& l : lines) all += l + end;
  return all;
}

// How many 16-pixel cells from the left edge the ink reaches: the half-width characters of a
// line, however each glyph sits in its cell.
int Cells(const Rect& ink) {
  if (ink.Empty()) return 0;
  EXPECT_LT(ink.left, 16) << "the line does not start at the left edge";
  return (ink.right + 15) / 16;
}

// The ink lies in the character cells `cells` and reaches into the first and the last of them;
// a half-width cell is half as wide as the line is high.
void ExpectFills(const Rect& ink, const Rect& cells) {
  const int cell = (cells.bottom - cells.top) / 2;
  EXPECT_FALSE(ink.Empty()) << "no ink";
  EXPECT_EQ(IntersectRect(ink, cells), ink) << "ink outside the cells";
  EXPECT_LT(ink.left, cells.left + cell);
  EXPECT_GT(ink.right, cells.right - cell);
}

void ExpectCheck(const std::string& game, Sections& s) {
  const RunResult r = RunAdv({"--check", game});
  EXPECT_EQ(r.ErrLines(), s["check"]) << r.err;
  EXPECT_EQ(r.status, s["status"].empty() ? 0 : std::stoi(s["status"][0]));
  EXPECT_EQ(r.out, "");
}

}  // namespace

std::vector<ExpectCase> ExpectFiles(
    const std::vector<std::string>& prefixes, void (*prepare)(const TempDir&),
    const std::vector<std::pair<std::string, void (*)(const HeadlessRun&)>>& checks) {
  const fs::path root = ADV_SOURCE_DIR "/tests/scenarios";
  std::vector<ExpectCase> cases;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string file = entry.path().lexically_relative(root).string();
    if (entry.path().extension() != ".expect" ||
        std::ranges::none_of(prefixes, [&](auto& p) { return file.starts_with(p); })) {
      continue;
    }
    ExpectCase c{file, prepare};
    for (const auto& [folder, check] : checks) {
      if (file.starts_with(folder)) c.check = check;
    }
    cases.push_back(c);
  }
  std::ranges::sort(cases, {}, &ExpectCase::file);
  EXPECT_FALSE(cases.empty());
  return cases;
}

std::string CaseName(const testing::TestParamInfo<ExpectCase>& info) {
  std::string name = fs::path(info.param.file).replace_extension().string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

void ExpectScenario(const ExpectCase& c) {
  SCOPED_TRACE(c.file);
  const fs::path expect = ScenarioDir(c.file);
  Sections s = ReadSections(expect.string());
  const std::string folder =
      s.contains("game") ? ScenarioDir(s["game"][0]) : expect.parent_path().string();
  HeadlessRun run;
  if (c.prepare != nullptr) c.prepare(run.game);
  for (const auto& [name, lines] : s) {
    if (name.starts_with("write ")) run.game.Write(name.substr(6), Joined(lines, "\n"));
    if (!name.starts_with("edit ")) continue;
    std::string text = ReadFile(folder + "/" + name.substr(5));
    for (const std::string& edit : lines) {
      const std::size_t arrow = edit.find(" => "), at = text.find(edit.substr(0, arrow));
      ASSERT_NE(at, std::string::npos) << edit;
      text.replace(at, arrow, edit.substr(arrow + 4));
    }
    run.game.Write(name.substr(5), text);
  }
  if (s.contains("check")) {
    fs::copy(folder, run.game.path(),
             fs::copy_options::recursive | fs::copy_options::skip_existing);
    return ExpectCheck(run.game.path(), s);
  }
  if (s.contains("adv.ini")) run.game.Write("adv.ini", "[Settings]\n" + Joined(s["adv.ini"], "\n"));
  // The player's own folders: screenshots land in the run's, and nothing else may.
  ::setenv("XDG_PICTURES_DIR", run.out.Path("pictures").c_str(), 1);
  ::setenv("XDG_DATA_HOME", run.out.Path("data").c_str(), 1);
  std::vector<std::string> args, shots;
  if (const fs::path input = fs::path(expect).replace_extension(".txt"); fs::exists(input)) {
    args = {"--input", input.string()};
  }
  for (std::string arg : s["args"]) {
    if (arg.starts_with("{game}")) arg.replace(0, 6, run.game.path());
    args.push_back(arg);
  }
  if (s.contains("until")) args.insert(args.end(), {"--until", s["until"].at(0)});
  for (const char* section : {"pixels", "lines", "ink", "shots"}) {
    for (const std::string& line : s[section]) {
      const std::string at = line.substr(0, line.find(' '));
      if (at != "end" && std::ranges::find(shots, at) == shots.end()) shots.push_back(at);
    }
  }
  RunHeadless(run, folder, args, shots, s["status"].empty() ? 0 : std::stoi(s["status"][0]));
  if (s.contains("vars")) {
    EXPECT_EQ(run.vars, Joined(s["vars"], "\r\n"));
  }
  for (const std::string& pattern : s["vars-match"]) {
    EXPECT_TRUE(std::regex_match(run.vars, std::regex(pattern))) << run.vars;
  }
  EXPECT_EQ(run.Errors(), s["errors"]) << run.result.err;
  const std::vector<std::string> err = run.result.ErrLines();
  auto from = err.begin();
  for (const std::string& part : s["stderr"]) {
    from = std::ranges::find_if(from, err.end(), [&](auto& l) { return l.find(part) != l.npos; });
    ASSERT_NE(from, err.end()) << "no \"" << part << "\" in order on stderr:\n" << run.result.err;
    ++from;
  }
  std::map<std::string, Picture> pictures;
  for (const std::string section : {"pixels", "lines", "ink"}) {
    for (const std::string& line : s[section]) {
      SCOPED_TRACE(line);
      std::istringstream in(line);
      std::string at;
      in >> at;
      if (!pictures.contains(at)) pictures[at] = run.Shot(at);
      const Picture& shot = pictures[at];
      int x = 0, y = 0, cells = 0, number = 1;
      std::uint32_t colour = 0;
      Rect r;
      if (section == "pixels" && in >> x >> y >> std::hex >> colour) {
        ASSERT_TRUE(x < shot.width && y < shot.height) << shot.width << " x " << shot.height;
        EXPECT_EQ(shot.At(x, y), ShotColour(colour));
      }
      for (; section == "lines" && in >> cells; ++number) {
        EXPECT_EQ(
            Cells(FindInk(shot, 0xFFFFFF, Rect{0, (number - 1) * 32, 640, number * 32}).bounds),
            cells)
            << "line " << number;
      }
      std::string form, word;
      if (section == "ink" && in >> std::hex >> colour >> std::dec >> form) {
        if (form == "cells" || form == "same") in >> r.left;
        const std::string then = std::to_string(r.left);
        if (form == "same" && !pictures.contains(then)) pictures[then] = run.Shot(then);
        if (form != "-" && form != "+" && form != "same") {
          if (form != "cells") r.left = std::stoi(form);
          in >> r.top >> r.right >> r.bottom;
        }
        Rect within{0, 0, 640, 480};
        if (in >> word && word == "within") {
          in >> within.left >> within.top >> within.right >> within.bottom;
        }
        const ShotInk ink = FindInk(shot, colour, within);
        if (form == "+") {
          EXPECT_FALSE(ink.bounds.Empty());
        } else if (form == "same") {
          EXPECT_EQ(ink.count, FindInk(pictures[then], colour, within).count);
          EXPECT_EQ(ink.bounds, FindInk(pictures[then], colour, within).bounds);
        } else if (form == "cells") {
          ExpectFills(ink.bounds, r);
        } else {
          EXPECT_EQ(ink.bounds, r);
        }
      }
    }
  }
  for (const auto& [name, lines] : s) {
    if (name.starts_with("file ")) {
      EXPECT_EQ(run.game.Read(name.substr(5)), Joined(lines, "\r\n")) << name;
    }
  }
  EXPECT_FALSE(run.out.Exists("data")) << "the run wrote into the player's data folder";
  if (c.check != nullptr) c.check(run);
}

}  // namespace adv::test
