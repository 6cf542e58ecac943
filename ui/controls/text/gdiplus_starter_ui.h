// GDI+ for the controls that draw with it. Every text-showing control holds
// one reference for its whole life; the first reference of the process
// starts GDI+ and the last one shuts it down, so GDI+ is running whenever
// such a control exists, however many there are and in whatever order they
// go away.
#pragma once
#include <cstdint>

namespace QuillUI {

class CGdiplusStarterUI {
public:
    CGdiplusStarterUI();
    ~CGdiplusStarterUI();
    CGdiplusStarterUI(const CGdiplusStarterUI&) = delete;
    CGdiplusStarterUI& operator=(const CGdiplusStarterUI&) = delete;

    // Whether GDI+ started for this reference; drawing with GDI+ is skipped
    // otherwise.
    bool IsStarted() const { return started_; }

    // The references the process holds now.
    static int GetReferenceCount();

private:
    bool started_ = false;
};

}  // namespace QuillUI
