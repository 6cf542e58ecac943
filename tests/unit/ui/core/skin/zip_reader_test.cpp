#include "ui/core/skin/zip_reader.h"
#include "tests/unit/ui/support/ui_test_support.h"

#include "common/unique_handle.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <vector>

using namespace QuillUI;

namespace {

const char kMainXml[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!-- the main window -->\n"
    "<Window size=\"800,572\" caption=\"0,0,0,30\">\n"
    "  <Button name=\"closebtn\" text=\"&lt;Close&gt;\"/>\n"
    "</Window>\n";

// Unpacks a whole item into memory, or returns the failing result.
ZipResult Unpack(ZipHandleUI* zip, const wchar_t* name, std::string* out) {
    int index = -1;
    ZipEntryUI entry;
    ZipResult result = FindZipItem(zip, name, false, &index, &entry);
    if (result != kZipOk) return result;
    out->assign(entry.uncompressedSize, '\0');
    return UnzipZipItem(zip, index, out->empty() ? nullptr : &(*out)[0], entry.uncompressedSize, kZipMemory);
}

void ExpectSkinContents(ZipHandleUI* zip) {
    ASSERT_NE(zip, nullptr);
    std::string data;
    EXPECT_EQ(Unpack(zip, L"layout/main.xml", &data), kZipOk);
    EXPECT_EQ(data, kMainXml);
    EXPECT_EQ(Unpack(zip, L"Layout/Mixed.XML", &data), kZipOk);
    EXPECT_EQ(data, "<Mixed case=\"yes\"/>");
    EXPECT_EQ(Unpack(zip, L"images/big.bin", &data), kZipOk);
    EXPECT_TRUE(data == Pattern(200000, 7));
    EXPECT_EQ(Unpack(zip, L"stored.bin", &data), kZipOk);
    EXPECT_TRUE(data == Pattern(40000, 3));
    EXPECT_EQ(Unpack(zip, L"empty.txt", &data), kZipOk);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(Unpack(zip, L"\u4E2D\u6587.xml", &data), kZipOk);
    EXPECT_EQ(data, "<\xE5\x90\x8D\xE5\x89\x8D \xE5\x80\xA4=\"\xE4\xB8\x80\"/>");
}

TEST(ZipReader, OpensFromAFileNameAHandleAndMemory) {
    const std::wstring path = FixturePath(L"skin.zip");
    ZipHandleUI* byName = OpenZipArchive(path.c_str(), 0, kZipFileName);
    EXPECT_EQ(GetLastZipResult(), kZipOk);
    ExpectSkinContents(byName);
    EXPECT_EQ(CloseZipArchive(byName), kZipOk);

    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    ZipHandleUI* byHandle = OpenZipArchive(file.Get(), 0, kZipHandle);
    file.Reset();  // the archive holds a duplicate of its own
    ExpectSkinContents(byHandle);
    EXPECT_EQ(CloseZipArchive(byHandle), kZipOk);

    const std::string bytes = ReadFixture(L"skin.zip");
    GuardedBytes memory(bytes.size());
    ZipHandleUI* inMemory = OpenZipArchive(memory.Place(bytes), static_cast<unsigned>(bytes.size()), kZipMemory);
    ExpectSkinContents(inMemory);
    EXPECT_EQ(CloseZipArchive(inMemory), kZipOk);
}

TEST(ZipReader, FindsNamesWithAndWithoutCase) {
    ZipHandleUI* zip = OpenZipArchive(FixturePath(L"skin.zip").c_str(), 0, kZipFileName);
    ASSERT_NE(zip, nullptr);
    int index = 99;
    ZipEntryUI entry;
    EXPECT_EQ(FindZipItem(zip, L"LAYOUT/MAIN.XML", true, &index, &entry), kZipOk);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(entry.index, 0);
    EXPECT_STREQ(entry.name, L"layout/main.xml");
    EXPECT_EQ(entry.uncompressedSize, sizeof(kMainXml) - 1);
    EXPECT_LT(entry.compressedSize, entry.uncompressedSize);

    EXPECT_EQ(FindZipItem(zip, L"LAYOUT/MAIN.XML", false, &index, &entry), kZipNotFound);
    EXPECT_EQ(GetLastZipResult(), kZipNotFound);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(entry.index, -1);
    EXPECT_EQ(entry.name[0], L'\0');
    EXPECT_EQ(entry.uncompressedSize, 0u);

    EXPECT_EQ(FindZipItem(zip, L"layout/mixed.xml", true, &index, nullptr), kZipOk);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(FindZipItem(zip, L"layout/main.xm", true, &index, nullptr), kZipNotFound);
    EXPECT_EQ(FindZipItem(zip, L"", true, &index, nullptr), kZipNotFound);
    EXPECT_EQ(FindZipItem(zip, L"\u4E2D\u6587.XML", true, &index, &entry), kZipOk);
    EXPECT_STREQ(entry.name, L"\u4E2D\u6587.xml");

    // Attributes and times come from the directory.
    EXPECT_EQ(FindZipItem(zip, L"images/", false, nullptr, &entry), kZipOk);
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(FindZipItem(zip, L"readonly.txt", false, nullptr, &entry), kZipOk);
    EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FindZipItem(zip, L"stored.bin", false, nullptr, &entry), kZipOk);
    EXPECT_FALSE(entry.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    FILETIME local;
    SYSTEMTIME when;
    ASSERT_TRUE(FileTimeToLocalFileTime(&entry.modificationTime, &local));
    ASSERT_TRUE(FileTimeToSystemTime(&local, &when));
    EXPECT_EQ(when.wYear, 2021);
    EXPECT_EQ(when.wMonth, 6);
    EXPECT_EQ(when.wDay, 15);
    EXPECT_EQ(when.wHour, 10);
    EXPECT_EQ(when.wMinute, 30);
    EXPECT_EQ(when.wSecond, 20);
    EXPECT_EQ(CompareFileTime(&entry.accessTime, &entry.modificationTime), 0);
    CloseZipArchive(zip);
}

TEST(ZipReader, UnpacksInPiecesAndRestartsForAnotherItem) {
    ZipHandleUI* zip = OpenZipArchive(FixturePath(L"skin.zip").c_str(), 0, kZipFileName);
    ASSERT_NE(zip, nullptr);
    for (const wchar_t* name : {L"images/big.bin", L"stored.bin"}) {
        int index = -1;
        ZipEntryUI entry;
        ASSERT_EQ(FindZipItem(zip, name, false, &index, &entry), kZipOk);
        std::string all, piece(7000, '\0');
        ZipResult result = kZipMoreData;
        int calls = 0;
        while (result == kZipMoreData && ++calls < 1000) {
            result = UnzipZipItem(zip, index, &piece[0], static_cast<unsigned>(piece.size()), kZipMemory);
            size_t got = result == kZipMoreData ? piece.size() : entry.uncompressedSize - all.size();
            all.append(piece, 0, got);
        }
        EXPECT_EQ(result, kZipOk) << name;
        EXPECT_EQ(all.size(), entry.uncompressedSize);
        EXPECT_TRUE(all == (index == 3 ? Pattern(200000, 7) : Pattern(40000, 3))) << name;
    }

    // Half-way through one item, another item starts afresh, and so does
    // the first one afterwards.
    char head[100];
    EXPECT_EQ(UnzipZipItem(zip, 3, head, sizeof(head), kZipMemory), kZipMoreData);
    std::string main;
    EXPECT_EQ(Unpack(zip, L"layout/main.xml", &main), kZipOk);
    EXPECT_EQ(main, kMainXml);
    EXPECT_EQ(UnzipZipItem(zip, 3, head, sizeof(head), kZipMemory), kZipMoreData);
    EXPECT_EQ(std::string(head, sizeof(head)), Pattern(200000, 7).substr(0, 100));
    EXPECT_EQ(UnzipZipItem(zip, 3, nullptr, 0, kZipMemory), kZipMoreData);
    EXPECT_EQ(UnzipZipItem(zip, 3, head, sizeof(head), kZipMemory), kZipMoreData);
    EXPECT_EQ(std::string(head, sizeof(head)), Pattern(200000, 7).substr(100, 100));
    CloseZipArchive(zip);
}

TEST(ZipReader, ArchivesBehindAPrefix) {
    const std::wstring path = FixturePath(L"prefixed.zip");
    // Opened at the file's start: the prefix is found from the directory.
    ZipHandleUI* whole = OpenZipArchive(path.c_str(), 0, kZipFileName);
    ExpectSkinContents(whole);
    CloseZipArchive(whole);

    // A handle positioned at the archive's start.
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER at;
    at.QuadPart = 3000;
    ASSERT_TRUE(SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN));
    ZipHandleUI* positioned = OpenZipArchive(file.Get(), 0, kZipHandle);
    ExpectSkinContents(positioned);
    CloseZipArchive(positioned);

    const std::string bytes = ReadFixture(L"prefixed.zip");
    GuardedBytes memory(bytes.size());
    ZipHandleUI* inMemory = OpenZipArchive(memory.Place(bytes), static_cast<unsigned>(bytes.size()), kZipMemory);
    ExpectSkinContents(inMemory);
    CloseZipArchive(inMemory);
}

TEST(ZipReader, EndRecordAndComments) {
    struct Case { const wchar_t* file; bool opens; };
    const Case cases[] = {
        {L"comment_max.zip", true},         // a 65,535-byte comment
        {L"comment_past.zip", false},       // one byte further from the end
        {L"comment_signature.zip", true},   // a false signature inside the comment
        {L"descriptor.zip", true},          // sizes behind the data
    };
    for (const Case& c : cases) {
        ZipHandleUI* zip = OpenZipArchive(FixturePath(c.file).c_str(), 0, kZipFileName);
        EXPECT_EQ(zip != nullptr, c.opens) << c.file;
        EXPECT_EQ(GetLastZipResult(), c.opens ? kZipOk : kZipCorrupt) << c.file;
        if (zip == nullptr) continue;
        std::string data;
        if (wcscmp(c.file, L"descriptor.zip") == 0) {
            EXPECT_EQ(Unpack(zip, L"d.xml", &data), kZipOk);
            EXPECT_EQ(data, "<d>" + std::string(5000, 'y') + "</d>");
            EXPECT_EQ(Unpack(zip, L"s.txt", &data), kZipOk);
            EXPECT_EQ(data, "stored behind a descriptor");
        } else {
            EXPECT_EQ(Unpack(zip, L"a.xml", &data), kZipOk);
            EXPECT_EQ(data, "<a x=\"1\"><b/></a>");
        }
        CloseZipArchive(zip);
    }
}

// A scratch folder under the test program, made the current folder while it lives.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name) {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        path_ = TestExeFolder() + name + L"\\";
        MakeDirectoryChain(path_);
        SetCurrentDirectoryW(path_.c_str());
    }
    ~ScratchFolder() { SetCurrentDirectoryW(previous_); }
    const std::wstring& Path() const { return path_; }

