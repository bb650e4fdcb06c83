// Starts adv on a game in a window and measures it as a player's desktop sees it: when its
// window is mapped, when the game's first picture is on the X server (read back from the
// server), then, once the game holds still, its CPU use, wake-ups and memory.
//
//   adv-window-probe ADV GAMEDIR RRGGBB SETTLE_MS IDLE_MS
//
// Prints one line: mapped_ms first_picture_ms cpu_percent wakeups_per_s vm_hwm_kib
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The first mapped top-level window, or 0.
Window FindMappedWindow(Display* display) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
        attributes.map_state == IsViewable && attributes.width >= 320) {
      found = children[i];
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

bool ShowsColour(Display* display, Window window, unsigned long rgb) {
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) == 0) return false;
  XImage* image = XGetImage(display, window, attributes.width / 2, attributes.height / 2, 1, 1,
                            AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  // The engine keeps 5 bits a channel: compare the top five.
  return (pixel & 0xF8F8F8) == (rgb & 0xF8F8F8);
}

// CPU ticks and context switches of every thread of a process.
struct Usage {
  long long ticks = 0;
  long long switches = 0;
};

Usage ReadUsage(pid_t pid) {
  Usage u;
  const std::string base = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(base, error)) {
    std::ifstream stat(task.path() / "stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the command name in parentheses; utime and stime are fields 14 and 15.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i >= 14) u.ticks += std::atoll(field.c_str());
    }
    std::ifstream status(task.path() / "status");
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
          line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        u.switches += std::atoll(line.substr(line.find(':') + 1).c_str());
      }
    }
  }
  return u;
}

long ReadHighWater(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.substr(6).c_str());
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s ADV GAMEDIR RRGGBB SETTLE_MS IDLE_MS\n", argv[0]);
    return 2;
  }
  const unsigned long colour = std::strtoul(argv[3], nullptr, 16);
  const int settle_ms = std::atoi(argv[4]);
  const int idle_ms = std::atoi(argv[5]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "adv-window-probe: no X display\n");
    return 1;
  }
  const auto t0 = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execl(argv[1], argv[1], "--window", argv[2], static_cast<char*>(nullptr));
    _exit(127);
  }
  double mapped = -1, first = -1;
  Window window = 0;
  while (MsSince(t0) < 10000 && first < 0) {
    if (window == 0 && (window = FindMappedWindow(display)) != 0) mapped = MsSince(t0);
    if (window != 0 && ShowsColour(display, window, colour)) first = MsSince(t0);
    if (first < 0) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(settle_ms));
  const Usage before = ReadUsage(pid);
  std::this_thread::sleep_for(std::chrono::milliseconds(idle_ms));
  const Usage after = ReadUsage(pid);
  const long hwm = ReadHighWater(pid);
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  XCloseDisplay(display);
  const double seconds = idle_ms / 1000.0;
  const double cpu = 100.0 * (after.ticks - before.ticks) / sysconf(_SC_CLK_TCK) / seconds;
  std::printf("%.1f %.1f %.2f %.1f %ld\n", mapped, first, cpu,
              (after.switches - before.switches) / seconds, hwm);
  return first < 0 ? 1 : 0;
}
