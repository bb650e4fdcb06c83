// One running instance per game: a lock file held for the life of the guard, and a Unix-domain
// socket on which the first instance hears from later ones. A later instance sends the caption it
// would show and exits; the first raises its window when that caption equals its own title.
// The first instance listens on a thread blocked in poll(), so the game's own loop is never woken
// for it.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace adv {

class InstanceGuard {
 public:
  // dir: where the lock and the socket live; empty means $XDG_RUNTIME_DIR, or /tmp without it.
  explicit InstanceGuard(std::string dir = {});
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // True when this is the only instance for key (then it listens for later ones). Otherwise
  // sends caption to the running instance and returns false. When no lock can be made at all the
  // guard cannot work and lets the game run (true).
  [[nodiscard]] bool Acquire(const std::string& key, const std::string& caption);
  // The title of this instance's window, which a later instance's caption is compared with.
  void SetCaption(const std::string& caption);
  // Waits up to timeout_ms (-1: until something happens) for later instances and reads what
  // they sent; true when one of them asked with this instance's caption, so the window should
  // come to the front.
  bool Poll(int timeout_ms = 0);
  // From now on a thread of the guard's own waits for later instances and calls on_raise (on
  // that thread) for each that asks with this instance's caption; nobody else is woken.
  void Listen(std::function<void()> on_raise);
  // Gives up the lock and the socket (also done by the destructor).
  void Release();

  bool Held() const { return lock_fd_ >= 0; }

 private:
  struct Pending {
    int fd = -1;
    std::chrono::steady_clock::time_point since;
    std::string bytes;
  };
  void Accept();
  // Reads what a later instance sent; true once it is done (closed, failed or too long).
  static bool ReadPending(Pending& pending, bool& complete);
  bool SameCaption(const std::string& caption);

  std::string dir_;
  std::mutex caption_mutex_;
  std::string caption_;
  std::string socket_path_;
  int lock_fd_ = -1;
  int listen_fd_ = -1;
  int wake_fds_[2] = {-1, -1};  // written to stop the listening thread
  std::vector<Pending> pending_;
  std::thread listener_;
};

}  // namespace adv
