// One image attribute of a control: its description text and, once parsed,
// the image and how to draw it.
#pragma once
#include "ui/core/render/image_info_ui.h"
#include "ui/core/values/rect_ui.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>

namespace QuillUI {

struct ImageDrawInfoUI {
    CWideString drawString;  // the description as written
    CWideString imageName;
    bool parsed = false;
    ImageInfoUI* image = nullptr;  // owned by the manager's image table
    CRectUI dest;
    CRectUI source;
    CRectUI corner;
    uint8_t fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;

    void Clear();
};

// What a description asks for, read from its key='value' pairs.
struct ImageDescriptionUI {
    CWideString name;
    CWideString resourceType;  // empty: a skin file
    DWORD mask = 0;
    bool useHsl = false;
};

// Reads description into the drawing fields of info and the load request
// of out. A description without pairs is an image name as a whole.
// Malformed pairs end the reading silently.
void ParseImageDescription(const wchar_t* description, ImageDrawInfoUI& info, ImageDescriptionUI& out);

}  // namespace QuillUI
