#pragma once

// The copier's log: one line per entry, appended to "Log\Ferrier.log" under
// the current folder (the installation folder once start-up has run), in
// UTF-8 with the local date and time. Best effort: a log that cannot be
// written never stops the copier.
void CopierLog(const wchar_t* format, ...);
