#include "common/protocol_deal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Frame(ProtocolDeal& deal, uint32_t type, const void* record) {
    Bytes out;
    deal.EncodeFrame(type, record, out);
    return out;
}

ChannelSlotTextRecord SlotText(int32_t slot, const std::string& text) {
    ChannelSlotTextRecord r;
    std::memset(&r, 0, sizeof(r));
    r.slot = slot;
    std::memcpy(r.text, text.data(), std::min(text.size(), sizeof(r.text) - 1));
    return r;
}

ChannelTextRecord Text(const std::string& text) {
    ChannelTextRecord r;
    std::memset(&r, 0, sizeof(r));
    std::memcpy(r.text, text.data(), std::min(text.size(), sizeof(r.text) - 1));
    return r;
}

// Bytes that end exactly at a page that cannot be read: any read past the end faults.
class GuardedBuffer {
public:
    explicit GuardedBuffer(const Bytes& bytes) {
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * 65536, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + 65536, 65536, PAGE_NOACCESS, &old);
        data_ = base_ + 65536 - bytes.size();
        if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
    }
    ~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }
    const uint8_t* data() const { return data_; }

private:
    uint8_t* base_;
    uint8_t* data_;
};

TEST(ChannelCodec, FramesOfEveryTypeAreByteExact) {
    ProtocolDeal deal;
    ChannelIntRecord wnd = {0x01020304};
    ChannelIntRecord callback = {eCallBackType_PreDownloadReady};
    ChannelSlotTextRecord slot = SlotText(2, "abc");
    ChannelProgressRecord progress = {37, 100};
    ChannelSlotTextRecord action = SlotText(eActionType_CheckVer, "7");
    ChannelTextRecord launcherText = Text("hi");
    ChannelTextRecord coreText = Text("");
    struct Case {
        uint32_t type;
        const void* record;
        Bytes frame;
    } cases[] = {
        {CF_NOTIFY_WND, &wnd, {0, 1, 0, 0, 0, 0, 0x01, 0x02, 0x03, 0x04}},
        {CF_CALLBACK_TYPE, &callback, {0, 2, 0, 0, 0, 0, 0, 0, 0, 18}},
        {CF_TEXT_SLOT, &slot, {0, 3, 0, 0, 0, 0, 0, 0, 0, 2, 0, 3, 'a', 'b', 'c'}},
        {CF_PROGRESS, &progress, {0, 4, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x25, 0x00, 0x00, 0x00, 0x64}},
        {CF_ACTION, &action, {0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, '7'}},
        {CF_LAUNCHER_TEXT, &launcherText, {0, 6, 0, 0, 0, 0, 0, 2, 'h', 'i'}},
        {CF_CORE_TEXT, &coreText, {0, 7, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Frame(deal, c.type, c.record), c.frame) << "type " << c.type;
    }
}

TEST(ChannelCodec, NegativeIntegersAreTwosComplementBigEndian) {
    ProtocolDeal deal;
    ChannelIntRecord wnd = {-2};
    EXPECT_EQ(Frame(deal, CF_NOTIFY_WND, &wnd), (Bytes{0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST(ChannelCodec, StringsAreCutAt1023BytesAndAtTheFirstNul) {
    ProtocolDeal deal;
    struct Case {
        std::string text;
        size_t sent;
    } cases[] = {
        {std::string(1023, 'x'), 1023},
        {std::string(1024, 'x'), 1023},
        {std::string(5000, 'x'), 1023},
        {std::string("ab\0cd", 5), 2},
    };
    for (const Case& c : cases) {
        ChannelTextRecord r;
        std::memset(&r, 0, sizeof(r));
        // A record's text may fill its whole field without a terminator.
        std::memcpy(r.text, c.text.data(), std::min(c.text.size(), sizeof(r.text)));
        Bytes frame = Frame(deal, CF_CORE_TEXT, &r);
        ASSERT_EQ(frame.size(), 6 + 2 + c.sent);
        EXPECT_EQ((frame[6] << 8) | frame[7], static_cast<int>(c.sent));
        EXPECT_EQ(std::string(frame.begin() + 8, frame.end()), c.text.substr(0, c.sent));
    }
}

TEST(ChannelCodec, CutNeverSplitsAUtf8Character) {
    ProtocolDeal deal;
    // 1022 ASCII bytes, then a three-byte character straddling the cut.
    std::string text = std::string(1022, 'a') + "\xE4\xB8\xAD" + "tail";
    ChannelTextRecord r = Text(text);
    Bytes frame = Frame(deal, CF_CORE_TEXT, &r);
    ASSERT_EQ(frame.size(), 6u + 2u + 1022u);
    EXPECT_EQ(frame.back(), 'a');

    // A character that ends exactly at the cut is kept whole.
    text = std::string(1020, 'a') + "\xE4\xB8\xAD" + "tail";
    r = Text(text);
    frame = Frame(deal, CF_CORE_TEXT, &r);
    ASSERT_EQ(frame.size(), 6u + 2u + 1023u);
    EXPECT_EQ(std::string(frame.end() - 3, frame.end()), "\xE4\xB8\xAD");
}

TEST(ChannelCodec, EncodeRespectsTheCapacity) {
    ChannelCodec codec;
    RegisterChannelTypes(codec);
    uint8_t out[16];
    ChannelProgressRecord progress = {1, 2};
    EXPECT_EQ(codec.Encode(CF_PROGRESS, &progress, out, 8), 8);
    EXPECT_EQ(codec.Encode(CF_PROGRESS, &progress, out, 7), -1);
    ChannelSlotTextRecord slot = SlotText(1, "abcdef");
    EXPECT_EQ(codec.Encode(CF_TEXT_SLOT, &slot, out, 12), 12);
    EXPECT_EQ(codec.Encode(CF_TEXT_SLOT, &slot, out, 11), -1);
    EXPECT_EQ(codec.Encode(40, &slot, out, 16), -1);
    EXPECT_EQ(codec.Encode(ChannelCodec::kTableSize, &slot, out, 16), -1);
}

TEST(ChannelCodec, BodyLimitBoundsTheCursor) {
    std::vector<uint8_t> body(kChannelBodyCapacity);
    CNetData cursor;
    cursor.Reset(body.data(), kChannelBodyCapacity);
    int32_t pos = 0;
    for (int i = 0; i < kChannelBodyCapacity / 4; ++i) pos = cursor.PutInt32(i);
    EXPECT_EQ(pos, kChannelBodyCapacity);
    EXPECT_EQ(cursor.PutInt32(1), -1);
    EXPECT_EQ(cursor.PutUInt16(1), -1);
    EXPECT_EQ(cursor.PutString("", 1024), -1);
    EXPECT_EQ(cursor.Position(), kChannelBodyCapacity);
}

TEST(ChannelCodec, DecodersRoundTripEveryType) {
    ProtocolDeal deal;
    ChannelCodec codec;
    RegisterChannelTypes(codec);
    ChannelSlotTextRecord slot = SlotText(3, "\xE6\x9B\xB4\xE6\x96\xB0 update");
    Bytes frame = Frame(deal, CF_TEXT_SLOT, &slot);
    ChannelSlotTextRecord back;
    EXPECT_EQ(codec.Decode(CF_TEXT_SLOT, frame.data() + 6, static_cast<int32_t>(frame.size() - 6), &back), 1028);
    EXPECT_EQ(back.slot, 3);
    EXPECT_STREQ(back.text, slot.text);

    ChannelProgressRecord progress = {37, 100}, progressBack;
    frame = Frame(deal, CF_PROGRESS, &progress);
    EXPECT_EQ(codec.Decode(CF_PROGRESS, frame.data() + 6, 8, &progressBack), 8);
    EXPECT_EQ(progressBack.done, 37);
    EXPECT_EQ(progressBack.total, 100);

    ChannelTextRecord text = Text(std::string(1023, 'z')), textBack;
    frame = Frame(deal, CF_CORE_TEXT, &text);
    EXPECT_EQ(codec.Decode(CF_CORE_TEXT, frame.data() + 6, static_cast<int32_t>(frame.size() - 6), &textBack), 1024);
    EXPECT_EQ(std::strlen(textBack.text), 1023u);

    ChannelIntRecord wnd = {123456}, wndBack;
    frame = Frame(deal, CF_NOTIFY_WND, &wnd);
    EXPECT_EQ(codec.Decode(CF_NOTIFY_WND, frame.data() + 6, 4, &wndBack), 4);
    EXPECT_EQ(wndBack.value, 123456);
}

TEST(ChannelCodec, DecodersRefuseEveryTruncationWithoutReadingPastTheEnd) {
    ProtocolDeal deal;
    ChannelCodec codec;
    RegisterChannelTypes(codec);
    ChannelIntRecord wnd = {77};
    ChannelSlotTextRecord slot = SlotText(1, "hello");
    ChannelProgressRecord progress = {5, 9};
    ChannelTextRecord text = Text("world");
    struct Case {
        uint32_t type;
        const void* record;
    } cases[] = {{CF_NOTIFY_WND, &wnd},   {CF_CALLBACK_TYPE, &wnd},    {CF_TEXT_SLOT, &slot},
                 {CF_PROGRESS, &progress}, {CF_ACTION, &slot},         {CF_LAUNCHER_TEXT, &text},
                 {CF_CORE_TEXT, &text}};
    for (const Case& c : cases) {
        Bytes frame = Frame(deal, c.type, c.record);
        Bytes body(frame.begin() + 6, frame.end());
        for (size_t cut = 0; cut < body.size(); ++cut) {
            GuardedBuffer guarded(Bytes(body.begin(), body.begin() + cut));
            ChannelSlotTextRecord out;
            EXPECT_EQ(codec.Decode(c.type, guarded.data(), static_cast<int32_t>(cut), &out), -1)
                << "type " << c.type << " cut at " << cut;
        }
        GuardedBuffer whole(body);
        ChannelSlotTextRecord out;
        EXPECT_GT(codec.Decode(c.type, whole.data(), static_cast<int32_t>(body.size()), &out), 0);
    }
}

TEST(ChannelCodec, StringCountsPastTheEndOrTheFieldAreRefused) {
    ChannelCodec codec;
    RegisterChannelTypes(codec);
    ChannelTextRecord out;
    struct Case {
        Bytes body;
        int32_t expected;
    } cases[] = {
        {{0x00, 0x05, 'a', 'b'}, -1},             // count past the end
        {{0xFF, 0xFF, 'a'}, -1},                   // huge count
        {{0x03, 0xFF}, -1},                        // 1,023 but nothing follows
        {{0x00, 0x00}, 1024},                      // empty string
    };
    for (const Case& c : cases) {
        GuardedBuffer guarded(c.body);
        EXPECT_EQ(codec.Decode(CF_CORE_TEXT, guarded.data(), static_cast<int32_t>(c.body.size()), &out), c.expected);
    }
    // 1,024 bytes present but the count leaves no room for the terminator.
    Bytes big(2 + 1024, 'q');
    big[0] = 0x04;
    big[1] = 0x00;
    GuardedBuffer guarded(big);
    EXPECT_EQ(codec.Decode(CF_CORE_TEXT, guarded.data(), static_cast<int32_t>(big.size()), &out), -1);
}

TEST(ProtocolDeal, DispatchesDecodedFramesAndDropsTheRest) {
    ProtocolDeal deal;
    int calls = 0;
    WPARAM lastSender = 0;
    ChannelProgressRecord last = {};
    deal.RegisterHandler(CF_PROGRESS, [&](WPARAM sender, const void* record, int32_t size) {
        ++calls;
        lastSender = sender;
        last = *static_cast<const ChannelProgressRecord*>(record);
        EXPECT_EQ(size, 8);
    });
    deal.RegisterHandler(40, [&](WPARAM, const void*, int32_t) { ++calls; });

    ChannelProgressRecord progress = {37, 100};
    Bytes frame = Frame(deal, CF_PROGRESS, &progress);
    EXPECT_TRUE(deal.OnReceive(99, frame.data(), static_cast<int32_t>(frame.size())));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(lastSender, 99u);
    EXPECT_EQ(last.done, 37);

    // Short of the head, a body that ends early, no codec, no handler, type past the table.
    Bytes shortHead = {0, 4, 0, 0, 0};
    Bytes truncated(frame.begin(), frame.end() - 1);
    Bytes noCodec = {0, 40, 0, 0, 0, 0, 1, 2, 3, 4};
    Bytes noHandler = {0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    Bytes huge = {0x01, 0x2C, 0, 0, 0, 0, 0, 0, 0, 1};
    for (const Bytes* f : {&shortHead, &truncated, &noCodec, &noHandler, &huge}) {
        GuardedBuffer guarded(*f);
        EXPECT_FALSE(deal.OnReceive(1, guarded.data(), static_cast<int32_t>(f->size())));
    }
    EXPECT_FALSE(deal.OnReceive(1, nullptr, 0));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(deal.RegisterHandler(50, [](WPARAM, const void*, int32_t) {}));
}

TEST(ChannelTypes, NamesMatchTheValues) {
    EXPECT_STREQ(CallBackTypeName(0), "eCallBackType_DownloadServerList");
    EXPECT_STREQ(CallBackTypeName(5), "eCallBackType_WaitReStartCore");
    EXPECT_STREQ(CallBackTypeName(12), "eCallBackType_DownloadPatchVerError");
    EXPECT_STREQ(CallBackTypeName(18), "eCallBackType_PreDownloadReady");
    EXPECT_STREQ(CallBackTypeName(19), "");
    EXPECT_STREQ(CallBackTypeName(-1), "");
    EXPECT_STREQ(ActionTypeName(0), "eActionType_CheckVer");
    EXPECT_STREQ(ActionTypeName(1), "eActionType_ManualUpdate");
    EXPECT_STREQ(ActionTypeName(2), "eActionType_StartGame");
    EXPECT_STREQ(ActionTypeName(3), "");
}

}  // namespace
