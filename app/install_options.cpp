#include "app/install_options.h"

InstallOptionStates CheckStatesOf(std::uint32_t options) {
    InstallOptionStates states;
    for (const InstallOption& option : kInstallOptions) states.*option.state = (options & option.checkedBit) != 0;
    return states;
}

std::uint32_t WithCheckStates(std::uint32_t options, const InstallOptionStates& states) {
    for (const InstallOption& option : kInstallOptions) {
        if (states.*option.state)
            options |= option.checkedBit;
        else
            options &= ~option.checkedBit;
    }
    return options;
}
