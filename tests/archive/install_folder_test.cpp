#include "archive/install_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallFolder, PublisherNamesAreOneDirectoryName) {
    for (const char* good : {"ZorSoftware", "Acme Tools", "Caf\xC3\xA9 Ltd", "a.b"})
        EXPECT_EQ(PublisherNameProblem(good), "") << good;
    const struct {
        const char* name;
        const char* problem;
    } bad[] = {
        {"", "is empty"},
        {".", "names a directory"},
        {"..", "names a directory"},
        {"a\\b", "contains '\\'"},
        {"a/b", "contains '/'"},
        {"C:", "contains ':'"},
        {"NUL", "is a device name"},
        {"com1.txt", "is a device name"},
        {"Acme.", "ends with a dot or a space"},
    };
    for (const auto& c : bad) EXPECT_EQ(PublisherNameProblem(c.name), c.problem) << c.name;
}

TEST(InstallFolder, TemplatesAreCheckedAndExpanded) {
    EXPECT_EQ(InstallDirTemplateProblem("{ProgramFiles}\\{Publisher}\\{AppName}"), "");
    const InstallDirValues values = {"C:\\Program Files", "C:\\Users\\ann\\AppData\\Local", "Acme", "Tool"};
    EXPECT_EQ(ExpandInstallDirTemplate("{ProgramFiles}\\{Publisher}\\{AppName}", values),
              "C:\\Program Files\\Acme\\Tool");
    EXPECT_EQ(ExpandInstallDirTemplate("D:\\Apps\\{AppName}-{AppName}", values), "D:\\Apps\\Tool-Tool");
    EXPECT_EQ(ExpandInstallDirTemplate("C:\\Fixed", values), "C:\\Fixed");
    const struct {
        const char* text;
        const char* problem;
    } bad[] = {
        {"", "is empty"},
        {"{Program Files}\\x",
         "has the unknown token '{Program Files}' (known: {ProgramFiles}, {LocalAppData}, {Publisher}, {AppName})"},
        {"{appname}",
         "has the unknown token '{appname}' (known: {ProgramFiles}, {LocalAppData}, {Publisher}, {AppName})"},
        {"{}", "has the unknown token '{}' (known: {ProgramFiles}, {LocalAppData}, {Publisher}, {AppName})"},
        {"C:\\{AppName", "has a '{' at byte 3 that is not closed"},
        {"{Pub{AppName}}", "has a '{' at byte 0 that is not closed"},
        {"C:\\x}", "has a '}' at byte 4 that closes no token"},
        {"C:\\\x01", "contains the control character 0x01"},
        {"C:\\\xFF", "is not valid UTF-8"},
    };
    for (const auto& c : bad) EXPECT_EQ(InstallDirTemplateProblem(c.text), c.problem) << c.text;
}

// {LocalAppData} is a token of its own: its value goes where it stands, in
// any template (not only per-user ones), and a misspelling is refused.
TEST(InstallFolder, LocalAppDataTokenTakesTheUsersFolder) {
    const InstallDirValues values = {"C:\\Program Files", "C:\\Users\\ann\\AppData\\Local", "Acme", "Tool"};
    EXPECT_EQ(InstallDirTemplateProblem("{LocalAppData}\\Programs\\{AppName}"), "");
    EXPECT_EQ(ExpandInstallDirTemplate("{LocalAppData}\\Programs\\{AppName}", values),
              "C:\\Users\\ann\\AppData\\Local\\Programs\\Tool");
    EXPECT_EQ(ExpandInstallDirTemplate("{LocalAppData}\\{Publisher}\\{LocalAppData}", values),
              "C:\\Users\\ann\\AppData\\Local\\Acme\\C:\\Users\\ann\\AppData\\Local");
    // An unresolved folder leaves the rest of the template in place.
    EXPECT_EQ(ExpandInstallDirTemplate("{LocalAppData}\\Programs\\{AppName}", {"P", "", "Q", "R"}), "\\Programs\\R");
    for (const char* misspelt : {"{LocalAppdata}", "{Local AppData}", "{AppData}"})
        EXPECT_EQ(InstallDirTemplateProblem(misspelt),
                  std::string("has the unknown token '") + misspelt +
                      "' (known: {ProgramFiles}, {LocalAppData}, {Publisher}, {AppName})");
}

} // namespace
