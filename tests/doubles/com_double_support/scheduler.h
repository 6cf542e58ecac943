// Steps a double runs later from the caller's message loop, never inside the
// call that asked for them: a hidden window of the double's own, one step per
// message, so the host's loop runs between two events.
#pragma once
#include "common/win.h"

#include <functional>

namespace comdouble {

// Runs STEP after at least DELAY_MS, in order of due time and then of asking.
void Schedule(const void* owner, DWORD delayMs, std::function<void()> step);
// Drops every step OWNER still has pending.
void CancelSteps(const void* owner);
// Whether OWNER has steps pending.
bool HasSteps(const void* owner);
// The module's window class for the doubles' own child windows; PAINT draws
// the client area of a window whose GWLP_USERDATA holds the painter.
struct ChildPainter {
    virtual void PaintChild(HDC dc, const RECT& client) = 0;

protected:
    ~ChildPainter() = default;
};
HWND CreateChildWindow(HWND parent, const RECT& rect, ChildPainter* painter);
// Destroys the hidden window and unregisters the classes (module unload).
void ShutdownWindows();

}  // namespace comdouble
