#include "win32/registry.h"

#include "archive/installation_names.h"
#include "common/environment.h"
#include "common/error_texts.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#if ZOR_REGISTRY_TRACE
#include "log/log_factory.h"
#include "log/logger.h"
#endif

#include <cstdarg>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kDebugPriority = 700;
constexpr int kErrorPriority = 300;
constexpr REGSAM kAllAccess = 0xF003F;
// Registry limits: key names have at most 255 characters, value names 16,383.
constexpr DWORD kKeyNameBuffer = 256;
constexpr DWORD kValueNameBuffer = 16384;
constexpr DWORD kStringObjectBuffer = 2048;

#if ZOR_REGISTRY_TRACE
// Shared by every instance; set once by the first constructor.
Logger* g_logger = nullptr;

void AttachLogger() {
    if (g_logger == nullptr) g_logger = LogFactory::instance().getLogger("com.zor.common.registry");
}

void LogLine(int priority, const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);

// Formats the line here and hands it over as one "%s" argument, so that names
// and texts containing "%" reach the logger unchanged.
void LogLine(int priority, const char* format, ...) {
    if (g_logger == nullptr) return;
    va_list args;
    va_start(args, format);
    const std::string line = StringFormatV(format, args);
    va_end(args);
    if (priority == kDebugPriority) {
        g_logger->debugFormat("%s", line.c_str());
    } else if (priority == kErrorPriority) {
        g_logger->errorFormat("%s", line.c_str());
    } else {
        g_logger->logFormat(priority, "%s", line.c_str());
    }
}

// A trace line: its arguments are evaluated only where the lines are kept.
#define REGISTRY_TRACE(...) LogLine(__VA_ARGS__)
#else
void AttachLogger() {}
// Without the lines, their arguments are named but never evaluated.
template <typename... Args>
int Untraced(const Args&...);
#define REGISTRY_TRACE(...) static_cast<void>(sizeof(Untraced(__VA_ARGS__)))
#endif

const char* Text(const char* text) { return text != nullptr ? text : ""; }

const char* ErrorText(LONG code) { return SystemErrorText(static_cast<std::uint32_t>(code)); }

// The first two bytes of a buffer for the trace lines; absent bytes show as 0,
// so a short or null buffer is never read past its end.
unsigned LeadByte(const void* data, DWORD length, DWORD index) {
    if (data == nullptr || index >= length) return 0;
    return static_cast<const unsigned char*>(data)[index];
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

// Sub key paths compared as the registry does: without regard to case,
// separators collapsed and trimmed.
std::string NormalizeKeyPath(const char* path) {
    std::string result;
    for (const char* p = Text(path); *p != '\0'; ++p) {
        if (*p == '\\' && (result.empty() || result.back() == '\\')) continue;
        result += *p;
    }
    while (!result.empty() && result.back() == '\\') result.pop_back();
    return result;
}

} // namespace

// ---------------------------------------------------------------------------
// RegistryKeyHandle

RegistryKeyHandle& RegistryKeyHandle::operator=(RegistryKeyHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
}

HKEY RegistryKeyHandle::release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
}

void RegistryKeyHandle::reset(HKEY key) {
    if (key_ != nullptr && key_ != key) ::RegCloseKey(key_);
    key_ = key;
}

LONG RegistryKeyHandle::close() {
    if (key_ == nullptr) return ERROR_SUCCESS;
    const LONG result = ::RegCloseKey(key_);
    if (result == ERROR_SUCCESS) key_ = nullptr;
    return result;
}

// ---------------------------------------------------------------------------
// RegistryConnection

RegistryConnection::RegistryConnection(HKEY root, const std::string& machineName)
    : root_(root), machineName_(machineName) {}

LONG RegistryConnection::Connect() {
    HKEY handle = nullptr;
    result_ = ::RegConnectRegistryA(machineName_.c_str(), root_, &handle);
    handle_.reset(result_ == ERROR_SUCCESS ? handle : nullptr);
    return result_;
}

// ---------------------------------------------------------------------------
// CRegistry: construction, opening, closing

CRegistry::CRegistry(HKEY root, const char* subKey, const char* machineName, REGSAM access)
    : root_(root), subKey_(Text(subKey)), access_(access), machineName_(Text(machineName)), requestedRoot_(root) {
    AttachLogger();
    REGISTRY_TRACE(kDebugPriority, "CRegistry::CRegistry (HKEY, char * %s)", subKey_.c_str());
}

