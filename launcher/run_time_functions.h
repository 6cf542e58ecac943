#pragma once
// Platform functions that older systems lack, looked up by name when used;
// a missing one does nothing.
#include "common/win.h"

#include <string>

// Lets the message through the window-message filter (ChangeWindowMessageFilter
// with MSGFLT_ADD, or MSGFLT_REMOVE when add is false); the call's result,
// or 0 when the function is missing.
BOOL AllowMessageThroughFilter(UINT message, bool add);

// Sets the process's application user-model id, also to an empty one.
void SetAppUserModelId(const std::wstring& modelId);
