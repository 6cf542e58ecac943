#pragma once
// Blocking HTTP transfers of the launcher through the HTTP library's easy
// interface: a new handle per transfer, redirects followed, the whole
// transfer limited to kTransferTimeoutSeconds.
#include <atomic>
#include <cstddef>
#include <string>

// Initialises the HTTP library for the process and cleans it up at the end
// of its life. Its owner must end every transfer first: declare it before
// the objects whose threads transfer, so that it is destroyed after them.
class ScopedHttpLibrary {
public:
    ScopedHttpLibrary();
    ~ScopedHttpLibrary();
    ScopedHttpLibrary(const ScopedHttpLibrary&) = delete;
    ScopedHttpLibrary& operator=(const ScopedHttpLibrary&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

constexpr long kTransferTimeoutSeconds = 10;
// Only the trigger's leading integer is ever read from an answer: the rest
// of a long body is received and dropped.
constexpr size_t kMaxResponseBytes = 64 * 1024;

struct HttpRequest {
    std::string url;
    bool post = false;
    std::string body;  // the form body of a POST, sent as it is
    // When set, the transfer gives up soon after this reads false.
    const std::atomic<bool>* keepGoing = nullptr;
};

struct HttpAnswer {
    bool completed = false;  // the transfer ran to its end, whatever the status
    long status = 0;
    std::string body;  // the first kMaxResponseBytes bytes of the body
};

// One transfer. A failed one writes "curl_easy_perform() failed: <reason>"
// to the standard error stream.
HttpAnswer PerformHttpRequest(const HttpRequest& request);

// Percent-encodes every byte but A-Z a-z 0-9 - . _ ~ with the library's own
// escaping.
std::string EscapeUrlText(const std::string& bytes);
