#include "x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace adv::test {
namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Starts args with this process's environment, `set` ("KEY=VALUE") in place of the keys it
// names, and stdout and stderr going to the file `out`.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& set,
            const char* out = "/dev/null") {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (std::ranges::none_of(
            set, [&](auto& s) { return entry.starts_with(s.substr(0, s.find('=') + 1)); })) {
      env.push_back(entry);
    }
  }
  env.insert(env.end(), set.begin(), set.end());
  std::vector<char*> argv, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) SleepMs(20);
  if (waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  pid = -1;
}

// The viewable window, at any depth (a window manager puts its frame around it), that says it
// belongs to process pid; 0 if there is none.
Window FindWindowOf(Display* display, Window under, pid_t pid) {
  const Atom net_wm_pid = XInternAtom(display, "_NET_WM_PID", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  XWindowAttributes a;
  if (XGetWindowProperty(display, under, net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data != nullptr) {
    const bool ours =
        count == 1 && *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(pid);
    XFree(data);
    if (ours && XGetWindowAttributes(display, under, &a) != 0 && a.map_state == IsViewable) {
      return under;
    }
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned n = 0;
  Window found = 0;
  if (XQueryTree(display, under, &root, &parent, &children, &n) == 0) return 0;
  for (unsigned i = 0; i < n && found == 0; ++i) found = FindWindowOf(display, children[i], pid);
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

XSession::XSession(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) return;
  // -displayfd: the server picks a free display and writes its number to the pipe.
  xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                 std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp",
                 "-noreset"},
                {});
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (xvfb_ <= 0 || number.empty()) return;
  name_ = ":" + number;
  // A window that changes size between reading its size and reading its pixels makes XGetImage
  // fail with BadMatch. The grab then returns nothing and the caller polls again, so an X error
  // must not end the test program as Xlib's default handler would.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  display_ = XOpenDisplay(name_.c_str());
  int event = 0, error = 0, major = 0, minor = 0;
  if (display_ != nullptr && !XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return;
  }
  // A window manager, as on a player's desktop: full screen is asked of it.
  wm_ = Spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + name_});
  // It has taken over once the root window has its supporting-check property.
  const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
  for (int i = 0; i < 500; ++i) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type,
                       &format, &count, &after, &data);
    if (data != nullptr) XFree(data);
    if (count == 1) break;
    SleepMs(10);
  }
}

XSession::~XSession() {
  Stop(adv_);
  Stop(wm_);
  if (display_ != nullptr) XCloseDisplay(display_);
  Stop(xvfb_);
}

bool XSession::StartAdv(const std::string& game, const std::string& audio_file,
                        const std::string& log_file) {
  const char* options = std::getenv("ASAN_OPTIONS");
  const std::string asan = options != nullptr && *options != '\0' ? options + std::string(":") : "";
  // A real window pulls in the X and D-Bus client libraries, whose one-time allocations
  // LeakSanitizer would report as leaks of adv's; the unit and headless tests keep checking
  // adv's own memory for leaks.
  adv_ = Spawn({ADV_BINARY, "--window", game},
               {"DISPLAY=" + name_, "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + audio_file,
                "ASAN_OPTIONS=" + asan + "detect_leaks=0", "XDG_DATA_HOME=" + game + "/.data",
                "XDG_RUNTIME_DIR=" + game},
               log_file.c_str());
  if (adv_ <= 0) return false;
  const auto end = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < end &&
         (window_ = FindWindowOf(display_, DefaultRootWindow(display_), adv_)) == 0) {
    if (waitpid(adv_, nullptr, WNOHANG) == adv_) {
      adv_ = -1;
      return false;
    }
    SleepMs(10);
  }
  return window_ != 0;
}

int XSession::WaitAdv(int timeout_ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  int status = 0;
  while (adv_ > 0 && Clock::now() < end) {
    if (waitpid(adv_, &status, WNOHANG) == adv_) {
      adv_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    SleepMs(10);
  }
  return -1;
}

Grab XSession::GrabWindow() {
  Grab grab;
  XWindowAttributes a;
  if (window_ == 0 || XGetWindowAttributes(display_, window_, &a) == 0) return grab;
  XImage* image = XGetImage(display_, window_, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (image == nullptr) return grab;
  grab.width = a.width;
  grab.height = a.height;
  grab.rgb.resize(static_cast<std::size_t>(a.width) * a.height);
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      // Xvfb's 24-bit visual is 0xRRGGBB.
      grab.rgb[static_cast<std::size_t>(y) * a.width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    }
  }
  XDestroyImage(image);
  return grab;
}

std::uint32_t XSession::Pixel(int x, int y) {
  XImage* image = XGetImage(display_, window_, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0;
  const std::uint32_t rgb = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return rgb;
}

void XSession::PointerAt(int& x, int& y) {
  Window root = 0, child = 0;
  int window_x = 0, window_y = 0;
  unsigned mask = 0;
  XQueryPointer(display_, window_, &root, &child, &x, &y, &window_x, &window_y, &mask);
}

void XSession::MovePointer(int x, int y) {
  int root_x = 0, root_y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &root_x, &root_y,
                        &child);
  XTestFakeMotionEvent(display_, -1, root_x, root_y, CurrentTime);
  XSync(display_, False);
}

void XSession::Button(int button) {
  XTestFakeButtonEvent(display_, button, True, CurrentTime);
  XSync(display_, False);
  SleepMs(30);
  XTestFakeButtonEvent(display_, button, False, CurrentTime);
  XSync(display_, False);
}

void XSession::Key(const char* name) {
  KeyTo(name, true);
  SleepMs(30);
  KeyTo(name, false);
}

void XSession::KeyTo(const char* name, bool down) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(name)),
                    down ? True : False, CurrentTime);
  XSync(display_, False);
}

}  // namespace adv::test
