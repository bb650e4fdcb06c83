#include "host/instance_guard.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
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
// A later instance writes its caption right after connecting; one that stays silent this long
// is dropped so that it cannot hold a slot.
constexpr auto kSilenceLimit = std::chrono::seconds(2);

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

[[nodiscard]] bool MakeAddress(const std::string& path, sockaddr_un& address) {
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
  SetCaption(caption);
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

void InstanceGuard::SetCaption(const std::string& caption) {
  std::lock_guard<std::mutex> lock(caption_mutex_);
  caption_ = caption;
}

bool InstanceGuard::SameCaption(const std::string& caption) {
  std::lock_guard<std::mutex> lock(caption_mutex_);
  return caption == caption_;
}

void InstanceGuard::Accept() {
  for (;;) {
    int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) break;
    if (pending_.size() >= kMaxPending) {
      ::close(fd);
      continue;
    }
    pending_.push_back(Pending{fd, std::chrono::steady_clock::now(), {}});
  }
}

bool InstanceGuard::ReadPending(Pending& pending, bool& complete) {
  char buffer[512];
  for (;;) {
    ssize_t n = ::read(pending.fd, buffer, sizeof(buffer));
    if (n > 0) {
      pending.bytes.append(buffer, static_cast<std::size_t>(n));
      if (pending.bytes.size() > kMaxCaption) return true;
      continue;
    }
    if (n == 0) {
      complete = true;
      return true;
    }
    if (errno == EINTR) continue;
    return errno != EAGAIN && errno != EWOULDBLOCK;
  }
}

bool InstanceGuard::Poll(int timeout_ms) {
  if (listen_fd_ < 0) return false;
  const auto now = std::chrono::steady_clock::now();
  // A silent later instance only delays the wait until it is dropped.
  for (const Pending& p : pending_) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(p.since + kSilenceLimit - now)
            .count() +
        1;
    if (timeout_ms < 0 || left < timeout_ms) timeout_ms = left > 0 ? static_cast<int>(left) : 0;
  }
  std::vector<pollfd> fds;
  fds.push_back({listen_fd_, POLLIN, 0});
  if (wake_fds_[0] >= 0) fds.push_back({wake_fds_[0], POLLIN, 0});
  for (const Pending& p : pending_) fds.push_back({p.fd, POLLIN, 0});
  if (::poll(fds.data(), fds.size(), timeout_ms) < 0 && errno != EINTR) return false;

  Accept();
  bool raise = false;
  for (auto it = pending_.begin(); it != pending_.end();) {
    bool complete = false;
    bool finished = ReadPending(*it, complete);
    if (!finished && std::chrono::steady_clock::now() - it->since > kSilenceLimit) finished = true;
    if (!finished) {
      ++it;
      continue;
    }
    if (complete && SameCaption(it->bytes)) raise = true;
    ::close(it->fd);
    it = pending_.erase(it);
  }
  return raise;
}

void InstanceGuard::Listen(std::function<void()> on_raise) {
  if (listen_fd_ < 0 || listener_.joinable()) return;
  if (::pipe2(wake_fds_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  listener_ = std::thread([this, on_raise = std::move(on_raise)] {
    char byte;
    while (::read(wake_fds_[0], &byte, 1) != 1) {
      if (Poll(-1)) on_raise();
    }
  });
}

void InstanceGuard::Release() {
  if (listener_.joinable()) {
    [[maybe_unused]] ssize_t written = ::write(wake_fds_[1], "x", 1);
    listener_.join();
  }
  for (int& fd : wake_fds_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
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
