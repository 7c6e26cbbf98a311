#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "MessageSamples.h"
#include "net/MsgHeader.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/Messages.h"

namespace tovrik::protocol::testing {
namespace {

class MessageRoundTrip : public ::testing::TestWithParam<std::size_t> {
protected:
    const MessageSample& sample() const { return AllMessageSamples()[GetParam()]; }

    std::vector<char> PlainFrame() const
    {
        std::vector<char> frame = sample().build();
        EXPECT_FALSE(frame.empty()) << "Set failed";
        return frame;
    }
};

TEST_P(MessageRoundTrip, SetBuildsThePayloadOfTheLayoutTable)
{
    const std::vector<char> frame = PlainFrame();
    ASSERT_GE(frame.size(), 16u);
    EXPECT_EQ(frame[0], 'T');
    EXPECT_EQ(frame[1], 'K');
    EXPECT_EQ(static_cast<std::int16_t>(net::ReadU16(frame.data() + net::kOffMsgID)), sample().id);
    EXPECT_EQ(net::ReadU32(frame.data() + net::kOffDataLen), static_cast<std::uint32_t>(sample().payloadSize));
    EXPECT_EQ(frame.size(), 16u + static_cast<std::size_t>(sample().payloadSize));
}

TEST_P(MessageRoundTrip, ScrambledFrameParsesBackToTheSameFields)
{
    const std::vector<char> frame = PlainFrame();
    for (const std::uint16_t seqNo : {0, 1, 0x33, 255, 256, 65535}) {
        SCOPED_TRACE(seqNo);
        std::vector<char> wire = Scrambled(frame, seqNo);
        EXPECT_TRUE(sample().get(wire.data(), static_cast<int>(wire.size()), true));
    }
}

TEST_P(MessageRoundTrip, EveryCutOfTheWireFrameFails)
{
    const std::vector<char> wire = Scrambled(PlainFrame(), 7);
    for (std::size_t cut = 0; cut < wire.size(); ++cut) {
        std::vector<char> copy = wire;
        EXPECT_FALSE(sample().get(copy.data(), static_cast<int>(cut), false)) << "cut at " << cut;
    }
}

TEST_P(MessageRoundTrip, EveryShortenedPayloadFailsEvenWithAConsistentHeader)
{
    // A frame whose header states exactly the bytes it has but is too short
    // for the message's parts.
    const std::vector<char> frame = PlainFrame();
    for (int payload = 0; payload < sample().payloadSize; ++payload) {
        std::vector<char> shorter(frame.begin(), frame.begin() + 16 + payload);
        net::WriteU32(shorter.data() + net::kOffDataLen, static_cast<std::uint32_t>(payload));
        std::vector<char> wire = Scrambled(shorter, 9);
        EXPECT_FALSE(sample().get(wire.data(), static_cast<int>(wire.size()), false)) << "payload " << payload;
    }
}

TEST_P(MessageRoundTrip, FramesOfOtherMessagesAreRefused)
{
    for (const MessageSample& other : AllMessageSamples()) {
        if (other.id == sample().id) continue;
        std::vector<char> wire = Scrambled(other.build(), 3);
        EXPECT_FALSE(sample().get(wire.data(), static_cast<int>(wire.size()), false)) << other.name;
    }
}

INSTANTIATE_TEST_SUITE_P(AllMessages, MessageRoundTrip, ::testing::Range<std::size_t>(0, AllMessageSamples().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return AllMessageSamples()[info.param].name;
                         });

TEST(MessageSamples, CoverEveryCatalogueEntryUnderItsName)
{
    std::map<int, std::string> sampled;
    for (const MessageSample& sample : AllMessageSamples()) {
        EXPECT_TRUE(sampled.emplace(sample.id, sample.name).second) << sample.name;
    }
    for (const MessageInfo& info : AllMessages()) {
        ASSERT_TRUE(sampled.count(info.id)) << info.name;
        EXPECT_EQ(sampled[info.id], info.name);
    }
    EXPECT_EQ(sampled.size(), AllMessages().size());
}

TEST(VisitMessageClass, HandsEveryIdTheClassThatParsesIt)
{
    for (const MessageSample& sample : AllMessageSamples()) {
        std::vector<char> wire = Scrambled(sample.build(), 21);
        bool parsed = false;
        EXPECT_TRUE(VisitMessageClass(sample.id, [&](auto& message) {
            parsed = message.Get(wire.data(), static_cast<int>(wire.size()));
        }));
        EXPECT_TRUE(parsed) << sample.name;
    }
    EXPECT_FALSE(VisitMessageClass(1014, [](auto&) { FAIL(); }));
}

}  // namespace
}  // namespace tovrik::protocol::testing
