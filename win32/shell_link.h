// Shell shortcut files (extension "lnk") made, read and written through the
// shell's IShellLinkA object, and the shell's special folders resolved to
// file-system paths. Windows code only.
//
// Every operation reports failure by its result alone; callers that need a
// sentence build it themselves (LastErrorText).
#pragma once

#include "common/special_folders.h"

#include <memory>
#include <string>

struct IShellLinkA;

// The file-system path of the special folder csidl, or the empty string when
// the shell cannot resolve it (unknown number, or a folder with no path).
// Safe to call from several threads: nothing is shared between calls.
std::string GetSpecialFolderPath(int csidl);

// One shortcut file and the shell-link object that describes it. The object
// initialises the component library on the thread that calls Create and
// undoes exactly that initialisation in Release, so it must be created, used
// and released on one thread.
class ShellLink {
public:
    ShellLink();
    ~ShellLink(); // runs Release
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;

    // Initialises the component library for this thread and creates an empty
    // shell-link object for the link file linkPath. Whatever the object held
    // before is released first, so calling Create twice never leaves an extra
    // initialisation behind. False when the library cannot be initialised (the
    // object then holds nothing) or the shell-link object cannot be created.
    bool Create(const std::string& linkPath);

    // Sets, in this order, each property whose text is given (not null): the
    // target, the working directory, the arguments, the description and, only
    // with an icon file, the icon location with iconIndex; the show command is
    // always set. Every given property is attempted; false when no shell-link
    // object exists or the shell refused one of them.
    bool SetInfo(const char* target, const char* workingDirectory, const char* arguments, const char* description,
                 const char* iconFile, int iconIndex, int showCommand);

    // Reads each property whose output is given. The target is read in its
    // UNC-preferring form, at most 258 characters; the other texts at most 259
    // characters each; longer values are cut, never written past a buffer. An
    // output whose read fails is left empty (or 0). False when no shell-link
    // object exists or any requested read failed.
    bool GetInfo(std::string* target, std::string* workingDirectory, std::string* arguments, std::string* description,
                 std::string* iconFile, int* iconIndex, int* showCommand) const;

    // Writes the link file, creating its directory with all missing levels
    // first, and makes it the object's current file. False when no shell-link
    // object exists, the path does not fit the platform limit of 260
    // characters, or the shell cannot write the file.
    bool Save();

    // Reads the link file into the object. False when no shell-link object
    // exists, the path does not fit the platform limit, or the file cannot be
    // read as a shortcut.
    bool Load();

    // Releases the shell-link object and uninitialises the component library
    // when Create initialised it. Safe to call any number of times.
    void Release();

    const std::string& LinkPath() const { return linkPath_; }
    bool ComInitialised() const { return comInitialised_; }

private:
    // Owner of one reference to the shell-link object.
    struct InterfaceRelease {
        void operator()(IShellLinkA* link) const;
    };

    bool comInitialised_ = false;
    std::string linkPath_;
    std::unique_ptr<IShellLinkA, InterfaceRelease> link_;
};

// The start-up shortcut of an executable: the file "<base name>.lnk" in the
// current user's start-up folder (kFolderStartup), <base name> being the
// executable's file name without its extension.
std::string StartupShortcutPath(const std::string& executablePath);

// With enable, writes the start-up shortcut with the executable as its target,
// show command 1 (normal window) and nothing else; with enable clear, deletes
// it. True when the shortcut was written, or when it no longer exists.
bool SetStartupShortcut(const std::string& executablePath, bool enable);

// True when the start-up shortcut of the executable exists.
bool HasStartupShortcut(const std::string& executablePath);