CRegistry::CRegistry(const CRegistry& other)
    : root_(other.requestedRoot_), subKey_(other.subKey_), access_(other.access_), machineName_(other.machineName_),
      requestedRoot_(other.requestedRoot_) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::CRegistry (CRegistry&)");
}

CRegistry::~CRegistry() {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::~CRegistry");
    Close();
    // A key whose close failed is released before the remote root it lies under.
    key_.reset();
    connection_.reset();
}

bool CRegistry::Open(bool create) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::Open (subkey=%s)", subKey_.c_str());
    // A repeated Open replaces the earlier key instead of leaking it.
    key_.reset();

    if (!machineName_.empty() && !connection_) {
        std::unique_ptr<RegistryConnection> connection(new (std::nothrow)
                                                           RegistryConnection(requestedRoot_, machineName_));
        if (!connection) {
            REGISTRY_TRACE(kDebugPriority, "CRegistry::Open Allocate RegistryConnect == NULL");
            lastError_ = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        REGISTRY_TRACE(kDebugPriority, "CRegistry::Open RegConnect...");
        lastError_ = connection->Connect();
        if (lastError_ != ERROR_SUCCESS) return false;
        connection_ = std::move(connection);
        root_ = connection_->Handle();
    }

    HKEY key = nullptr;
    lastError_ = ::RegOpenKeyExA(root_, subKey_.c_str(), 0, access_, &key);
    if (lastError_ == ERROR_SUCCESS) {
        key_.reset(key);
        REGISTRY_TRACE(kDebugPriority, "CRegistry::Open Ok!!!");
        return true;
    }
    if (!create) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::Open RegOpenKeyEx (%s)(%s)", ErrorText(lastError_), subKey_.c_str());
        return false;
    }
    key = nullptr;
    lastError_ = ::RegCreateKeyA(root_, subKey_.c_str(), &key);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::Open RegCreateKey (%s)", ErrorText(lastError_));
        return false;
    }
    key_.reset(key);
    REGISTRY_TRACE(kDebugPriority, "CRegistry::Open Ok (Key created)!!!");
    return true;
}

bool CRegistry::Close() {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::Close %s", subKey_.c_str());
    if (!key_) {
        REGISTRY_TRACE(kDebugPriority, "CRegistry::Close %s (not opened)", subKey_.c_str());
        return true;
    }
    lastError_ = key_.close();
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::Close RegCloseKey %s (%s)", subKey_.c_str(), ErrorText(lastError_));
        return false;
    }
    REGISTRY_TRACE(kDebugPriority, "CRegistry::Close %s Ok !!!", subKey_.c_str());
    return true;
}

bool CRegistry::ExistValue(const char* name) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::ExistValue (%s)", Text(name));
    lastError_ = ::RegQueryValueExA(key_.get(), name, nullptr, nullptr, nullptr, nullptr);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::ExistValue RegQueryValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Writing values

