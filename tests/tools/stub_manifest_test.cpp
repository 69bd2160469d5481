// The execution level each stub's manifest asks Windows for: an
// administrator for machine-wide installers, the caller's own rights for
// per-user ones. The manifest is a resource of plain XML, so the level is
// read from the image's bytes.
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Holds(const std::string& bytes, const std::string& text) { return bytes.find(text) != std::string::npos; }

TEST(StubManifest, EachStubAsksForItsOwnExecutionLevel) {
    const struct {
        const char* image;
        const char* level;
        const char* notLevel;
    } stubs[] = {
        {ZOR_EXTRACTOR_IMAGE, "level=\"requireAdministrator\"", "level=\"asInvoker\""},
        {ZOR_PER_USER_EXTRACTOR_IMAGE, "level=\"asInvoker\"", "level=\"requireAdministrator\""},
    };
    int read = 0;
    for (const auto& stub : stubs) {
        if (std::string(stub.image).empty()) continue; // zorpack was built without it
        const std::string bytes = ReadWholeFile(stub.image);
        ASSERT_NE(bytes, "<missing>") << stub.image;
        EXPECT_TRUE(Holds(bytes, "<requestedExecutionLevel " + std::string(stub.level))) << stub.image;
        EXPECT_FALSE(Holds(bytes, stub.notLevel)) << stub.image;
        // Everything else the manifest says stays: themed controls and UTF-8.
        EXPECT_TRUE(Holds(bytes, "Microsoft.Windows.Common-Controls")) << stub.image;
        EXPECT_TRUE(Holds(bytes, ">UTF-8</activeCodePage>")) << stub.image;
        ++read;
    }
    if (read == 0) GTEST_SKIP() << "zorpack carries no stub image";
}

} // namespace
