#include "common/temporary_file.h"

#include "common/file_system.h"
#include "common/interrupt_cleanup.h"
#include "common/last_error.h"
#include "common/path.h"
#include "common/system_info.h"

#include <cstdio>

namespace {

// Twelve characters of 36 possible: about 62 bits nobody can predict.
constexpr int kRandomCharacters = 12;
constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
// Attempts before giving up on names that are all taken (or refused).
constexpr int kAttempts = 64;

// base (from NameStart), prefix, twelve random letters or digits, suffix.
bool DrawName(const std::string& base, const std::string& prefix, const std::string& suffix, std::string& path) {
    unsigned char bytes[kRandomCharacters];
    if (!GetRandomBytes(bytes, sizeof bytes)) return false;
    path = base + prefix;
    for (unsigned char byte : bytes) path += kAlphabet[byte % (sizeof kAlphabet - 1)];
    path += suffix;
    return true;
}

// directory (the system's temporary directory when empty) with a separator
// after it, where the names start.
std::string NameStart(const std::string& directory) {
    std::string base = directory.empty() ? GetTempDirectory() : directory;
    if (!base.empty() && base.back() != '/' && base.back() != '\\') base += PathSeparator();
    return base;
}

} // namespace

TemporaryFile::~TemporaryFile() { Remove(); }

bool TemporaryFile::Create(const std::string& directory, const std::string& prefix, const std::string& suffix) {
    Remove();
    const std::string base = NameStart(directory);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path;
        if (!DrawName(base, prefix, suffix, path)) return false;
        // Registered before it is created: an interrupt that arrives just
        // after the creation must find it. Removing a name that is not there
        // (an interrupt before the creation) does no harm.
        const int slot = RegisterForInterruptRemoval(path);
        if (file_.Open(path, FileAccess::ReadWrite, FileCreation::CreateNew, FileShare::Exclusive)) {
            path_ = path;
            interruptSlot_ = slot;
            return true;
        }
        const std::uint32_t error = GetLastErrorCode();
        UnregisterInterruptRemoval(slot);
        SetLastErrorCode(error);
        if (error != kErrorAlreadyExists && error != kErrorFileExists) return false;
    }
    return false;
}

bool TemporaryFile::ReserveName(const std::string& directory, const std::string& prefix, const std::string& suffix) {
    Remove();
    const std::string base = NameStart(directory);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path;
        if (!DrawName(base, prefix, suffix, path)) return false;
        FileDetails details;
        if (GetFileDetails(path, details)) continue;
        const std::uint32_t error = GetLastErrorCode();
        if (error != kErrorFileNotFound) return false;
        path_ = path;
        interruptSlot_ = RegisterForInterruptRemoval(path);
        return true;
    }
    SetLastErrorCode(kErrorFileExists);
    return false;
}

bool TemporaryFile::CommitAs(const std::string& target) {
    if (path_.empty()) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    if (file_.IsOpen() && !file_.GrantDefaultAccess()) return false;
    file_.Close();
    if (!MoveFileReplacing(path_, target)) return false;
    UnregisterInterruptRemoval(interruptSlot_);
    interruptSlot_ = -1;
    path_.clear();
    return true;
}

void TemporaryFile::Remove() {
    file_.Close();
    if (path_.empty()) return;
    std::remove(path_.c_str());
    UnregisterInterruptRemoval(interruptSlot_);
    interruptSlot_ = -1;
    path_.clear();
}
