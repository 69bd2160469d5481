// Facts about the running program and its machine: module paths, the
// temporary directory, the current directory and the computer name.
// Each returns the empty string when the system cannot answer.
#pragma once

#include <cstddef>
#include <string>

// Full path of the program's own executable.
std::string GetModulePath();
// The directory part of GetModulePath.
std::string GetModuleDirectory();
// The executable's file name with its extension, or "[NoModuleName]".
std::string GetModuleFileNameOnly();
// The executable's file name without directory and last extension. Points into
// a process-wide buffer, overwritten by the next call.
const char* GetModuleBaseName();

// The temporary directory, ending with a separator.
std::string GetTempDirectory();
// A fixed temporary file name for prefix: the temporary directory, the first
// three characters of prefix, "1" and the ".tmp" extension. The file is not
// created, and every call with the same prefix returns the same name: never
// create a file under it (anyone can plant a link there); TemporaryFile
// (temporary_file.h) makes temporary files.
std::string GetTempFilePath(const char* prefix);

// Fills buffer with count bytes from the operating system's cryptographic
// random source; false when it cannot.
bool GetRandomBytes(void* buffer, std::size_t count);

// The operating system's identifier of the running process.
unsigned CurrentProcessId();

std::string GetCurrentDirectoryPath();
std::string GetComputerNameString();
