#pragma once
// The level a user's points give, and the bet a level allows; the server
// enforces the same limits that the client's dialogs show.

namespace tovrik::server {

int LevelOfPoints(int points);  // 0-14
int MaxBetOfLevel(int level);

}  // namespace tovrik::server
