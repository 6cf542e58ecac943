#include "engine/download_url.h"
#include "tests/unit/engine/download_test_support.h"

namespace {

TEST(PrepareDownloadUrl, SeparatorsBlanksAndHighBytes) {
    if (GetACP() != 1252) GTEST_SKIP() << "the table is written for the ANSI code page 1252";
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"http://h/a\\b\\c.pkg", L"http://h/a/b/c.pkg"},
        {L"http://h/my file.pkg", L"http://h/my%20file.pkg"},
        {L"http://h/\u00e9t\u00e9.pkg", L"http://h/%E9t%E9.pkg"},
        {L"http://h/\u20ac\u00ff", L"http://h/%80%FF"},
        {L"http://h\\dir x\\\u00c4.pkg", L"http://h/dir%20x/%C4.pkg"},
        // Only blanks and high bytes: what is already encoded, queries and
        // other reserved characters stay as they are.
        {L"http://h/a%20b.pkg?x=1&y=#f", L"http://h/a%20b.pkg?x=1&y=#f"},
        {L"http://h:8080/+~!$'()*,;=@", L"http://h:8080/+~!$'()*,;=@"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(std::wstring(c.out), PrepareDownloadUrl(c.in)) << c.in;
}

using DownloadUrlTest = DownloadTest;

TEST_F(DownloadUrlTest, QueuedFileIsRequestedEncodedIntoANewFolder) {
    if (GetACP() != 1252) GTEST_SKIP() << "written for the ANSI code page 1252";
    const std::string content = TestPattern(4000, 20);
    ASSERT_TRUE(server.PutFile("sub dir/caf\xE9.pkg", content));
    recorder.Attach(manager);
    std::wstring path = folder / L"new\\deeper\\caf\u00e9.pkg";

    manager.Enqueue(Wide(server.BaseUrl()) + L"sub dir\\caf\u00e9.pkg", path, false, 20000);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder / L"new\\deeper").c_str()));
    manager.StartWorkers(1);
    ASSERT_TRUE(WaitFor([&] { return recorder.Finished() == 1; }));

    EXPECT_EQ(content, ReadFileText(path));
    std::vector<LoggedRequest> log = server.Log();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("/sub%20dir/caf%E9.pkg", log[0].path);
}

}  // namespace
