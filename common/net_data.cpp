#include "common/net_data.h"

#include <cstring>

void CNetData::Reset(void* buffer, int32_t limit) {
    buffer_ = static_cast<uint8_t*>(buffer);
    limit_ = limit;
    position_ = 0;
}

bool CNetData::Fits(int64_t bytes) const {
    return buffer_ != nullptr && bytes >= 0 && limit_ >= 0 &&
           static_cast<int64_t>(position_) + bytes <= static_cast<int64_t>(limit_);
}

int32_t CNetData::PutUInt16(uint16_t value) {
    if (!Fits(2)) return -1;
    buffer_[position_] = static_cast<uint8_t>(value >> 8);
    buffer_[position_ + 1] = static_cast<uint8_t>(value);
    position_ += 2;
    return position_;
}

int32_t CNetData::PutInt32(int32_t value) {
    if (!Fits(4)) return -1;
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) buffer_[position_ + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
    position_ += 4;
    return position_;
}

int32_t CNetData::GetUInt16(uint16_t* out) {
    if (!Fits(2)) return -1;
    *out = static_cast<uint16_t>((buffer_[position_] << 8) | buffer_[position_ + 1]);
    position_ += 2;
    return position_;
}

int32_t CNetData::GetInt32(int32_t* out) {
    if (!Fits(4)) return -1;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | buffer_[position_ + i];
    *out = static_cast<int32_t>(v);
    position_ += 4;
    return position_;
}

int32_t CNetData::BoundedLength(const char* text, int32_t count) {
    if (text == nullptr || count <= 0) return 0;
    const void* nul = std::memchr(text, 0, static_cast<size_t>(count));
    return nul != nullptr ? static_cast<int32_t>(static_cast<const char*>(nul) - text) : count;
}

int32_t CNetData::PutString(const char* text, int32_t capacity) {
    int32_t n = BoundedLength(text, capacity - 1);
    if (n > 0 && n == capacity - 1) {
        // The text reached the limit: drop a UTF-8 sequence left incomplete by the cut.
        int32_t lead = n - 1;
        int32_t trailing = 0;
        while (lead > 0 && trailing < 3 && (static_cast<uint8_t>(text[lead]) & 0xC0) == 0x80) {
            --lead;
            ++trailing;
        }
        uint8_t first = static_cast<uint8_t>(text[lead]);
        int32_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        if (length > 1 && length > trailing + 1) n = lead;
    }
    if (!Fits(static_cast<int64_t>(n) + 2)) return -1;
    PutUInt16(static_cast<uint16_t>(n));
    if (n > 0) std::memcpy(buffer_ + position_, text, static_cast<size_t>(n));
    position_ += n;
    return position_;
}

int32_t CNetData::GetString(char* out, int32_t capacity) {
    uint16_t n = 0;
    if (GetUInt16(&n) < 0) return -1;
    if (!Fits(n) || static_cast<int32_t>(n) + 1 > capacity) return -1;
    if (n > 0) std::memcpy(out, buffer_ + position_, n);
    out[n] = '\0';
    position_ += n;
    return position_;
}
