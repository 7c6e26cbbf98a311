#pragma once
// The client's one game: its field, its ten player slots and the game that
// runs on them. Everything else takes them by reference, so that tests can
// run several games side by side.

#include "game/Field.h"
#include "game/Game.h"
#include "game/Player.h"

namespace tovrik::game {

extern CField Field;
extern CPlayer Play[kPlayerSlots];
extern CGame Game;

} // namespace tovrik::game
