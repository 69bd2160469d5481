// The numbers (CSIDL values) by which the Windows shell names the special
// folders the installer uses. Plain numbers, so that portable code can ask a
// host for a folder without including any Windows header.
#pragma once

inline constexpr int kFolderDesktop = 0;          // desktop, current user
inline constexpr int kFolderPrograms = 2;         // Start menu programs, current user
inline constexpr int kFolderStartup = 7;          // start-up folder, current user
inline constexpr int kFolderCommonPrograms = 23;  // Start menu programs, all users
inline constexpr int kFolderCommonStartup = 24;   // start-up folder, all users
inline constexpr int kFolderCommonDesktop = 25;   // desktop, all users
inline constexpr int kFolderApplicationData = 26; // application data, current user
inline constexpr int kFolderLocalAppData = 28;    // local (not roaming) application data, current user
inline constexpr int kFolderProgramFiles = 38;    // Program Files
