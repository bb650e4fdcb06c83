#include "host/instance_guard.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <future>
#include <random>
#include <string>

#include "support/temp_dir.h"

namespace adv {
namespace {

std::string UniqueKey() {
  return "/games/" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}()) +
         ".ini";
}

std::string SocketIn(const std::string& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ".sock") return entry.path().string();
  }
  return {};
}

// A later instance: it sends its caption and is refused.
bool Later(const std::string& dir, const std::string& key, const std::string& caption = "T") {
  return InstanceGuard(dir).Acquire(key, caption);
}

TEST(InstanceGuardTest, SecondInstanceIsRefusedAndRaisesFirstOnlyWithSameCaption) {
  test::TempDir dir;
  const std::string key = UniqueKey();
  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(key, "Title"));
  EXPECT_FALSE(first.Poll());
  EXPECT_FALSE(Later(dir.path(), key, "Title"));
  EXPECT_TRUE(first.Poll());
  EXPECT_FALSE(first.Poll());  // the request is consumed
  // The first window's title changed since: a later instance no longer raises it.
  first.SetCaption("Chapter 2");
  EXPECT_FALSE(Later(dir.path(), key, "Title"));
  EXPECT_FALSE(first.Poll());
  EXPECT_TRUE(Later(dir.path(), UniqueKey()));  // a different key is a different game
}

TEST(InstanceGuardTest, ListeningThreadRaisesWhenAskedWithItsCaption) {
  test::TempDir dir;
  const std::string key = UniqueKey();
  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(key, "T"));
  std::promise<void> raised;
  first.Listen([&raised] { raised.set_value(); });
  EXPECT_FALSE(Later(dir.path(), key));
  EXPECT_EQ(raised.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  first.Release();  // stops the thread before the promise goes
}

// The lock goes with the guard, and the socket a crashed instance left behind is replaced.
TEST(InstanceGuardTest, LockIsFreedWithTheGuardOrItsProcess) {
  test::TempDir dir;
  const std::string key = UniqueKey();
  { ASSERT_TRUE(InstanceGuard(dir.path()).Acquire(key, "T")); }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceGuard crashed(dir.path());
    ::_exit(crashed.Acquire(key, "T") ? 0 : 1);  // no destructor: the socket file stays behind
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_FALSE(SocketIn(dir.path()).empty());
  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(key, "T"));
  EXPECT_FALSE(Later(dir.path(), key));
  EXPECT_TRUE(first.Poll());
}

TEST(InstanceGuardTest, CaptionArrivingInPiecesIsCollectedAcrossPolls) {
  test::TempDir dir;
  InstanceGuard first(dir.path());
  ASSERT_TRUE(first.Acquire(UniqueKey(), "Long caption"));
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
