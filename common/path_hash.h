#pragma once
#include <cstdint>
#include <string>

// The 64-bit key under which hash lists, version lists and path maps file a
// relative path. Case and the kind of separator do not matter: "/" counts as
// "\" and A to Z as a to z. Over the bytes, taken as signed values, two
// 32-bit sums run from 0, a = a * 7 + c and b = b * 31 + c; the key is a in
// the high half and b in the low half. The empty path gives 0.
uint64_t PathHash(const std::string& ansiPath);

// The same for a UTF-16 path, converted to the ANSI code page first.
uint64_t PathHash(const std::wstring& path);
