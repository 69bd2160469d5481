// The values the installer's user interface (installer_ui.h) and its system
// services (installer_system.h) take and return: message-box flags and
// buttons, the show command, registry roots and values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Message-box flags: the OK button with one icon.
inline constexpr unsigned kMessageError = 0x10;
inline constexpr unsigned kMessageWarning = 0x30;
inline constexpr unsigned kMessageInformation = 0x40;
// Other button sets with their icon, as the installation sequence asks.
inline constexpr unsigned kMessagePlain = 0x0;          // OK, no icon
inline constexpr unsigned kMessageYesNoError = 0x14;    // Yes and No, error icon
inline constexpr unsigned kMessageYesNoQuestion = 0x24; // Yes and No, question icon
inline constexpr unsigned kMessageOkCancelInfo = 0x41;  // OK and Cancel, information icon

// Button ids a message box returns.
inline constexpr int kButtonOk = 1;
inline constexpr int kButtonCancel = 2;
inline constexpr int kButtonYes = 6;
inline constexpr int kButtonNo = 7;

// Show command of a normal window (shortcuts and started programs).
inline constexpr int kShowNormal = 1;

// The registry root of a key the installer reads or writes: the local
// machine's, or the current user's.
enum class RegistryScope { Machine, CurrentUser };

// The root of an installation for the current user only, or for the machine.
constexpr RegistryScope RegistryScopeOf(bool perUser) {
    return perUser ? RegistryScope::CurrentUser : RegistryScope::Machine;
}

// The buffer of a registry string read, which holds the value and a
// terminating NUL: the general reads take values of up to 2048 bytes.
inline constexpr std::size_t kRegistryStringBufferSize = 2048 + 1;

// One value to write: a string, or a 32-bit number (REG_DWORD).
struct RegistryValue {
    std::string name;
    std::string text;
    std::uint32_t number = 0;
    bool isNumber = false;

    bool operator==(const RegistryValue&) const = default;
};
