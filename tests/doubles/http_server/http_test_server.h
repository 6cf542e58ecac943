// Client side of the local HTTP test server (http_server.py in this folder)
// for tests under Wine: opens a session of the test's own, uploads files,
// sets faults per path and reads the request log. The test links dep_curl
// and qcommon.
//
//   HttpTestServer server;
//   ASSERT_TRUE(server.Open()) << server.Error();
//   server.PutFile("dir/a.bin", TestPattern(4096, 1));
//   server.SetFault("dir/a.bin", "kind=cut&after=1000&times=1");
//   ... fetch server.Url("dir/a.bin") ...
//   for (const LoggedRequest& r : server.Log()) ...
#pragma once
#include "common/file_util.h"
#include "common/win.h"

#include <curl/curl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct LoggedRequest {
    std::string method;  // "GET", "HEAD", "POST"
    std::string path;    // request target after the session, as received (still encoded)
    std::string range;   // the Range header, "-" without one
    int status = 0;
    long long sent = 0;        // body bytes sent
    std::string contentType;   // the request's Content-Type header, "-" without one
    std::string body;          // the bytes a POST sent
    std::string ifRange = "-"; // the If-Range header, "-" without one
};

// Deterministic test content: no short period, so a shifted or repeated
// piece of a file never compares equal by chance.
inline std::string TestPattern(size_t size, uint32_t seed) {
    std::string out(size, '\0');
    uint32_t x = seed * 2654435761u + 0x9E3779B9u;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<char>(x >> 24);
    }
    return out;
}

class HttpTestServer {
public:
    HttpTestServer() { curl_global_init(CURL_GLOBAL_ALL); }  // reference counted
    ~HttpTestServer() {
        if (!session_.empty()) Request("DELETE", ControlUrl("session/" + session_), std::string(), nullptr);
    }
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // Finds the running server and opens a session; Error() says why not.
    bool Open() {
        std::wstring portFile = FindPortFile();
        std::string text;
        if (portFile.empty() || !ReadWholeFile(portFile, text) || std::atoi(text.c_str()) <= 0) {
            error_ = "no HTTP test server: run the test through ctest (fixture http_server), "
                     "or set QUILLON_HTTP_PORT_FILE to the port file of a running http_server.py";
            return false;
        }
        port_ = std::atoi(text.c_str());
        std::string answer;
        if (!Request("POST", ControlUrl("session"), std::string(), &answer) || answer.empty()) {
            error_ = "HTTP test server on port " + std::to_string(port_) + " does not answer: " + error_;
            return false;
        }
        session_ = answer;
        return true;
    }

    const std::string& Error() const { return error_; }
    int Port() const { return port_; }
    const std::string& Session() const { return session_; }

    // "http://127.0.0.1:<port>/<session>/"
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/" + session_ + "/"; }
    // The served URL of a path given as raw bytes ("dir/a b.bin").
    std::string Url(const std::string& path) const { return BaseUrl() + Encode(path); }

    bool PutFile(const std::string& path, const std::string& content) {
        return Request("PUT", ControlUrl("file/" + session_ + "/" + Encode(path)), content, nullptr);
    }
    // query: "kind=status&code=500", "kind=redirect&code=302&to=/b.bin",
    // "kind=stall&after=1000&secs=5", "kind=cut&after=1000",
    // "kind=trickle&chunk=1024&delay=50"; "&times=N" limits it to N requests.
    bool SetFault(const std::string& path, const std::string& query) {
        return Request("POST", ControlUrl("fault/" + session_ + "/" + Encode(path)) + "?" + query, std::string(),
                       nullptr);
    }
    // Without validators the server sends no ETag or Last-Modified and
    // serves every range asked for, as some servers do.
    bool SetValidators(bool on) {
        return Request("POST", ControlUrl("options/" + session_) + (on ? "?validators=1" : "?validators=0"),
                       std::string(), nullptr);
    }
    bool ClearFault(const std::string& path) {
        return Request("DELETE", ControlUrl("fault/" + session_ + "/" + Encode(path)), std::string(), nullptr);
    }

