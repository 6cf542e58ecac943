#pragma once
// A launcher window in the test's own thread. Frames sent to it arrive
// synchronously and are kept decoded, in order.
#include "common/protocol_deal.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class LauncherWindowStub {
public:
    struct Frame {
        uint32_t type;
        int32_t first;   // value, slot, done or action
        int32_t second;  // total
        std::string text;
    };

    LauncherWindowStub() : deal_(new ProtocolDeal) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"QuillonTestLauncherStub";
            RegisterClassW(&wc);
            registered = true;
        }
        for (uint32_t type = CF_NOTIFY_WND; type <= CF_CORE_TEXT; ++type) {
            deal_->RegisterHandler(type, [this, type](WPARAM, const void* record, int32_t) {
                Frame frame{type, 0, 0, {}};
                switch (type) {
                case CF_NOTIFY_WND:
                case CF_CALLBACK_TYPE:
                    frame.first = static_cast<const ChannelIntRecord*>(record)->value;
                    break;
                case CF_TEXT_SLOT:
                case CF_ACTION:
                    frame.first = static_cast<const ChannelSlotTextRecord*>(record)->slot;
                    frame.text = static_cast<const ChannelSlotTextRecord*>(record)->text;
                    break;
                case CF_PROGRESS:
                    frame.first = static_cast<const ChannelProgressRecord*>(record)->done;
                    frame.second = static_cast<const ChannelProgressRecord*>(record)->total;
                    break;
                default:
                    frame.text = static_cast<const ChannelTextRecord*>(record)->text;
                    break;
                }
                frames.push_back(std::move(frame));
            });
        }
        window_ = CreateWindowW(L"QuillonTestLauncherStub", L"stub", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~LauncherWindowStub() { Destroy(); }
    LauncherWindowStub(const LauncherWindowStub&) = delete;
    LauncherWindowStub& operator=(const LauncherWindowStub&) = delete;

    HWND Handle() const { return window_; }
    void Destroy() {
        if (window_ != nullptr) DestroyWindow(window_);
        window_ = nullptr;
    }

    std::vector<int> Callbacks() const { return Values(CF_CALLBACK_TYPE); }
    std::vector<int> Progress() const { return Values(CF_PROGRESS); }
    std::vector<std::string> Texts(int slot) const {
        std::vector<std::string> out;
        for (const Frame& f : frames) {
            if (f.type == CF_TEXT_SLOT && f.first == slot) out.push_back(f.text);
        }
        return out;
    }
    std::vector<std::string> CoreTexts() const {
        std::vector<std::string> out;
        for (const Frame& f : frames) {
            if (f.type == CF_CORE_TEXT) out.push_back(f.text);
        }
        return out;
    }

    std::vector<Frame> frames;

private:
    std::vector<int> Values(uint32_t type) const {
        std::vector<int> out;
        for (const Frame& f : frames) {
            if (f.type == type) out.push_back(f.first);
        }
        return out;
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            auto* self = reinterpret_cast<LauncherWindowStub*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            std::vector<uint8_t> frame = CopyDataFrame::Copy(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            if (self != nullptr) self->deal_->OnReceive(wParam, frame.data(), static_cast<int32_t>(frame.size()));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    std::unique_ptr<ProtocolDeal> deal_;
    HWND window_ = nullptr;
};

// A frame as a launcher sends it, ready for QueueCopyData.
class LauncherFrame {
public:
    LauncherFrame(uint32_t type, const void* record) {
        static ProtocolDeal* deal = new ProtocolDeal;  // large tables: never on the stack
        deal->EncodeFrame(type, record, bytes_);
        data_.dwData = kChannelCopyDataId;
        data_.cbData = static_cast<DWORD>(bytes_.size());
        data_.lpData = bytes_.data();
    }
    const COPYDATASTRUCT* Data() const { return &data_; }

    static LauncherFrame Hello(HWND window) {
        ChannelIntRecord record = {WindowToChannel(window)};
        return LauncherFrame(CF_NOTIFY_WND, &record);
    }
    static LauncherFrame Action(int action, const std::string& text = std::string()) {
        ChannelSlotTextRecord record = {};
        record.slot = action;
        text.copy(record.text, sizeof(record.text) - 1);
        return LauncherFrame(CF_ACTION, &record);
    }

private:
    std::vector<uint8_t> bytes_;
    COPYDATASTRUCT data_ = {};
};
