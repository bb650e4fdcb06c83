#include "script/error_report.h"

#include <string>

#include "base/messages.h"
#include "host/host.h"
#include "host/sjis_convert.h"
#include "script/script_context.h"

namespace adv {

std::string ExplainScriptError(std::string_view message, std::string_view name) {
  std::string english(ExplainMessage(message));
  const std::size_t slot = english.find("{}");
  if (slot == std::string::npos) return english;
  if (!name.empty()) return english.replace(slot, 2, "\"" + SjisToUtf8(name) + "\"");
  // Without a name the placeholder goes with the blank beside it.
  const bool blank_before = slot > 0 && english[slot - 1] == ' ';
  return english.erase(blank_before ? slot - 1 : slot, blank_before ? 3 : 2);
}

void ReportScriptError(ScriptContext& script, std::string_view message, std::string_view name) {
  const std::string line = std::to_string(script.file.line_number());
  std::string stderr_line =
      SjisToUtf8(script.file.name()) + ":" + line + ": " + SjisToUtf8(message);
  const std::string english = ExplainScriptError(message, name);
  if (!english.empty()) stderr_line += " (" + english + ")";
  script.host.ErrorLine(stderr_line);
  // The box keeps the engine's own text exactly.
  std::string text = "FILE : " + script.file.name() + "\nLINE : " + line + "\n\n";
  text.append(message);
  script.host.ShowMessageBox(text, "", MessageBoxKind::kOk);
}

}  // namespace adv
