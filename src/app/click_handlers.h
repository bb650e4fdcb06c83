// What a click (or Enter / Space) does to the interpreter: click-jump labels, finishing text,
// ending click waits, picking choices.
#pragma once

namespace adv {

class Engine;

void OnLeftClick(Engine& engine, int x, int y);
void OnRightClick(Engine& engine, int x, int y);

}  // namespace adv
