#include "script/error_report.h"

#include <string>

#include "host/host.h"
#include "host/sjis_convert.h"
#include "script/script_context.h"

namespace adv {

void ReportScriptError(ScriptContext& script, std::string_view message) {
  const std::string line = std::to_string(script.file.line_number());
  script.host.ErrorLine(SjisToUtf8(script.file.name()) + ":" + line + ": " + SjisToUtf8(message));
  std::string text = "FILE : " + script.file.name() + "\nLINE : " + line + "\n\n";
  text.append(message);
  script.host.ShowMessageBox(text, "", MessageBoxKind::kOk);
}

}  // namespace adv
