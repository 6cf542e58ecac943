// Packages made by 7zz at build time (packages/make_packages.py), unpacked
// and compared with the tree they were made from.
#include "common/md5.h"
#include "common/package_extractor.h"
#include "log_capture.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::wstring Packages() { return TestExeFolder() + L"packages\\"; }

using Tree = std::map<std::wstring, std::string>;

Tree ListOf(const std::wstring& folder) {
    Tree tree;
    ListTree(folder, tree);
    return tree;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    EntryNameToNarrow(text, out);
    return out;
}

// What a package of the source tree must unpack to: every file and folder,
// except that an empty folder's own entry brings only the folders above it.
Tree ExpectedTree() {
    Tree tree = ListOf(Packages() + L"src");
    tree.erase(L"void\\inner\\");
    return tree;
}

TEST(PackageExtractor, EveryMethodUnpacksByteForByte) {
    Tree expected = ExpectedTree();
    ASSERT_GT(expected.size(), 10u) << "packages were not built";
    ASSERT_EQ(expected.count(L"\u6570\u636E\\Gr\u00FC\u00DFe_\u00FC.txt"), 1u);
    ASSERT_EQ(expected[L"empty.bin"], "");
    ASSERT_GT(expected[L"big.bin"].size(), 3u << 20);
    for (const wchar_t* method :
         {L"lzma", L"lzma_solid", L"lzma2", L"lzma2_solid", L"lzma_small_dictionary", L"lzma2_small_dictionary",
          L"bcj", L"bcj_lzma2", L"bcj_small_dictionary", L"bcj_ppmd", L"bcj2", L"bcj2_small_dictionary", L"arm64",
          L"arm", L"armt", L"ppc", L"sparc", L"ia64", L"riscv", L"delta", L"ppmd", L"ppmd_solid", L"copy"}) {
        std::wstring destination = ScratchFolder(std::wstring(L"extract_") + method);
        EXPECT_EQ(ExtractAll(Packages() + method + L".pkg", destination), kExtractOk) << Narrow(method);
        Tree actual = ListOf(destination);
        EXPECT_EQ(actual.size(), expected.size()) << Narrow(method);
        for (const auto& entry : expected) {
            auto it = actual.find(entry.first);
            ASSERT_NE(it, actual.end()) << Narrow(method) << ": " << Narrow(entry.first);
            EXPECT_TRUE(it->second == entry.second) << Narrow(method) << ": " << Narrow(entry.first);
        }
    }
}

// 7zz packs programs with a branch filter of its own choosing.
TEST(PackageExtractor, RealProgramsUnpackByteForByte) {
    Tree expected = ListOf(Packages() + L"programs_src");
    ASSERT_GE(expected.size(), 3u);
    std::wstring destination = ScratchFolder(L"extract_programs");
    ASSERT_EQ(ExtractAll(Packages() + L"programs.pkg", destination), kExtractOk);
    Tree actual = ListOf(destination);
    EXPECT_EQ(actual.size(), expected.size());
    for (const auto& entry : expected) {
        auto it = actual.find(entry.first);
        ASSERT_NE(it, actual.end()) << Narrow(entry.first);
        EXPECT_TRUE(it->second == entry.second) << Narrow(entry.first);
    }
}

struct MemoryLimit {
    explicit MemoryLimit(size_t bytes) { SetPackageMemoryLimit(bytes); }
    ~MemoryLimit() { SetPackageMemoryLimit(0); }
};

// Blocks far larger than their dictionary unpack within little more than
// the dictionary: nothing holds a whole block.
TEST(PackageExtractor, BlocksUnpackWithinABoundedBudget) {
    Tree expected = ExpectedTree();
    MemoryLimit limit(2 << 20);
    for (const wchar_t* method : {L"lzma2_small_dictionary", L"bcj_small_dictionary", L"bcj2_small_dictionary"}) {
        std::wstring destination = ScratchFolder(std::wstring(L"extract_budget_") + method);
        ASSERT_EQ(ExtractAll(Packages() + method + L".pkg", destination), kExtractOk) << Narrow(method);
        EXPECT_TRUE(ReadFileText(destination + L"\\big.bin") == expected[L"big.bin"]) << Narrow(method);
    }
}

