// The system variables: the line and file being run, the caller's, the cursor and click
// positions, and where the message text stands.
#pragma once

#include "script/variables.h"

namespace adv {

class Engine;

class EngineSystemVariables : public SystemVariables {
 public:
  explicit EngineSystemVariables(Engine& engine) : engine_(engine) {}
  std::optional<std::int32_t> Int(std::string_view name) override;
  std::optional<std::string> String(std::string_view name) override;

 private:
  Engine& engine_;
};

}  // namespace adv
