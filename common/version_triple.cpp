#include "common/version_triple.h"

#include "common/code_page.h"

#include <cstdio>

namespace {

constexpr uint64_t kMajorUnit = 10000000;
constexpr uint64_t kMinorUnit = 100000;

}  // namespace

bool VersionTriple::Parse(const std::string& text, VersionTriple& out) {
    int majorPart = 0, minorPart = 0, buildPart = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d", &majorPart, &minorPart, &buildPart) != 3) return false;
    out = VersionTriple(majorPart, minorPart, buildPart);
    return true;
}

bool VersionTriple::Parse(const std::wstring& text, VersionTriple& out) {
    return Parse(WideToMulti(text, 0), out);
}

std::string VersionTriple::ToText() const {
    char text[40];
    std::snprintf(text, sizeof(text), "%d.%d.%d", static_cast<int>(major), static_cast<int>(minor),
                  static_cast<int>(build));
    return text;
}

std::wstring VersionTriple::ToWideText() const { return MultiToWide(ToText(), 0); }

uint64_t VersionTriple::Packed() const {
    return static_cast<uint64_t>(static_cast<int64_t>(major) * static_cast<int64_t>(kMajorUnit) +
                                 static_cast<int64_t>(minor) * static_cast<int64_t>(kMinorUnit) + build);
}

VersionTriple VersionTriple::FromPacked(uint64_t packed) {
    return VersionTriple(static_cast<int32_t>(packed / kMajorUnit),
                         static_cast<int32_t>((packed % kMajorUnit) / kMinorUnit),
                         static_cast<int32_t>(packed % kMinorUnit));
}

bool VersionTriple::operator<(const VersionTriple& other) const {
    if (major != other.major) return major < other.major;
    if (minor != other.minor) return minor < other.minor;
    return build < other.build;
}

bool VersionTriple::operator==(const VersionTriple& other) const {
    return major == other.major && minor == other.minor && build == other.build;
}

std::string PackedVersionText(uint64_t packed) {
    // The leading part is printed unsigned: a stray huge value must not wrap.
    char text[64];
    std::snprintf(text, sizeof(text), "%llu.%llu.%llu", static_cast<unsigned long long>(packed / kMajorUnit),
                  static_cast<unsigned long long>((packed % kMajorUnit) / kMinorUnit),
                  static_cast<unsigned long long>(packed % kMinorUnit));
    return text;
}