    std::vector<LoggedRequest> Log() {
        std::vector<LoggedRequest> out;
        std::string text;
        if (!Request("GET", ControlUrl("log/" + session_), std::string(), &text)) return out;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::vector<std::string> f;
            size_t a = pos;
            while (a <= end) {
                size_t b = text.find('\t', a);
                if (b == std::string::npos || b > end) b = end;
                f.push_back(text.substr(a, b - a));
                a = b + 1;
            }
            if (f.size() >= 5) {
                LoggedRequest r;
                r.method = f[0];
                r.path = f[1];
                r.range = f[2];
                r.status = std::atoi(f[3].c_str());
                r.sent = std::atoll(f[4].c_str());
                if (f.size() >= 7) {
                    r.contentType = f[5];
                    r.body = Unescape(f[6]);
                }
                if (f.size() >= 8) r.ifRange = f[7];
                out.push_back(r);
            }
            pos = end + 1;
        }
        return out;
    }

    // Requests of the log for one path (as received), in order.
    std::vector<LoggedRequest> LogFor(const std::string& encodedPath) {
        std::vector<LoggedRequest> out;
        for (const LoggedRequest& r : Log())
            if (r.path == encodedPath) out.push_back(r);
        return out;
    }

    // Percent-encodes every byte but the unreserved ones and "/".
    static std::string Encode(const std::string& path) {
        static const char hex[] = "0123456789ABCDEF";
        std::string out;
        for (unsigned char c : path) {
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                c == '_' || c == '.' || c == '~' || c == '/') {
                out += static_cast<char>(c);
            } else {
                out += '%';
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
        return out;
    }

private:
    // The log's %XX escapes back to bytes.
    static std::string Unescape(const std::string& text) {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size()) {
                out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    }

    std::string ControlUrl(const std::string& rest) const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/_ctl/" + rest;
    }

    // QUILLON_HTTP_PORT_FILE, else "http_server.port" in the test's folder
    // or the nearest folder above it (the build folder under ctest).
    static std::wstring FindPortFile() {
        wchar_t env[MAX_PATH * 2];
        DWORD n = GetEnvironmentVariableW(L"QUILLON_HTTP_PORT_FILE", env, MAX_PATH * 2);
        if (n > 0 && n < MAX_PATH * 2) return std::wstring(env, n);
        wchar_t exe[MAX_PATH * 2];
        n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
        std::wstring folder(exe, n);
        for (;;) {
            size_t cut = folder.find_last_of(L"\\/");
            if (cut == std::wstring::npos) return std::wstring();
            folder.resize(cut);
            std::wstring candidate = folder + L"\\http_server.port";
            if (FileExists(candidate)) return candidate;
        }
    }

    static size_t Collect(char* data, size_t size, size_t count, void* user) {
        static_cast<std::string*>(user)->append(data, size * count);
        return size * count;
    }
    struct Upload {
        const std::string* data;
        size_t pos;
    };
    static size_t Feed(char* buffer, size_t size, size_t count, void* user) {
        Upload* up = static_cast<Upload*>(user);
        size_t n = up->data->size() - up->pos;
        if (n > size * count) n = size * count;
        up->data->copy(buffer, n, up->pos);
        up->pos += n;
        return n;
    }

    bool Request(const char* method, const std::string& url, const std::string& body, std::string* answer) {
        CURL* curl = curl_easy_init();
        if (!curl) {
            error_ = "curl_easy_init failed";
            return false;
        }
        std::string received;
        Upload up = {&body, 0};
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpTestServer::Collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
        std::string verb = method;
        if (verb == "PUT") {
            curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(curl, CURLOPT_READFUNCTION, &HttpTestServer::Feed);
            curl_easy_setopt(curl, CURLOPT_READDATA, &up);
            curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(body.size()));
        } else if (verb == "POST") {
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "");
        } else if (verb != "GET") {
            curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
        }
        CURLcode rc = curl_easy_perform(curl);
        long code = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
        curl_easy_cleanup(curl);
        if (rc != CURLE_OK || code != 200) {
            std::string why = rc != CURLE_OK ? std::string(curl_easy_strerror(rc)) : "HTTP " + std::to_string(code);
            error_ = std::string(method) + " " + url + ": " + why;
            return false;
        }
        if (answer) *answer = received;
        return true;
    }

    int port_ = 0;
    std::string session_;
    std::string error_;
};