TEST(PackageExtractor, LackOfMemoryHasItsOwnResult) {
    struct Case {
        const wchar_t* package;
        size_t limit;
    } cases[] = {
        {L"lzma2_solid", 1},      // not even the headers
        {L"lzma2_solid", 1 << 18}, // the headers, not the dictionary
        {L"bcj2", 1 << 18},
        {L"ppmd_solid", 1 << 20},  // the model
    };
    for (const Case& c : cases) {
        std::wstring destination = ScratchFolder(std::wstring(L"extract_no_memory_") + c.package);
        WriteFileText(destination + L"\\big.bin", "old big");
        LogCapture log;
        {
            MemoryLimit limit(c.limit);
            EXPECT_EQ(ExtractAll(Packages() + c.package + L".pkg", destination), kExtractNoMemory)
                << Narrow(c.package) << " " << c.limit;
        }
        EXPECT_TRUE(log.Has("not enough memory")) << Narrow(c.package);
        EXPECT_EQ(ReadFileText(destination + L"\\big.bin"), "old big");
        EXPECT_FALSE(FileExists(destination + L"\\big.bin.tmp~"));
    }
    // Damage is no lack of memory.
    std::wstring folder = ScratchFolder(L"extract_no_memory_damaged");
    WriteFileText(folder + L"\\garbage.pkg", std::string(4096, 'g'));
    EXPECT_EQ(ExtractAll(folder + L"\\garbage.pkg", folder + L"\\out"), kExtractFailed);
}

TEST(PackageExtractor, ProgressCountsEveryEntry) {
    std::wstring destination = ScratchFolder(L"extract_progress");
    std::atomic<int> done(-7), total(-7);
    std::vector<int> seen;
    PackageExtractor extractor;
    extractor.SetEntryCheck([&](const std::wstring&, const std::wstring&) {
        seen.push_back(done.load());
        EXPECT_EQ(total.load(), 5);
        return true;
    });
    EXPECT_EQ(extractor.Extract(Packages() + L"five.pkg", destination, &done, &total), kExtractOk);
    EXPECT_EQ(total.load(), 5);
    EXPECT_EQ(done.load(), 5);
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 5}));  // entry 1 is the folder "p"

    destination = ScratchFolder(L"extract_progress_free");
    done = -1;
    total = -1;
    EXPECT_EQ(ExtractWithProgress(Packages() + L"five.pkg", done, destination, total), kExtractOk);
    EXPECT_EQ(done.load(), 5);
    EXPECT_EQ(total.load(), 5);
    EXPECT_EQ(ReadFileText(destination + L"\\p\\3.txt"), "p/3.txt");
}

TEST(PackageExtractor, EntriesThatLeaveTheDestinationRefuseThePackage) {
    std::wstring root = ScratchFolder(L"extract_hostile");
    for (const wchar_t* name : {L"dotdot", L"dotdot_inner", L"leading_slash", L"leading_backslash", L"drive",
                                L"drive_relative"}) {
        LogCapture log;
        std::wstring destination = root + L"\\" + name + L"\\dest";
        MakeDirectoryChain(destination + L"\\");
        std::atomic<int> done(0), total(0);
        EXPECT_EQ(ExtractWithProgress(Packages() + L"hostile_" + name + L".pkg", done, destination, total),
                  kExtractFailed)
            << Narrow(name);
        // Nothing at all is written, the harmless entry included.
        EXPECT_TRUE(ListOf(root + L"\\" + name).size() == 1u) << Narrow(name);
        EXPECT_TRUE(log.Has("would leave the destination")) << Narrow(name);
    }
    EXPECT_FALSE(FileExists(L"C:\\evil.txt"));
    EXPECT_FALSE(FileExists(L"\\evil.txt"));
}

