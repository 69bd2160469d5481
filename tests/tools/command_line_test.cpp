#include "archive/archive_format.h"
#include "tools/zorpack/command_line.h"

#include <gtest/gtest.h>

using namespace zorpack;

namespace {

using Args = std::vector<std::string>;

// A build line with the three required options, followed by extra.
Args BuildLine(Args extra) {
    Args line = {"build", "-o", "Setup.exe", "--name", "Demo", "--version", "1.0"};
    line.insert(line.end(), extra.begin(), extra.end());
    return line;
}

TEST(CommandLine, BuildTakesEveryOption) {
    const ParseResult parsed = ParseCommandLine({"build",
                                                 "--output",
                                                 "out.exe",
                                                 "--name=My App",
                                                 "--version",
                                                 "2.5",
                                                 "--shortcut",
                                                 "MyApp",
                                                 "--windows",
                                                 "My App;Untitled - My App",
                                                 "--stub",
                                                 "stub.exe",
                                                 "--allow-duplicates",
                                                 "-v",
                                                 "--compression",
                                                 "deflate-best",
                                                 "app.exe",
                                                 "@more.txt",
                                                 "--",
                                                 "-odd-name.txt"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const Request& request = parsed.request;
    EXPECT_EQ(request.kind, CommandKind::Build);
    EXPECT_TRUE(request.verbose);
    EXPECT_EQ(request.build.output, "out.exe");
    EXPECT_EQ(request.build.appName, "My App");
    EXPECT_EQ(request.build.version, "2.5");
    EXPECT_EQ(request.build.shortcutName, "MyApp");
    EXPECT_EQ(request.build.windowList, "My App;Untitled - My App");
    EXPECT_EQ(request.build.stubPath, "stub.exe");
    EXPECT_TRUE(request.build.allowDuplicates);
    EXPECT_EQ(request.build.compression.method, CompressionMethod::DeflateBest);
    EXPECT_EQ(request.build.options, kDefaultOptions);
    EXPECT_EQ(request.build.inputs, (Args{"app.exe", "@more.txt", "-odd-name.txt"}));
}

TEST(CommandLine, PublisherAndInstallDir) {
    const ParseResult parsed = ParseCommandLine(
        BuildLine({"--publisher", "Acme Tools", "--install-dir", "{ProgramFiles}\\{Publisher}\\{AppName}", "a"}));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.request.build.publisher, "Acme Tools");
    EXPECT_EQ(parsed.request.build.installDir, "{ProgramFiles}\\{Publisher}\\{AppName}");
    const ParseResult defaults = ParseCommandLine(BuildLine({"a"}));
    ASSERT_TRUE(defaults.ok);
    EXPECT_EQ(defaults.request.build.publisher, "") << "no block unless asked for";
    EXPECT_EQ(defaults.request.build.installDir, "");
    EXPECT_FALSE(defaults.request.build.perUser);
    const ParseResult perUser = ParseCommandLine(BuildLine({"a", "--per-user"}));
    ASSERT_TRUE(perUser.ok) << perUser.error;
    EXPECT_TRUE(perUser.request.build.perUser);
    EXPECT_EQ(perUser.request.build.inputs, (Args{"a"})) << "a switch: the operand after it stays an input";
}

// The uninstaller's key: given, or made from the publisher and the name with
// what a key name cannot hold replaced.
TEST(CommandLine, UninstallerAndItsKey) {
    const struct {
        Args line;
        const char* key;
    } cases[] = {
        {{"--uninstaller", "a"}, "ZorSoftware Demo"},
        {{"--publisher", "Acme", "--uninstaller", "a"}, "Acme Demo"},
        {{"--uninstall-key", "{1234-AB}", "a"}, "{1234-AB}"},
    };
    for (const auto& c : cases) {
        const ParseResult parsed = ParseCommandLine(BuildLine(c.line));
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_TRUE(parsed.request.build.uninstaller);
        EXPECT_EQ(parsed.request.build.uninstallKey, c.key);
    }
    EXPECT_FALSE(ParseCommandLine(BuildLine({"a"})).request.build.uninstaller);
    EXPECT_EQ(DefaultUninstallKey("", "My: App/2 ?."), "ZorSoftware My_ App_2 _");
    const ParseResult bad = ParseCommandLine(BuildLine({"--uninstall-key", "..\\Run", "a"}));
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, "the uninstall key '..\\Run' contains '\\'; it names one registry key");
    // Such an installer proposes a folder named after the application.
    Args named = {"build", "-o",         "S.exe", "--name",        "My: App", "--version",
                  "1",     "--shortcut", "App",   "--uninstaller", "a"};
    const ParseResult unnamable = ParseCommandLine(named);
    EXPECT_FALSE(unnamable.ok);
    EXPECT_NE(unnamable.error.find("cannot name the installation folder"), std::string::npos) << unnamable.error;
    named.insert(named.end() - 1, {"--install-dir", "{ProgramFiles}\\Mine"});
    EXPECT_TRUE(ParseCommandLine(named).ok);
}

TEST(CommandLine, BuildDefaults) {
    const ParseResult parsed = ParseCommandLine(BuildLine({"app.exe"}));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const BuildRequest& build = parsed.request.build;
    EXPECT_FALSE(parsed.request.verbose);
    EXPECT_EQ(build.shortcutName, "Demo");
    EXPECT_EQ(build.windowList, "");
    EXPECT_EQ(build.stubPath, "");
    EXPECT_FALSE(build.allowDuplicates);
    EXPECT_EQ(build.compression.method, CompressionMethod::Deflate);
    EXPECT_FALSE(build.compression.solid);
    EXPECT_EQ(build.compression.dictionary, 0u);
    EXPECT_EQ(build.compression.threads, 0u);
    EXPECT_EQ(build.options, 0x01FF0002u);
}

TEST(CommandLine, LzmaSettings) {
    const ParseResult parsed =
        ParseCommandLine(BuildLine({"--compression", "lzma", "--solid", "--dictionary", "16M", "--threads", "3", "a"}));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const CompressionSettings& compression = parsed.request.build.compression;
    EXPECT_EQ(compression.method, CompressionMethod::Lzma);
    EXPECT_TRUE(compression.solid);
    EXPECT_EQ(compression.dictionary, 16u << 20);
    EXPECT_EQ(compression.threads, 3u);
    EXPECT_EQ(ParseCommandLine(BuildLine({"--compression", "lzma", "--dictionary", "65536", "a"}))
                  .request.build.compression.dictionary,
              65536u);
}

TEST(CommandLine, OptionsAndOperandsMayBeMixed) {
    const ParseResult parsed =
        ParseCommandLine({"build", "a.exe", "--name", "N", "b.dll", "-o", "S.exe", "--version", "1", "c.txt"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.request.build.inputs, (Args{"a.exe", "b.dll", "c.txt"}));
    EXPECT_EQ(parsed.request.build.output, "S.exe");
}

struct WordCase {
    Args extra;
    std::uint32_t word;
};

// --options sets the word first, --option settings follow in order, --store
// comes last, wherever each stands on the line.
const WordCase kWordCases[] = {
    {{}, 0x01FF0002},
    {{"--store"}, 0x01FF0000},
    {{"--options", "0x0"}, 0x00000000},
    {{"--options", "0xFFFFFFFF"}, 0xFFFFFFFF},
    {{"--options", "0xffffffff", "--store"}, 0xFFFFFFFD},
    {{"--store", "--options", "0x2"}, 0x00000000},
    {{"--option", "all-users=off"}, 0x01FC0002},
    {{"--option", "all-users=on"}, 0x01FE0002},
    {{"--option", "all-users=ask"}, 0x01FD0002},
    {{"--option", "all-users=ask-checked"}, 0x01FF0002},
    {{"--option", "start-after=off"}, 0x01F30002},
    {{"--option", "start-after=on"}, 0x01FB0002},
    {{"--option", "start-after=ask"}, 0x01F70002},
    {{"--option", "desktop=off"}, 0x01CF0002},
    {{"--option", "desktop=on"}, 0x01EF0002},
    {{"--option", "desktop=ask"}, 0x01DF0002},
    {{"--option", "quick-launch=off"}, 0x013F0002},
    {{"--option", "quick-launch=on"}, 0x01BF0002},
    {{"--option", "quick-launch=ask"}, 0x017F0002},
    {{"--option", "startup=off"}, 0x00FF0002},
    {{"--option", "startup=on"}, 0x02FF0002},
    {{"--option", "startup=ask"}, 0x01FF0002},
    {{"--option", "startup=ask-checked"}, 0x03FF0002},
    {{"--option=desktop=on", "--option", "desktop=ask"}, 0x01DF0002},
    {{"--option", "startup=on", "--options", "0x00000002"}, 0x02000002},
    {{"--options", "0x80000000", "--option", "all-users=ask"}, 0x80010000},
    {{"--options=0xFC00FFFF", "--option", "desktop=ask-checked", "--store"}, 0xFC30FFFD},
};

TEST(CommandLine, OptionWordFromTheLine) {
    for (const WordCase& c : kWordCases) {
        Args line = BuildLine(c.extra);
        line.push_back("app.exe");
        const ParseResult parsed = ParseCommandLine(line);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.request.build.options, c.word) << ::testing::PrintToString(c.extra);
    }
}

struct ReaderCase {
    Args line;
    CommandKind kind;
    bool verbose;
    std::string installer;
    std::string directory;
};

const ReaderCase kReaderCases[] = {
    {{"list", "Setup.exe"}, CommandKind::List, false, "Setup.exe", ""},
    {{"list", "-v", "Setup.exe"}, CommandKind::List, true, "Setup.exe", ""},
    {{"verify", "Setup.exe", "--verbose"}, CommandKind::Verify, true, "Setup.exe", ""},
    {{"extract", "Setup.exe", "out dir"}, CommandKind::Extract, false, "Setup.exe", "out dir"},
    {{"extract", "--", "-Setup.exe", "-dir"}, CommandKind::Extract, false, "-Setup.exe", "-dir"},
};

TEST(CommandLine, ReadingCommands) {
    for (const ReaderCase& c : kReaderCases) {
        const ParseResult parsed = ParseCommandLine(c.line);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.request.kind, c.kind) << ::testing::PrintToString(c.line);
        EXPECT_EQ(parsed.request.verbose, c.verbose) << ::testing::PrintToString(c.line);
        EXPECT_EQ(parsed.request.installer, c.installer);
        EXPECT_EQ(parsed.request.targetDirectory, c.directory);
    }
}

