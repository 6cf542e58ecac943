// The game hall's client library as its callers may rely on it, and nothing
// more: the export creates a message object with seven operations, the
// callers hand it an event handler with four, and a message is a record of a
// 32-bit type, a 32-bit body length and a body of at most 65,536 bytes.
//
// Declared here from that description alone, apart from the programs' own
// declarations, so that a wrong guess on their side shows in a test. Like a
// library built by a C++ compiler for Windows, the member functions use the
// platform's member calling convention (thiscall on 32-bit x86).
#pragma once
#include <cstdint>

#if defined(__i386__)
#define HALL_DOUBLE_CALL __attribute__((thiscall))
#else
#define HALL_DOUBLE_CALL
#endif

namespace hall_double {

constexpr int32_t kFreshParameterRequest = 11;
constexpr int32_t kMaxBody = 65536;

struct Record {
    int32_t type;
    int32_t length;
    char body[kMaxBody];
};

class EventHandler {
public:
    virtual void HALL_DOUBLE_CALL Connected() = 0;
    virtual void HALL_DOUBLE_CALL ConnectFailed() = 0;
    virtual void HALL_DOUBLE_CALL Closed() = 0;
    // The record is the last argument; the ones before it carry nothing a
    // caller may use.
    virtual void HALL_DOUBLE_CALL MessageReceived(void* source, int unused, const Record* record) = 0;

protected:
    ~EventHandler() = default;
};

class MessageObject {
public:
    virtual int HALL_DOUBLE_CALL Initialise() = 0;
    virtual int HALL_DOUBLE_CALL Connect(const char* procPara) = 0;
    virtual void HALL_DOUBLE_CALL Release() = 0;
    virtual int HALL_DOUBLE_CALL IsConnected() = 0;
    virtual int HALL_DOUBLE_CALL Send(int size, const void* record) = 0;
    virtual void HALL_DOUBLE_CALL AddEventHandler(EventHandler* handler) = 0;
    virtual void HALL_DOUBLE_CALL RemoveEventHandler(EventHandler* handler) = 0;

protected:
    ~MessageObject() = default;
};

}  // namespace hall_double
