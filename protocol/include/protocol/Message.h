#pragma once

// The common machinery of the message classes.
//
// A message class holds one CCommMsg and one pointer per payload part, and
// describes its payload once, in a Layout(parts) member that names the parts
// in wire order. The same Layout serves three walks:
//   - Get parses a received frame: each pointer is set on its part inside the
//     frame (nothing is copied), and a frame too short for its parts, or with
//     a negative or impossible length field, fails as a whole;
//   - Set writes the argument values in payload order with a PayloadWriter and
//     then pushes them part by part, leaving each pointer on its part;
//   - a failed Get or Set clears every pointer.
// A variable part's length is read from a field that an earlier part of the
// same frame holds, so it is always checked against what the frame holds.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "net/CommMsg.h"
#include "protocol/LittleEndian.h"
#include "protocol/TextField.h"

namespace tovrik::protocol {

// A fixed text field of N bytes inside a payload.
template <std::size_t N>
struct FixedText {
    char Text[N]{};

    std::string_view View() const { return ReadText(Text); }
};
static_assert(sizeof(FixedText<5>) == 5 && alignof(FixedText<5>) == 1);

// Length of a variable part as the frame states it; 0 while the field is absent.
template <typename T>
std::int64_t LengthOf(const LittleEndian<T>* field)
{
    return field ? static_cast<std::int64_t>(field->get()) : 0;
}
template <typename Record, typename T>
std::int64_t LengthOf(const Record* record, LittleEndian<T> Record::*field)
{
    return record ? static_cast<std::int64_t>((record->*field).get()) : 0;
}

// The bytes of a variable part, or an empty view when it is absent.
template <typename T>
std::string_view BytesView(const char* part, const LittleEndian<T>* length)
{
    if (!part || !length || length->get() <= 0) return {};
    return {part, static_cast<std::size_t>(length->get())};
}

// Whether a count or length can be stated in an int32 field.
constexpr bool FitsInt32(std::size_t size)
{
    return size <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
}

// Builds a payload in wire order before it is pushed into a frame.
class PayloadWriter {
public:
    void Int8(std::int8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void Int16(std::int16_t value) { Append(LittleEndian<std::int16_t>(value)); }
    void Int32(std::int32_t value) { Append(LittleEndian<std::int32_t>(value)); }
    void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, '\0'); }
    void Bytes(std::string_view bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

    // A variable text after its length field; the text ends at its first
    // zero byte. False when the length cannot be stated in 31 bits.
    bool Int32Text(std::string_view text);
    // The same with a 16-bit length: a longer text keeps its first 32767
    // bytes, never half a character.
    void Int16Text(std::string_view text);

    // Fixed text fields with the two filling rules.
    void TextIfShorter(std::string_view text, std::size_t width);
    void TextAtMost(std::string_view text, std::size_t width, std::size_t n);

    template <typename Record>
    void Append(const Record& record)
    {
        const char* raw = reinterpret_cast<const char*>(&record);
        bytes_.insert(bytes_.end(), raw, raw + sizeof(Record));
    }
    template <typename Record>
    void Append(std::span<const Record> records)
    {
        for (const Record& record : records) Append(record);
    }

    std::span<const char> Payload() const { return bytes_; }

private:
    std::vector<char> bytes_;
};

namespace detail {

// Refuses a frame that is not this message or states a payload longer than
// the bytes given, then attaches to it (unscrambling it when needed).
bool OpenFrame(net::CCommMsg& msg, char* frame, int len, std::int16_t msgId);

// Starts a plain frame large enough for the whole payload, so that the part
// pointers never move while the parts are pushed.
bool BeginFrame(net::CCommMsg& msg, std::int16_t msgId, std::size_t payloadSize);

// Points each part into a received frame.
class PartTaker {
public:
    explicit PartTaker(net::CCommMsg& msg) : msg_(msg) {}

    template <typename T>
    void Part(T*& part) { Take(part, static_cast<std::int64_t>(sizeof(T))); }
    template <typename T>
    void Array(T*& part, std::int64_t count) { Take(part, count < 0 ? -1 : count * static_cast<std::int64_t>(sizeof(T))); }
    void Bytes(char*& part, std::int64_t length) { Take(part, length); }
    void Require(bool condition) { ok_ = ok_ && condition; }

    bool Ok() const { return ok_; }

private:
    template <typename T>
    void Take(T*& part, std::int64_t length)
    {
        part = nullptr;
        if (!ok_) return;
        if (length < 0 || length > msg_.GetRemaining()) {
            ok_ = false;
            return;
        }
        ok_ = msg_.TakeData(&part, static_cast<int>(length));
    }

    net::CCommMsg& msg_;
    bool ok_ = true;
};

// Pushes a written payload into the frame part by part.
class PartPusher {
public:
    PartPusher(net::CCommMsg& msg, std::span<const char> payload) : msg_(msg), payload_(payload) {}

    template <typename T>
    void Part(T*& part) { Push(part, static_cast<std::int64_t>(sizeof(T))); }
    template <typename T>
    void Array(T*& part, std::int64_t count) { Push(part, count < 0 ? -1 : count * static_cast<std::int64_t>(sizeof(T))); }
    void Bytes(char*& part, std::int64_t length) { Push(part, length); }
    void Require(bool condition) { ok_ = ok_ && condition; }