bool CRegistry::SetValue(const char* name, DWORD type, const void* data, DWORD length) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (%s)", Text(name));
    lastError_ = ::RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), length);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::SetValue RegSetValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::SetValue(const char* name, DWORD value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (DWORD)(%s %lu)", Text(name), value);
    lastError_ = ::RegSetValueExA(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::SetValue (DWORD) RegSetValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::SetValue(const char* name, WORD value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (WORD)(%s)", Text(name));
    return SetValue(name, static_cast<DWORD>(value));
}

bool CRegistry::SetValue(const char* name, BYTE value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (BYTE)(%s)", Text(name));
    return SetValue(name, static_cast<DWORD>(value));
}

bool CRegistry::SetValue(const char* name, int value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (int)(%s %d)", Text(name), value);
    return WriteNumber(name, REG_DWORD, value, "CRegistry::SetValue (int) RegSetValueEx (%s)");
}

bool CRegistry::SetValue(const char* name, UINT value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (UINT)(%s %u)", Text(name), value);
    return WriteNumber(name, REG_DWORD, value, "CRegistry::SetValue (int) RegSetValueEx (%s)");
}

bool CRegistry::SetValue(const char* name, long value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (long)(%s %ld)", Text(name), value);
    return WriteNumber(name, REG_DWORD, value, "CRegistry::SetValue (long) RegSetValueEx (%s)");
}

bool CRegistry::SetValue(const char* name, double value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (double)(%s %lf)", Text(name), value);
    return WriteNumber(name, REG_BINARY, value, "CRegistry::SetValue (double) RegSetValueEx (%s)");
}

bool CRegistry::SetValue(const char* name, const char* text) {
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (char *)(%s '%s' (%d))", Text(name), Text(text),
                   static_cast<int>(length));
    if (text == nullptr || length >= MAXDWORD) {
        lastError_ = ERROR_INVALID_PARAMETER;
    } else {
        lastError_ = ::RegSetValueExA(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                      static_cast<DWORD>(length + 1));
    }
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::SetValue (char *) RegSetValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::SetValue(const char* name, const std::string& text) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (CString)(%s '%s' (%d))", Text(name), text.c_str(),
                   static_cast<int>(text.size()));
    if (text.size() >= MAXDWORD) {
        lastError_ = ERROR_INVALID_PARAMETER;
    } else {
        lastError_ = ::RegSetValueExA(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>(text.size() + 1));
    }
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::SetValue (char *) RegSetValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::SetValue(const char* name, const void* data, DWORD length) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValue (void *)(%s %lu %02X %02X ...)", Text(name), length,
                   LeadByte(data, length, 0), LeadByte(data, length, 1));
    lastError_ = ::RegSetValueExA(key_.get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data), length);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::SetValue (void *) RegSetValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::SetValueMultiSZ(const char* name, const void* data, DWORD length) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::SetValueMultiSZ (void *)(%s %lu %02X %02X ...)", Text(name), length,
                   LeadByte(data, length, 0), LeadByte(data, length, 1));
    lastError_ = ::RegSetValueExA(key_.get(), name, 0, REG_MULTI_SZ, static_cast<const BYTE*>(data), length);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::SetValue (void *) RegSetValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Reading values

bool CRegistry::QueryValue(const char* name, DWORD* type, void* buffer, DWORD* length) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (%s)", Text(name));
    if (buffer != nullptr && length == nullptr) {
        lastError_ = ERROR_INVALID_PARAMETER;
    } else {
        lastError_ = ::RegQueryValueExA(key_.get(), name, nullptr, type, static_cast<BYTE*>(buffer), length);
    }
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::QueryValue RegQueryValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

namespace {

// Reads at most size bytes of a value into a zeroed buffer; the stored type is not checked.
template <typename T>
LONG ReadFixed(HKEY key, const char* name, T& value) {
    T read{};
    DWORD length = sizeof read;
    const LONG result = ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &length);
    if (result == ERROR_SUCCESS) value = read;
    return result;
}

} // namespace

// The numeric overloads differ only in their type, their lines and, as the
// lines are given, the priority of a failed read.
template <typename T>
bool CRegistry::ReadNumber(const char* name, T& value, int failurePriority, const char* failureLine) {
    lastError_ = ReadFixed(key_.get(), name, value);
    if (lastError_ == ERROR_SUCCESS) return true;
    REGISTRY_TRACE(failurePriority, failureLine, ErrorText(lastError_));
    return false;
}

template <typename T>
bool CRegistry::WriteNumber(const char* name, DWORD type, const T& value, const char* failureLine) {
    lastError_ = ::RegSetValueExA(key_.get(), name, 0, type, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (lastError_ == ERROR_SUCCESS) return true;
    REGISTRY_TRACE(kErrorPriority, failureLine, ErrorText(lastError_));
    return false;
}

bool CRegistry::QueryValue(const char* name, DWORD& value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (DWORD)(%s)", Text(name));
    return ReadNumber(name, value, kErrorPriority, "CRegistry::QueryValue (DWORD) RegQueryValueEx (%s)");
}

bool CRegistry::QueryValue(const char* name, WORD& value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (WORD)(%s)", Text(name));
    DWORD read = 0;
    if (!QueryValue(name, read)) return false;
    value = static_cast<WORD>(read & 0xFFFF);
    return true;
}

bool CRegistry::QueryValue(const char* name, BYTE& value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (BYTE)(%s)", Text(name));
    DWORD read = 0;
    if (!QueryValue(name, read)) return false;
    value = static_cast<BYTE>(read & 0xFF);
    return true;
}

bool CRegistry::QueryValue(const char* name, int& value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (int)(%s)", Text(name));
    return ReadNumber(name, value, kDebugPriority, "CRegistry::QueryValue (int) RegQueryValueEx (%s)");
}

bool CRegistry::QueryValue(const char* name, UINT& value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (UINT)(%s)", Text(name));
    return ReadNumber(name, value, kDebugPriority, "CRegistry::QueryValue (int) RegQueryValueEx (%s)");
}

bool CRegistry::QueryValue(const char* name, double& value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (double)(%s)", Text(name));
    return ReadNumber(name, value, kDebugPriority, "CRegistry::QueryValue (double) RegQueryValueEx (%s)");
}

bool CRegistry::QueryValue(const char* name, long& value) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (long)(%s)", Text(name));
    return ReadNumber(name, value, kDebugPriority, "CRegistry::QueryValue (long) RegQueryValueEx (%s)");
}

