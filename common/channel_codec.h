#pragma once
#include "common/net_data.h"

#include <cstdint>

// Encoders and decoders of the channel's message bodies, indexed by type.
// An encoder returns the body's length or -1; a decoder the decoded record's
// size or -1.
using ChannelEncoder = int32_t (*)(const void* record, CNetData& cursor);
using ChannelDecoder = int32_t (*)(void* record, CNetData& cursor);

class ChannelCodec {
public:
    static constexpr int kTableSize = 32768;

    ChannelCodec();
    ChannelCodec(const ChannelCodec&) = delete;
    ChannelCodec& operator=(const ChannelCodec&) = delete;

    void Register(uint32_t type, ChannelEncoder encoder, ChannelDecoder decoder);
    int32_t Encode(uint32_t type, const void* record, void* out, int32_t capacity);
    int32_t Decode(uint32_t type, const void* in, int32_t length, void* record);

private:
    ChannelEncoder encoders_[kTableSize];
    ChannelDecoder decoders_[kTableSize];
    CNetData cursor_;
};

// The codec entries of types 1 to 7.
void RegisterChannelTypes(ChannelCodec& codec);
