// One running instance per game: a lock file held for the life of the guard, and a Unix-domain
// socket on which the first instance hears from later ones. A later instance sends the caption it
// would show and exits; the first raises its window when that caption equals its own title.
#pragma once

#include <string>
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
  bool Acquire(const std::string& key, const std::string& caption);
  // The title of this instance's window, which a later instance's caption is compared with.
  void SetCaption(const std::string& caption) { caption_ = caption; }
  // Reads what later instances sent without blocking; true when one of them asked with this
  // instance's caption, so the window should come to the front.
  bool Poll();
  // Gives up the lock and the socket (also done by the destructor).
  void Release();

  bool Held() const { return lock_fd_ >= 0; }

 private:
  struct Pending {
    int fd = -1;
    int polls = 0;
    std::string bytes;
  };

  std::string dir_;
  std::string caption_;
  std::string socket_path_;
  int lock_fd_ = -1;
  int listen_fd_ = -1;
  std::vector<Pending> pending_;
};

}  // namespace adv
