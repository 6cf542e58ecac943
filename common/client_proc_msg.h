// The game hall's client library "HallProcMsgHelper.dll": its message
// object, the event interface the programs hand to it and the records of the
// hall pipe.
//
// Both interfaces cross a DLL boundary that another compiler may have built:
// plain virtual functions in declaration order, no virtual destructor (its
// vtable slots differ between compilers) and, on 32-bit x86, the member
// calling convention of C++ compilers for Windows (thiscall: `this` in ECX,
// the callee pops the arguments).
#pragma once
#include "common/win.h"

#include <cstddef>
#include <cstdint>
#include <string>

#if defined(__i386__)
#define HALL_METHOD __attribute__((thiscall))
#else
#define HALL_METHOD
#endif

enum ProcMsgType : int32_t {
    HALL_MSG_SHOW = 3,       // hall to launcher: 32-bit flag, show (non-zero) or hide
    SC_HALL_CMDPARA = 6,     // hall to launcher: command parameters, ignored
    HALL_MSG_PROCPARA = 11,  // request with an empty body; the reply holds a fresh "PROCPARA"
    HALL_MSG_REFUSED = 12,   // hall to launcher: a second connection was refused
};

constexpr size_t kProcMsgHeaderSize = 8;
constexpr size_t kProcMsgMaxBody = 65536;
// A fresh "PROCPARA" fits a 128-byte buffer with its terminator.
constexpr size_t kProcParaMaxLength = 127;

// One record of the hall pipe as it lies in memory: type, body length, then
// the body, of which the first `length` bytes are the message. Records are
// always looked at through CopyProcMsg.
struct ProcMsg {
    int32_t type;
    int32_t length;
    char body[kProcMsgMaxBody];
};
static_assert(offsetof(ProcMsg, body) == kProcMsgHeaderSize, "ProcMsg header is 8 bytes");

class ClientProcMsgObject;

// Implemented by the programs; the library calls it, possibly from a thread
// of its own.
class IClientProcMsgEventHandler {
public:
    virtual void HALL_METHOD OnConnected() = 0;
    virtual void HALL_METHOD OnConnectFailed() = 0;
    virtual void HALL_METHOD OnClosed() = 0;
    // Only `record` is read, and only during the call: what the arguments
    // before it mean is not documented, so nothing may rest on them.
    virtual void HALL_METHOD OnMessage(ClientProcMsgObject* source, int size, const ProcMsg* record) = 0;

protected:
    ~IClientProcMsgEventHandler() = default;
};

// The library's message object. Order of use: create, Initialize,
// AddEventHandler, Connect; at the end RemoveEventHandler, then Release, after
// which the object is gone.
class ClientProcMsgObject {
public:
    virtual int HALL_METHOD Initialize() = 0;
    // `procPara` in the ANSI code page; non-zero: connected or connecting.
    virtual int HALL_METHOD Connect(const char* procPara) = 0;
    virtual void HALL_METHOD Release() = 0;
    virtual int HALL_METHOD IsConnected() = 0;
    // `size` = 8 + the record's body length.
    virtual int HALL_METHOD Send(int size, const void* record) = 0;
    virtual void HALL_METHOD AddEventHandler(IClientProcMsgEventHandler* handler) = 0;
    virtual void HALL_METHOD RemoveEventHandler(IClientProcMsgEventHandler* handler) = 0;

protected:
    ~ClientProcMsgObject() = default;
};

// The export "CreateClientProcMsgObject": no arguments, the object or null.
using CreateClientProcMsgObjectFunction = ClientProcMsgObject* (*)();

extern const wchar_t kHallLibraryName[];        // "HallProcMsgHelper.dll"
extern const char kCreateClientProcMsgObject[];  // the export's name

// Loads the library by full path from the running executable's folder, never
// through the search path. Null when it is missing or does not load.
HMODULE LoadHallLibrary();

// Null when the export is missing or creates nothing.
ClientProcMsgObject* CreateHallMessageObject(HMODULE library);

// A hall record copied into memory of our own.
struct ReceivedProcMsg {
    int32_t type = 0;
    std::string body;
};

enum class ProcMsgCheck {
    kOk,
    kMissing,    // no record
    kBadLength,  // negative or above kProcMsgMaxBody
};

// Copies a record handed to OnMessage by its own length, which must lie
// within a record's body; `out` is only filled when the result is kOk.
ProcMsgCheck CopyProcMsg(const ProcMsg* record, ReceivedProcMsg& out);

// The fresh "PROCPARA" of a HALL_MSG_PROCPARA reply: the body up to its first
// NUL. False when that text is 128 bytes or longer: the hall's protocol holds
// the value in 128 bytes with its terminator.
bool ProcParaFromReply(const ReceivedProcMsg& reply, std::string& procPara);

// Sends one record when there is an object and it reports itself connected;
// the size handed to the library is 8 + `length`. False when nothing was
// handed over.
bool SendProcMsg(ClientProcMsgObject* object, int32_t type, const void* body, size_t length);
