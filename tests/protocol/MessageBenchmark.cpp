// Parsing cost of received frames: unscrambling plus pointing the parts
// into the frame, for a relayed shot and for a full room list.

#include <benchmark/benchmark.h>

#include <vector>

#include "net/CommMsg.h"
#include "net/MsgHeader.h"
#include "protocol/Messages.h"

namespace {

using namespace tovrik::protocol;

template <typename Message>
std::vector<char> PlainFrame(Message& message)
{
    return std::vector<char>(message.GetData(), message.GetData() + message.GetTotalSize());
}

template <typename Message>
void GetScrambled(benchmark::State& state, const std::vector<char>& plain)
{
    std::vector<char> wire = plain;
    tovrik::net::WriteU16(wire.data() + tovrik::net::kOffSeqNo, 17);
    tovrik::net::CCommMsg::EncodeAll(wire.data(), static_cast<int>(wire.size()));
    std::vector<char> frame(wire.size());
    for (auto _ : state) {
        frame = wire;  // Get unscrambles in place
        Message message;
        benchmark::DoNotOptimize(message.Get(frame.data(), static_cast<int>(frame.size())));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(wire.size()));
}

void BM_GetStoneHit(benchmark::State& state)
{
    STONEHITINFO hit;
    SetRelayID(hit.ID, "player");
    hit.Angle = 123.5f;
    hit.Power = 9.0f;
    CCL_STONEHIT message;
    message.Set(hit);
    GetScrambled<CCL_STONEHIT>(state, PlainFrame(message));
}
BENCHMARK(BM_GetStoneHit);

void BM_GetRoomList(benchmark::State& state)
{
    std::vector<ROOMINFO> rooms(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < rooms.size(); ++i) rooms[i].RoomNo = static_cast<std::int32_t>(i);
    CSV_ALLROOMINFO message;
    message.Set(rooms);
    GetScrambled<CSV_ALLROOMINFO>(state, PlainFrame(message));
}
BENCHMARK(BM_GetRoomList)->Arg(10)->Arg(100);

void BM_SetChat(benchmark::State& state)
{
    for (auto _ : state) {
        CSV_CHATDATA message;
        benchmark::DoNotOptimize(message.Set("player", "a line of lobby chat"));
    }
}
BENCHMARK(BM_SetChat);

}  // namespace
