#include "common/record_file.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "common/file_util.h"

bool ReadRecordFile(const std::wstring& path, size_t recordSize, std::string& records) {
    if (!ReadWholeFile(path, records)) return false;
    size_t tail = records.size() % recordSize;
    if (tail != 0) {
        // A cut transfer or a torn write: keep what is whole.
        CommonLog("list " + WideToMulti(path, 0) + ": " + std::to_string(records.size()) +
                  " bytes are no whole number of " + std::to_string(recordSize) + "-byte records; " +
                  std::to_string(tail) + " trailing bytes ignored");
        records.resize(records.size() - tail);
    }
    return true;
}

uint64_t ReadLe64(const char* bytes) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
    return value;
}

void AppendLe64(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}
