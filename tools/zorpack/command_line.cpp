#include "tools/zorpack/command_line.h"

#include "archive/archive_format.h"
#include "archive/entry_name.h"
#include "archive/install_folder.h"
#include "common/option_scanner.h"
#include "common/utf8.h"
#include "compress/lzma_format.h"
#include "tools/zorpack/option_word.h"

#include <optional>
#include <string_view>

namespace zorpack {

namespace {

enum class OptionId {
    Output,
    Name,
    Version,
    Shortcut,
    Windows,
    Store,
    Option,
    Options,
    AllowDuplicates,
    Reproducible,
    Winget,
    PackageId,
    InstallerUrl,
    License,
    Stub,
    Compression,
    Solid,
    Dictionary,
    Threads,
    Publisher,
    InstallDir,
    Main,
    Uninstaller,
    UninstallKey,
    PerUser,
    VersionInfo,
    Icon,
    Copyright,
    Description,
    SignCommand,
    Verbose,
    Help
};

constexpr OptionRule Rule(const char* longName, const char* shortName, bool takesValue, OptionId id) {
    return {longName, shortName, takesValue, static_cast<int>(id)};
}

constexpr OptionRule kOptions[] = {
    Rule("--output", "-o", true, OptionId::Output),
    Rule("--name", nullptr, true, OptionId::Name),
    Rule("--version", nullptr, true, OptionId::Version),
    Rule("--shortcut", nullptr, true, OptionId::Shortcut),
    Rule("--windows", nullptr, true, OptionId::Windows),
    Rule("--store", nullptr, false, OptionId::Store),
    Rule("--option", nullptr, true, OptionId::Option),
    Rule("--options", nullptr, true, OptionId::Options),
    Rule("--allow-duplicates", nullptr, false, OptionId::AllowDuplicates),
    Rule("--reproducible", nullptr, false, OptionId::Reproducible),
    Rule("--winget", nullptr, true, OptionId::Winget),
    Rule("--package-id", nullptr, true, OptionId::PackageId),
    Rule("--installer-url", nullptr, true, OptionId::InstallerUrl),
    Rule("--license", nullptr, true, OptionId::License),
    Rule("--stub", nullptr, true, OptionId::Stub),
    Rule("--compression", nullptr, true, OptionId::Compression),
    Rule("--solid", nullptr, false, OptionId::Solid),
    Rule("--dictionary", nullptr, true, OptionId::Dictionary),
    Rule("--threads", nullptr, true, OptionId::Threads),
    Rule("--publisher", nullptr, true, OptionId::Publisher),
    Rule("--install-dir", nullptr, true, OptionId::InstallDir),
    Rule("--main", nullptr, true, OptionId::Main),
    Rule("--uninstaller", nullptr, false, OptionId::Uninstaller),
    Rule("--uninstall-key", nullptr, true, OptionId::UninstallKey),
    Rule("--per-user", nullptr, false, OptionId::PerUser),
    Rule("--version-info", nullptr, false, OptionId::VersionInfo),
    Rule("--icon", nullptr, true, OptionId::Icon),
    Rule("--copyright", nullptr, true, OptionId::Copyright),
    Rule("--description", nullptr, true, OptionId::Description),
    Rule("--sign-command", nullptr, true, OptionId::SignCommand),
    Rule("--verbose", "-v", false, OptionId::Verbose),
    Rule("--help", "-h", false, OptionId::Help),
};

OptionId IdOf(const OptionRule& rule) { return static_cast<OptionId>(rule.id); }

// Every option but these two only makes sense for build.
bool IsBuildOnly(OptionId id) { return id != OptionId::Verbose && id != OptionId::Help; }

struct CommandName {
    const char* name;
    CommandKind kind;
    std::size_t operands; // 0: one or more
};

constexpr CommandName kCommands[] = {
    {"build", CommandKind::Build, 0},
    {"list", CommandKind::List, 1},
    {"verify", CommandKind::Verify, 1},
    {"extract", CommandKind::Extract, 2},
};

struct MethodName {
    const char* name;
    CompressionMethod method;
};

constexpr MethodName kMethods[] = {
    {"deflate", CompressionMethod::Deflate},
    {"deflate-best", CompressionMethod::DeflateBest},
    {"lzma", CompressionMethod::Lzma},
};

// A count with an optional binary suffix k, m or g (KiB, MiB, GiB), as
// "65536", "64m" or "1G"; nullopt for anything else or beyond 32 bits.
std::optional<std::uint32_t> ParseSize(const std::string& text) {
    std::uint64_t value = 0;
    std::size_t at = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && value <= 0xFFFFFFFFu; ++at)
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
    if (at == 0) return std::nullopt;
    if (at + 1 == text.size()) {
        const std::string_view suffixes = "kmg";
        const std::size_t index = suffixes.find(static_cast<char>(text[at] | 0x20));
        if (index == std::string_view::npos) return std::nullopt;
        value <<= 10 * (index + 1);
    } else if (at != text.size()) {
        return std::nullopt;
    }
    if (value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool IsHelp(std::string_view argument) { return argument == "-h" || argument == "--help" || argument == "help"; }

// Collects everything the options say before the build request is completed.
class Parser {
public:
    explicit Parser(CommandKind kind) { result_.request.kind = kind; }

    ParseResult Fail(std::string error) {
        ParseResult failed;
        failed.error = std::move(error);
        return failed;
    }

    // Applies one option with its value; false with error_ set when it cannot.
    bool Apply(const OptionRule& rule, const std::string& value) {
        BuildRequest& build = result_.request.build;
        switch (IdOf(rule)) {
        case OptionId::Output:
            return SetNonEmpty(rule, value, build.output);
        case OptionId::Name:
            return SetNonEmpty(rule, value, build.appName);
        case OptionId::Version:
            return SetNonEmpty(rule, value, build.version);
        case OptionId::Shortcut:
            return SetNonEmpty(rule, value, build.shortcutName);
        case OptionId::Stub:
            return SetNonEmpty(rule, value, build.stubPath);
        case OptionId::Compression:
            for (const MethodName& method : kMethods) {
                if (value == method.name) {
                    build.compression.method = method.method;
                    return true;
                }
            }
            error_ = "bad --compression '" + value + "': expected deflate, deflate-best or lzma";
            return false;
        case OptionId::Solid:
            build.compression.solid = true;
            return true;
        case OptionId::Dictionary: {
            const std::optional<std::uint32_t> size = ParseSize(value);
            if (!size || *size < lzma::kMinDictionary || *size > archive_format::kMaxDictionary) {
                error_ = "bad --dictionary '" + value + "': expected a size from 4k to 1g (as 65536, 64m)";
                return false;
            }
            build.compression.dictionary = *size;
            return true;
        }
        case OptionId::Threads: {
            const std::optional<std::uint32_t> count = ParseSize(value);
            if (!count || *count == 0 || *count > kMaxThreads || value.back() > '9') {
                error_ = "bad --threads '" + value + "': expected 1 to " + std::to_string(kMaxThreads);
                return false;
            }
            build.compression.threads = *count;
            return true;
        }
        case OptionId::Publisher:
            if (const std::string problem = PublisherNameProblem(value); !problem.empty()) {
                error_ = "the publisher '" + value + "' " + problem + "; it names one folder";
                return false;
            }
            build.publisher = value;
            return true;
        case OptionId::InstallDir:
            if (const std::string problem = InstallDirTemplateProblem(value); !problem.empty()) {
                error_ = "the --install-dir template '" + value + "' " + problem;
                return false;
            }
            build.installDir = value;
            return true;
        case OptionId::Main:
            return SetNonEmpty(rule, value, build.mainEntry);
        case OptionId::Uninstaller:
            build.uninstaller = true;
            return true;
        case OptionId::UninstallKey:
            if (const std::string problem = EntryNameProblem(value); !problem.empty()) {
                error_ = "the uninstall key '" + value + "' " + problem + "; it names one registry key";
                return false;
            }
            build.uninstallKey = value;
            build.uninstaller = true;
            return true;
        case OptionId::Windows:
            build.windowList = value;
            return true;
        case OptionId::Store:
            store_ = true;
            return true;
        case OptionId::AllowDuplicates:
            build.allowDuplicates = true;
            return true;
        case OptionId::Reproducible:
            build.reproducible = true;
            return true;
        case OptionId::Winget:
            return SetNonEmpty(rule, value, build.winget.directory);
        case OptionId::PackageId:
            return SetNonEmpty(rule, value, build.winget.packageId);
        case OptionId::InstallerUrl:
            return SetNonEmpty(rule, value, build.winget.installerUrl);
        case OptionId::License:
            return SetNonEmpty(rule, value, build.winget.license);
        case OptionId::PerUser:
            build.perUser = true;
            return true;
        case OptionId::VersionInfo:
            build.versionInfo = true;
            return true;
        case OptionId::Icon:
            build.versionInfo = true;
            return SetNonEmpty(rule, value, build.iconPath);
        case OptionId::Copyright:
            build.versionInfo = true;
            return SetNonEmpty(rule, value, build.copyright);
        case OptionId::Description:
            build.versionInfo = true;
            return SetNonEmpty(rule, value, build.description);
        case OptionId::SignCommand:
            if (value.find(kSignInput) == std::string::npos || value.find(kSignOutput) == std::string::npos) {
                error_ = "the --sign-command '" + value + "' names no " +
                         (value.find(kSignInput) == std::string::npos ? kSignInput : kSignOutput) +
                         ": it signs the file {in} into the file {out}";
                return false;
            }
            build.signCommand = value;
            return true;
        case OptionId::Verbose:
            result_.request.verbose = true;
            return true;
        case OptionId::Help:
            return true;
        case OptionId::Option: {
            const std::optional<OptionSetting> setting = ParseOptionSetting(value);
            if (!setting) {
                error_ = "bad --option '" + value +
                         "': expected NAME=STATE with NAME one of all-users, start-after, desktop, quick-launch, "
                         "startup and STATE one of off, on, ask, ask-checked";
                return false;
            }
            settings_.push_back(*setting);
            return true;
        }
        case OptionId::Options: {
            optionsWord_ = ParseOptionsWord(value);
            if (!optionsWord_) {
                error_ = "bad --options '" + value + "': expected 0x followed by one to eight hexadecimal digits";
                return false;
            }
            return true;
        }
        }
        return false;
    }

    ParseResult Finish(std::vector<std::string> operands, std::size_t expectedOperands, const char* command) {
        Request& request = result_.request;
        if (request.kind != CommandKind::Build) {
            if (operands.size() < expectedOperands)
                return Fail(std::string("'") + command + "' needs " +
                            (expectedOperands == 1 ? "an installer file" : "an installer file and a directory"));
            if (operands.size() > expectedOperands)
                return Fail(std::string("unexpected argument '") + operands[expectedOperands] + "' for '" + command +
                            "'");
            request.installer = operands[0];
            if (expectedOperands == 2) request.targetDirectory = operands[1];
            result_.ok = true;
            return result_;
        }
        BuildRequest& build = request.build;
        if (build.output.empty()) return Fail("'build' needs the installer to write (-o FILE)");
        if (build.appName.empty()) return Fail("'build' needs the application name (--name NAME)");
        if (build.version.empty()) return Fail("'build' needs the application version (--version VERSION)");
        if (operands.empty()) return Fail("'build' needs at least one input file");
        const struct {
            const char* what;
            const std::string& text;
        } texts[] = {{"application name", build.appName},
                     {"application version", build.version},
                     {"shortcut name", build.shortcutName},
                     {"window list", build.windowList}};
        for (const auto& text : texts)
            if (!IsValidUtf8(text.text)) return Fail(std::string("the ") + text.what + " is not valid UTF-8");
        const bool shortcutGiven = !build.shortcutName.empty();
        if (!shortcutGiven) build.shortcutName = build.appName;
        if (const std::string problem = EntryNameProblem(build.shortcutName + ".lnk"); !problem.empty())
            return Fail("the shortcut name '" + build.shortcutName + "' " + problem +
                        (shortcutGiven ? "" : "; give another with --shortcut NAME"));
        if (build.uninstaller && build.uninstallKey.empty()) {
            build.uninstallKey = DefaultUninstallKey(build.publisher, build.appName);
            if (const std::string problem = EntryNameProblem(build.uninstallKey); !problem.empty())
                return Fail("the uninstall key '" + build.uninstallKey + "' made from the publisher and name " +
                            problem + "; give one with --uninstall-key NAME");
        }
        // The installer then proposes {...}\{AppName}: the name must be able
        // to name a folder, or every installation would be refused there.
        const bool appFolder = !build.publisher.empty() || build.uninstaller || build.perUser;
        if (appFolder && build.installDir.empty()) {
            if (const std::string problem = EntryNameProblem(build.appName); !problem.empty())
                return Fail("the application name '" + build.appName + "' " + problem +
                            ", so it cannot name the installation folder; give one with --install-dir TEMPLATE");
        }
        if (const std::string problem = WingetOptionsProblem(build); !problem.empty()) return Fail(problem);
        const bool lzma = build.compression.method == CompressionMethod::Lzma;
        if (!lzma && build.compression.solid) return Fail("--solid needs --compression lzma");
        if (!lzma && build.compression.dictionary) return Fail("--dictionary needs --compression lzma");
        std::uint32_t word = optionsWord_.value_or(kDefaultOptions);
        for (const OptionSetting& setting : settings_) word = ApplyOptionSetting(word, setting);
        if (store_) word &= ~kCompressFiles;
        build.options = word;
        build.inputs = std::move(operands);
        result_.ok = true;
        return result_;
    }

    std::string TakeError() { return std::move(error_); }

private:
    bool SetNonEmpty(const OptionRule& rule, const std::string& value, std::string& field) {
        if (value.empty()) {
            error_ = std::string("option '") + rule.longName + "' needs a non-empty value";
            return false;
        }
        field = value;
        return true;
    }

    ParseResult result_;
    std::string error_;
    std::vector<OptionSetting> settings_;
    std::optional<std::uint32_t> optionsWord_;
    bool store_ = false;
};

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    ParseResult failed;
    if (arguments.empty()) {
        failed.error = "no command given (try 'zorpack --help')";
        return failed;
    }
    if (IsHelp(arguments[0])) {
        ParseResult help;
        help.ok = true;
        return help;
    }
    if (arguments[0] == "--version" && arguments.size() == 1) {
        ParseResult version;
        version.ok = true;
        version.request.kind = CommandKind::Version;
        return version;
    }
    const CommandName* command = nullptr;
    for (const CommandName& candidate : kCommands)
        if (arguments[0] == candidate.name) command = &candidate;
    if (!command) {
        failed.error = "unknown command '" + arguments[0] + "' (expected build, list, verify or extract)";
        return failed;
    }

    Parser parser(command->kind);
    std::vector<std::string> operands;
    OptionScanner scanner(kOptions, arguments, 1);
    for (ScannedArgument scanned; scanner.Next(scanned);) {
        using Kind = ScannedArgument::Kind;
        if (scanned.kind == Kind::Operand) {
            operands.push_back(std::move(scanned.text));
            continue;
        }
        if (scanned.kind == Kind::EndOfOptions) continue;
        if (scanned.kind == Kind::UnknownOption) return parser.Fail("unknown option '" + scanned.text + "'");
        const OptionRule& rule = *scanned.rule;
        if (IdOf(rule) == OptionId::Help) {
            ParseResult help;
            help.ok = true;
            return help;
        }
        if (IsBuildOnly(IdOf(rule)) && command->kind != CommandKind::Build)
            return parser.Fail(std::string("option '") + rule.longName + "' is not valid for '" + command->name + "'");
        if (scanned.kind == Kind::UnexpectedValue)
            return parser.Fail(std::string("option '") + rule.longName + "' takes no value");
        if (scanned.kind == Kind::MissingValue) return parser.Fail("option '" + scanned.text + "' needs a value");
        if (!parser.Apply(rule, scanned.value)) return parser.Fail(parser.TakeError());
    }
    return parser.Finish(std::move(operands), command->operands, command->name);
}

std::string DefaultUninstallKey(const std::string& publisher, const std::string& appName) {
    std::string key = (publisher.empty() ? std::string(kDefaultPublisher) : publisher) + " " + appName;
    for (char& c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::string_view("\\/:<>\"|?*").find(c) != std::string_view::npos) c = '_';
    }
    while (!key.empty() && (key.back() == '.' || key.back() == ' ')) key.pop_back();
    return key;
}

} // namespace zorpack
