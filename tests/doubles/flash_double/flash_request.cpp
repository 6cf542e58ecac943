#include "flash_request.h"

#include <cstdlib>

namespace flash {

namespace {

std::string Between(const std::string& text, const std::string& open, const std::string& close, bool& found) {
    size_t start = text.find(open);
    found = false;
    if (start == std::string::npos) return std::string();
    start += open.size();
    size_t end = text.find(close, start);
    if (end == std::string::npos) return std::string();
    found = true;
    return text.substr(start, end - start);
}

std::string Decode(const std::string& text) {
    static const struct {
        const char* entity;
        char c;
    } entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& e : entities) {
            std::string entity = e.entity;
            if (text.compare(i, entity.size(), entity) == 0) {
                out += e.c;
                i += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

}  // namespace

bool ParseInvokeRequest(const std::string& request, InvokeRequest& out) {
    out = InvokeRequest();
    bool found = false;
    if (request.compare(0, 7, "<invoke") != 0) return false;
    out.name = Between(request, "name='", "'", found);
    if (!found) out.name = Between(request, "name=\"", "\"", found);
    if (!found || out.name.empty()) return false;
    std::string number = Between(request, "<number>", "</number>", found);
    if (found) {
        char* end = nullptr;
        out.number = std::strtol(number.c_str(), &end, 10);
        out.hasNumber = !number.empty() && *end == '\0';
    }
    std::string text = Between(request, "<string>", "</string>", found);
    if (found) {
        out.hasText = true;
        out.text = Decode(text);
    }
    return true;
}

}  // namespace flash
