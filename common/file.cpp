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

std::string FileFailure::Text() const {
    return StringFormat("File %s error on '%s': %s", OperationName(operation), path.c_str(),
                        SystemErrorText(errorCode));
}

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

bool CFile::Fail(FileOperation operation) { return Fail(operation, GetLastErrorCode()); }

bool CFile::Fail(FileOperation operation, std::uint32_t errorCode) {
    failure_ = FileFailure{operation, path_, errorCode};
    SetLastErrorCode(errorCode);
    return false;
}

bool CFile::TryRead(void* buffer, std::size_t count, std::size_t& got) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    got = 0;
    while (got < count) {
        std::size_t piece = 0;
        if (FaultFires(FileOperation::Read) ||
            !file_platform::Read(handle_, bytes + got, std::min(count - got, kMaxTransfer), piece))
            return Fail(FileOperation::Read);
        if (piece == 0) break;
        got += piece;
    }
    return true;
}

bool CFile::TryWrite(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t total = 0;
    while (total < count) {
        std::size_t put = 0;
        if (FaultFires(FileOperation::Write) ||
            !file_platform::Write(handle_, bytes + total, std::min(count - total, kMaxTransfer), put))
            return Fail(FileOperation::Write);
        if (put == 0) return Fail(FileOperation::Write, kErrorDiskFull);
        total += put;
    }
    return true;
}

bool CFile::TrySeek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position) {
    std::uint64_t reached = 0;
    if (!file_platform::Seek(handle_, offset, origin, reached)) return Fail(FileOperation::Seek);
    if (position) *position = reached;
    return true;
}

bool CFile::TryGetLength(std::uint64_t& length) {
    return file_platform::Length(handle_, length) || Fail(FileOperation::Length);
}

bool CFile::GetFileTimes(FileTimes& times) { return file_platform::GetTimes(handle_, times); }

bool CFile::SetFileTimes(const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite) {
    return file_platform::SetTimes(handle_, creation, lastAccess, lastWrite);
}

void CFile::Close() {
    if (IsOpen()) file_platform::Close(handle_);
    handle_ = file_platform::kInvalidHandle;
}
