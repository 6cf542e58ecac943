#include "common/client_proc_msg.h"

#include "common/module_path.h"

#include <cstring>
#include <vector>

const wchar_t kHallLibraryName[] = L"HallProcMsgHelper.dll";
const char kCreateClientProcMsgObject[] = "CreateClientProcMsgObject";

HMODULE LoadHallLibrary() {
    std::wstring path = ExecutableFolder();
    if (path.empty()) return nullptr;
    if (path.back() != L'\\') path += L'\\';  // a drive root has its own
    path += kHallLibraryName;
    // The library's own dependencies are looked up beside it first.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

ClientProcMsgObject* CreateHallMessageObject(HMODULE library) {
    if (library == nullptr) return nullptr;
    auto create = reinterpret_cast<CreateClientProcMsgObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, kCreateClientProcMsgObject)));
    return create != nullptr ? create() : nullptr;
}

ProcMsgCheck CopyProcMsg(const ProcMsg* record, ReceivedProcMsg& out) {
    if (record == nullptr) return ProcMsgCheck::kMissing;
    int32_t type = 0;
    int32_t length = 0;
    std::memcpy(&type, &record->type, sizeof(type));
    std::memcpy(&length, &record->length, sizeof(length));
    if (length < 0 || static_cast<size_t>(length) > kProcMsgMaxBody) return ProcMsgCheck::kBadLength;
    out.type = type;
    out.body.assign(record->body, static_cast<size_t>(length));
    return ProcMsgCheck::kOk;
}

bool ProcParaFromReply(const ReceivedProcMsg& reply, std::string& procPara) {
    // A hall may send its whole zero-padded buffer: only the text counts.
    std::string text = reply.body.substr(0, reply.body.find('\0'));
    if (text.size() > kProcParaMaxLength) return false;
    procPara = text;
    return true;
}

bool SendProcMsg(ClientProcMsgObject* object, int32_t type, const void* body, size_t length) {
    if (object == nullptr || length > kProcMsgMaxBody || !object->IsConnected()) return false;
    std::vector<char> record(kProcMsgHeaderSize + length);
    int32_t header[2] = {type, static_cast<int32_t>(length)};
    std::memcpy(record.data(), header, sizeof(header));
    if (length != 0) std::memcpy(record.data() + kProcMsgHeaderSize, body, length);
    // What Send returns is not part of the library's contract.
    object->Send(static_cast<int>(record.size()), record.data());
    return true;
}
