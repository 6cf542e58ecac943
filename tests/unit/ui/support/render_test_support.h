#pragma once
#include "common/file_util.h"
#include "common/win.h"
#include "ui/core/render/dib_section_ui.h"
#include "ui/core/render/gdi_handles.h"
#include "ui/core/render/platform_functions_ui.h"
#include "ui/core/skin/skin_location.h"
#include "tests/unit/ui/support/ui_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// The colour channels of two 0x..RRGGBB values, allowed to differ by the
// rounding of blending.
inline ::testing::AssertionResult Near(uint32_t expected, uint32_t actual, int tolerance = 1) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference = static_cast<int>((expected >> shift) & 0xFF) - static_cast<int>((actual >> shift) & 0xFF);
        if (std::abs(difference) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "expected 0x" << expected << ", got 0x" << actual;
    }
    return ::testing::AssertionSuccess();
}

// The live GDI objects of this process. Wine answers GetGuiResources with
// 0; there a handle whose high word is 0 names the slot whatever object
// lives in it, so the live slots are counted instead.
inline int GdiObjectCount() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return static_cast<int>(reported);
    int live = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++live;
    }
    return live;
}

// An 8-bit RGBA PNG of pixels given as 0xAARRGGBB, row by row.
inline std::string EncodePng(int width, int height, const std::vector<uint32_t>& argb) {
    std::string rows;
    for (int y = 0; y < height; ++y) {
        rows += '\0';
        for (int x = 0; x < width; ++x) {
            const uint32_t c = argb[static_cast<size_t>(y) * width + x];
            rows += static_cast<char>(c >> 16);
            rows += static_cast<char>(c >> 8);
            rows += static_cast<char>(c);
            rows += static_cast<char>(c >> 24);
        }
    }
    auto be32 = [](uint32_t v) {
        std::string out(4, '\0');
        for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(v >> (24 - 8 * i));
        return out;
    };
    auto chunk = [&](const char* kind, const std::string& data) {
        const std::string body = std::string(kind, 4) + data;
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
        return be32(static_cast<uint32_t>(data.size())) + body + be32(static_cast<uint32_t>(crc));
    };
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(rows.data()),
             static_cast<uLong>(rows.size()));
    packed.resize(packedSize);
    std::string header = be32(width) + be32(height);
    header += '\x08';
    header += '\x06';
    header += std::string(3, '\0');
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed) +
           chunk("IEND", std::string());
}

// A top-down 32-bit DIB selected into a memory DC, read back pixel by pixel
// as 0xAARRGGBB.
class DibSurface {
public:
    DibSurface(int width, int height, uint32_t fill = 0xFFFFFFFF) : width_(width), height_(height) {
        uint8_t* bits = nullptr;
        bitmap_.Reset(QuillUI::CreateDibSection32(nullptr, width, height, true, &bits));
        bits_ = reinterpret_cast<uint32_t*>(bits);
        dc_.Reset(CreateCompatibleDC(nullptr));
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
        Fill(fill);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface() { SelectObject(dc_.Get(), old_); }

    HDC Dc() const { return dc_.Get(); }
    RECT Bounds() const { return RECT{0, 0, width_, height_}; }
    void Fill(uint32_t argb) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = argb;
    }
    uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return bits_[static_cast<size_t>(y) * width_ + x];
    }
    // The colour without alpha: GDI fills leave the alpha byte alone.
    uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0xFFFFFF; }

private:
    int width_;
    int height_;
    QuillUI::ScopedBitmap bitmap_;
    uint32_t* bits_ = nullptr;
    QuillUI::ScopedMemoryDC dc_;
    HGDIOBJ old_ = nullptr;
};

// A skin folder of the test's own, made the resource path for the scope;
// the skin location is put back as it was afterwards.
class ScopedSkinFolder {
public:
    explicit ScopedSkinFolder(const wchar_t* name) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"quill_render_" + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        oldPath_ = QuillUI::CSkinLocationUI::GetResourcePath().GetData();
        oldZip_ = QuillUI::CSkinLocationUI::GetResourceZip().GetData();
        oldCached_ = QuillUI::CSkinLocationUI::IsCachedResourceZip();
        oldHandle_ = QuillUI::CSkinLocationUI::GetResourceZipHandle();
        QuillUI::CSkinLocationUI::SetResourcePath(folder_.c_str());
        QuillUI::CSkinLocationUI::SetResourceZipState(L"", true, nullptr);
    }
    ScopedSkinFolder(const ScopedSkinFolder&) = delete;
    ScopedSkinFolder& operator=(const ScopedSkinFolder&) = delete;
    ~ScopedSkinFolder() {
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
        RemoveDirectoryW(folder_.c_str());
        QuillUI::CSkinLocationUI::SetResourcePath(oldPath_.c_str());
        QuillUI::CSkinLocationUI::SetResourceZipState(oldZip_.c_str(), oldCached_, oldHandle_);
    }

    const std::wstring& Folder() const { return folder_; }
    std::wstring Write(const wchar_t* name, const std::string& bytes) {
        const std::wstring path = folder_ + name;
        WriteFileAtomically(path, bytes.data(), bytes.size());
        files_.push_back(path);
        return path;
    }

private:
    std::wstring folder_;
    std::vector<std::wstring> files_;
    std::wstring oldPath_;
    std::wstring oldZip_;
    bool oldCached_ = true;
    QuillUI::ZipHandleUI* oldHandle_ = nullptr;
};

// Hides AlphaBlend and GradientFill for the scope, so the framework's own
// replacements draw.
class ScopedForcedFallbacks {
public:
    ScopedForcedFallbacks() { QuillUI::OverridePlatformFunctions(&none_); }
    ScopedForcedFallbacks(const ScopedForcedFallbacks&) = delete;
    ScopedForcedFallbacks& operator=(const ScopedForcedFallbacks&) = delete;
    ~ScopedForcedFallbacks() { QuillUI::OverridePlatformFunctions(nullptr); }

private:
    QuillUI::PlatformFunctionsUI none_;
};
