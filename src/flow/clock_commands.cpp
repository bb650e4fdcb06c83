#include "flow/clock_commands.h"

#include <string>
#include <utility>

#include "engine.h"
#include "script/arguments.h"

namespace adv {

std::int32_t RandomInRange(std::uint32_t r, std::int32_t min, std::int32_t max) {
  if (max < min) std::swap(min, max);
  const std::uint32_t span = static_cast<std::uint32_t>(max) - static_cast<std::uint32_t>(min) + 1u;
  const std::uint32_t offset = span == 0 ? r : r % span;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(min) + offset);
}

bool RandomCommand(Engine& engine) {
  std::string name = ReadStringArg(engine);
  ReadStringArg(engine);
  std::int32_t min = ReadIntArg(engine);
  ReadStringArg(engine);
  std::int32_t max = ReadIntArg(engine);
  std::int32_t value = RandomInRange(engine.random.Next(), min, max);
  AssignFromText(engine, name, std::to_string(value));
  return true;
}

bool NowCommand(Engine& engine) {
  const LocalTime t = engine.host.GetLocalTime();
  std::string name = ReadStringArg(engine);
  ReadStringArg(engine);
  std::string field = ReadStringArg(engine);
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
  AssignFromText(engine, name, std::to_string(value));
  return true;
}

}  // namespace adv
