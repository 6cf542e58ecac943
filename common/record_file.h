#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Files of fixed-size records without a header (hash lists, version list).
// Reads the whole records of a file; a tail shorter than one record is cut
// off and logged. False when the file cannot be opened or read.
bool ReadRecordFile(const std::wstring& path, size_t recordSize, std::string& records);

uint64_t ReadLe64(const char* bytes);
void AppendLe64(std::string& out, uint64_t value);
