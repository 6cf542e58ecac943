#include "common/common_log.h"

#include "common/win.h"

#include <atomic>

namespace {

void DebuggerLog(const std::string& text) {
    OutputDebugStringA((text + "\n").c_str());
}

std::atomic<CommonLogFunction> g_logFunction{DebuggerLog};

}  // namespace

void SetCommonLogFunction(CommonLogFunction function) {
    g_logFunction.store(function != nullptr ? function : DebuggerLog);
}

void CommonLog(const std::string& text) { g_logFunction.load()(text); }
