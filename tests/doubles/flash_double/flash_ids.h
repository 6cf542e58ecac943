// The identifiers of the Flash control, its movie interface and its events,
// as the control's type library gives them.
#pragma once
#include "common/win.h"

#include <ole2.h>

namespace flash {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
const CLSID kClsidFlash = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The movie interface, {D27CDB6C-AE6D-11CF-96B8-444553540000}
const IID kIidMovie = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The events, {D27CDB6D-AE6D-11CF-96B8-444553540000}
const IID kDiidEvents = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The movie interface is dual: IUnknown takes slots 0-2, IDispatch 3-6,
// and these methods sit at these slots with these dispids.
const int kSlotCount = 96;
const int kSlotPutPlaying = 10;
const int kSlotPutMovie = 22;
const int kSlotPutWMode = 41;
const int kSlotPutAllowScriptAccess = 79;
const int kSlotCallFunction = 93;
const int kSlotDisableLocalSecurity = 95;

const DISPID kDispidPlaying = 125;
const DISPID kDispidMovie = 102;
const DISPID kDispidWMode = 133;
const DISPID kDispidAllowScriptAccess = 171;
const DISPID kDispidCallFunction = 198;
const DISPID kDispidDisableLocalSecurity = 200;

const DISPID kReadyStateChange = -609;
const DISPID kOnProgress = 1958;
const DISPID kFSCommand = 150;
const DISPID kFlashCall = 197;

}  // namespace flash
