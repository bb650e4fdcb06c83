#include "host/instance_guard.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace adv {
namespace {

// A caption is a window title; anything longer is not one of ours.
constexpr std::size_t kMaxCaption = 4096;
constexpr std::size_t kMaxPending = 8;
// A later instance writes its caption right after connecting; one that stays silent this many
// polls is dropped so that it cannot hold a slot.
constexpr int kMaxPolls = 1000;

std::uint64_t HashKey(const std::string& key) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : key) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

std::string DefaultDir() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st;
  if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
    return runtime;
  }
  return "/tmp";
}

bool MakeAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof(address));
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

void SendCaption(const std::string& socket_path, const std::string& caption) {
  sockaddr_un address;
  if (!MakeAddress(socket_path, address)) return;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
    // A caption fits the socket buffer, so a single non-blocking send delivers all of it.
    const std::size_t length = caption.size() < kMaxCaption ? caption.size() : kMaxCaption;
    [[maybe_unused]] ssize_t sent = ::send(fd, caption.data(), length, MSG_NOSIGNAL);
  }
  ::close(fd);
}

}  // namespace

InstanceGuard::InstanceGuard(std::string dir) : dir_(std::move(dir)) {}

InstanceGuard::~InstanceGuard() {
  Release();
}

bool InstanceGuard::Acquire(const std::string& key, const std::string& caption) {
  Release();
  caption_ = caption;
  char name[64];
  std::snprintf(name, sizeof(name), "adv-%u-%016llx", static_cast<unsigned>(::getuid()),
                static_cast<unsigned long long>(HashKey(key)));
  const std::string base = (dir_.empty() ? DefaultDir() : dir_) + "/" + name;

  int fd = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK) return true;
    SendCaption(base + ".sock", caption);
    return false;
  }
  lock_fd_ = fd;

  // Holding the lock, a socket file left by a crashed run can be replaced safely.
  sockaddr_un address;
  if (!MakeAddress(base + ".sock", address)) return true;
  socket_path_ = base + ".sock";
  ::unlink(socket_path_.c_str());
  listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listen_fd_ >= 0 &&
      (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
       ::listen(listen_fd_, static_cast<int>(kMaxPending)) != 0)) {
    ::close(listen_fd_);
    listen_fd_ = -1;
  }
  return true;
}

bool InstanceGuard::Poll() {
  if (listen_fd_ < 0) return false;
  for (;;) {
    int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) break;
    if (pending_.size() >= kMaxPending) {
      ::close(fd);
      continue;
    }
    pending_.push_back(Pending{fd, 0, {}});
  }

  bool raise = false;
  for (auto it = pending_.begin(); it != pending_.end();) {
    bool finished = false;
    bool complete = false;
    char buffer[512];
    for (;;) {
      ssize_t n = ::read(it->fd, buffer, sizeof(buffer));
      if (n > 0) {
        it->bytes.append(buffer, static_cast<std::size_t>(n));
        if (it->bytes.size() > kMaxCaption) {
          finished = true;
          break;
        }
        continue;
      }
      if (n == 0) {
        finished = complete = true;
      } else if (errno == EINTR) {
        continue;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
        finished = true;
      }
      break;
    }
    if (!finished && ++it->polls > kMaxPolls) finished = true;
    if (!finished) {
      ++it;
      continue;
    }
    if (complete && it->bytes == caption_) raise = true;
    ::close(it->fd);
    it = pending_.erase(it);
  }
  return raise;
}

void InstanceGuard::Release() {
  for (Pending& p : pending_) ::close(p.fd);
  pending_.clear();
  if (listen_fd_ >= 0) {
    ::close(listen_fd_);
    listen_fd_ = -1;
  }
  if (!socket_path_.empty()) {
    ::unlink(socket_path_.c_str());
    socket_path_.clear();
  }
  // The lock file stays: removing it would let a starting instance lock a file nobody else sees.
  if (lock_fd_ >= 0) {
    ::close(lock_fd_);
    lock_fd_ = -1;
  }
}

}  // namespace adv
