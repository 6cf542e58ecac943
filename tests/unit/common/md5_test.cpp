#include "common/md5.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Hex(const Md5Digest& digest) {
    std::string out;
    char pair[3];
    for (uint8_t b : digest.bytes) {
        std::snprintf(pair, sizeof(pair), "%02x", b);
        out += pair;
    }
    return out;
}

// RFC 1321, appendix A.5, with the text form of each digest.
struct Vector {
    std::string input;
    const char* hex;
    const char* text;
};
const Vector kSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e", "3383335398363703889098107892288553193"},
    {"a", "0cc175b9c0f1b6a831c399e269772661", "121571700541807495807000413967451013937"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72", "127046042315307093928250560606382298838"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0", "1020169932623219404115015548345901865554"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b", "643372436205068194314844037095488381"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f",
     "1771532235562676756911501421175269777829"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a", "61817217400997758318842262757489920428"},
};

TEST(Md5, Rfc1321TestSuiteAndTextForm) {
    for (const Vector& v : kSuite) {
        Md5Digest digest = BufferMd5(v.input.data(), v.input.size());
        EXPECT_EQ(Hex(digest), v.hex) << '"' << v.input << '"';
        EXPECT_EQ(digest.ToText(), v.text) << '"' << v.input << '"';
    }
    EXPECT_EQ(Md5Digest().ToText(), "00");
}

TEST(Md5, PiecesGiveTheDigestOfTheWhole) {
    // Lengths around the 56- and 64-byte padding edges, fed in uneven pieces.
    std::string data;
    for (int i = 0; i < 1000; ++i) data += static_cast<char>(i * 37 + 11);
    for (size_t length : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u}) {
        Md5Digest whole = BufferMd5(data.data(), length);
        for (size_t piece : {1u, 3u, 63u, 64u, 100u}) {
            Md5 md5;
            for (size_t at = 0; at < length; at += piece) md5.Update(data.data() + at, std::min(piece, length - at));
            Md5Digest pieces;
            md5.Final(pieces);
            EXPECT_EQ(pieces, whole) << "length " << length << " piece " << piece;
            // Final starts the context afresh.
            md5.Update("abc", 3);
            md5.Final(pieces);
            EXPECT_EQ(Hex(pieces), "900150983cd24fb0d6963f7d28e17f72");
        }
    }
}

TEST(Md5, DigestsDifferInAnyByte) {
    Md5Digest a = BufferMd5("x", 1), b = a;
    EXPECT_TRUE(a == b);
    for (size_t i = 0; i < 16; ++i) {
        b = a;
        b.bytes[i] ^= 1;
        EXPECT_TRUE(a != b) << i;
    }
}

TEST(Md5, FileDigestStreamsLargeFilesAndZeroesOnFailure) {
    std::wstring folder = ScratchFolder(L"md5");
    // Several read blocks and a ragged end.
    std::string data((3 << 20) + 77, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 13);
    WriteFileText(folder + L"\\big.bin", data);
    WriteFileText(folder + L"\\empty.bin", "");

    Md5Digest digest;
    ASSERT_TRUE(FileMd5(folder + L"\\big.bin", digest));
    EXPECT_EQ(digest, BufferMd5(data.data(), data.size()));
    EXPECT_EQ(FileMd5(folder + L"\\big.bin"), digest);
    ASSERT_TRUE(FileMd5(folder + L"\\empty.bin", digest));
    EXPECT_EQ(Hex(digest), "d41d8cd98f00b204e9800998ecf8427e");

    // Missing file and a folder: false and the all-zero digest, unlike an empty file's.
    for (const std::wstring& bad : {folder + L"\\missing.bin", folder}) {
        digest = BufferMd5("x", 1);
        EXPECT_FALSE(FileMd5(bad, digest));
        EXPECT_EQ(digest, Md5Digest());
        EXPECT_EQ(FileMd5(bad), Md5Digest());
    }
}

}  // namespace
