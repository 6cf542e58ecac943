#pragma once
#include <cstdint>

// A bounded cursor over a message body. Integers are big-endian; a string is
// a 16-bit byte count followed by the bytes. Every operation returns the new
// position, or -1 when it would pass the limit (and then writes nothing).
class CNetData {
public:
    virtual ~CNetData() = default;

    void Reset(void* buffer, int32_t limit);
    int32_t Position() const { return position_; }

    int32_t PutUInt16(uint16_t value);
    int32_t PutInt32(int32_t value);
    int32_t GetUInt16(uint16_t* out);
    int32_t GetInt32(int32_t* out);
    // Writes at most capacity-1 bytes of text, cut back to a whole UTF-8 character.
    int32_t PutString(const char* text, int32_t capacity);
    // Reads a string into out (capacity bytes with the terminating NUL).
    int32_t GetString(char* out, int32_t capacity);

    // Index of the first NUL among the first count bytes, or count.
    static int32_t BoundedLength(const char* text, int32_t count);

private:
    bool Fits(int64_t bytes) const;

    uint8_t* buffer_ = nullptr;
    int32_t limit_ = 0;
    int32_t position_ = 0;
};
