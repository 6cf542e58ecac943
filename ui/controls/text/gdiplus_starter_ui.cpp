#include "ui/controls/text/gdiplus_starter_ui.h"

#include "common/win.h"

#include <objidl.h>
#include <gdiplus.h>

namespace QuillUI {

namespace {

// Controls live on their window's thread, but a program may run windows on
// more than one thread: the count and the token are guarded.
struct StarterState {
    CRITICAL_SECTION lock;
    int references = 0;
    ULONG_PTR token = 0;
    bool running = false;

    StarterState() { InitializeCriticalSection(&lock); }
};

StarterState& State() {
    static StarterState state;
    return state;
}

}  // namespace

CGdiplusStarterUI::CGdiplusStarterUI() {
    StarterState& state = State();
    EnterCriticalSection(&state.lock);
    // A start-up that failed is tried again by the next reference.
    if (!state.running) {
        // Version 1, no debug callback, GDI+'s own background thread, the
        // external codecs kept.
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        state.running = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
        state.token = state.running ? token : 0;
    }
    ++state.references;
    started_ = state.running;
    LeaveCriticalSection(&state.lock);
}

CGdiplusStarterUI::~CGdiplusStarterUI() {
    StarterState& state = State();
    EnterCriticalSection(&state.lock);
    if (--state.references == 0 && state.running) {
        Gdiplus::GdiplusShutdown(state.token);
        state.running = false;
        state.token = 0;
    }
    LeaveCriticalSection(&state.lock);
}

int CGdiplusStarterUI::GetReferenceCount() {
    StarterState& state = State();
    EnterCriticalSection(&state.lock);
    const int count = state.references;
    LeaveCriticalSection(&state.lock);
    return count;
}

}  // namespace QuillUI