    // Every written byte went into a part.
    bool Ok() const { return ok_ && offset_ == payload_.size(); }

private:
    template <typename T>
    void Push(T*& part, std::int64_t length)
    {
        part = nullptr;
        if (!ok_) return;
        if (length < 0 || static_cast<std::uint64_t>(length) > payload_.size() - offset_) {
            ok_ = false;
            return;
        }
        if (length == 0) return;
        msg_.PushData(&part, payload_.data() + offset_, static_cast<int>(length));
        if (!part) {
            ok_ = false;
            return;
        }
        offset_ += static_cast<std::size_t>(length);
    }

    net::CCommMsg& msg_;
    std::span<const char> payload_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

// Clears every part pointer.
class PartClearer {
public:
    template <typename T>
    void Part(T*& part) { part = nullptr; }
    template <typename T>
    void Array(T*& part, std::int64_t) { part = nullptr; }
    void Bytes(char*& part, std::int64_t) { part = nullptr; }
    void Require(bool) {}
};

}  // namespace detail

// Base of every message class. Derived names its id as MSGID and its payload
// as Layout(parts); see the top of this file.
template <typename Derived>
class CMessage {
public:
    net::CCommMsg Msg;

    CMessage() = default;
    CMessage(const CMessage&) = delete;
    CMessage& operator=(const CMessage&) = delete;

    // Parses a received frame of `len` bytes in place. False (every part
    // pointer null) when the frame does not decode, is another message, or is
    // too short for its parts; the bytes must outlive the part pointers.
    bool Get(char* frame, int len)
    {
        Derived& self = static_cast<Derived&>(*this);
        if (detail::OpenFrame(Msg, frame, len, Derived::MSGID)) {
            detail::PartTaker taker(Msg);
            self.Layout(taker);
            if (taker.Ok()) return true;
        }
        Fail();
        return false;
    }

    // The built or received frame: hand these to the socket manager.
    char* GetData() const { return Msg.GetData(); }
    int GetTotalSize() const { return Msg.GetTotalSize(); }

protected:
    // Puts the written payload into a new frame, part by part.
    bool Build(const PayloadWriter& writer)
    {
        Derived& self = static_cast<Derived&>(*this);
        const std::span<const char> payload = writer.Payload();
        if (detail::BeginFrame(Msg, Derived::MSGID, payload.size())) {
            detail::PartPusher pusher(Msg, payload);
            self.Layout(pusher);
            if (pusher.Ok()) return true;
        }
        Fail();
        return false;
    }

private:
    void Fail()
    {
        detail::PartClearer clearer;
        static_cast<Derived&>(*this).Layout(clearer);
        Msg.Destroy();
    }
};

// A message without payload.
template <std::int16_t Id>
class CEmptyMessage : public CMessage<CEmptyMessage<Id>> {
public:
    static constexpr std::int16_t MSGID = Id;

    bool Set() { return this->Build(PayloadWriter{}); }

    template <typename Parts>
    void Layout(Parts&) {}
};

// A message whose payload is one fixed record.
template <std::int16_t Id, typename Record>
class CRecordMessage : public CMessage<CRecordMessage<Id, Record>> {
public:
    static constexpr std::int16_t MSGID = Id;
    using RecordType = Record;

    Record* Info = nullptr;

    bool Set(const Record& record)
    {
        PayloadWriter writer;
        writer.Append(record);
        return this->Build(writer);
    }

    template <typename Parts>
    void Layout(Parts& parts) { parts.Part(Info); }
};

// A message whose payload is one int32.
template <std::int16_t Id>
class CValueMessage : public CMessage<CValueMessage<Id>> {
public:
    static constexpr std::int16_t MSGID = Id;

    le_int32* Value = nullptr;

    bool Set(std::int32_t value)
    {
        PayloadWriter writer;
        writer.Int32(value);
        return this->Build(writer);
    }

    template <typename Parts>
    void Layout(Parts& parts) { parts.Part(Value); }
};

// A list: int32 count, then that many records.
template <std::int16_t Id, typename Record>
class CListMessage : public CMessage<CListMessage<Id, Record>> {
public:
    static constexpr std::int16_t MSGID = Id;
    using RecordType = Record;

    le_int32* Count = nullptr;
    Record* Entries = nullptr;

    bool Set(std::span<const Record> entries)
    {
        if (!FitsInt32(entries.size())) return false;
        PayloadWriter writer;
        writer.Int32(static_cast<std::int32_t>(entries.size()));
        writer.Append(entries);
        return this->Build(writer);
    }

    std::span<const Record> List() const
    {
        if (!Entries || !Count) return {};
        return {Entries, static_cast<std::size_t>(Count->get())};
    }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Count);
        parts.Array(Entries, LengthOf(Count));
    }
};

// A refusal: int32 reason code, int32 length, the text to show.
template <std::int16_t Id>
class CRefuseMessage : public CMessage<CRefuseMessage<Id>> {
public:
    static constexpr std::int16_t MSGID = Id;

    le_int32* Reason = nullptr;
    le_int32* TextLen = nullptr;
    char* Text = nullptr;

    bool Set(std::int32_t reason, std::string_view text);
    std::string_view TextView() const { return BytesView(Text, TextLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Reason);
        parts.Part(TextLen);
        parts.Bytes(Text, LengthOf(TextLen));
    }
};

template <std::int16_t Id>
bool CRefuseMessage<Id>::Set(std::int32_t reason, std::string_view text)
{
    PayloadWriter writer;
    writer.Int32(reason);
    return writer.Int32Text(text) && this->Build(writer);
}

}  // namespace tovrik::protocol
