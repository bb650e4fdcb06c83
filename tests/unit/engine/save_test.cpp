#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "base/messages.h"
#include "support/test_engine.h"

namespace adv {
namespace {

using std::string_literals::operator""s;

// The save is written whole beside the old one and then takes its place, so a read-only old
// save is replaced and a name with an extension keeps it.
TEST(SaveTest, ReplacesAReadOnlySave) {
  test::TestEngine t;
  t.RunConfig(".int a\n");
  t.WriteFile("slot.dat", "old");
  ::chmod(t.dir.Path("slot.dat").c_str(), 0444);
  ASSERT_TRUE(test::RunScript(t, ".let a = -1\n.sav slot.dat\n"));
  EXPECT_EQ(t.dir.Read("slot.dat"), ".let a = -1\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(t.dir.Path("slot.dat").c_str(), &st), 0);
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
  full.RunConfig(".str s\n");
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
  test::TestEngine t;
  t.WriteFile("outside.txt", ".let a = 9\r\n");
  t.WriteFile("game/save/.keep", "");
  t.WriteFile("game/data/.keep", "");
  t.RunConfig(".int a\n");
  t.engine.files.SetRoot(t.dir.Path("game"));
  t.engine.files.SetBase(t.dir.Path("game/data"));
  for (const std::string& name :
       {t.dir.Path("outside"), "..\\..\\outside"s, "data\\..\\..\\..\\outside"s, "C:\\outside"s,
        "c:outside"s, "\\outside"s}) {
    SCOPED_TRACE(name);
    const std::size_t boxes = t.boxes().size();
    ASSERT_TRUE(test::RunScript(
        t, ".sav \"" + name + "\"\n.lod \"" + name + "\"\n.lod \"" + name + "\" a\n"));
    ASSERT_EQ(t.boxes().size(), boxes + 1);  // only the save's report; loads are silent
    EXPECT_NE(t.boxes().back().find("セーブファイルが開けず、セーブできません"), std::string::npos);
    EXPECT_EQ(t.dir.Read("outside.txt"), ".let a = 9\r\n");
    EXPECT_EQ(t.Int("a"), 0);
  }
  // The save folder beside the scenario folder is inside (the dots of ".." mean no extension).
  ASSERT_TRUE(
      test::RunScript(t, ".let a = 4\n.sav ..\\save\\slot1\n.let a = 0\n.lod ..\\save\\slot1 a\n"));
  EXPECT_EQ(t.dir.Read("game/save/slot1"), ".let a = 4\r\n");
  EXPECT_EQ(t.Int("a"), 4);
}

// A scenario folder linked to another disk saves like any other, and a save removes what an
// interrupted save of its name left behind, and nothing else.
TEST(SaveTest, LinkedFoldersSaveAndLeftoversGo) {
  test::TestEngine t;
  t.WriteFile("disk/save1.txt.Ab12Cd", "litter");
  t.WriteFile("disk/save1.txt.keep", "kept");
  t.WriteFile("disk/save2.txt.Ab12Cd", "other");
  t.WriteFile("game/.keep", "");
  t.WriteFile("home/.keep", "");
  ASSERT_EQ(::symlink(t.dir.Path("disk").c_str(), t.dir.Path("game/data").c_str()), 0);
  ASSERT_EQ(::symlink(t.dir.Path("home").c_str(), t.dir.Path("disk/home").c_str()), 0);
  t.RunConfig(".int a\n");
  t.engine.files.SetRoot(t.dir.Path("game"));
  t.engine.files.SetBase(t.dir.Path("game/data"));
  ASSERT_TRUE(test::RunScript(t, ".let a = 3\n.sav save1\n"));
  test::ExpectOnlyError(t, {});
  EXPECT_EQ(t.dir.Read("disk/save1.txt"), ".let a = 3\r\n");
  // A link the game ships is read through, but no save goes where it leads.
  ASSERT_TRUE(test::RunScript(t, ".sav home\\.bashrc\n"));
  test::ExpectOnlyError(t, {"start.txt", 1, kMsgSaveOpen});
  EXPECT_FALSE(t.dir.Exists("home/.bashrc"));
  EXPECT_FALSE(t.dir.Exists("disk/save1.txt.Ab12Cd"));
  EXPECT_TRUE(t.dir.Exists("disk/save1.txt.keep"));
  EXPECT_TRUE(t.dir.Exists("disk/save2.txt.Ab12Cd"));
}

}  // namespace
}  // namespace adv
