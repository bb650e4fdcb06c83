// The internal error log: failures of platform services inside the engine's own classes (a
// window that cannot be made, a device that will not open). Each message is kept as the last
// internal error and written, dated, to the host's debug output (stderr with --debug). Libraries
// take a reference to the engine's log; nothing here shows a message box.
#pragma once

#include <string>
#include <string_view>

namespace adv {

class Host;

class InternalErrorLog {
 public:
  explicit InternalErrorLog(Host& host) : host_(host) {}

  // message is Shift-JIS, as the engine keeps its texts.
  void Log(std::string_view message);
  const std::string& last() const { return last_; }

 private:
  Host& host_;
  std::string last_;
};

}  // namespace adv
