#pragma once
// Frames for tests, built through CCommMsg the way a message class does.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "net/CommMsg.h"

namespace tovrik::net::test {

using Bytes = std::vector<char>;

inline Bytes PlainFrame(std::int16_t id, const Bytes& payload, std::uint16_t seq = 1)
{
    CCommMsg msg;
    if (!msg.SetHeader(id)) return {};
    char* part = nullptr;
    msg.PushData(&part, payload.data(), static_cast<int>(payload.size()));
    Bytes frame(msg.GetData(), msg.GetData() + msg.GetTotalSize());
    WriteU16(frame.data() + kOffSeqNo, seq);
    return frame;
}

inline Bytes ScrambledFrame(std::int16_t id, const Bytes& payload, std::uint16_t seq = 1)
{
    Bytes frame = PlainFrame(id, payload, seq);
    CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size()));
    return frame;
}

inline Bytes RandomBytes(std::size_t n, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out(n);
    for (char& c : out) c = static_cast<char>(rng() & 0xFF);
    return out;
}

inline Bytes TextBytes(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

}  // namespace tovrik::net::test
