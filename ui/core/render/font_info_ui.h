// A font of a window's or the shared resource table, with its metrics
// measured on first use.
#pragma once
#include "common/win.h"
#include "ui/core/render/gdi_handles.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

struct FontInfoUI {
    HFONT GetHandle() const { return font.Get(); }
    bool HasMetrics() const { return metrics.tmHeight != 0; }
    // Measures the font with the DC once; without a DC the metrics stay unknown.
    void EnsureMetrics(HDC dc);

    ScopedFont font;
    CWideString faceName;
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics = {};  // tmHeight 0: not measured yet
};

}  // namespace QuillUI