private:
    wchar_t previous_[MAX_PATH];
    std::wstring path_;
};

std::string Contents(const std::wstring& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

TEST(ZipReader, UnpacksToFilesAndHandles) {
    ScratchFolder scratch(L"zip_unpack_tmp");
    ZipHandleUI* zip = OpenZipArchive(FixturePath(L"skin.zip").c_str(), 0, kZipFileName);
    ASSERT_NE(zip, nullptr);
    const std::wstring target = scratch.Path() + L"out\\deep/big.bin";
    DeleteFileW(target.c_str());
    // Relative names are placed below the folder that was current at open
    // time, whatever is current now.
    SetCurrentDirectoryW(TestExeFolder().c_str());
    EXPECT_EQ(UnzipZipItem(zip, 3, const_cast<wchar_t*>(L"out\\deep/big.bin"), 0, kZipFileName), kZipOk);
    EXPECT_TRUE(Contents(target) == Pattern(200000, 7));
    EXPECT_FALSE(FileExists(target + L".tmp~"));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data));
    ZipEntryUI entry;
    FindZipItem(zip, L"images/big.bin", false, nullptr, &entry);
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &entry.modificationTime), 0);

    // Overwrites an existing file; a directory item only makes its folder.
    EXPECT_EQ(UnzipZipItem(zip, 1, const_cast<wchar_t*>(L"out\\deep/big.bin"), 0, kZipFileName), kZipOk);
    EXPECT_EQ(Contents(target), "<Mixed case=\"yes\"/>");
    EXPECT_EQ(UnzipZipItem(zip, 2, const_cast<wchar_t*>(L"made/images"), 0, kZipFileName), kZipOk);
    DWORD attributes = GetFileAttributesW((scratch.Path() + L"made\\images").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));

    // An absolute name is used as it is.
    const std::wstring absolute = scratch.Path() + L"absolute.xml";
    EXPECT_EQ(UnzipZipItem(zip, 0, const_cast<wchar_t*>(absolute.c_str()), 0, kZipFileName), kZipOk);
    EXPECT_EQ(Contents(absolute), kMainXml);

    // The item's attributes are kept.
    const std::wstring readOnly = scratch.Path() + L"ro.txt";
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(readOnly.c_str());
    EXPECT_EQ(UnzipZipItem(zip, 7, const_cast<wchar_t*>(L"ro.txt"), 0, kZipFileName), kZipOk);
    EXPECT_TRUE(GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Names that climb out of the folder are refused and nothing is written.
    for (const wchar_t* hostile : {L"..\\escape.bin", L"out/../../escape.bin", L"a:b.bin"}) {
        EXPECT_EQ(UnzipZipItem(zip, 0, const_cast<wchar_t*>(hostile), 0, kZipFileName), kZipCannotOpenFile) << hostile;
    }
    EXPECT_FALSE(FileExists(TestExeFolder() + L"escape.bin"));

    // To a handle: written at its position, the handle stays open.
    const std::wstring viaHandle = scratch.Path() + L"handle.bin";
    ScopedFileHandle file(CreateFileW(viaHandle.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    WriteFile(file.Get(), "head:", 5, &written, nullptr);
    EXPECT_EQ(UnzipZipItem(zip, 0, file.Get(), 0, kZipHandle), kZipOk);
    EXPECT_EQ(UnzipZipItem(zip, 2, file.Get(), 0, kZipHandle), kZipOk);  // a directory adds nothing
    EXPECT_TRUE(WriteFile(file.Get(), ":tail", 5, &written, nullptr));
    file.Reset();
    EXPECT_EQ(Contents(viaHandle), std::string("head:") + kMainXml + ":tail");
    CloseZipArchive(zip);
}

TEST(ZipReader, FaultyArgumentsAndSources) {
    EXPECT_EQ(OpenZipArchive(FixturePath(L"missing.zip").c_str(), 0, kZipFileName), nullptr);
    EXPECT_EQ(GetLastZipResult(), kZipCannotOpenFile);
    EXPECT_EQ(OpenZipArchive(FixturePath(L"skin.zip").c_str(), 0, 9), nullptr);
    EXPECT_EQ(GetLastZipResult(), kZipBadArguments);
    EXPECT_EQ(OpenZipArchive(INVALID_HANDLE_VALUE, 0, kZipHandle), nullptr);
    EXPECT_EQ(GetLastZipResult(), kZipCannotDuplicate);
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    EXPECT_EQ(OpenZipArchive(readEnd, 0, kZipHandle), nullptr);
    EXPECT_EQ(GetLastZipResult(), kZipCannotSeek);
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    EXPECT_EQ(OpenZipArchive(nullptr, 10, kZipMemory), nullptr);
    EXPECT_EQ(GetLastZipResult(), kZipBadArguments);
    EXPECT_EQ(OpenZipArchive("PK", 2, kZipMemory), nullptr);
    EXPECT_EQ(GetLastZipResult(), kZipCorrupt);

    char buffer[16];
    EXPECT_EQ(UnzipZipItem(nullptr, 0, buffer, sizeof(buffer), kZipMemory), kZipBadArguments);
    EXPECT_EQ(CloseZipArchive(nullptr), kZipBadArguments);
    struct { unsigned int marker; void* archive; } writer = {2, nullptr};
    ZipHandleUI* notUnzip = reinterpret_cast<ZipHandleUI*>(&writer);
    EXPECT_EQ(FindZipItem(notUnzip, L"a", true, nullptr, nullptr), kZipNotUnzipHandle);
    EXPECT_EQ(CloseZipArchive(notUnzip), kZipNotUnzipHandle);
    EXPECT_EQ(GetLastZipResult(), kZipNotUnzipHandle);

    ZipHandleUI* zip = OpenZipArchive(FixturePath(L"small.zip").c_str(), 0, kZipFileName);
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(UnzipZipItem(zip, 2, buffer, sizeof(buffer), kZipMemory), kZipBadArguments);
    EXPECT_EQ(UnzipZipItem(zip, -1, buffer, sizeof(buffer), kZipMemory), kZipBadArguments);
    EXPECT_EQ(UnzipZipItem(zip, 0, nullptr, 5, kZipMemory), kZipBadArguments);
    EXPECT_EQ(UnzipZipItem(zip, 0, buffer, sizeof(buffer), 7), kZipBadArguments);
    EXPECT_EQ(FindZipItem(zip, nullptr, true, nullptr, nullptr), kZipBadArguments);
    EXPECT_EQ(CloseZipArchive(zip), kZipOk);
}

// --- Malformed archives -------------------------------------------------

uint32_t Get32(const std::string& b, size_t at) {
    return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8) | (uint8_t(b[at + 2]) << 16) | (uint32_t(uint8_t(b[at + 3])) << 24);
}
uint16_t Get16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); }
void Put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}
void Put16(std::string& b, size_t at, uint16_t v) {
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}

