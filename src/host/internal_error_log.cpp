#include "host/internal_error_log.h"

#include <cstdio>

#include "host/host.h"
#include "host/sjis_convert.h"

namespace adv {

void InternalErrorLog::Log(std::string_view message) {
  last_.assign(message);
  LocalTime t = host_.GetLocalTime();
  char stamp[64];
  std::snprintf(stamp, sizeof(stamp), "%02d/%02d/%02d %02d:%02d:%02d", t.month, t.day, t.year % 100,
                t.hour, t.minute, t.second);
  // "SDK 内部エラー" in Shift-JIS.
  std::string line = std::string(stamp) + " SDK \x93\xE0\x95\x94\x83\x47\x83\x89\x81\x5B : ";
  line.append(message);
  host_.DebugLog(SjisToUtf8(line));
}

}  // namespace adv
