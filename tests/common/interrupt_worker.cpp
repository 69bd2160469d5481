// Test helper: makes a temporary file in DIRECTORY, writes its path into
// READY (complete once READY exists) and waits to be interrupted. An
// interrupt must remove the file; exit code 0 means nobody interrupted it
// within a minute.
#include "common/file.h"
#include "common/file_system.h"
#include "common/interrupt_cleanup.h"
#include "common/temporary_file.h"

#include <chrono>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    RemoveFilesOnInterrupt();
    TemporaryFile file;
    if (!file.Create(argv[1], "work.")) return 3;
    file.File().Write("unfinished", 10);
    const std::string ready = argv[2];
    {
        CFile note;
        if (!note.Create(ready + ".new")) return 4;
        note.Write(file.Path().data(), file.Path().size());
    }
    if (!MoveFileReplacing(ready + ".new", ready)) return 5;
    std::this_thread::sleep_for(std::chrono::minutes(1));
    return 0;
}
