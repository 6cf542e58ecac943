#pragma once
#include "common/channel_codec.h"
#include "common/channel_types.h"
#include "common/win.h"

#include <cstdint>
#include <functional>
#include <vector>

// One WM_COPYDATA frame: a big-endian 16-bit type, four zero bytes, the body.
struct CopyDataFrame {
    static uint16_t Type(const uint8_t* frame) { return static_cast<uint16_t>((frame[0] << 8) | frame[1]); }
    // Copies a received COPYDATASTRUCT's payload; receivers do this at once.
    static std::vector<uint8_t> Copy(const COPYDATASTRUCT* data);
};

// Decodes received frames and calls the handler of their type; encodes and
// sends records.
class ProtocolDeal {
public:
    // (sender wParam, decoded record, decoder result)
    using Handler = std::function<void(WPARAM sender, const void* record, int32_t size)>;
    static constexpr int kHandlerCount = 50;

    ProtocolDeal();
    virtual ~ProtocolDeal() = default;
    ProtocolDeal(const ProtocolDeal&) = delete;
    ProtocolDeal& operator=(const ProtocolDeal&) = delete;

    bool RegisterHandler(uint32_t type, Handler handler);

    // True when the frame reached its handler. Frames shorter than the head,
    // of an unknown type, or whose body does not decode are dropped.
    virtual bool OnReceive(WPARAM sender, const uint8_t* frame, int32_t length);

    // How long a send waits for the receiving thread. Both programs' window
    // procedures only copy a frame into a queue, so a thread that is merely
    // busy (a modal box pumps messages) takes it in time; a hung one, or one
    // that never pumps, must not hold the sender for good.
    static constexpr UINT kSendTimeoutMs = 3000;

    // 0 when delivered (or when encoding failed and nothing was sent), else
    // the reason it was not: ERROR_TIMEOUT when the receiver did not take it
    // within kSendTimeoutMs or is hung, or the system's error, such as a
    // window that is gone. A send that gives up is logged.
    DWORD SendCopyData(HWND window, uint32_t type, const void* record, WPARAM wParam);

    // Encodes a whole frame (head and body) into out; -1 on failure.
    int32_t EncodeFrame(uint32_t type, const void* record, std::vector<uint8_t>& out);

private:
    Handler handlers_[kHandlerCount];
    ChannelCodec codec_;
};

// A window handle as the channel carries it (32 bits on every platform).
inline int32_t WindowToChannel(HWND window) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}
inline HWND ChannelToWindow(int32_t value) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}
