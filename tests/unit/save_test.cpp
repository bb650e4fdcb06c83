#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "base/messages.h"
#include "support/script_run.h"

namespace adv {
namespace {

struct SaveCase {
  const char* config;
  const char* script;
  const char* file;
  const char* content;
};

const SaveCase kSaves[] = {
    {".int b a\n.str s\n", ".let a = -1\n.let b = 2\n.let s = \"x y\"\n.sav save1\n", "save1.txt",
     ".let a = -1\r\n.let b = 2\r\n.let s = \"x y\"\r\n"},
    {"", ".sav save1\n", "save1.txt", ""},
    {"", ".sav slot.dat\n", "slot.dat", ""},
};

TEST(SaveTest, WritesIntegersThenStringsInByteOrder) {
  for (const SaveCase& c : kSaves) {
    SCOPED_TRACE(c.script);
    test::TestEngine t;
    test::RunConfigText(t, c.config);
    ASSERT_TRUE(test::RunScript(t, c.script));
    EXPECT_EQ(t.dir.Read(c.file), c.content);
    test::ExpectOnlyError(t, {});
  }
}

TEST(SaveTest, ReplacesAReadOnlySave) {
  test::TestEngine t;
  test::RunConfigText(t, ".int a\n");
  t.WriteFile("save1.txt", "old");
  ::chmod(t.dir.Path("save1.txt").c_str(), 0444);
  ASSERT_TRUE(test::RunScript(t, ".sav save1\n"));
  EXPECT_EQ(t.dir.Read("save1.txt"), ".let a = 0\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(t.dir.Path("save1.txt").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  test::ExpectOnlyError(t, {});
}

TEST(SaveTest, FailedSavesAreReportedAndKeepTheOldFile) {
  test::TestEngine t;
  t.WriteFile("slot.txt/inside", "kept");
  // A folder of the save's name, a folder that does not exist.
  ASSERT_TRUE(test::RunScript(t, ".sav slot\n.sav nodir\\slot\n"));
  ASSERT_EQ(t.boxes().size(), 2u);
  for (const auto& box : t.boxes()) EXPECT_TRUE(box.ends_with("セーブできません"));
  EXPECT_EQ(t.dir.Read("slot.txt/inside"), "kept");

  // A write that fails part-way (here: past the file size limit, as a full disk would).
  test::TestEngine full;
  test::RunConfigText(full, ".str s\n");
  full.WriteFile("save1.txt", "old");
  full.OpenScript("start.txt", ".sav save1\n");
  rlimit old_limit{};
  ::getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = 4;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  Step(full.engine);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  test::ExpectOnlyError(full, {"start.txt", 1, kMsgSaveOpen});
  EXPECT_EQ(full.dir.Read("save1.txt"), "old");
  for (const auto& entry : std::filesystem::directory_iterator(full.dir.path())) {
    EXPECT_EQ(entry.path().filename().string().find("save1.txt."), std::string::npos);
  }
}

// Names resolve in the scenario folder game/data; only game/ may be reached.
TEST(SaveTest, NamesStayInsideTheGameFolder) {
  const std::string outside = ".let a = 9\r\n";
  test::TestEngine t;
  t.WriteFile("outside.txt", outside);
  t.WriteFile("game/save/.keep", "");
  t.WriteFile("game/data/.keep", "");
  t.engine.game_folder = t.dir.Path("game");
  t.engine.files.SetBase(t.dir.Path("game/data"));
  test::RunConfigText(t, ".int a\n");
  for (const std::string& name :
       {t.dir.Path("outside"), std::string("..\\..\\outside"),
        std::string("data\\..\\..\\..\\outside"), std::string("C:\\outside"),
        std::string("c:outside"), std::string("\\outside")}) {
    SCOPED_TRACE(name);
    const std::size_t boxes = t.boxes().size();
    ASSERT_TRUE(test::RunScript(
        t, ".sav \"" + name + "\"\n.lod \"" + name + "\"\n.lod \"" + name + "\" a\n"));
    ASSERT_EQ(t.boxes().size(), boxes + 1);  // only the save's report; loads are silent
    EXPECT_NE(t.boxes().back().find("セーブファイルが開けず、セーブできません"), std::string::npos);
    EXPECT_EQ(t.dir.Read("outside.txt"), outside);
    EXPECT_EQ(t.Int("a"), 0);
  }
  // The save folder beside the scenario folder is inside (the dots of ".." mean no extension).
  ASSERT_TRUE(test::RunScript(t,
                              ".let a = 4\n.sav ..\\save\\slot1\n.let a = 0\n"
                              ".lod ..\\save\\slot1 a\n"));
  EXPECT_EQ(t.dir.Read("game/save/slot1"), ".let a = 4\r\n");
  EXPECT_EQ(t.Int("a"), 4);
}

TEST(LoadTest, WholeFileRunsAsASubroutine) {
  test::TestEngine t;
  test::RunConfigText(t, ".int a\n.str s t\n");
  test::WriteScript(t, "save1.txt",
                    ".let a = 5\r\n.let s = \"[LastFile]/[LastLine]/[CurFile]\"\r\n");
  ASSERT_TRUE(test::RunScript(t, "@A\n.lod save1\n@B\n"));
  EXPECT_EQ(t.String("t"), "AB");
  EXPECT_EQ(t.Int("a"), 5);
  EXPECT_EQ(t.String("s"), "start.txt/2/save1.txt");
  EXPECT_TRUE(t.engine.flow.call_stack.empty());
  test::ExpectOnlyError(t, {});
}

struct LoadCase {
  const char* script;
  const char* values;  // a/ab/b afterwards
  test::ScriptError error;
};

const LoadCase kLoads[] = {
    {".lod save1 a\n.lod save1 b\n", "0/5/3", {}},  // the first line starting ".let a" is ab's
    {".lod nosuch\n.lod nosuch b\n", "0/0/0", {}},
    {".lod save1 zz\n", "0/0/0", {"start.txt", 1, kMsgLoadNoVariable}},
    {".lod folder\n.let b = 1\n", "0/0/1", {"start.txt", 1, kMsgLoadOpen}},
    {".lod folder a\n", "0/0/0", {"start.txt", 1, kMsgLoadOpen}},
    {".lod old\n", "1/0/3", {"old.txt", 2, kMsgAssignUndeclared}},  // an older configuration's
};

TEST(LoadTest, OneVariableOrReports) {
  for (const LoadCase& c : kLoads) {
    SCOPED_TRACE(c.script);
    test::TestEngine t;
    test::RunConfigText(t, ".int a ab b\n");
    t.WriteFile("save1.txt", ".let ab = 5\r\n.let a = 7\r\n.let b = 3\r\n");
    t.WriteFile("old.txt", ".let a = 1\r\n.let gone = 2\r\n.let b = 3\r\n");
    t.WriteFile("folder.txt/x", "");
    ASSERT_TRUE(test::RunScript(t, c.script));
    EXPECT_EQ(std::to_string(t.Int("a")) + "/" + std::to_string(t.Int("ab")) + "/" +
                  std::to_string(t.Int("b")),
              c.values);
    test::ExpectOnlyError(t, c.error);
  }
}

}  // namespace
}  // namespace adv
