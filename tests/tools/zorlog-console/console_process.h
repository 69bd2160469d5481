// Waiting on zorlog-console and the logging program that sends to it, both
// started by a test with their standard output and error going to files, so
// that the test can read what they printed while they still run.
#pragma once

#include "tests/support/process.h"

#include <chrono>
#include <cstdint>
#include <string>

// How long a test waits for a program at most: a guard against a hung test,
// not a measure.
inline constexpr std::chrono::minutes kGuard{1};

// Waits until zorlog-console reports where it listens on errorPath and
// returns the port; 0 when the process ended, or nothing came within a
// minute, first.
std::uint16_t WaitForListeningPort(ChildProcess& process, const std::string& errorPath);

// Waits until the file at path holds at least size bytes, for a minute at
// most; false when it does not.
bool WaitForFileSize(const std::string& path, std::size_t size);
