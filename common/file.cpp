#include "common/file.h"

#include "common/error_texts.h"
#include "common/file_platform.h"
#include "common/last_error.h"
#include "common/string_format.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace {

const char* OperationName(FileOperation operation) {
    static constexpr const char* kNames[] = {"read", "write", "seek", "length"};
    return kNames[static_cast<int>(operation)];
}

struct InjectedFault {
    FileOperation operation = FileOperation::Read;
    std::atomic<unsigned> countdown = 0; // 0: no fault armed
    std::uint32_t errorCode = 0;
};

// A test hook, armed by one thread while no file is in use; the operations
// it counts may then come from any thread (a stream read on a thread of its
// own while the files are written).
InjectedFault injectedFault;

// True when the armed fault fires for this operation; sets the last error.
bool FaultFires(FileOperation operation) {
    if (injectedFault.operation != operation) return false;
    unsigned left = injectedFault.countdown.load(std::memory_order_relaxed);
    do {
        if (left == 0) return false;
    } while (!injectedFault.countdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed));
    if (left != 1) return false;
    SetLastErrorCode(injectedFault.errorCode);
    return true;
}

// Reads and writes are split so that one system call never sees more than
// this, whatever its count type.
constexpr std::size_t kMaxTransfer = 1u << 30;

} // namespace

FileException::FileException(FileOperation operation, const std::string& path, std::uint32_t errorCode)
    : std::runtime_error(StringFormat("File %s error on '%s': %s", OperationName(operation), path.c_str(),
                                      SystemErrorText(errorCode))),
      operation_(operation), path_(path), errorCode_(errorCode) {}

void InjectFileFault(FileOperation operation, unsigned countdown, std::uint32_t errorCode) {
    injectedFault.operation = operation;
    injectedFault.errorCode = errorCode;
    injectedFault.countdown = countdown;
}

void ClearFileFaults() { injectedFault.countdown = 0; }

CFile::~CFile() { Close(); }

CFile::CFile(CFile&& other) noexcept
    : handle_(std::exchange(other.handle_, file_platform::kInvalidHandle)), path_(std::move(other.path_)) {}

CFile& CFile::operator=(CFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, file_platform::kInvalidHandle);
        path_ = std::move(other.path_);
    }
    return *this;
}

bool CFile::Open(const std::string& path, FileAccess access, FileCreation creation, FileShare share) {
    Close();
    handle_ = file_platform::Open(path, access, creation, share);
    if (handle_ == file_platform::kInvalidHandle) return false;
    path_ = path;
    return true;
}

bool CFile::IsOpen() const { return handle_ != file_platform::kInvalidHandle; }

bool CFile::IsRegularFile() { return file_platform::IsRegular(handle_); }

bool CFile::GetIdentity(FileIdentity& identity) { return file_platform::Identity(handle_, identity); }

bool CFile::GrantDefaultAccess() { return file_platform::GrantDefaultAccess(handle_); }

std::size_t CFile::Read(void* buffer, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        std::size_t got = 0;
        if (FaultFires(FileOperation::Read) ||
            !file_platform::Read(handle_, bytes + total, std::min(count - total, kMaxTransfer), got))
            throw FileException(FileOperation::Read, path_, GetLastErrorCode());
        if (got == 0) break;
        total += got;
    }
    return total;
}

void CFile::Write(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t total = 0;
    while (total < count) {
        std::size_t put = 0;
        if (FaultFires(FileOperation::Write) ||
            !file_platform::Write(handle_, bytes + total, std::min(count - total, kMaxTransfer), put))
            throw FileException(FileOperation::Write, path_, GetLastErrorCode());
        if (put == 0) throw FileException(FileOperation::Write, path_, kErrorDiskFull);
        total += put;
    }
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekOrigin origin) {
    std::uint64_t position = 0;
    if (!file_platform::Seek(handle_, offset, origin, position))
        throw FileException(FileOperation::Seek, path_, GetLastErrorCode());
    return position;
}

std::uint64_t CFile::GetLength() {
    std::uint64_t length = 0;
    if (!file_platform::Length(handle_, length)) throw FileException(FileOperation::Length, path_, GetLastErrorCode());
    return length;
}

bool CFile::GetFileTimes(FileTimes& times) { return file_platform::GetTimes(handle_, times); }

bool CFile::SetFileTimes(const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite) {
    return file_platform::SetTimes(handle_, creation, lastAccess, lastWrite);
}

void CFile::Close() {
    if (IsOpen()) file_platform::Close(handle_);
    handle_ = file_platform::kInvalidHandle;
}