// Where the structures of small.zip lie: a.xml (deflated), then b.txt (stored).
struct Layout {
    size_t end, directory, central[2], local[2], data[2];
};

Layout Locate(const std::string& zip) {
    Layout l;
    l.end = zip.rfind(std::string("PK\x05\x06", 4));
    l.directory = Get32(zip, l.end + 16);
    l.central[0] = l.directory;
    l.central[1] = l.central[0] + 46 + Get16(zip, l.central[0] + 28) + Get16(zip, l.central[0] + 30) + Get16(zip, l.central[0] + 32);
    for (int i = 0; i < 2; ++i) {
        l.local[i] = Get32(zip, l.central[i] + 42);
        l.data[i] = l.local[i] + 30 + Get16(zip, l.local[i] + 26) + Get16(zip, l.local[i] + 28);
    }
    return l;
}

TEST(ZipReader, MalformedArchivesFailCleanly) {
    const std::string good = ReadFixture(L"small.zip");
    ASSERT_FALSE(good.empty());
    const Layout l = Locate(good);
    struct Case {
        const char* what;
        std::function<void(std::string&)> change;
        ZipResult open;    // result of opening
        ZipResult item[2];  // results of unpacking each item when it opens
    };
    const Case cases[] = {
        {"unchanged", [](std::string&) {}, kZipOk, {kZipOk, kZipOk}},
        {"empty", [](std::string& z) { z.clear(); }, kZipCorrupt, {}},
        {"shorter than an end record", [](std::string& z) { z.resize(21); }, kZipCorrupt, {}},
        {"end record cut", [&](std::string& z) { z.resize(l.end + 10); }, kZipCorrupt, {}},
        {"directory cut away", [&](std::string& z) { z.erase(l.directory, 20); }, kZipCorrupt, {}},
        {"directory offset past the end", [&](std::string& z) { Put32(z, l.end + 16, 0xFFFFFFF0u); }, kZipCorrupt, {}},
        {"directory size past the end", [&](std::string& z) { Put32(z, l.end + 12, 0xFFFFFFF0u); }, kZipCorrupt, {}},
        {"more entries than the directory holds", [&](std::string& z) { Put16(z, l.end + 8, 900); Put16(z, l.end + 10, 900); }, kZipCorrupt, {}},
        {"entries on this disk differ from the total", [&](std::string& z) { Put16(z, l.end + 8, 1); }, kZipCorrupt, {}},
        {"second disk", [&](std::string& z) { Put16(z, l.end + 4, 1); }, kZipCorrupt, {}},
        {"huge name length", [&](std::string& z) { Put16(z, l.central[0] + 28, 0xFFFF); }, kZipCorrupt, {}},
        {"huge extra length", [&](std::string& z) { Put16(z, l.central[1] + 30, 0xFFFF); }, kZipCorrupt, {}},
        {"huge comment length", [&](std::string& z) { Put16(z, l.central[1] + 32, 0x8000); }, kZipCorrupt, {}},
        {"bad directory signature", [&](std::string& z) { z[l.central[1]] = 'X'; }, kZipCorrupt, {}},
        {"local header offset past the end", [&](std::string& z) { Put32(z, l.central[0] + 42, 0xFFFFFFF0u); }, kZipOk, {kZipCorrupt, kZipOk}},
        {"local header at the archive's last bytes", [&](std::string& z) { Put32(z, l.central[1] + 42, uint32_t(z.size() - 10)); }, kZipOk, {kZipOk, kZipCorrupt}},
        {"compressed size past the end", [&](std::string& z) { Put32(z, l.central[1] + 20, 0xFFFFFFFFu); Put32(z, l.local[1] + 18, 0xFFFFFFFFu); }, kZipOk, {kZipOk, kZipCorrupt}},
        {"sizes differ from the local header", [&](std::string& z) { Put32(z, l.central[0] + 24, 1000); }, kZipOk, {kZipCorrupt, kZipOk}},
        {"bad local signature", [&](std::string& z) { z[l.local[1] + 2] = 9; }, kZipOk, {kZipOk, kZipCorrupt}},
        {"huge local name length", [&](std::string& z) { Put16(z, l.local[0] + 26, 0xFFFF); }, kZipOk, {kZipCorrupt, kZipOk}},
        {"huge local extra length", [&](std::string& z) { Put16(z, l.local[1] + 28, 0xFFFF); }, kZipOk, {kZipOk, kZipCorrupt}},
        {"unknown method", [&](std::string& z) { Put16(z, l.central[0] + 10, 12); Put16(z, l.local[0] + 8, 12); }, kZipOk, {kZipCorrupt, kZipOk}},
        {"encrypted", [&](std::string& z) { z[l.central[1] + 8] |= 1; z[l.local[1] + 6] |= 1; }, kZipOk, {kZipOk, kZipCorrupt}},
        {"stored sizes disagree", [&](std::string& z) { Put32(z, l.central[1] + 24, 5); Put32(z, l.local[1] + 22, 5); }, kZipOk, {kZipOk, kZipCorrupt}},
        {"deflated data damaged", [&](std::string& z) { for (size_t i = 0; i < 6; ++i) z[l.data[0] + i] = char(0xFF); }, kZipOk, {kZipInflateFailed, kZipOk}},
        {"recorded size beyond the stream", [&](std::string& z) { Put32(z, l.central[0] + 24, 500); Put32(z, l.local[0] + 22, 500); }, kZipOk, {kZipInflateFailed, kZipOk}},
        {"CRC mismatch", [&](std::string& z) { Put32(z, l.central[1] + 16, 1); Put32(z, l.local[1] + 14, 1); }, kZipOk, {kZipOk, kZipInflateFailed}},
        {"stored data changed", [&](std::string& z) { z[l.data[1]] ^= 0x20; }, kZipOk, {kZipOk, kZipInflateFailed}},
    };
    GuardedBytes memory(good.size() + 16);
    for (const Case& c : cases) {
        std::string bytes = good;
        c.change(bytes);
        ZipHandleUI* zip = OpenZipArchive(memory.Place(bytes), static_cast<unsigned>(bytes.size()), kZipMemory);
        EXPECT_EQ(GetLastZipResult(), c.open) << c.what;
        if (zip == nullptr) continue;
        for (int i = 0; i < 2; ++i) {
            char out[64];
            EXPECT_EQ(UnzipZipItem(zip, i, out, sizeof(out), kZipMemory), c.item[i]) << c.what << " item " << i;
        }
        CloseZipArchive(zip);
    }
}