TEST(CommandLine, HelpWins) {
    const Args helpLines[] = {
        {"-h"}, {"--help"}, {"help"}, {"build", "--help"}, {"list", "-h"}, {"build", "-h", "--bad"}};
    for (const Args& line : helpLines) {
        const ParseResult parsed = ParseCommandLine(line);
        ASSERT_TRUE(parsed.ok) << ::testing::PrintToString(line);
        EXPECT_EQ(parsed.request.kind, CommandKind::Help) << ::testing::PrintToString(line);
    }
}

struct BadCase {
    Args line;
    const char* error;
};

const BadCase kBadCases[] = {
    {{}, "no command given (try 'zorpack --help')"},
    {{"pack"}, "unknown command 'pack' (expected build, list, verify or extract)"},
    {{"--name", "x"}, "unknown command '--name' (expected build, list, verify or extract)"},
    {{"build", "--name", "N", "--version", "1", "a"}, "'build' needs the installer to write (-o FILE)"},
    {{"build", "-o", "S", "--version", "1", "a"}, "'build' needs the application name (--name NAME)"},
    {{"build", "-o", "S", "--name", "N", "a"}, "'build' needs the application version (--version VERSION)"},
    {BuildLine({}), "'build' needs at least one input file"},
    {BuildLine({"--bogus", "a"}), "unknown option '--bogus'"},
    {BuildLine({"-x", "a"}), "unknown option '-x'"},
    {BuildLine({"a", "--stub"}), "option '--stub' needs a value"},
    {BuildLine({"a", "-o"}), "option '-o' needs a value"},
    {BuildLine({"--store=yes", "a"}), "option '--store' takes no value"},
    {BuildLine({"--verbose=1", "a"}), "option '--verbose' takes no value"},
    {BuildLine({"--name=", "a"}), "option '--name' needs a non-empty value"},
    {BuildLine({"--version", "", "a"}), "option '--version' needs a non-empty value"},
    {BuildLine({"--shortcut", "", "a"}), "option '--shortcut' needs a non-empty value"},
    {BuildLine({"--stub", "", "a"}), "option '--stub' needs a non-empty value"},
    {BuildLine({"--option", "desktop", "a"}), "bad --option 'desktop'"},
    {BuildLine({"--option", "desk=on", "a"}), "bad --option 'desk=on'"},
    {BuildLine({"--option", "desktop=yes", "a"}), "bad --option 'desktop=yes'"},
    {BuildLine({"--option", "Desktop=on", "a"}), "bad --option 'Desktop=on'"},
    {BuildLine({"--option", "desktop=", "a"}), "bad --option 'desktop='"},
    {BuildLine({"--compression", "zip", "a"}), "bad --compression 'zip': expected deflate, deflate-best or lzma"},
    {BuildLine({"--solid", "a"}), "--solid needs --compression lzma"},
    {BuildLine({"--compression", "deflate-best", "--dictionary", "1m", "a"}), "--dictionary needs --compression lzma"},
    {BuildLine({"--compression", "lzma", "--dictionary", "4095", "a"}), "bad --dictionary '4095'"},
    {BuildLine({"--compression", "lzma", "--dictionary", "2g", "a"}), "bad --dictionary '2g'"},
    {BuildLine({"--compression", "lzma", "--dictionary", "64mb", "a"}), "bad --dictionary '64mb'"},
    {BuildLine({"--compression", "lzma", "--dictionary", "99999999999k", "a"}), "bad --dictionary"},
    {BuildLine({"--threads", "0", "a"}), "bad --threads '0': expected 1 to 64"},
    {BuildLine({"--threads", "2k", "a"}), "bad --threads '2k'"},
    {BuildLine({"--threads", "65", "a"}), "bad --threads '65'"},
    {BuildLine({"--options", "1FF0002", "a"}), "bad --options '1FF0002'"},
    {BuildLine({"--options", "0x", "a"}), "bad --options '0x'"},
    {BuildLine({"--options", "0x123456789", "a"}), "bad --options '0x123456789'"},
    {BuildLine({"--options", "0x12G4", "a"}), "bad --options '0x12G4'"},
    {BuildLine({"--options", "-0x1", "a"}), "bad --options '-0x1'"},
    {BuildLine({"--shortcut", "A:B", "a"}), "the shortcut name 'A:B' contains ':'"},
    {{"build", "-o", "S", "--name", "Demo/Pro", "--version", "1", "a"},
     "the shortcut name 'Demo/Pro' contains '/'; give another with --shortcut NAME"},
    {BuildLine({"--publisher", "", "a"}), "the publisher '' is empty; it names one folder"},
    {BuildLine({"--publisher", "..", "a"}), "the publisher '..' names a directory; it names one folder"},
    {BuildLine({"--publisher", "Acme\\Tools", "a"}), "the publisher 'Acme\\Tools' contains '\\'"},
    {BuildLine({"--publisher", "Acme/Tools", "a"}), "the publisher 'Acme/Tools' contains '/'"},
    {BuildLine({"--publisher", "aux", "a"}), "the publisher 'aux' is a device name"},
    {BuildLine({"--install-dir", "{ProgramFiles}\\{Company}", "a"}),
     "the --install-dir template '{ProgramFiles}\\{Company}' has the unknown token '{Company}'"},
    {BuildLine({"--install-dir", "{ProgramFiles", "a"}),
     "the --install-dir template '{ProgramFiles' has a '{' at byte 0 that is not closed"},
    {BuildLine({"--install-dir", "C:\\App}", "a"}),
     "the --install-dir template 'C:\\App}' has a '}' at byte 6 that closes no token"},
    {BuildLine({"--install-dir", "", "a"}), "the --install-dir template '' is empty"},
    {BuildLine({"--install-dir", "relative\\{AppName}", "a"}),
     "the --install-dir template 'relative\\{AppName}' gives 'relative\\Name' with sample values for its tokens, "
     "which is not absolute"},
    {BuildLine({"--sign-command", "sign {out}", "a"}),
     "the --sign-command 'sign {out}' names no {in}: it signs the file {in} into the file {out}"},
    {BuildLine({"--sign-command", "sign {in} {in}", "a"}),
     "the --sign-command 'sign {in} {in}' names no {out}: it signs the file {in} into the file {out}"},
    {BuildLine({"--winget", "wg", "a"}), "--winget needs --uninstaller"},
    {BuildLine({"--winget", "wg", "--uninstaller", "a"}), "--winget needs --package-id ID, or a --publisher"},
    {BuildLine({"--winget", "wg", "--uninstaller", "--package-id", "Acme", "a"}),
     "the package identifier 'Acme' is not one winget accepts"},
    {BuildLine({"--winget", "wg", "--uninstaller", "--package-id", "Acme.He:llo", "a"}),
     "the package identifier 'Acme.He:llo' is not one winget accepts"},
    {BuildLine({"--winget", "wg", "--uninstaller", "--publisher", "Acme", "--installer-url", "ftp://x/S.exe", "a"}),
     "the --installer-url 'ftp://x/S.exe' is no http:// or https:// address"},
    {BuildLine({"--package-id", "Acme.Hello", "a"}), "--package-id, --installer-url and --license go with --winget"},
    {{"list", "--publisher", "x", "a"}, "option '--publisher' is not valid for 'list'"},
    {{"verify", "--per-user", "a"}, "option '--per-user' is not valid for 'verify'"},
    {{"list"}, "'list' needs an installer file"},
    {{"list", "a", "b"}, "unexpected argument 'b' for 'list'"},
    {{"verify"}, "'verify' needs an installer file"},
    {{"extract", "a"}, "'extract' needs an installer file and a directory"},
    {{"extract", "a", "b", "c"}, "unexpected argument 'c' for 'extract'"},
    {{"list", "--name", "x", "a"}, "option '--name' is not valid for 'list'"},
    {{"verify", "--store", "a"}, "option '--store' is not valid for 'verify'"},
    {{"extract", "-o", "x", "a", "b"}, "option '--output' is not valid for 'extract'"},
};

TEST(CommandLine, BadLines) {
    for (const BadCase& c : kBadCases) {
        const ParseResult parsed = ParseCommandLine(c.line);
        EXPECT_FALSE(parsed.ok) << ::testing::PrintToString(c.line);
        EXPECT_EQ(parsed.error.substr(0, std::string(c.error).size()), c.error) << ::testing::PrintToString(c.line);
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    }
}

} // namespace
