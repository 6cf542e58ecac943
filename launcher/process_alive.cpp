#include "launcher/process_alive.h"

#include "common/unique_handle.h"

#include <tlhelp32.h>

bool IsProcessAliveById(DWORD pid) {
    if (pid == 0) return false;
    ScopedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == pid) return true;
    }
    return false;
}
