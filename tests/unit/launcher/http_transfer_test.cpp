#include "launcher/http_transfer.h"
#include "tests/doubles/http_server/http_test_server.h"

#include <gtest/gtest.h>

namespace {

TEST(HttpTransfer, KeepsAWholeBodyUpToTheCapAndDropsTheRest) {
    ScopedHttpLibrary library;
    HttpTestServer server;
    ASSERT_TRUE(server.Open()) << server.Error();
    const std::string zeros("1\0\0x\0", 5);
    const std::string big = TestPattern(kMaxResponseBytes * 4 + 3, 7);
    ASSERT_TRUE(server.PutFile("zeros", zeros));
    ASSERT_TRUE(server.PutFile("big", big));

    HttpRequest request;
    request.url = server.Url("zeros");
    HttpAnswer answer = PerformHttpRequest(request);
    EXPECT_TRUE(answer.completed);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, zeros);

    request.url = server.Url("big");
    answer = PerformHttpRequest(request);
    EXPECT_TRUE(answer.completed);  // the rest is received, not refused
    EXPECT_EQ(answer.body, big.substr(0, kMaxResponseBytes));
    ASSERT_EQ(server.Log().size(), 2u);
    EXPECT_EQ(server.Log()[1].sent, static_cast<long long>(big.size()));

    std::atomic<bool> keepGoing{false};
    request.keepGoing = &keepGoing;
    EXPECT_FALSE(PerformHttpRequest(request).completed);  // stopped before it began
    EXPECT_EQ(server.Log().size(), 2u);
}

TEST(HttpTransfer, EscapesAllButTheUnreservedBytes) {
    ScopedHttpLibrary library;
    EXPECT_EQ(EscapeUrlText("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(EscapeUrlText("a b&c/d+e=%"), "a%20b%26c%2Fd%2Be%3D%25");
    EXPECT_EQ(EscapeUrlText("\xE4\xB8\xAD\n"), "%E4%B8%AD%0A");
    EXPECT_EQ(EscapeUrlText(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(EscapeUrlText(""), "");
}

}  // namespace
