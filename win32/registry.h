// Registry access: CRegistry wraps one registry key named by a root key and a
// sub key path, optionally on another machine. Windows code only.
//
// Every operation keeps the result code of its latest registry call (0 on
// success) and traces itself through the logger "com.zor.common.registry",
// which the first CRegistry constructor of the process obtains; the copy the
// installer links (zor::registry_quiet) has no trace lines. Failures are
// results (false), never exceptions; a failed operation leaves the object
// usable.
#pragma once

#include "common/windows_api.h"

#include <memory>
#include <string>

// Sole owner of one opened registry handle; closes it on destruction. The
// predefined root handles (HKEY_LOCAL_MACHINE, ...) are never given to it.
class RegistryKeyHandle {
public:
    RegistryKeyHandle() = default;
    explicit RegistryKeyHandle(HKEY key) : key_(key) {}
    ~RegistryKeyHandle() { reset(); }
    RegistryKeyHandle(const RegistryKeyHandle&) = delete;
    RegistryKeyHandle& operator=(const RegistryKeyHandle&) = delete;
    RegistryKeyHandle(RegistryKeyHandle&& other) noexcept : key_(other.release()) {}
    RegistryKeyHandle& operator=(RegistryKeyHandle&& other) noexcept;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // Gives the handle up without closing it.
    HKEY release();
    // Closes the owned handle, if any (its result is dropped), and takes key.
    void reset(HKEY key = nullptr);
    // Closes the owned handle and returns RegCloseKey's result; the handle is
    // kept when closing fails, so that it can be retried. 0 when none is owned.
    LONG close();

private:
    HKEY key_ = nullptr;
};

// A connection to a root key of another machine's registry (RegConnectRegistry).
// The connected handle is closed by the destructor.
class RegistryConnection {
public:
    RegistryConnection(HKEY root, const std::string& machineName);
    RegistryConnection(const RegistryConnection&) = delete;
    RegistryConnection& operator=(const RegistryConnection&) = delete;

    // Connects; returns the call's result code, also kept in Result().
    LONG Connect();

    HKEY Root() const { return root_; }
    HKEY Handle() const { return handle_.get(); }
    const std::string& MachineName() const { return machineName_; }
    LONG Result() const { return result_; }

private:
    HKEY root_;
    RegistryKeyHandle handle_;
    std::string machineName_;
    LONG result_ = 0;
};

class CRegistry {
public:
    // Nothing is opened here; a null sub key or machine name counts as empty.
    // An empty machine name means the local registry.
    CRegistry(HKEY root, const char* subKey, const char* machineName = "", REGSAM access = KEY_ALL_ACCESS);
    // Copies the root key as given at construction, the sub key, the access
    // mask and the machine name: the copy is not open, has no connection of its
    // own yet and starts with last error 0.
    CRegistry(const CRegistry& other);
    CRegistry& operator=(const CRegistry&) = delete;
    // Closes the key, then releases the remote connection.
    ~CRegistry();

    // Opens the sub key below the root with the access mask, connecting to the
    // machine first when one is named; with create, a missing key is created.
    // On an object that is already open the earlier key is closed first, and an
    // existing remote connection is reused.
    bool Open(bool create = false);
    // Succeeds at once when no key is open; a failed close keeps the handle.
    bool Close();

    bool ExistValue(const char* name);

    // Values. A null or empty name is the key's default value.
    bool SetValue(const char* name, DWORD type, const void* data, DWORD length);
    bool SetValue(const char* name, DWORD value);
    bool SetValue(const char* name, WORD value);
    bool SetValue(const char* name, BYTE value);
    bool SetValue(const char* name, int value);
    bool SetValue(const char* name, UINT value);
    bool SetValue(const char* name, long value);
    bool SetValue(const char* name, double value);
    // REG_SZ with its terminating NUL; a null text fails (ERROR_INVALID_PARAMETER).
    bool SetValue(const char* name, const char* text);
    bool SetValue(const char* name, const std::string& text);
    // REG_BINARY of the given bytes.
    bool SetValue(const char* name, const void* data, DWORD length);
    // REG_MULTI_SZ; the caller supplies the list with its final double NUL.
    bool SetValueMultiSZ(const char* name, const void* data, DWORD length);

