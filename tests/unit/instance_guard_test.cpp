#include "host/instance_guard.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <random>
#include <string>

#include "support/temp_dir.h"

namespace adv {
namespace {

std::string UniqueKey(const std::string& name) {
  return "/games/" + name + "-" + std::to_string(::getpid()) + "-" +
         std::to_string(std::random_device{}()) + ".ini";
}

std::string SocketIn(const std::string& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ".sock") return entry.path().string();
  }
  return {};
}

TEST(InstanceGuardTest, SecondInstanceIsRefusedAndRaisesFirstOnlyWithSameCaption) {
  test::TempDir dir;
  const std::string key = UniqueKey("a");
  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(key, "Title"));
  EXPECT_TRUE(first.Held());
  EXPECT_FALSE(first.Poll());

  InstanceGuard second(dir.path());
  EXPECT_FALSE(second.Acquire(key, "Title"));
  EXPECT_FALSE(second.Held());
  EXPECT_TRUE(first.Poll());
  EXPECT_FALSE(first.Poll());  // the request is consumed

  // The first window's title changed since: a later instance no longer raises it.
  first.SetCaption("Chapter 2");
  InstanceGuard third(dir.path());
  EXPECT_FALSE(third.Acquire(key, "Title"));
  EXPECT_FALSE(first.Poll());

  // A different key is a different game.
  InstanceGuard other(dir.path());
  EXPECT_TRUE(other.Acquire(UniqueKey("b"), "Title"));
}

TEST(InstanceGuardTest, ListeningThreadRaisesWhenAskedWithItsCaption) {
  test::TempDir dir;
  const std::string key = UniqueKey("g");
  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(key, "Title"));
  std::promise<void> raised;
  first.Listen([&raised] { raised.set_value(); });
  InstanceGuard second(dir.path());
  EXPECT_FALSE(second.Acquire(key, "Title"));
  EXPECT_EQ(raised.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  first.Release();  // stops the thread before the promise goes
}

TEST(InstanceGuardTest, LockIsFreedWithTheGuard) {
  test::TempDir dir;
  const std::string key = UniqueKey("c");
  {
    InstanceGuard first(dir.path());
    ASSERT_TRUE(first.Acquire(key, "T"));
  }
  InstanceGuard next(dir.path());
  ASSERT_TRUE(next.Acquire(key, "T"));
  InstanceGuard later(dir.path());
  EXPECT_FALSE(later.Acquire(key, "T"));
  EXPECT_TRUE(next.Poll());
}

TEST(InstanceGuardTest, DefaultFolderIsTheRuntimeFolder) {
  test::TempDir dir;
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string restore = saved != nullptr ? saved : "";
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  const std::string key = UniqueKey("d");
  {
    InstanceGuard first;
    EXPECT_TRUE(first.Acquire(key, "x"));
    EXPECT_FALSE(SocketIn(dir.path()).empty());
    InstanceGuard second;
    EXPECT_FALSE(second.Acquire(key, "x"));
    EXPECT_TRUE(first.Poll());
  }
  if (saved != nullptr) {
    ::setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
  } else {
    ::unsetenv("XDG_RUNTIME_DIR");
  }
}

TEST(InstanceGuardTest, StaleSocketOfCrashedInstanceIsReplaced) {
  test::TempDir dir;
  const std::string key = UniqueKey("e");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceGuard crashed(dir.path());
    const bool ok = crashed.Acquire(key, "T");
    ::_exit(ok ? 0 : 1);  // no destructor: the socket file stays behind
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_FALSE(SocketIn(dir.path()).empty());

  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(key, "T"));
  InstanceGuard second(dir.path());
  EXPECT_FALSE(second.Acquire(key, "T"));
  EXPECT_TRUE(first.Poll());
}

TEST(InstanceGuardTest, CaptionArrivingInPiecesIsCollectedAcrossPolls) {
  test::TempDir dir;
  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(UniqueKey("f"), "Long caption"));
  const std::string path = SocketIn(dir.path());
  ASSERT_FALSE(path.empty());

  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  EXPECT_FALSE(first.Poll());
  ASSERT_EQ(::write(fd, "Long ", 5), 5);
  EXPECT_FALSE(first.Poll());
  ASSERT_EQ(::write(fd, "caption", 7), 7);
  EXPECT_FALSE(first.Poll());  // not finished until the sender closes
  ::close(fd);
  EXPECT_TRUE(first.Poll());
}

}  // namespace
}  // namespace adv
