// The program's command line, split once for the whole run: the installer
// and the uninstaller (the same program) read their switches from here.
#pragma once

#include <string>
#include <vector>

struct ProgramArguments {
    // The arguments after the program's path, without "/D=" and "/_remove="
    // and what follows them, in the order given.
    std::vector<std::string> options;
    // "/S" is among the options: no window at all.
    bool silent = false;
    // "/D=" was given; directory holds the raw text after it, to the end of
    // the line (the installer's directory, unchecked).
    bool hasDirectory = false;
    std::string directory;
    // "/_remove=" was given; removal holds the text after it (the
    // uninstaller's copy in the temporary directory, "PID:PATH").
    bool hasRemoval = false;
    std::string removal;
};

inline constexpr char kSilentSwitch[] = "/S";
inline constexpr char kDirectorySwitch[] = "/D=";
inline constexpr char kRemovalSwitch[] = "/_remove=";
// Followed by the directory as the next argument.
inline constexpr char kExtractSwitch[] = "/extract";

// Splits rawCommandLine as CommandLine does, after cutting off the trailing
// switches: "/_remove=" first, then "/D=" (also when a script quoted the
// whole argument, "/D=C:\My App": the directory then keeps its opening quote
// for the installer to remove with the closing one).
ProgramArguments ParseProgramArguments(const std::string& rawCommandLine);
