// What the installer's command line asks of the installation itself.
#pragma once

#include <string>

struct InstallationRequest {
    // "-f": a registered earlier installation is ignored.
    bool force = false;
    // "/S": no window at all. Every question takes its default answer, every
    // notice goes to the installation log, which is always written.
    bool silent = false;
    // "/D=": the installation directory, absolute; empty when not given. It
    // replaces the proposed directory, and under "/S" the registered one too.
    std::string directory;
    // "/extract DIR": the files only, into extractDirectory (absolute).
    bool extractOnly = false;
    std::string extractDirectory;
};
