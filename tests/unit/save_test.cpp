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

// A game folder holding the scenario folder data/ and a folder save/ beside it, and a file
// outside the game folder that no save or load may reach.
class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.WriteFile("outside.txt", kOutside);
    t.WriteFile("game/save/.keep", "");
    t.WriteFile("game/data/.keep", "");
    t.engine.game_folder = t.dir.Path("game");
    t.engine.files.SetBase(t.dir.Path("game/data"));
  }
  std::string Data(const std::string& name) { return t.dir.Read("game/data/" + name); }

  static constexpr const char* kOutside = ".let a = 9\r\n";
  test::TestEngine t;
};

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
    // Byte order: capitals before small letters, two-byte names last.
    {".int a B \x82\xA0\n.str z A\n", ".let B = -2147483648\n.let z = \"q\"\n.sav slot.dat\n",
     "slot.dat",
     ".let B = -2147483648\r\n.let a = 0\r\n.let \x82\xA0 = 0\r\n.let A = \"\"\r\n"
     ".let z = \"q\"\r\n"},
};

TEST(SaveFileTest, WritesIntegersThenStringsInByteOrder) {
  for (const SaveCase& c : kSaves) {
    SCOPED_TRACE(c.script);
    test::TestEngine fresh;
    test::RunConfigText(fresh, c.config);
    ASSERT_TRUE(test::RunScript(fresh, c.script));
    EXPECT_EQ(fresh.dir.Read(c.file), c.content);
    test::ExpectOnlyError(fresh, {});
  }
}

TEST_F(SaveTest, ReplacesAReadOnlySave) {
  test::RunConfigText(t, ".int a\n");
  t.WriteFile("game/data/save1.txt", "old");
  ::chmod(t.dir.Path("game/data/save1.txt").c_str(), 0444);
  ASSERT_TRUE(test::RunScript(t, ".sav save1\n"));
  EXPECT_EQ(Data("save1.txt"), ".let a = 0\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(t.dir.Path("game/data/save1.txt").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  test::ExpectOnlyError(t, {});
}

TEST_F(SaveTest, FailedSavesAreReportedAndKeepTheOldFile) {
  t.WriteFile("game/data/slot.txt/inside", "kept");
  ASSERT_TRUE(test::RunScript(t, ".sav slot\n"));  // a folder of that name
  test::ExpectOnlyError(t, {"start.txt", 1, kMsgSaveOpen});
  EXPECT_EQ(Data("slot.txt/inside"), "kept");

  test::TestEngine missing;
  ASSERT_TRUE(test::RunScript(missing, ".sav nodir\\slot\n"));
  test::ExpectOnlyError(missing, {"start.txt", 1, kMsgSaveOpen});

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

TEST_F(SaveTest, NamesStayInsideTheGameFolder) {
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
    EXPECT_EQ(t.dir.Read("outside.txt"), kOutside);
    EXPECT_EQ(t.Int("a"), 0);
  }
  // The save folder beside the scenario folder is inside (the dots of ".." mean no extension).
  ASSERT_TRUE(test::RunScript(t,
                              ".let a = 4\n.sav ..\\save\\slot1\n.let a = 0\n"
                              ".lod ..\\save\\slot1 a\n"));
  EXPECT_EQ(t.dir.Read("game/save/slot1"), ".let a = 4\r\n");
  EXPECT_EQ(t.Int("a"), 4);
}

TEST_F(SaveTest, WholeLoadRunsAsASubroutine) {
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
  const char* name;
  const char* script;
  int a, ab, b;
  test::ScriptError error;
};

const LoadCase kLoads[] = {
    {"one variable by its line's prefix", ".lod save1 a\n.lod save1 b\n", 0, 5, 3, {}},
    {"missing files are silent", ".lod nosuch\n.lod nosuch b\n", 0, 0, 0, {}},
    {"a variable the file lacks", ".lod save1 zz\n", 0, 0, 0, {"start.txt", 1, kMsgLoadNoVariable}},
    {"a file that cannot be opened",
     ".lod folder\n.let b = 1\n",
     0,
     0,
     1,
     {"start.txt", 1, kMsgLoadOpen}},
    {"a variable from a file that cannot be opened",
     ".lod folder a\n",
     0,
     0,
     0,
     {"start.txt", 1, kMsgLoadOpen}},
    {"a save of an older configuration",
     ".lod old\n",
     1,
     0,
     3,
     {"old.txt", 2, kMsgAssignUndeclared}},
};

TEST_F(SaveTest, LoadsOneVariableOrReports) {
  for (const LoadCase& c : kLoads) {
    SCOPED_TRACE(c.name);
    test::TestEngine e;
    test::RunConfigText(e, ".int a ab b\n");
    e.WriteFile("save1.txt", ".let ab = 5\r\n.let a = 7\r\n.let b = 3\r\n");
    e.WriteFile("old.txt", ".let a = 1\r\n.let gone = 2\r\n.let b = 3\r\n");
    e.WriteFile("folder.txt/x", "");
    ASSERT_TRUE(test::RunScript(e, c.script));
    EXPECT_EQ(e.Int("a"), c.a);
    EXPECT_EQ(e.Int("ab"), c.ab);
    EXPECT_EQ(e.Int("b"), c.b);
    test::ExpectOnlyError(e, c.error);
  }
}

}  // namespace
}  // namespace adv
