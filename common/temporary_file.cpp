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

bool RandomName(std::string& name) {
    unsigned char bytes[kRandomCharacters];
    if (!GetRandomBytes(bytes, sizeof bytes)) return false;
    name.clear();
    for (unsigned char byte : bytes) name += kAlphabet[byte % (sizeof kAlphabet - 1)];
    return true;
}

} // namespace

TemporaryFile::~TemporaryFile() { Remove(); }

bool TemporaryFile::Create(const std::string& directory, const std::string& prefix, const std::string& suffix) {
    Remove();
    std::string base = directory.empty() ? GetTempDirectory() : directory;
    if (!base.empty() && base.back() != '/' && base.back() != '\\') base += PathSeparator();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string random;
        if (!RandomName(random)) return false;
        const std::string path = base + prefix + random + suffix;
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

bool TemporaryFile::CommitAs(const std::string& target) {
    if (path_.empty()) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    if (!file_.GrantDefaultAccess()) return false;
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
