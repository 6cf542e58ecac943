#include "launcher/http_transfer.h"

#include <curl/curl.h>

#include <cstdio>

namespace {

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    std::string* body = static_cast<std::string*>(user);
    size_t delivered = size * count;
    if (body->size() < kMaxResponseBytes) {
        size_t room = kMaxResponseBytes - body->size();
        body->append(data, delivered < room ? delivered : room);
    }
    return delivered;
}

int AbortWhenStopped(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const std::atomic<bool>* keepGoing = static_cast<const std::atomic<bool>*>(user);
    return keepGoing->load() ? 0 : 1;
}

const long kMaxRedirects = 10;  // a redirect loop fails instead of spinning for the whole time-out

}  // namespace

ScopedHttpLibrary::ScopedHttpLibrary() : ok_(curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK) {}

ScopedHttpLibrary::~ScopedHttpLibrary() {
    if (ok_) curl_global_cleanup();
}

HttpAnswer PerformHttpRequest(const HttpRequest& request) {
    HttpAnswer answer;
    if (request.keepGoing != nullptr && !request.keepGoing->load()) return answer;
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        std::fprintf(stderr, "curl_easy_perform() failed: %s\n", "curl_easy_init failed");
        return answer;
    }
    curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, kTransferTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &answer.body);
    if (request.keepGoing != nullptr) {
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &AbortWhenStopped);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(request.keepGoing));
    }
    if (request.post) {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.body.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.c_str());
    }
    CURLcode result = curl_easy_perform(handle);
    if (result == CURLE_OK) {
        answer.completed = true;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &answer.status);
    } else {
        std::fprintf(stderr, "curl_easy_perform() failed: %s\n", curl_easy_strerror(result));
    }
    curl_easy_cleanup(handle);
    return answer;
}

std::string EscapeUrlText(const std::string& bytes) {
    // A length of 0 would make the library measure the text itself.
    if (bytes.empty()) return std::string();
    // The library's escaping needs no handle.
    char* escaped = curl_easy_escape(nullptr, bytes.data(), static_cast<int>(bytes.size()));
    if (escaped == nullptr) return std::string();
    std::string out(escaped);
    curl_free(escaped);
    return out;
}
