// The movie interface's slot table, laid out from the slot numbers of the
// control's type library, not from any declaration of the interface.
#include "flash_object.h"

#include <utility>

namespace flash {

namespace {

FlashDouble* Owner(MovieFace* self) { return self->owner; }

HRESULT STDMETHODCALLTYPE QueryInterfaceSlot(MovieFace* self, REFIID riid, void** out) {
    return Owner(self)->QueryInterface(riid, out);
}
ULONG STDMETHODCALLTYPE AddRefSlot(MovieFace* self) { return Owner(self)->AddRef(); }
ULONG STDMETHODCALLTYPE ReleaseSlot(MovieFace* self) { return Owner(self)->Release(); }

HRESULT STDMETHODCALLTYPE GetTypeInfoCountSlot(MovieFace*, UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE GetTypeInfoSlot(MovieFace*, UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE GetIDsOfNamesSlot(MovieFace* self, REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) {
    return Owner(self)->MovieIDsOfNames(names, count, ids);
}
HRESULT STDMETHODCALLTYPE InvokeSlot(MovieFace* self, DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) {
    return Owner(self)->MovieInvoke(dispid, flags, params, result);
}

HRESULT STDMETHODCALLTYPE PutPlayingSlot(MovieFace* self, VARIANT_BOOL playing) {
    return Owner(self)->PutPlaying(playing);
}
HRESULT STDMETHODCALLTYPE PutMovieSlot(MovieFace* self, BSTR path) { return Owner(self)->PutMovie(path); }
HRESULT STDMETHODCALLTYPE PutWModeSlot(MovieFace* self, BSTR mode) { return Owner(self)->PutWMode(mode); }
HRESULT STDMETHODCALLTYPE PutAllowScriptAccessSlot(MovieFace* self, BSTR access) {
    return Owner(self)->PutAllowScriptAccess(access);
}
HRESULT STDMETHODCALLTYPE CallFunctionSlot(MovieFace* self, BSTR request, BSTR* response) {
    return Owner(self)->CallFunction(request, response);
}
HRESULT STDMETHODCALLTYPE DisableLocalSecuritySlot(MovieFace* self) { return Owner(self)->DisableLocalSecurity(); }

// Every other slot. Most of the interface's methods are property accessors
// with one pointer-sized argument, which is what this takes, so a stray
// call returns cleanly on i686 too.
template <int N>
HRESULT STDMETHODCALLTYPE OtherSlot(MovieFace* self, void*) {
    return Owner(self)->OtherSlot(N);
}

template <class F>
Slot AsSlot(F f) {
    return reinterpret_cast<Slot>(f);
}

template <size_t... I>
void FillOthers(Slot* table, std::index_sequence<I...>) {
    ((table[I] = AsSlot(&OtherSlot<static_cast<int>(I)>)), ...);
}

struct Table {
    Slot slots[kSlotCount];
    Table() {
        FillOthers(slots, std::make_index_sequence<kSlotCount>());
        slots[0] = AsSlot(&QueryInterfaceSlot);
        slots[1] = AsSlot(&AddRefSlot);
        slots[2] = AsSlot(&ReleaseSlot);
        slots[3] = AsSlot(&GetTypeInfoCountSlot);
        slots[4] = AsSlot(&GetTypeInfoSlot);
        slots[5] = AsSlot(&GetIDsOfNamesSlot);
        slots[6] = AsSlot(&InvokeSlot);
        slots[kSlotPutPlaying] = AsSlot(&PutPlayingSlot);
        slots[kSlotPutMovie] = AsSlot(&PutMovieSlot);
        slots[kSlotPutWMode] = AsSlot(&PutWModeSlot);
        slots[kSlotPutAllowScriptAccess] = AsSlot(&PutAllowScriptAccessSlot);
        slots[kSlotCallFunction] = AsSlot(&CallFunctionSlot);
        slots[kSlotDisableLocalSecurity] = AsSlot(&DisableLocalSecuritySlot);
    }
};

}  // namespace

const Slot* MovieTable() {
    static const Table table;
    return table.slots;
}

}  // namespace flash
