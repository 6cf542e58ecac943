// What the hall double does, read from a text file, one instruction a line
// ("#" starts a comment):
//
//   connect-result N                    what Connect returns (default 1)
//   TRIGGER DELAY_MS ACTION             do ACTION DELAY_MS after TRIGGER
//
// TRIGGER: "connect" (the Connect call), "request" (every HALL_MSG_PROCPARA
// request sent to the hall) or "file:NAME" (NAME appears beside the library).
// ACTION: "connected", "connect-failed", "closed", or
// "message TYPE BODY [length=N]" with BODY one of "empty", "text:CHARS",
// "flag:N" (a 32-bit number), "fill:N" (N bytes 'x'); "length=N" writes N
// into the record's length field whatever the body is.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ScenarioAction {
    enum Trigger { kOnConnect, kOnRequest, kOnFile };
    enum Kind { kConnected, kConnectFailed, kClosed, kMessage };

    Trigger trigger = kOnConnect;
    std::string fileName;  // kOnFile
    uint32_t delayMs = 0;
    Kind kind = kConnected;
    int32_t type = 0;
    std::string body;
    bool lengthOverride = false;
    int32_t length = 0;
};

struct Scenario {
    int connectResult = 1;
    std::vector<ScenarioAction> actions;
};

// False with a reason when a line cannot be read.
bool ParseScenario(const std::string& text, Scenario& scenario, std::string& error);