TEST(ZipReader, FailedUnpackToAFileKeepsTheOldFile) {
    ScratchFolder scratch(L"zip_keep_tmp");
    std::string bytes = ReadFixture(L"small.zip");
    const Layout l = Locate(bytes);
    Put32(bytes, l.central[1] + 16, 1);  // b.txt's CRC no longer matches
    Put32(bytes, l.local[1] + 14, 1);
    ZipHandleUI* zip = OpenZipArchive(bytes.data(), static_cast<unsigned>(bytes.size()), kZipMemory);
    ASSERT_NE(zip, nullptr);
    ASSERT_TRUE(WriteFileAtomically(scratch.Path() + L"b.txt", "old", 3));
    EXPECT_EQ(UnzipZipItem(zip, 1, const_cast<wchar_t*>(L"b.txt"), 0, kZipFileName), kZipInflateFailed);
    EXPECT_EQ(Contents(scratch.Path() + L"b.txt"), "old");
    EXPECT_FALSE(FileExists(scratch.Path() + L"b.txt.tmp~"));
    CloseZipArchive(zip);
}

// Random damage to valid archives: whatever the bytes, the reader stays
// inside them, ends every call and answers with one of its codes.
TEST(ZipReader, SurvivesRandomDamage) {
    const std::vector<std::string> samples = {ReadFixture(L"small.zip"), ReadFixture(L"descriptor.zip"),
                                              ReadFixture(L"comment_signature.zip")};
    const std::set<ZipResult> known = {kZipOk, kZipNotFound, kZipMoreData, kZipCorrupt, kZipReadFailed,
                                       kZipBadArguments, kZipInflateFailed};
    const wchar_t* names[] = {L"a.xml", L"b.txt", L"d.xml", L"s.txt"};
    std::mt19937 random(20240607);
    GuardedBytes memory(64 * 1024);
    int opened = 0, unpacked = 0, refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = samples[round % samples.size()];
        const int damage = 1 + static_cast<int>(random() % 4);
        for (int d = 0; d < damage && !bytes.empty(); ++d) {
            size_t at = random() % bytes.size();
            switch (random() % 5) {
            case 0: bytes[at] = static_cast<char>(random()); break;
            case 1: bytes[at] ^= static_cast<char>(1u << (random() % 8)); break;
            case 2:
                for (size_t i = at; i < at + 4 && i < bytes.size(); ++i) bytes[i] = char(0xFF);
                break;
            case 3:
                for (size_t i = at; i < at + 2 && i < bytes.size(); ++i) bytes[i] = 0;
                break;
            default: bytes.resize(at); break;
            }
        }
        ZipHandleUI* zip = OpenZipArchive(memory.Place(bytes), static_cast<unsigned>(bytes.size()), kZipMemory);
        ASSERT_TRUE(known.count(GetLastZipResult())) << round;
        if (zip == nullptr) continue;
        ++opened;
        for (const wchar_t* name : names) FindZipItem(zip, name, (round & 1) != 0, nullptr, nullptr);
        char out[4096];
        for (int index = 0; index < 8; ++index) {
            ZipResult result = kZipMoreData;
            int calls = 0;
            while (result == kZipMoreData && calls++ < 64)
                result = UnzipZipItem(zip, index, out, 1 + static_cast<unsigned>(random() % sizeof(out)), kZipMemory);
            ASSERT_TRUE(known.count(result)) << round << " " << index << " " << result;
            if (result == kZipBadArguments) break;
            if (result == kZipOk) ++unpacked;
            else if (result != kZipMoreData) ++refused;
        }
        EXPECT_EQ(CloseZipArchive(zip), kZipOk);
    }
    // The damage must leave enough archives whole to reach the item code.
    EXPECT_GT(opened, 2000);
    EXPECT_GT(unpacked, 1000);
    EXPECT_GT(refused, 1000);
    printf("opened %d, items unpacked %d, items refused %d\n", opened, unpacked, refused);
}

}  // namespace
