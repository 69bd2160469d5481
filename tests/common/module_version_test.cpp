#include "common/module_version.h"

#include "common/path.h"
#include "common/system_info.h"

#include <gtest/gtest.h>

namespace {

std::string BesideTheProgram(const char* name) { return BuildPath(GetModuleDirectory(), name, nullptr); }

TEST(GetModuleVersionText, AsksTheModulesExport) {
    EXPECT_EQ(GetModuleVersionText(BesideTheProgram(ZOR_VERSION_MODULE)), "Ver 2.47");
    // Loading and unloading twice works the same.
    EXPECT_EQ(GetModuleVersionText(BesideTheProgram(ZOR_VERSION_MODULE)), "Ver 2.47");
}

TEST(GetModuleVersionText, IsEmptyWithoutModuleOrExport) {
    EXPECT_EQ(GetModuleVersionText(BesideTheProgram(ZOR_PLAIN_MODULE)), "");
    EXPECT_EQ(GetModuleVersionText(BesideTheProgram("no-such-module.dll")), "");
    EXPECT_EQ(GetModuleVersionText(""), "");
}

} // namespace
