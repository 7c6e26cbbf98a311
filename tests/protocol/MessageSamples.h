#pragma once

// One representative frame of every message class, with the check of its
// parsed fields, shared by the round-trip and truncation tests.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tovrik::protocol::testing {

struct MessageSample {
    std::int16_t id = 0;
    std::string name;
    int payloadSize = 0;  // what the layout tables give for the sample values
    // Builds the frame with Set; empty when Set failed. The check runs on the
    // sending object's part pointers too.
    std::function<std::vector<char>()> build;
    // Runs the class's Get on a frame; on success checks every field.
    std::function<bool(char* frame, int len, bool checkFields)> get;
};

const std::vector<MessageSample>& AllMessageSamples();

// A copy of a plain frame scrambled as the socket layer sends it.
std::vector<char> Scrambled(const std::vector<char>& plain, std::uint16_t seqNo);

}  // namespace tovrik::protocol::testing
