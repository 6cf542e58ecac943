#pragma once
#include <string>

// The form in which a queued URL is requested: "\" separators become "/",
// and in the URL's ANSI code-page bytes every byte with the high bit set
// and every blank is percent-encoded (upper-case hex); the rest stays.
std::wstring PrepareDownloadUrl(const std::wstring& url);
