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

TEST(InstallFolder, InstallationDirectoriesAreAbsoluteAndMadeOfFileNames) {
    const struct {
        const char* path;
        PathStyle style;
        const char* problem; // "" when accepted
    } cases[] = {
        {"C:\\Program Files\\Acme", PathStyle::Windows, ""},
        {"c:/Apps/Tool/", PathStyle::Windows, ""},
        {"C:\\", PathStyle::Windows, ""},
        {"D:\\Caf\xC3\xA9 Tools\\x.y", PathStyle::Windows, ""},
        {"\\\\server\\share", PathStyle::Windows, ""},
        {"//server/share/Apps\\Tool\\", PathStyle::Windows, ""},
        {"/opt/tool", PathStyle::Posix, ""},
        {"/", PathStyle::Posix, ""},
        {"", PathStyle::Windows, "is empty"},
        {"Apps\\Tool", PathStyle::Windows,
         "is not absolute: it must start with a drive and a separator (C:\\) or a share (\\\\server\\share)"},
        {"C:", PathStyle::Windows, "is not absolute"},
        {"C:Apps", PathStyle::Windows, "is not absolute"},
        {"\\Apps", PathStyle::Windows, "is not absolute"},
        {"1:\\Apps", PathStyle::Windows, "is not absolute"},
        {"/opt/tool", PathStyle::Windows, "is not absolute"},
        {"C:\\Apps", PathStyle::Posix, "is not absolute: it must start with '/'"},
        {"\\\\?\\C:\\Apps", PathStyle::Windows, "is an extended-length or device path"},
        {"//?/C:/Apps", PathStyle::Windows, "is an extended-length or device path"},
        {"\\\\.\\PhysicalDrive0", PathStyle::Windows, "is an extended-length or device path"},
        {"\\??\\C:\\Apps", PathStyle::Windows, "is an extended-length or device path"},
        {"\\\\server", PathStyle::Windows, "names no share (\\\\server\\share)"},
        {"\\\\server\\", PathStyle::Windows, "names no share"},
        {"\\\\\\share", PathStyle::Windows, "names no share"},
        {"C:\\\\Apps", PathStyle::Windows, "has an empty component (two separators in a row)"},
        {"C:\\Apps\\\\", PathStyle::Windows, "has an empty component"},
        {"C:\\\\", PathStyle::Windows, "has an empty component"},
        {"\\\\server\\share\\\\x", PathStyle::Windows, "has an empty component"},
        {"//opt", PathStyle::Posix, "has an empty component"},
        {"C:\\Apps\\..\\Windows", PathStyle::Windows, "has the relative component '..'"},
        {"C:\\.\\Apps", PathStyle::Windows, "has the relative component '.'"},
        {"/opt/./tool", PathStyle::Posix, "has the relative component '.'"},
        {"C:\\Apps\\a:b", PathStyle::Windows, "has the component 'a:b', which contains ':'"},
        {"C:\\Apps\\NUL", PathStyle::Windows, "has the component 'NUL', which is a device name"},
        {"C:\\Apps \\x", PathStyle::Windows, "has the component 'Apps ', which ends with a dot or a space"},
        {"C:\\A\x01", PathStyle::Windows, "has the component 'A\x01', which contains the control character 0x01"},
        {"/opt/a\\b", PathStyle::Posix, "has the component 'a\\b', which contains '\\'"},
    };
    for (const auto& c : cases) {
        const std::string problem = InstallDirectoryProblem(c.path, c.style);
        EXPECT_EQ(problem.substr(0, std::string(c.problem).size()), c.problem) << c.path;
        EXPECT_EQ(problem.empty(), *c.problem == '\0') << c.path << ": " << problem;
    }
}

// The template must make an absolute directory whatever its tokens hold.
TEST(InstallFolder, TemplatesMustExpandToAnAbsoluteDirectory) {
    for (const char* good : {"{ProgramFiles}", "{LocalAppData}\\{Publisher}\\{AppName}\\", "\\\\srv\\apps\\{AppName}",
                             "C:/Tools/{AppName} {Publisher}", "{ProgramFiles}-{AppName}"})
        EXPECT_EQ(InstallDirTemplateProblem(good), "") << good;
    const struct {
        const char* text;
        const char* problem;
    } bad[] = {
        {"{AppName}", "gives 'Name' with sample values for its tokens, which is not absolute"},
        {"relative\\dir", "gives 'relative\\dir' with sample values for its tokens, which is not absolute"},
        {"C:", "gives 'C:' with sample values for its tokens, which is not absolute"},
        {"{AppName}\\{ProgramFiles}", "gives 'Name\\C:\\Program Files' with sample values"},
        {"{ProgramFiles}\\..\\{AppName}", "gives 'C:\\Program Files\\..\\Name' with sample values for its tokens, "
                                          "which has the relative component '..'"},
        {"{ProgramFiles}\\\\{AppName}", "which has an empty component"},
        {"C:\\{AppName}.", "which has the component 'Name.', which ends with a dot or a space"},
        {"\\\\?\\C:\\{AppName}", "which is an extended-length or device path"},
    };
    for (const auto& c : bad) {
        const std::string problem = InstallDirTemplateProblem(c.text);
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << ": " << problem;
    }
}

} // namespace