    // Plain RegQueryValueEx: type, buffer and length may each be null as the
    // system allows; length is in/out.
    bool QueryValue(const char* name, DWORD* type, void* buffer, DWORD* length);
    // The numeric forms read at most the value's size and do not check the
    // stored type; a shorter stored value is zero-extended. On failure the
    // output is left unchanged.
    bool QueryValue(const char* name, DWORD& value);
    bool QueryValue(const char* name, WORD& value);
    bool QueryValue(const char* name, BYTE& value);
    bool QueryValue(const char* name, int& value);
    bool QueryValue(const char* name, UINT& value);
    bool QueryValue(const char* name, double& value);
    bool QueryValue(const char* name, long& value);
    // Reads at most size - 1 bytes and always terminates the text; a value that
    // does not fit fails. Nothing is written when size is 0.
    bool QueryValue(const char* name, char* buffer, DWORD size);
    // The text up to its first NUL; values of more than 2048 bytes fail.
    bool QueryValue(const char* name, std::string& text);
    // Reads at most length bytes; bytesRead (optional) receives the count.
    bool QueryValue(const char* name, void* buffer, DWORD length, DWORD* bytesRead = nullptr);

    bool DeleteValue(const char* name);
    // Deletes every value of the key; false when some value remained.
    bool DeleteAllValues();
    // Deletes the sub key name below this key (it must have no sub keys).
    bool DeleteKey(const char* name);
    // Deletes every sub key tree below this key; false when some key remained.
    bool DeleteSubKeys();
    // Deletes the tree name below this key; true only when the key is gone.
    bool DeleteKeyAndSubKeys(const char* name);
    // Copies the tree source below this key to destination below this key
    // (created when missing). False when any value or sub key could not be
    // copied, and without copying anything when destination is source or lies
    // inside it.
    bool CopyKey(const char* destination, const char* source);
    // CopyKey to the new name, then DeleteKeyAndSubKeys of the old one; the old
    // tree is deleted only when the copy is complete.
    bool RenameKey(const char* oldName, const char* newName);

    // RegEnumKey of the sub key at index into buffer.
    bool EnumKey(DWORD index, char* buffer, DWORD size);
    // RegEnumValue at index; every output is optional (nameSize and dataSize are
    // in/out and required with their buffers), result receives the call's code.
    bool EnumValue(DWORD index, char* name, DWORD* nameSize, DWORD* type = nullptr, BYTE* data = nullptr,
                   DWORD* dataSize = nullptr, LONG* result = nullptr);
    // The name of the next REG_BINARY value, continuing from the previous call.
    bool GetNextBinaryValueName(char* buffer, DWORD size);

    DWORD GetSubKeyCount();
    DWORD GetValueCount();
    // Case-insensitive search among the sub keys; found receives the stored spelling.
    bool FindSubKey(const char* name, std::string* found = nullptr);
    // Creates (when missing) the key name below this open key and returns an
    // object for it that is not open; it refers to this key's handle, so it
    // must be used while this object stays open.
    CRegistry OpenSubKey(const char* name);

    // "HKEY_CLASSES_ROOT" ... "HKEY_USERS", else "Unknown HKEYRoot".
    static const char* GetRootKeyName(HKEY root);
    // The handle of a root key name (any letter case), else the null handle.
    static HKEY GetRootKey(const char* name);

    LONG LastError() const { return lastError_; }
    bool IsOpen() const { return static_cast<bool>(key_); }
    HKEY Key() const { return key_.get(); }
    HKEY RootKey() const { return root_; }
    const std::string& SubKey() const { return subKey_; }
    const std::string& MachineName() const { return machineName_; }
    REGSAM AccessMask() const { return access_; }

private:
    template <typename T>
    bool ReadNumber(const char* name, T& value, int failurePriority, const char* failureLine);
    template <typename T>
    bool WriteNumber(const char* name, DWORD type, const T& value, const char* failureLine);
    // Copies the values and sub key trees of source into destination, both open.
    bool CopyContents(CRegistry& source, CRegistry& destination);

    HKEY root_;
    RegistryKeyHandle key_;
    std::string subKey_;
    REGSAM access_;
    LONG lastError_ = 0;
    std::unique_ptr<RegistryConnection> connection_;
    std::string machineName_;
    DWORD valueIndex_ = 0;
    // The root as given at construction; root_ becomes the remote root after a
    // remote Open.
    HKEY requestedRoot_;
};

// The user's domain: the variable USERDOMAIN, else the cached primary domain
// of the machine's logon settings (at most 50 characters), else "".
std::string GetUserDomain();

// Writes the program's own full path as the default value of its App Paths key
// under HKEY_LOCAL_MACHINE, creating the key when needed. Returns whether the
// value was written.
bool RegisterOwnAppPath();
