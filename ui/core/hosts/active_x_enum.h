// The container's enumeration of its one object.
#pragma once
#include "ui/core/hosts/com_declarations_ui.h"

namespace QuillUI {

class CActiveXEnum : public IEnumUnknown {
public:
    // Holds a reference to OBJECT.
    explicit CActiveXEnum(IUnknown* object);
    CActiveXEnum(const CActiveXEnum&) = delete;
    CActiveXEnum& operator=(const CActiveXEnum&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // Hands out the object once; S_FALSE when fewer than COUNT were fetched.
    STDMETHODIMP Next(ULONG count, IUnknown** items, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumUnknown** copy) override;

private:
    virtual ~CActiveXEnum();

    LONG position_ = 0;
    LONG refs_ = 1;
    IUnknown* object_;
};

}  // namespace QuillUI
