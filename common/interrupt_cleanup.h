// Removal of a program's unfinished files when it is interrupted: by SIGINT,
// SIGTERM or SIGHUP on POSIX; by a console Ctrl-C, Ctrl-Break, close, logoff
// or shutdown event on Windows. A program that wants it calls
// RemoveFilesOnInterrupt once at start; TemporaryFile registers every file it
// creates, so that an interrupted run leaves none of them behind. The
// interrupt then ends the process as it would have without the handler.
#pragma once

#include <string>

void RemoveFilesOnInterrupt();

// Registers path for removal on an interrupt and returns its slot, or -1 when
// the path is too long or every slot is taken (the file is then not removed
// on an interrupt). Any thread may register and unregister.
int RegisterForInterruptRemoval(const std::string& path);
void UnregisterInterruptRemoval(int slot);

namespace interrupt_cleanup_detail {
// Removes every registered file; safe inside a signal handler.
void RemoveRegisteredFiles();
// Deletes one file; safe inside a signal handler (platform file).
void RemoveFileNow(const char* path);
} // namespace interrupt_cleanup_detail
