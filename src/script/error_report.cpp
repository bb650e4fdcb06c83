#include "script/error_report.h"

#include <string>

#include "base/messages.h"
#include "host/host.h"
#include "host/sjis_convert.h"
#include "script/script_context.h"

namespace adv {

std::string ExplainScriptError(std::string_view message, std::string_view name) {
  const std::string_view english = ExplainMessage(message);
  const std::size_t slot = english.find("{}");
  if (slot == std::string_view::npos) return std::string(english);
  std::string out;
  if (name.empty()) {
    // Without a name the placeholder goes with the blank before it.
    out.append(english.substr(0, slot > 0 && english[slot - 1] == ' ' ? slot - 1 : slot));
  } else {
    out.append(english.substr(0, slot));
    out.push_back('"');
    out.append(SjisToUtf8(name));
    out.push_back('"');
  }
  out.append(english.substr(slot + 2));
  return out;
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
