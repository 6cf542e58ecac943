#pragma once
// A scripted update core for the launcher-facing side of the engine.
#include "engine/notify_core.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeNotifyCore : public NotifyCore {
public:
    void ContinueUpdate() override {
        ++continues;
        if (onContinue) onContinue();
    }
    int UpdateState() const override { return state; }
    std::wstring Text(const std::wstring& key) const override {
        auto it = texts.find(key);
        return it == texts.end() ? std::wstring() : it->second;
    }
    std::wstring SlotText(int slot) const override { return slot >= 0 && slot < 3 ? slots[slot] : std::wstring(); }
    void DisplayProgress(double& d, double& t) const override {
        d = done;
        t = total;
    }
    uint64_t ReceivedBytes() const override { return received; }
    void CheckServerVersion(const std::wstring& serverId) override { checkedServers.push_back(serverId); }
    bool ClientAtTargetVersion() const override { return atTarget; }
    void RequestClientCheck() override { ++clientChecks; }
    void Log(const std::string& line) override { log.push_back(line); }

    bool Logged(const std::string& line) const {
        for (const auto& l : log) {
            if (l == line) return true;
        }
        return false;
    }

    int state = 0;
    std::map<std::wstring, std::wstring> texts = {{L"Tip65", L"up to date"}, {L"Tip66", L"speed "},
                                                  {L"Tip67", L"starting"}, {L"Tip69", L"restarting"}};
    std::wstring slots[3];
    double done = 0;
    double total = 0;
    uint64_t received = 0;
    bool atTarget = false;
    int continues = 0;
    int clientChecks = 0;
    std::vector<std::wstring> checkedServers;
    std::vector<std::string> log;
    std::function<void()> onContinue;
};