bool CRegistry::QueryValue(const char* name, char* buffer, DWORD size) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (char *)(%s)", Text(name));
    if (buffer == nullptr || size == 0) {
        lastError_ = ERROR_INVALID_PARAMETER;
    } else {
        DWORD length = size - 1;
        lastError_ = ::RegQueryValueExA(key_.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length);
        // The returned length never exceeds the size asked for.
        if (lastError_ == ERROR_SUCCESS) buffer[length < size ? length : size - 1] = '\0';
    }
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (char *) RegQueryValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::QueryValue(const char* name, std::string& text) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (CString)(%s)", Text(name));
    std::vector<char> buffer(kStringObjectBuffer);
    DWORD length = kStringObjectBuffer;
    lastError_ =
        ::RegQueryValueExA(key_.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &length);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (char *) RegQueryValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    text.assign(buffer.data(), strnlen(buffer.data(), length));
    return true;
}

bool CRegistry::QueryValue(const char* name, void* buffer, DWORD length, DWORD* bytesRead) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (void *)(%s)", Text(name));
    DWORD read = length;
    if (buffer == nullptr && length != 0) {
        lastError_ = ERROR_INVALID_PARAMETER;
    } else {
        lastError_ = ::RegQueryValueExA(key_.get(), name, nullptr, nullptr, static_cast<BYTE*>(buffer), &read);
    }
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kDebugPriority, "CRegistry::QueryValue (void *) RegQueryValueEx (%s)", ErrorText(lastError_));
        return false;
    }
    if (bytesRead != nullptr) *bytesRead = read;
    return true;
}

// ---------------------------------------------------------------------------
// Deleting