TEST(PackageExtractor, MissingDamagedAndUnsupportedPackagesFail) {
    std::wstring folder = ScratchFolder(L"extract_damaged");
    std::string good = ReadFileText(Packages() + L"lzma2_solid.pkg");
    ASSERT_GT(good.size(), 1000u);
    std::string flipped = good;
    flipped[good.size() / 3] ^= 0x55;  // inside the packed data
    // Stored bytes: only the checksum can tell; the middle lies in big.bin.
    std::string copyFlipped = ReadFileText(Packages() + L"copy.pkg");
    ASSERT_GT(copyFlipped.size(), 3u << 20);
    copyFlipped[copyFlipped.size() / 2] ^= 0x01;
    // Each decoding stage meets damage: branch filters over LZMA, the
    // four-stream converter, the PPMd model.
    auto flip = [](const wchar_t* package) {
        std::string bytes = ReadFileText(Packages() + package + L".pkg");
        if (bytes.size() > 1000) bytes[bytes.size() / 3] ^= 0x55;
        return bytes;
    };
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"bcj_flipped", flip(L"bcj_lzma2")},
        {"bcj2_flipped", flip(L"bcj2")},
        {"ppmd_flipped", flip(L"ppmd_solid")},
        {"header_only", good.substr(0, 32)},
        {"flipped", flipped},
        {"copy_flipped", copyFlipped},
        {"garbage", std::string(4096, 'g')},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        std::wstring package = folder + L"\\" + std::wstring(c.name, c.name + std::strlen(c.name)) + L".pkg";
        WriteFileText(package, c.bytes);
        std::wstring destination = folder + L"\\out_" + std::wstring(c.name, c.name + std::strlen(c.name));
        // Older copies of files the package holds stay whole.
        WriteFileText(destination + L"\\top.txt", "old top");
        WriteFileText(destination + L"\\big.bin", "old big");
        EXPECT_EQ(ExtractAll(package, destination), kExtractFailed) << c.name;
        EXPECT_EQ(ReadFileText(destination + L"\\top.txt"), "old top") << c.name;
        EXPECT_EQ(ReadFileText(destination + L"\\big.bin"), "old big") << c.name;
        EXPECT_FALSE(FileExists(destination + L"\\top.txt.tmp~")) << c.name;
        EXPECT_FALSE(FileExists(destination + L"\\big.bin.tmp~")) << c.name;
    }
    EXPECT_EQ(ExtractAll(folder + L"\\missing.pkg", folder + L"\\out_missing"), kExtractFailed);
    LogCapture log;
    EXPECT_EQ(ExtractAll(Packages() + L"bzip2.pkg", folder + L"\\out_bzip2"), kExtractFailed);
    EXPECT_TRUE(log.Has("cannot be unpacked here"));
}

