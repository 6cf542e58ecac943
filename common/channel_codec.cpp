#include "common/channel_codec.h"

#include "common/channel_types.h"

ChannelCodec::ChannelCodec() {
    for (int i = 0; i < kTableSize; ++i) {
        encoders_[i] = nullptr;
        decoders_[i] = nullptr;
    }
}

void ChannelCodec::Register(uint32_t type, ChannelEncoder encoder, ChannelDecoder decoder) {
    if (type >= kTableSize) return;
    encoders_[type] = encoder;
    decoders_[type] = decoder;
}

int32_t ChannelCodec::Encode(uint32_t type, const void* record, void* out, int32_t capacity) {
    if (type >= kTableSize || encoders_[type] == nullptr) return -1;
    cursor_.Reset(out, capacity);
    return encoders_[type](record, cursor_);
}

int32_t ChannelCodec::Decode(uint32_t type, const void* in, int32_t length, void* record) {
    if (type >= kTableSize || decoders_[type] == nullptr) return -1;
    cursor_.Reset(const_cast<void*>(in), length);
    return decoders_[type](record, cursor_);
}

namespace {

int32_t EncodeInt(const void* record, CNetData& cursor) {
    return cursor.PutInt32(static_cast<const ChannelIntRecord*>(record)->value);
}
int32_t DecodeInt(void* record, CNetData& cursor) {
    if (cursor.GetInt32(&static_cast<ChannelIntRecord*>(record)->value) < 0) return -1;
    return static_cast<int32_t>(sizeof(ChannelIntRecord));
}

int32_t EncodeSlotText(const void* record, CNetData& cursor) {
    const auto* r = static_cast<const ChannelSlotTextRecord*>(record);
    if (cursor.PutInt32(r->slot) < 0) return -1;
    return cursor.PutString(r->text, kChannelTextCapacity);
}
int32_t DecodeSlotText(void* record, CNetData& cursor) {
    auto* r = static_cast<ChannelSlotTextRecord*>(record);
    if (cursor.GetInt32(&r->slot) < 0) return -1;
    if (cursor.GetString(r->text, kChannelTextCapacity) < 0) return -1;
    return static_cast<int32_t>(sizeof(ChannelSlotTextRecord));
}

int32_t EncodeProgress(const void* record, CNetData& cursor) {
    const auto* r = static_cast<const ChannelProgressRecord*>(record);
    if (cursor.PutInt32(r->done) < 0) return -1;
    return cursor.PutInt32(r->total);
}
int32_t DecodeProgress(void* record, CNetData& cursor) {
    auto* r = static_cast<ChannelProgressRecord*>(record);
    if (cursor.GetInt32(&r->done) < 0 || cursor.GetInt32(&r->total) < 0) return -1;
    return static_cast<int32_t>(sizeof(ChannelProgressRecord));
}

int32_t EncodeText(const void* record, CNetData& cursor) {
    return cursor.PutString(static_cast<const ChannelTextRecord*>(record)->text, kChannelTextCapacity);
}
int32_t DecodeText(void* record, CNetData& cursor) {
    if (cursor.GetString(static_cast<ChannelTextRecord*>(record)->text, kChannelTextCapacity) < 0) return -1;
    return static_cast<int32_t>(sizeof(ChannelTextRecord));
}

}  // namespace

void RegisterChannelTypes(ChannelCodec& codec) {
    codec.Register(CF_NOTIFY_WND, EncodeInt, DecodeInt);
    codec.Register(CF_CALLBACK_TYPE, EncodeInt, DecodeInt);
    codec.Register(CF_TEXT_SLOT, EncodeSlotText, DecodeSlotText);
    codec.Register(CF_PROGRESS, EncodeProgress, DecodeProgress);
    codec.Register(CF_ACTION, EncodeSlotText, DecodeSlotText);
    codec.Register(CF_LAUNCHER_TEXT, EncodeText, DecodeText);
    codec.Register(CF_CORE_TEXT, EncodeText, DecodeText);
}
