#include "script/error_report.h"

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

}  // namespace adv