bool CRegistry::DeleteValue(const char* name) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::DeleteValue (const char *)(%s)", Text(name));
    lastError_ = ::RegDeleteValueA(key_.get(), name);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kDebugPriority, "CRegistry::DeleteValue RegDeleteValue (%s)", ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::DeleteAllValues() {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::DeleteAllValues");
    const DWORD count = GetValueCount();
    std::vector<char> name(kValueNameBuffer);
    bool complete = true;
    for (DWORD i = 0; i < count; ++i) {
        DWORD nameLength = kValueNameBuffer;
        lastError_ = ::RegEnumValueA(key_.get(), 0, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (lastError_ != ERROR_SUCCESS || !DeleteValue(name.data())) complete = false;
    }
    return complete;
}

bool CRegistry::DeleteKey(const char* name) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::DeleteKey(const char *)(%s)", Text(name));
    // An empty name would name this key itself, which is not a sub key.
    lastError_ = name == nullptr || *name == '\0' ? ERROR_INVALID_PARAMETER : ::RegDeleteKeyA(key_.get(), name);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kErrorPriority, "CRegistry::DeleteKey RegDeleteKey '%s' (%s)", Text(name),
                       ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::DeleteSubKeys() {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::DeleteSubKeys");
    const DWORD count = GetSubKeyCount();
    char name[kKeyNameBuffer];
    bool complete = true;
    for (DWORD i = 0; i < count; ++i) {
        lastError_ = ::RegEnumKeyA(key_.get(), 0, name, kKeyNameBuffer);
        if (lastError_ != ERROR_SUCCESS) {
            complete = false;
            continue;
        }
        CRegistry child(key_.get(), name, "", kAllAccess);
        if (child.Open(false) && !child.DeleteSubKeys()) complete = false;
        if (!DeleteKey(name)) complete = false;
        child.Close();
    }
    return complete;
}

bool CRegistry::DeleteKeyAndSubKeys(const char* name) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::DeleteKeyAndSubKeys(const char *)(%s)", Text(name));
    if (name == nullptr || *name == '\0') {
        lastError_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    CRegistry child(key_.get(), name, "", kAllAccess);
    if (!child.Open(false)) {
        lastError_ = child.LastError();
        return false;
    }
    child.DeleteSubKeys();
    child.Close();
    if (!DeleteKey(name)) return false;
    REGISTRY_TRACE(kDebugPriority, "CRegistry::DeleteKeyAndSubKeys(const char *)(%s) ok!!!", name);
    return true;
}

// ---------------------------------------------------------------------------
// Copying and renaming

bool CRegistry::CopyContents(CRegistry& source, CRegistry& destination) {
    bool complete = true;
    std::vector<char> name(kValueNameBuffer);
    std::vector<BYTE> data;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = kValueNameBuffer;
        DWORD type = 0;
        DWORD size = 0;
        LONG result =
            ::RegEnumValueA(source.key_.get(), index, name.data(), &nameLength, nullptr, &type, nullptr, &size);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) {
            lastError_ = result;
            complete = false;
            break;
        }
        // The value may grow between the two calls: read until it fits.
        do {
            data.resize(size > 0 ? size : 1);
            size = static_cast<DWORD>(data.size());
            result = ::RegQueryValueExA(source.key_.get(), name.data(), nullptr, &type, data.data(), &size);
        } while (result == ERROR_MORE_DATA);
        if (result != ERROR_SUCCESS ||
            !destination.SetValue(name.data(), type, size > 0 ? data.data() : nullptr, size)) {
            if (result != ERROR_SUCCESS) lastError_ = result;
            complete = false;
        }
    }
    char keyName[kKeyNameBuffer];
    for (DWORD index = 0;; ++index) {
        const LONG result = ::RegEnumKeyA(source.key_.get(), index, keyName, kKeyNameBuffer);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) {
            lastError_ = result;
            complete = false;
            break;
        }
        CRegistry from(source.key_.get(), keyName, "", kAllAccess);
        CRegistry to(destination.key_.get(), keyName, "", kAllAccess);
        if (!from.Open(false) || !to.Open(true) || !CopyContents(from, to)) complete = false;
    }
    return complete;
}

bool CRegistry::CopyKey(const char* destination, const char* source) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::CopyKey this=%s src=%s dst=%s", subKey_.c_str(), Text(source),
                   Text(destination));
    // A destination inside the source would be copied into itself without end.
    const std::string from = NormalizeKeyPath(source);
    const std::string to = NormalizeKeyPath(destination);
    if (from.empty() || to.empty() || EqualNoCase(from, to) ||
        (to.size() > from.size() && to[from.size()] == '\\' && EqualNoCase(to.substr(0, from.size()), from))) {
        lastError_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    CRegistry sourceKey(key_.get(), source, "", kAllAccess);
    if (!sourceKey.Open(false)) {
        lastError_ = sourceKey.LastError();
        return false;
    }
    CRegistry destinationKey(key_.get(), destination, "", kAllAccess);
    if (!destinationKey.Open(true)) {
        lastError_ = destinationKey.LastError();
        return false;
    }
    lastError_ = ERROR_SUCCESS;
    const bool complete = CopyContents(sourceKey, destinationKey);
    sourceKey.Close();
    destinationKey.Close();
    return complete;
}

bool CRegistry::RenameKey(const char* oldName, const char* newName) {
    REGISTRY_TRACE(kDebugPriority, "CRegistry::RenameKey this=%s old=%s new=%s", subKey_.c_str(), Text(oldName),
                   Text(newName));
    return CopyKey(newName, oldName) && DeleteKeyAndSubKeys(oldName);
}

// ---------------------------------------------------------------------------
// Enumeration

