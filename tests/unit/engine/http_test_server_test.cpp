// The shared HTTP test server: what every HTTP test relies on.
#include "tests/doubles/http_server/http_test_server.h"

#include <gtest/gtest.h>

namespace {

size_t Append(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

// Fetches a URL with an optional range; returns the status (0 on a transport error).
long Fetch(const std::string& url, const char* range, std::string& body) {
    body.clear();
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    if (range) curl_easy_setopt(curl, CURLOPT_RANGE, range);
    long code = 0;
    if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    curl_easy_cleanup(curl);
    return code;
}

TEST(HttpTestServer, ServesRangesFaultsAndLogsPerSession) {
    HttpTestServer server;
    ASSERT_TRUE(server.Open()) << server.Error();
    HttpTestServer other;
    ASSERT_TRUE(other.Open()) << other.Error();
    const std::string content = TestPattern(70000, 5);
    ASSERT_TRUE(server.PutFile("d/a b\xE9.bin", content));

    std::string body;
    EXPECT_EQ(200, Fetch(server.Url("d/a b\xE9.bin"), nullptr, body));
    EXPECT_EQ(content, body);
    EXPECT_EQ(206, Fetch(server.Url("d/a b\xE9.bin"), "1000-", body));
    EXPECT_EQ(content.substr(1000), body);
    EXPECT_EQ(416, Fetch(server.Url("d/a b\xE9.bin"), "70000-", body));
    EXPECT_EQ(404, Fetch(other.Url("d/a b\xE9.bin"), nullptr, body));  // sessions are apart

    ASSERT_TRUE(server.SetFault("d/a b\xE9.bin", "kind=status&code=500&times=1"));
    EXPECT_EQ(500, Fetch(server.Url("d/a b\xE9.bin"), nullptr, body));
    EXPECT_NE(std::string::npos, body.find("<html>"));
    EXPECT_EQ(200, Fetch(server.Url("d/a b\xE9.bin"), nullptr, body));  // used up

    std::vector<LoggedRequest> log = server.Log();
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ("GET", log[0].method);
    EXPECT_EQ("/d/a%20b%E9.bin", log[0].path);
    EXPECT_EQ("-", log[0].range);
    EXPECT_EQ(70000, log[0].sent);
    EXPECT_EQ("bytes=1000-", log[1].range);
    EXPECT_EQ(206, log[1].status);
    EXPECT_EQ(500, log[3].status);
    EXPECT_EQ(1u, other.Log().size());
}

}  // namespace
