// Sets (or with a null value removes) one environment variable for a test's
// duration and puts the previous value back afterwards (a variable that was
// empty or missing is removed).
#pragma once

#include "common/environment.h"

#include <string>

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name), previous_(GetEnvironmentValueLong(name)) {
        SetEnvironmentValue(name, value);
    }
    ScopedEnvironment(const char* name, const std::string& value) : ScopedEnvironment(name, value.c_str()) {}
    ~ScopedEnvironment() { SetEnvironmentValue(name_, previous_.empty() ? nullptr : previous_.c_str()); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::string previous_;
};
