#include "game/GameGlobals.h"

namespace tovrik::game {

// Defined together, in this order, so that the game is built after its field
// and slots.
CField Field;
CPlayer Play[kPlayerSlots];
CGame Game(Field, Play);

} // namespace tovrik::game
