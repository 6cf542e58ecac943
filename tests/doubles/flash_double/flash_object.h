// The Flash double: the shared OLE control part, the movie interface as a
// raw table of slots (so a host that declares the interface in the wrong
// order lands on the wrong slot and the log shows it), the movie's state and
// two progress bars drawn from the host's requests, and the events.
#pragma once
#include "event_args.h"
#include "flash_ids.h"
#include "flash_scenario.h"
#include "ole_control_double.h"

#include <string>
#include <vector>

namespace flash {

class FlashDouble;

using Slot = void (*)();

// What a caller of the movie interface holds: a pointer to this, whose
// first field is the slot table.
struct MovieFace {
    const Slot* table;
    FlashDouble* owner;
};

// The table of kSlotCount slots (flash_movie_table.cpp).
const Slot* MovieTable();

class FlashDouble final : public comdouble::OleControlDouble {
public:
    FlashDouble();

    static FlashDouble* Current();
    // Fires one event now ("fscommand cmd arg").
    HRESULT RunEvent(const std::vector<comdouble::Word>& action);

    // The movie interface's methods, reached through the slot table.
    HRESULT PutPlaying(VARIANT_BOOL playing);
    HRESULT PutMovie(BSTR path);
    HRESULT PutWMode(BSTR mode);
    HRESULT PutAllowScriptAccess(BSTR access);
    HRESULT CallFunction(BSTR request, BSTR* response);
    HRESULT DisableLocalSecurity();
    HRESULT OtherSlot(int slot);
    HRESULT MovieIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
    HRESULT MovieInvoke(DISPID dispid, WORD flags, DISPPARAMS* params, VARIANT* result);

protected:
    ~FlashDouble() override;
    HRESULT QueryExtra(REFIID riid, void** out) override;
    HRESULT RunStep(const std::vector<comdouble::Word>& action) override { return RunEvent(action); }
    void PaintContent(HDC dc, const RECT& bounds) override;

private:
    explicit FlashDouble(FlashScenario scenario);
    HRESULT Fire(DISPID dispid, comdouble::EventArgs& args, const std::string& what);
    HRESULT FireMalformed(const std::string& kind);

    FlashScenario scenario_;
    MovieFace face_;
    std::wstring movie_;
    bool playing_ = false;
    std::wstring wmode_;
    std::wstring scriptAccess_;
    bool localSecurityOff_ = false;
    long barOne_ = 0;
    long barTwo_ = 0;
    std::wstring textOne_;
    std::wstring textTwo_;
};

}  // namespace flash
