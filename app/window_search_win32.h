// The real window and process enumeration of the Windows build.
#pragma once

#include "app/window_search.h"

class Win32WindowSystem : public WindowSystem {
public:
    void EnumerateTopLevelWindows(const std::function<bool(const EnumeratedWindow&)>& visit) override;
    std::vector<std::uint32_t> ProcessIds() override;
    std::string ProcessImagePath(std::uint32_t processId) override;
    bool IsNtPlatform() override;
};
