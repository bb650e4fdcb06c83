#include "script/error_report.h"

#include <cstdio>
#include <string>

#include "engine.h"
#include "host/sjis_convert.h"

namespace adv {

void ReportScriptError(Engine& engine, std::string_view message) {
  const std::string line = std::to_string(engine.script.line_number());
  engine.host.ErrorLine(SjisToUtf8(engine.script.name()) + ":" + line + ": " + SjisToUtf8(message));
  std::string text = "FILE : " + engine.script.name() + "\nLINE : " + line + "\n\n";
  text.append(message);
  engine.host.ShowMessageBox(text, "", MessageBoxKind::kOk);
}

void LogSdkError(Engine& engine, std::string_view message) {
  engine.last_internal_error.assign(message);
  LocalTime t = engine.host.GetLocalTime();
  char stamp[64];
  std::snprintf(stamp, sizeof(stamp), "%02d/%02d/%02d %02d:%02d:%02d", t.month, t.day, t.year % 100,
                t.hour, t.minute, t.second);
  // "SDK 内部エラー" in Shift-JIS.
  std::string line = std::string(stamp) + " SDK \x93\xE0\x95\x94\x83\x47\x83\x89\x81\x5B : ";
  line.append(message);
  engine.host.DebugLog(SjisToUtf8(line));
}

}  // namespace adv