TEST(PackageExtractor, UnwritableEntryFailsAndLeavesNoPartialFile) {
    std::wstring destination = ScratchFolder(L"extract_locked");
    // The target is held open the way a running program holds it.
    WriteFileText(destination + L"\\top.txt", "old top");
    HANDLE held = CreateFileW((destination + L"\\top.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    LogCapture log;
    EXPECT_EQ(ExtractAll(Packages() + L"lzma2.pkg", destination), kExtractFailed);
    CloseHandle(held);
    EXPECT_EQ(ReadFileText(destination + L"\\top.txt"), "old top");
    EXPECT_FALSE(FileExists(destination + L"\\top.txt.tmp~"));
    EXPECT_TRUE(log.Has("cannot replace"));

    // A folder where the package has a file.
    destination = ScratchFolder(L"extract_folder_in_way");
    MakeDirectoryChain(destination + L"\\empty.bin\\");
    EXPECT_EQ(ExtractAll(Packages() + L"lzma2.pkg", destination), kExtractFailed);
    EXPECT_FALSE(FileExists(destination + L"\\empty.bin.tmp~"));
}

TEST(PackageExtractor, RefusedCheckLeavesTheTargetAsItWas) {
    std::wstring destination = ScratchFolder(L"extract_check");
    WriteFileText(destination + L"\\top.txt", "old top");
    std::string expected = ReadFileText(Packages() + L"src\\top.txt");
    PackageExtractor extractor;
    extractor.SetEntryCheck([&](const std::wstring& output, const std::wstring& staged) {
        if (output != destination + L"\\top.txt") return true;
        // The check sees the complete file before the target is touched.
        EXPECT_EQ(staged, output + L".tmp~");
        EXPECT_TRUE(ReadFileText(staged) == expected);
        EXPECT_EQ(ReadFileText(output), "old top");
        return false;
    });
    EXPECT_EQ(extractor.Extract(Packages() + L"lzma.pkg", destination), kExtractFailed);
    EXPECT_EQ(ReadFileText(destination + L"\\top.txt"), "old top");
    EXPECT_FALSE(FileExists(destination + L"\\top.txt.tmp~"));
}

TEST(PackageExtractor, ExistingFilesAreReplacedWhole) {
    std::wstring destination = ScratchFolder(L"extract_replace");
    WriteFileText(destination + L"\\big.bin", std::string(5 << 20, 'o'));  // longer than the new one
    WriteFileText(destination + L"\\a\\b\\c.txt", "stale");
    ASSERT_EQ(ExtractAll(Packages() + L"lzma2_solid.pkg", destination + L"\\"), kExtractOk);
    EXPECT_TRUE(ReadFileText(destination + L"\\big.bin") == ReadFileText(Packages() + L"src\\big.bin"));
    EXPECT_EQ(ReadFileText(destination + L"\\a\\b\\c.txt"), "hello from a/b\n");
}

TEST(PackageFile, WalksEntriesByName) {
    PackageFile package;
    ASSERT_TRUE(package.Open(Packages() + L"five.pkg"));
    ASSERT_EQ(package.EntryCount(), 5u);
    EXPECT_EQ(package.EntryName(0), L"p");
    EXPECT_TRUE(package.IsFolder(0));
    EXPECT_EQ(package.EntryName(1), L"p/1.txt");
    EXPECT_FALSE(package.IsFolder(1));
    EXPECT_EQ(package.EntrySize(4), 5u);
    std::string data;
    auto collect = [&data](const uint8_t* bytes, size_t size) {
        data.append(reinterpret_cast<const char*>(bytes), size);
        return true;
    };
    ASSERT_TRUE(package.ReadEntry(4, collect));
    EXPECT_EQ(data, "q.txt");
    // Back to an earlier entry of the same solid block.
    data.clear();
    ASSERT_TRUE(package.ReadEntry(2, collect));
    EXPECT_EQ(data, "p/2.txt");
    EXPECT_FALSE(package.ReadEntry(0, collect));  // a folder
    EXPECT_EQ(package.EntryName(5), L"");
    EXPECT_FALSE(package.ReadEntry(5, collect));
    // A sink that refuses stops the reading.
    EXPECT_FALSE(package.ReadEntry(1, [](const uint8_t*, size_t) { return false; }));
    package.Close();
    EXPECT_EQ(package.EntryCount(), 0u);
}

TEST(PackageExtractor, EntryNamesInTheAnsiCodePage) {
    std::string narrow;
    EXPECT_EQ(EntryNameToNarrow(L"a/b\\c.txt", narrow), 0);
    EXPECT_EQ(narrow, "a/b\\c.txt");
    EXPECT_EQ(EntryNameToNarrow(L"", narrow), 0);
    EXPECT_EQ(narrow, "");
    if (GetACP() == 1252) {
        EXPECT_EQ(EntryNameToNarrow(L"\u6570\u00FC", narrow), 0);
        EXPECT_EQ(narrow, "_\xFC");
    }
}

}  // namespace
