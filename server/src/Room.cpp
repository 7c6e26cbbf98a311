#include "server/Room.h"

namespace tovrik::server {

int Room::UserCount() const {
  int count = 0;
  for (auto seat : seats) count += seat != 0 ? 1 : 0;
  return count;
}

int Room::SeatOf(std::int64_t userId) const {
  for (int seat = 0; seat < kSeats; ++seat) {
    if (userId != 0 && seats[seat] == userId) return seat;
  }
  return -1;
}

int Room::FreeSeat() const {
  for (int seat = 0; seat < kSeats; ++seat) {
    if (seats[seat] == 0) return seat;
  }
  return -1;
}

}  // namespace tovrik::server
