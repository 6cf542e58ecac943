#pragma once
// The engine's one top-level window: the address the launchers send their
// WM_COPYDATA frames to. It has a menu with About and Exit and always stays
// hidden, whoever started the engine and however.
#include "common/win.h"

#include <functional>

class EngineWindow {
public:
    // Receives a WM_COPYDATA (sender wParam, payload); the payload is only
    // valid during the call.
    using CopyDataHandler = std::function<void(WPARAM sender, const COPYDATASTRUCT* data)>;

    EngineWindow() = default;
    ~EngineWindow();
    EngineWindow(const EngineWindow&) = delete;
    EngineWindow& operator=(const EngineWindow&) = delete;

    // Registers the class (title and class name from the string table, with
    // fixed fall-backs) and creates the window hidden. False on failure.
    bool Create(HINSTANCE instance, CopyDataHandler onCopyData);
    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    CopyDataHandler onCopyData_;
};

// Lets WM_COPYDATA through to the engine's window from processes of lower
// integrity, where the system has a message filter (looked up at run time).
void AllowCopyDataMessages();
