#include "double_log.h"

#include "tests/doubles/append_line.h"
#include "tests/doubles/this_module.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace comdouble {

namespace {

std::wstring g_logName = L"com_double.log";
volatile LONG g_counts[kCounterCount] = {};

}  // namespace

void SetLogName(const wchar_t* name) { g_logName = name; }

std::wstring ModuleFolder() { return ThisModuleFolder(); }

void Log(const std::string& line) {
    AppendLineToLog(ModuleFolder() + g_logName, line);
}

void Violation(const std::string& what) {
    AddCount(kViolations, 1);
    Log("violation: " + what);
}

void AddCount(Counter counter, long delta) { InterlockedExchangeAdd(&g_counts[counter], delta); }

long Count(Counter counter) { return InterlockedCompareExchange(&g_counts[counter], 0, 0); }

long CountByName(const char* name) {
    static const char* const names[kCounterCount] = {"objects", "locks", "sinks", "host-refs", "violations"};
    if (name == nullptr) return -1;
    for (int i = 0; i < kCounterCount; ++i)
        if (std::strcmp(name, names[i]) == 0) return Count(static_cast<Counter>(i));
    return -1;
}

void LogTeardown() {
    Log("teardown objects=" + std::to_string(Count(kObjects)) + " locks=" + std::to_string(Count(kLocks)) +
        " sinks=" + std::to_string(Count(kSinks)) + " host-refs=" + std::to_string(Count(kHostRefs)) +
        " violations=" + std::to_string(Count(kViolations)));
}

std::string Narrow(const wchar_t* text, size_t length) {
    if (text == nullptr || length == 0) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
    return out;
}

std::string Narrow(const wchar_t* text) { return text == nullptr ? std::string() : Narrow(text, wcslen(text)); }

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string HexResult(HRESULT hr) { return HexValue(static_cast<unsigned long>(hr)); }

std::string HexValue(unsigned long value) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "0x%08lX", value);
    return buffer;
}

std::string GuidText(REFGUID guid) {
    wchar_t text[40] = L"";
    StringFromGUID2(guid, text, 40);
    return Narrow(text);
}

std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

std::string DescribeVariant(const VARIANT& v) {
    switch (v.vt) {
    case VT_EMPTY: return "VT_EMPTY";
    case VT_NULL: return "VT_NULL";
    case VT_BOOL: return "VT_BOOL " + std::to_string(v.boolVal);
    case VT_I4: return "VT_I4 " + std::to_string(v.lVal);
    case VT_UI4: return "VT_UI4 " + std::to_string(v.ulVal);
    case VT_I2: return "VT_I2 " + std::to_string(v.iVal);
    case VT_BSTR: return "VT_BSTR " + BstrText(v.bstrVal);
    case VT_DISPATCH: return std::string("VT_DISPATCH ") + (v.pdispVal != nullptr ? "object" : "null");
    case VT_UNKNOWN: return std::string("VT_UNKNOWN ") + (v.punkVal != nullptr ? "object" : "null");
    default: return "VT " + std::to_string(v.vt);
    }
}

bool CheckBstr(BSTR text, const char* where) {
    if (text == nullptr) return true;
    size_t characters = wcslen(text);
    if (SysStringLen(text) == characters) return true;
    Violation(std::string(where) + ": not a BSTR (length prefix " + std::to_string(SysStringLen(text)) + ", " +
              std::to_string(characters) + " characters)");
    return false;
}

std::string BstrText(BSTR text) { return text == nullptr ? "(null)" : "\"" + Narrow(text, wcslen(text)) + "\""; }

LiveObject::LiveObject() { AddCount(kObjects, 1); }

LiveObject::~LiveObject() {
    AddCount(kObjects, -1);
    if (Count(kObjects) == 0) LogTeardown();
}

}  // namespace comdouble