bool CRegistry::EnumKey(DWORD index, char* buffer, DWORD size) {
    lastError_ =
        buffer == nullptr || size == 0 ? ERROR_INVALID_PARAMETER : ::RegEnumKeyA(key_.get(), index, buffer, size);
    if (lastError_ != ERROR_SUCCESS) {
        REGISTRY_TRACE(kDebugPriority, "CRegistry::EnumKey RegEnumKey Index:%lu (%s)", index, ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::EnumValue(DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize,
                          LONG* result) {
    const DWORD nameCapacity = nameSize != nullptr ? *nameSize : 0;
    if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr)) {
        lastError_ = ERROR_INVALID_PARAMETER;
    } else {
        lastError_ = ::RegEnumValueA(key_.get(), index, name, nameSize, nullptr, type, data, dataSize);
    }
    if (result != nullptr) *result = lastError_;
    if (lastError_ != ERROR_SUCCESS) {
        // The name buffer is not terminated after a failure: print at most its size.
        const std::string shown = name != nullptr ? std::string(name, strnlen(name, nameCapacity)) : std::string();
        REGISTRY_TRACE(kDebugPriority, "CRegistry::EnumValue RegEnumValue(%u)(%s) (%s)", static_cast<unsigned>(index),
                       shown.c_str(), ErrorText(lastError_));
        return false;
    }
    return true;
}

bool CRegistry::GetNextBinaryValueName(char* buffer, DWORD size) {
    for (;;) {
        DWORD nameLength = size;
        DWORD type = 0;
        lastError_ = buffer == nullptr || size == 0 ? ERROR_INVALID_PARAMETER
                                                    : ::RegEnumValueA(key_.get(), valueIndex_, buffer, &nameLength,
                                                                      nullptr, &type, nullptr, nullptr);
        if (lastError_ != ERROR_SUCCESS) {
            REGISTRY_TRACE(kDebugPriority, "CRegistry::EnumKey RegEnumKey (%s)", ErrorText(lastError_));
            return false;
        }
        ++valueIndex_;
        if (type == REG_BINARY) return true;
    }
}

DWORD CRegistry::GetSubKeyCount() {
    char name[kKeyNameBuffer];
    DWORD count = 0;
    while ((lastError_ = ::RegEnumKeyA(key_.get(), count, name, kKeyNameBuffer)) == ERROR_SUCCESS) ++count;
    return count;
}

DWORD CRegistry::GetValueCount() {
    std::vector<char> name(kValueNameBuffer);
    DWORD count = 0;
    for (;;) {
        DWORD nameLength = kValueNameBuffer;
        lastError_ = ::RegEnumValueA(key_.get(), count, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (lastError_ != ERROR_SUCCESS) return count;
        ++count;
    }
}

bool CRegistry::FindSubKey(const char* name, std::string* found) {
    const std::string wanted = Text(name);
    char candidate[kKeyNameBuffer];
    for (DWORD index = 0;; ++index) {
        lastError_ = ::RegEnumKeyA(key_.get(), index, candidate, kKeyNameBuffer);
        if (lastError_ != ERROR_SUCCESS) return false;
        if (EqualNoCase(candidate, wanted)) {
            if (found != nullptr) *found = candidate;
            return true;
        }
    }
}

CRegistry CRegistry::OpenSubKey(const char* name) {
    CRegistry sub(key_.get(), name, "", kAllAccess);
    sub.Open(true);
    lastError_ = sub.LastError();
    return CRegistry(sub);
}

// ---------------------------------------------------------------------------
// Root key names

namespace {

struct RootKeyName {
    HKEY key;
    const char* name;
};

const RootKeyName kRootKeyNames[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
};

} // namespace

const char* CRegistry::GetRootKeyName(HKEY root) {
    for (const RootKeyName& entry : kRootKeyNames) {
        if (entry.key == root) return entry.name;
    }
    return "Unknown HKEYRoot";
}

HKEY CRegistry::GetRootKey(const char* name) {
    if (name == nullptr) return nullptr;
    for (const RootKeyName& entry : kRootKeyNames) {
        if (_stricmp(entry.name, name) == 0) return entry.key;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Free functions

std::string GetUserDomain() {
    std::string domain = GetEnvironmentValue("USERDOMAIN");
    if (!domain.empty()) return domain;
    CRegistry winlogon(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "",
                       KEY_QUERY_VALUE);
    // 50 characters, their NUL, and the byte QueryValue keeps for its own NUL.
    char cached[52];
    if (winlogon.Open(false) && winlogon.QueryValue("CachePrimaryDomain", cached, sizeof cached)) return cached;
    return {};
}

bool RegisterOwnAppPath() {
    const std::string path = GetModulePath();
    const std::string fileName = GetPathPart(path, kPathFileName);
    // Without a file name the App Paths key itself would be written.
    if (path.empty() || fileName.empty()) return false;
    CRegistry key(HKEY_LOCAL_MACHINE, AppPathsKeyOf(fileName).c_str(), "", kAllAccess);
    if (!key.Open(true)) return false;
    return key.SetValue("", path);
}
