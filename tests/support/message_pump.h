// Runs the calling thread's message loop in tests that own windows.
#pragma once

#include <functional>

// Dispatches messages until done() or until timeoutMs have passed; returns done().
bool PumpUntil(unsigned timeoutMs, const std::function<bool()>& done);

// Dispatches messages for ms milliseconds.
void PumpFor(unsigned ms);
