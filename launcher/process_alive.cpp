#include "launcher/process_alive.h"

#include "common/unique_handle.h"

#include <tlhelp32.h>

namespace {

ProcessSnapshotFunction g_snapshot = nullptr;

}  // namespace

void SetProcessSnapshotFunction(ProcessSnapshotFunction function) { g_snapshot = function; }

bool IsProcessAliveById(DWORD pid) {
    if (pid == 0) return false;
    ProcessSnapshotFunction snapshotOf = g_snapshot != nullptr ? g_snapshot : &CreateToolhelp32Snapshot;
    ScopedFileHandle snapshot(snapshotOf(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return true;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == pid) return true;
    }
    return false;
}
