// The external-interface requests a host sends the movie, e.g.
// "<invoke name='setProValOne'><arguments><number>50</number></arguments></invoke>".
#pragma once
#include <string>

namespace flash {

struct InvokeRequest {
    std::string name;
    bool hasNumber = false;
    long number = 0;
    bool hasText = false;
    std::string text;  // with &amp; &lt; &gt; &quot; &apos; decoded
};

// False when the text is no invoke request with a name.
bool ParseInvokeRequest(const std::string& request, InvokeRequest& out);

}  // namespace flash
