// English sentences for operating-system error codes.
//
// The *Text functions return a pointer into a process-wide buffer of their
// family (system, shell execution, service, common dialog); the text stays
// valid until the next call of a function of the same family, from any
// thread. Copy it to keep it longer; threads must not share a family without
// a lock. The FormatSystemMessage variants return owned strings and may be
// called from any thread.
#pragma once

#include <cstdint>
#include <string>

// "<sentence> (<code>)" from the system table, or "Error <code>" with the code
// as a signed number when the table has no sentence for it.
const char* SystemErrorText(std::uint32_t code);
// SystemErrorText of the calling thread's last error.
const char* LastErrorText();

// The sentence for a value returned by ShellExecuteA (0 to 32), or
// "ShellExecute error <value>" for any other value, success values included.
const char* ShellExecuteErrorText(std::uintptr_t value);

// The service-control sentence for code, else SystemErrorText(code).
const char* ServiceErrorText(std::uint32_t code);
const char* LastServiceErrorText();

// The sentence for a common-dialog extended error, or "CommDlgError <code>".
const char* CommDlgErrorText(std::uint32_t code);
// CommDlgErrorText of CommDlgExtendedError (always 0 where there are no common dialogs).
const char* LastCommDlgErrorText();

// "<message> [<code>]" with the operating system's own message for code, cut at
// its first line end, or "[Unknown error code:<code>]". The POSIX stand-in
// answers from the system table.
std::string FormatSystemMessage(std::uint32_t code);
std::string FormatLastSystemMessage();
