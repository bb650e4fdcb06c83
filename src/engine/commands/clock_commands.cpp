#include "engine/commands/clock_commands.h"

#include <string>
#include <utility>

#include "engine/engine.h"
#include "script/arguments.h"
#include "script/variables.h"

namespace adv {

std::int32_t RandomInRange(std::uint32_t r, std::int32_t min, std::int32_t max) {
  if (max < min) std::swap(min, max);
  const std::uint32_t span = static_cast<std::uint32_t>(max) - static_cast<std::uint32_t>(min) + 1u;
  const std::uint32_t offset = span == 0 ? r : r % span;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(min) + offset);
}

State RandomCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  std::string name = ReadStringArg(script);
  ReadStringArg(script);
  std::int32_t min = ReadIntArg(script);
  ReadStringArg(script);
  std::int32_t max = ReadIntArg(script);
  std::int32_t value = RandomInRange(engine.random.Next(), min, max);
  AssignFromText(script, name, std::to_string(value));
  return State::kReadLine;
}

State NowCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const LocalTime t = engine.host.GetLocalTime();
  std::string name = ReadStringArg(script);
  ReadStringArg(script);
  std::string field = ReadStringArg(script);
  std::int32_t value = 0;
  if (field == "year")
    value = t.year;
  else if (field == "month")
    value = t.month;
  else if (field == "day")
    value = t.day;
  else if (field == "weekday")
    value = t.weekday;
  else if (field == "hour")
    value = t.hour;
  else if (field == "minute")
    value = t.minute;
  else if (field == "second")
    value = t.second;
  else if (field == "millisecond")
    value = t.millisecond;
  else if (field == "systemtime")
    value = static_cast<std::int32_t>(engine.host.Now());
  AssignFromText(script, name, std::to_string(value));
  return State::kReadLine;
}

}  // namespace adv
