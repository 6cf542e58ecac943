#pragma once
#include <cstdint>
#include <string>

// A version as major, minor and build, written "%d.%d.%d" and ordered by
// major, then minor, then build.
struct VersionTriple {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t build = 0;

    VersionTriple() = default;
    VersionTriple(int32_t majorPart, int32_t minorPart, int32_t buildPart)
        : major(majorPart), minor(minorPart), build(buildPart) {}

    // Reads "%d.%d.%d"; false, leaving the result untouched, unless all
    // three numbers are there.
    static bool Parse(const std::string& text, VersionTriple& out);
    static bool Parse(const std::wstring& text, VersionTriple& out);

    std::string ToText() const;
    std::wstring ToWideText() const;

    // The form of the version list: major * 10,000,000 + minor * 100,000 + build.
    uint64_t Packed() const;
    static VersionTriple FromPacked(uint64_t packed);

    bool operator<(const VersionTriple& other) const;
    bool operator==(const VersionTriple& other) const;
    bool operator!=(const VersionTriple& other) const { return !(*this == other); }
    bool operator<=(const VersionTriple& other) const { return !(other < *this); }
    bool operator>(const VersionTriple& other) const { return other < *this; }
    bool operator>=(const VersionTriple& other) const { return !(*this < other); }
};

// "%d.%d.%d" of a packed version, each part by unsigned 64-bit division.
std::string PackedVersionText(uint64_t packed);
