#include "common/protocol_deal.h"

#include "common/common_log.h"
#include "common/critical_section_lock.h"

#include <cstring>
#include <string>

namespace {

// One send frame and one receive record per process, as both programs expect.
uint8_t g_sendFrame[kChannelHeadSize + kChannelBodyCapacity];
uint8_t g_receiveRecord[kChannelBodyCapacity];

CriticalSectionLock& SendLock() {
    static CriticalSectionLock lock;
    return lock;
}

}  // namespace

std::vector<uint8_t> CopyDataFrame::Copy(const COPYDATASTRUCT* data) {
    if (data == nullptr || data->lpData == nullptr || data->cbData == 0) return {};
    const auto* bytes = static_cast<const uint8_t*>(data->lpData);
    return std::vector<uint8_t>(bytes, bytes + data->cbData);
}

ProtocolDeal::ProtocolDeal() { RegisterChannelTypes(codec_); }

bool ProtocolDeal::RegisterHandler(uint32_t type, Handler handler) {
    if (type >= kHandlerCount) return false;
    handlers_[type] = std::move(handler);
    return true;
}

bool ProtocolDeal::OnReceive(WPARAM sender, const uint8_t* frame, int32_t length) {
    if (frame == nullptr || length < kChannelHeadSize) return false;
    uint32_t type = CopyDataFrame::Type(frame);
    if (type >= kHandlerCount || !handlers_[type]) return false;
    std::memset(g_receiveRecord, 0, sizeof(ChannelSlotTextRecord));
    int32_t size = codec_.Decode(type, frame + kChannelHeadSize, length - kChannelHeadSize, g_receiveRecord);
    if (size < 0) return false;  // never hand a handler what did not decode
    handlers_[type](sender, g_receiveRecord, size);
    return true;
}

int32_t ProtocolDeal::EncodeFrame(uint32_t type, const void* record, std::vector<uint8_t>& out) {
    out.assign(kChannelHeadSize + kChannelBodyCapacity, 0);
    out[0] = static_cast<uint8_t>(type >> 8);
    out[1] = static_cast<uint8_t>(type);
    int32_t body = codec_.Encode(type, record, out.data() + kChannelHeadSize, kChannelBodyCapacity);
    if (body < 0) {
        out.clear();
        return -1;
    }
    out.resize(static_cast<size_t>(kChannelHeadSize + body));
    return kChannelHeadSize + body;
}

DWORD ProtocolDeal::SendCopyData(HWND window, uint32_t type, const void* record, WPARAM wParam) {
    ScopedCriticalSection hold(SendLock());  // the send frame is shared by every sender
    g_sendFrame[0] = static_cast<uint8_t>(type >> 8);
    g_sendFrame[1] = static_cast<uint8_t>(type);
    std::memset(g_sendFrame + 2, 0, 4);
    int32_t body = codec_.Encode(type, record, g_sendFrame + kChannelHeadSize, kChannelBodyCapacity);
    if (body < 0) return 0;
    COPYDATASTRUCT data;
    data.dwData = kChannelCopyDataId;
    data.cbData = static_cast<DWORD>(body + kChannelHeadSize);
    data.lpData = g_sendFrame;
    // SMTO_NORMAL: frames sent to this thread meanwhile are still taken, so
    // two programs sending to each other at once do not wait on each other.
    DWORD_PTR answer = 0;
    SetLastError(0);
    if (SendMessageTimeoutW(window, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&data),
                            SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer) != 0)
        return 0;
    DWORD error = GetLastError();
    if (error == 0) error = ERROR_TIMEOUT;  // a hung receiver may leave no error
    if (error == ERROR_TIMEOUT)
        CommonLog("WM_COPYDATA of type " + std::to_string(type) + " to window " +
                  std::to_string(WindowToChannel(window)) + " given up: the receiver did not take it within " +
                  std::to_string(kSendTimeoutMs) + " ms");
    return error;
}
