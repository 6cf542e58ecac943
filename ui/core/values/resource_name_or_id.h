// A module resource named by text or by a 16-bit number, in the one
// pointer-sized form that the resource functions take.
#pragma once
#include "common/win.h"

namespace QuillUI {

class ResourceNameOrId {
public:
    explicit ResourceNameOrId(const wchar_t* name) : value_(name) {}
    explicit ResourceNameOrId(WORD id) : value_(MAKEINTRESOURCEW(id)) {}

    bool IsId() const { return IS_INTRESOURCE(value_); }
    WORD GetId() const { return IsId() ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(value_)) : 0; }
    // The value to pass to FindResourceW and the like.
    const wchar_t* Get() const { return value_; }

private:
    const wchar_t* value_;
};

}  // namespace QuillUI
