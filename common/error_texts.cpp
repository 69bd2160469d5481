#include "common/error_texts.h"

#include "common/error_tables.h"
#include "common/last_error.h"
#include "common/string_format.h"
#include "common/uninitialised_data.h"

namespace {

// Long enough for the longest sentence of every table plus its code. One
// process-wide buffer per family: the installer runs on one thread, and
// thread-local storage would cost the installer stub its runtime support.
using TextBuffer = char[512];

ZOR_UNINITIALISED_DATA TextBuffer systemBuffer;
ZOR_UNINITIALISED_DATA TextBuffer shellBuffer;
ZOR_UNINITIALISED_DATA TextBuffer serviceBuffer;
ZOR_UNINITIALISED_DATA TextBuffer commDlgBuffer;

constexpr ErrorTextRow kShellExecuteRows[] = {
    {0, "The operating system is out of memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "Windows 95 only: The operating system denied access to the specified file."},
    {8, "Windows 95 only: There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred."},
    {27, "The filename association is incomplete or invalid."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
    {31, "There is no application associated with the given filename extension."},
    {32, "Windows 95 only: The specified dynamic-link library was not found."},
};

constexpr ErrorTextRow kServiceRows[] = {
    {3, "The service binary file could not be found."},
    {5, "The specified service control manager database handle does not have access to the service."},
    {6, "The specified handle is invalid."},
    {87, "A parameter that was specified is invalid."},
    {123, "The specified service name is invalid."},
    {234, "The buffer pointed to by lpServices is not large enough."},
    {1051, "The service cannot be stopped because other running services are dependent on it."},
    {1052, "The requested control code is not valid, or it is unacceptable to the service."},
    {1053, "The service did not respond to the start request in a timely fashion."},
    {1054, "A thread could not be created for the Win32 service."},
    {1055, "The database is locked."},
    {1056, "An instance of the service is already running."},
    {1058, "The service has been disabled."},
    {1060, "The specified service does not exist."},
    {1061, "The requested control code cannot be sent to the service because the state of the service is "
           "SERVICE_STOPPED, SERVICE_START_PENDING, or SERVICE_STOP_PENDING."},
    {1062, "The service has not been started."},
    {1065, "The specified database does not exist."},
    {1068, "The service depends on another service that has failed to start."},
    {1069, "The service could not be logged on."},
    {1072, "The service has been marked for deletion."},
    {1075, "The service depends on a service that does not exist or has been marked for deletion."},
};

constexpr ErrorTextRow kCommDlgRows[] = {
    {0x0000, "General error codes for common dialog boxes. These errors are in the range 0x0000 through 0x0FFF."},
    {0x0001, "The lStructSize member of a structure for the corresponding common dialog box is invalid."},
    {0x0002, "The common dialog box procedure failed during initialization. This error often occurs when "
             "insufficient memory is available."},
    {0x0003, "The ENABLETEMPLATE flag was specified in the Flags member of a structure for the corresponding "
             "common dialog box, but the application failed to provide a corresponding template."},
    {0x0004, "The ENABLETEMPLATE flag was specified in the Flags member of a structure for the corresponding "
             "common dialog box, but the application failed to provide a corresponding instance handle."},
    {0x0005, "The common dialog box procedure failed to load a specified string."},
    {0x0006, "The common dialog box procedure failed to find a specified resource."},
    {0x0007, "The common dialog box procedure failed to load a specified resource."},
    {0x0008, "The common dialog box procedure failed to lock a specified resource."},
    {0x0009, "The common dialog box procedure was unable to allocate memory for internal structures."},
    {0x000A, "The common dialog box procedure was unable to lock the memory associated with a handle."},
    {0x000B, "The ENABLEHOOK flag was specified in the Flags member of a structure for the corresponding common "
             "dialog box, but the application failed to provide a pointer to a corresponding hook function."},
    {0x000C, "The RegisterWindowMessage function returned an error code when it was called by the common dialog "
             "box procedure."},
    {0x1000, "Error codes for the Print common dialog box. These errors are in the range 0x1000 through 0x1FFF."},
    {0x1001, "The PrintDlg function failed to load the required resources."},
    {0x1002, "The PrintDlg function failed to parse the strings in the [devices] section of the WIN.INI file."},
    {0x1003, "The PD_RETURNDEFAULT flag was specified in the Flags member of the PRINTDLG structure, but the "
             "hDevMode or hDevNames member was nonzero."},
    {0x1004, "The PrintDlg function failed to load the device driver for the specified printer."},
    {0x1005, "The printer driver failed to initialize a DEVMODE structure. (This error code applies only to "
             "printer drivers written for Windows versions 3.0 and later.)"},
    {0x1006, "The PrintDlg function failed during initialization, and there is no more specific extended error "
             "code to describe the failure. This is the generic default error code for the function."},
    {0x1007, "No printer drivers were found."},
    {0x1008, "A default printer does not exist."},
    {0x1009, "The data in the DEVMODE and DEVNAMES structures describes two different printers."},
    {0x100A, "The PrintDlg function failed when it attempted to create an information context."},
    {0x100B, "The [devices] section of the WIN.INI file did not contain an entry for the requested printer."},
    {0x100C, "An application called the PrintDlg function with the DN_DEFAULTPRN flag specified in the wDefault "
             "member of the DEVNAMES structure, but the printer described by the other structure members did not "
             "match the current default printer."},
    {0x2000, "Error codes for the Font common dialog box. These errors are in the range 0x2000 through 0x2FFF."},
    {0x2001, "No fonts exist."},
    {0x2002, "The size specified in the nSizeMax member of the CHOOSEFONT structure is less than the size "
             "specified in the nSizeMin member."},
    {0x3000, "Error codes for the Open and Save As common dialog boxes. these errors are in the range 0x3000 "
             "through 0x3FFF."},
    {0x3001, "An attempt to subclass a list box failed because insufficient memory was available."},
    {0x3002, "A filename is invalid."},
    {0x3003, "The buffer for a filename is too small. (This buffer is pointed to by the lpstrFile member of the "
             "structure for a common dialog box.)"},
    {0x4000, "Error codes for the Find and Replace common dialog boxes. these errors are in the range 0x4000 "
             "through 0x4FFF."},
    {0x4001, "A member in a structure for the corresponding common dialog box points to an invalid buffer."},
    {0xFFFF, "The common dialog box procedure's call to the DialogBox function failed. For example, this error "
             "occurs if the common dialog box call specifies an invalid window handle."},
};

constexpr auto kShellExecuteTexts = PackErrorTexts<kShellExecuteRows>();
constexpr auto kServiceTexts = PackErrorTexts<kServiceRows>();
constexpr auto kCommDlgTexts = PackErrorTexts<kCommDlgRows>();

} // namespace

const char* SystemErrorText(std::uint32_t code) {
    const int signedCode = static_cast<int>(code);
    if (const char* text = FindSystemErrorText(code))
        FormatToBuffer(systemBuffer, sizeof systemBuffer, "%s (%d)", text, signedCode);
    else
        FormatToBuffer(systemBuffer, sizeof systemBuffer, "Error %d", signedCode);
    return systemBuffer;
}

const char* LastErrorText() { return SystemErrorText(GetLastErrorCode()); }

const char* ShellExecuteErrorText(std::uintptr_t value) {
    const char* text = value <= 32 ? kShellExecuteTexts.Find(static_cast<std::uint32_t>(value)) : nullptr;
    if (text)
        FormatToBuffer(shellBuffer, sizeof shellBuffer, "%s", text);
    else
        FormatToBuffer(shellBuffer, sizeof shellBuffer, "ShellExecute error %d", static_cast<int>(value));
    return shellBuffer;
}

const char* ServiceErrorText(std::uint32_t code) {
    const char* text = kServiceTexts.Find(code);
    FormatToBuffer(serviceBuffer, sizeof serviceBuffer, "%s", text ? text : SystemErrorText(code));
    return serviceBuffer;
}

const char* LastServiceErrorText() { return ServiceErrorText(GetLastErrorCode()); }

const char* CommDlgErrorText(std::uint32_t code) {
    if (const char* text = kCommDlgTexts.Find(code))
        FormatToBuffer(commDlgBuffer, sizeof commDlgBuffer, "%s", text);
    else
        FormatToBuffer(commDlgBuffer, sizeof commDlgBuffer, "CommDlgError %d", static_cast<int>(code));
    return commDlgBuffer;
}

const char* LastCommDlgErrorText() { return CommDlgErrorText(LastCommDlgErrorCode()); }

std::string FormatLastSystemMessage() { return FormatSystemMessage(GetLastErrorCode()); }
