#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "FrameHelpers.h"
#include "net/CommMsg.h"
#include "net/FrameCutter.h"
#include "net/StreamBuf.h"

using namespace tovrik::net;
using namespace tovrik::net::test;

TEST(StreamBuf, AddsAtTheEndAndRemovesFromTheFront)
{
    CStreamBuf s;
    EXPECT_FALSE(s.Init(0));
    ASSERT_TRUE(s.Init(10));
    EXPECT_EQ(s.AddData("abcdef", 6), 6);
    EXPECT_EQ(s.AddData("ghijk", 5), 0);  // does not fit: nothing added
    EXPECT_EQ(s.AddData(nullptr, 2), 0);
    EXPECT_EQ(s.AddData("x", 0), 0);
    EXPECT_EQ(s.GetUsedSize(), 6);
    EXPECT_TRUE(s.DelData(2));
    EXPECT_EQ(std::memcmp(s.GetStartPointer(), "cdef", 4), 0);
    EXPECT_FALSE(s.DelData(5));
    EXPECT_FALSE(s.DelData(-1));
    std::memcpy(s.GetEndPointer(), "123456", 6);
    EXPECT_TRUE(s.AddUsedSize(6));
    EXPECT_FALSE(s.AddUsedSize(1));
    EXPECT_EQ(s.GetFreeSize(), 0);
    EXPECT_EQ(std::memcmp(s.GetStartPointer(), "cdef123456", 10), 0);
}

namespace {

class Cutter : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(stream.Init(CStreamBuf::kSocketStreamSize)); }

    void Add(const Bytes& bytes) { ASSERT_EQ(stream.AddData(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size())); }

    // Cuts until the stream needs more; returns the frames cut.
    std::vector<Bytes> CutAll(CutStatus* last = nullptr)
    {
        std::vector<Bytes> frames;
        for (;;) {
            std::vector<char> copy;
            CutFrameInfo info;
            const CutStatus status = CutFrame(stream, copy, info);
            if (last) *last = status;
            if (status != CutStatus::kFrame) return frames;
            ids.push_back(info.msgId);
            copy.resize(static_cast<std::size_t>(info.wireLen));
            frames.emplace_back(copy.begin(), copy.end());
        }
    }

    CStreamBuf stream;
    std::vector<int> ids;
};

}  // namespace

TEST_F(Cutter, TwoFramesInOneReadComeOutInOrder)
{
    const Bytes a = ScrambledFrame(101, TextBytes("first"), 1);
    const Bytes b = ScrambledFrame(102, TextBytes("second!"), 2);
    Bytes both = a;
    both.insert(both.end(), b.begin(), b.end());
    Add(both);
    const auto frames = CutAll();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], a);
    EXPECT_EQ(frames[1], b);
    EXPECT_EQ(ids, (std::vector<int>{101, 102}));
    EXPECT_EQ(stream.GetUsedSize(), 0);
}

TEST_F(Cutter, AFrameSplitOverThreeReadsComesOutOnceAfterTheThird)
{
    const Bytes frame = ScrambledFrame(7, RandomBytes(100, 1), 1);
    Add(Bytes(frame.begin(), frame.begin() + 10));
    EXPECT_TRUE(CutAll().empty());
    Add(Bytes(frame.begin() + 10, frame.begin() + 60));
    EXPECT_TRUE(CutAll().empty());
    Add(Bytes(frame.begin() + 60, frame.end()));
    const auto frames = CutAll();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], frame);
}

TEST_F(Cutter, GarbageBeforeAFrameIsDropped)
{
    Bytes bytes = TextBytes("xxT garbage K..TTTT");
    const Bytes frame = ScrambledFrame(9, TextBytes("payload"), 3);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    Add(bytes);
    const auto frames = CutAll();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], frame);
}

TEST_F(Cutter, WithoutASignatureOnlyTheLastSixteenBytesStay)
{
    Add(Bytes(100, 'q'));
    EXPECT_TRUE(CutAll().empty());
    EXPECT_EQ(stream.GetUsedSize(), 16);
    // A signature straddling old and new bytes is still found.
    Bytes frame = ScrambledFrame(9, {}, 1);
    stream.Clear();
    Add(Bytes(20, 'q'));
    Add(Bytes(frame.begin(), frame.begin() + 1));
    EXPECT_TRUE(CutAll().empty());
    Add(Bytes(frame.begin() + 1, frame.end()));
    EXPECT_EQ(CutAll().size(), 1u);
}

TEST_F(Cutter, AHeaderThatIsNotScrambledIsConsumedAsAnEmptyFrameWithIdZero)
{
    Bytes plain = PlainFrame(55, TextBytes("abc"));
    Add(plain);
    const auto frames = CutAll();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), 16u);
    EXPECT_EQ(ids[0], 0);
    EXPECT_EQ(stream.GetUsedSize(), 3);  // the payload is left as garbage
}

TEST_F(Cutter, AFrameThatCanNeverFitTheStreamBreaksTheConnection)
{
    Bytes frame = ScrambledFrame(9, {}, 1);
    WriteU32(frame.data() + kOffDataLen, CStreamBuf::kSocketStreamSize - kHeaderSize + 1);
    Add(frame);
    CutStatus status;
    EXPECT_TRUE(CutAll(&status).empty());
    EXPECT_EQ(status, CutStatus::kBroken);

    stream.Clear();
    WriteU32(frame.data() + kOffDataLen, 0xFFFFFFFF);
    Add(frame);
    EXPECT_TRUE(CutAll(&status).empty());
    EXPECT_EQ(status, CutStatus::kBroken);
}

TEST_F(Cutter, ACompressedFrameCopyHasRoomForItsDecompressedForm)
{
    const Bytes payload(20000, 'z');
    const Bytes plain = PlainFrame(77, payload);
    Bytes packed(plain.size());
    packed[kOffCompressType] = 4;
    const int dataLen = CCommMsg::CompressAll(plain.data(), static_cast<int>(plain.size()), packed.data(),
                                              static_cast<int>(packed.size()));
    ASSERT_GT(dataLen, 0);
    packed.resize(static_cast<std::size_t>(kHeaderSize + dataLen));
    WriteU16(packed.data() + kOffSeqNo, 1);
    ASSERT_TRUE(CCommMsg::EncodeAll(packed.data(), static_cast<int>(packed.size())));
    Add(packed);

    std::vector<char> copy;
    CutFrameInfo info;
    ASSERT_EQ(CutFrame(stream, copy, info), CutStatus::kFrame);
    EXPECT_EQ(info.wireLen, static_cast<int>(packed.size()));
    EXPECT_EQ(copy.size(), payload.size() + kHeaderSize);
    CCommMsg msg;
    ASSERT_TRUE(msg.GetHeader(copy.data(), info.wireLen));
    char* part = nullptr;
    EXPECT_TRUE(msg.TakeData(&part, 20000));
    EXPECT_EQ(Bytes(part, part + 20000), payload);
}
