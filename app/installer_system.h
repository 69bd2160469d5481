// What the installer needs from the system it runs on besides its user
// interface: its own program and command line, the registry, the shell's
// folders, links and "open", processes, the clock and the session's
// windows. The Windows build passes the real calls (Win32InstallerSystem);
// tests pass a scripted stand-in that records every call and answers each.
#pragma once

#include "app/host_types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class WindowSystem;

class InstallerSystem {
public:
    // The full path of the program's own executable; empty when unknown.
    virtual std::string ModulePath() = 0;
    // The command line of the process as the system holds it.
    virtual std::string RawCommandLine() = 0;

    // The string value name ("" for the key's default value) of keyPath
    // under the root of scope, asking for read rights only (more would hide
    // the value from every user without write access to the key). Empty when
    // the key cannot be opened or the value not read: a value of bufferSize
    // bytes or more, as stored (a string with its terminating NUL), is not.
    virtual std::string ReadRegistryString(RegistryScope scope, const std::string& keyPath, const std::string& name,
                                           std::size_t bufferSize = kRegistryStringBufferSize) = 0;
    // Creates keyPath under the root of scope when needed and writes values.
    // False when the key cannot be created or a value not written (the
    // reason left in the thread's last error).
    virtual bool WriteRegistryValues(RegistryScope scope, const std::string& keyPath,
                                     const std::vector<RegistryValue>& values) = 0;
    // Deletes keyPath under the root of scope with its values and sub keys;
    // true when it is gone (also when it was never there).
    virtual bool DeleteRegistryKey(RegistryScope scope, const std::string& keyPath) = 0;
    // The file-system path of the shell's special folder csidl; empty when
    // the shell cannot resolve it.
    virtual std::string SpecialFolderPath(int csidl) = 0;
    // Writes the shortcut file linkPath (creating its missing directories)
    // pointing at target with a normal window and nothing else. On false the
    // reason is left in the thread's last error.
    virtual bool SaveShortcut(const std::string& linkPath, const std::string& target) = 0;
    // The path the shortcut file linkPath points at; empty when the file
    // cannot be read as a shortcut.
    virtual std::string ShortcutTarget(const std::string& linkPath) = 0;
    // Opens path with the shell's "open" verb, without owner window,
    // parameters or directory, in a normal window. False when the shell
    // refused (its result below 32), the reason left in the last error.
    virtual bool ShellOpen(const std::string& path) = 0;
    // Starts program with arguments (the text after its quoted path) and
    // does not wait for it. False when it cannot be started.
    virtual bool StartProgram(const std::string& program, const std::string& arguments) = 0;
    // Waits at most milliseconds for the process processId to end; true when
    // it has ended (or never existed).
    virtual bool WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) = 0;
    // Milliseconds since some fixed moment; never goes back.
    virtual std::uint64_t Milliseconds() = 0;
    // The top-level windows and processes of the session.
    virtual WindowSystem& Windows() = 0;

protected:
    // Never destroyed through this interface: its owners hold the concrete
    // objects, and a virtual destructor would cost every installer a few
    // entries in each implementation's table.
    ~InstallerSystem() = default;
};
