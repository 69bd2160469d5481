#include "tools/zorpack/winget_manifest.h"

#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/temporary_file.h"
#include "compress/sha256_digest.h"
#include "tools/zorpack/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zorpack {

namespace {

constexpr char kManifestVersion[] = "1.6.0";
constexpr char kLocale[] = "en-US";
constexpr char kDefaultLicense[] = "Proprietary";

// What winget does with each failure code of the installer (installer_exit.h);
// the codes it is not told of it reports as plain failures.
constexpr struct {
    int code;
    const char* response;
} kReturnResponses[] = {
    {1, "invalidParameter"}, {2, "contactSupport"}, {3, "contactSupport"},
    {4, "packageInUse"},     {5, "contactSupport"}, {6, "contactSupport"},
    {7, "cancelledByUser"},  {8, "contactSupport"}, {9, "contactSupport"},
};

// Characters no segment of a package identifier and no version may hold.
bool IsForbidden(unsigned char c) {
    return c < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

// The identifier's rule: 2 to 8 segments of 1 to 32 characters joined by
// ".", with no blank and none of the forbidden characters; 128 in all.
bool IsPackageId(const std::string& id) {
    if (id.size() > 128) return false;
    int segments = 0;
    std::size_t length = 0;
    for (const char c : id + ".") {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '.') {
            if (length == 0 || length > 32) return false;
            ++segments;
            length = 0;
        } else if (IsForbidden(byte) || std::isspace(byte)) {
            return false;
        } else if ((byte & 0xC0) != 0x80) {
            ++length; // characters, not the continuation bytes of one
        }
    }
    return segments >= 2 && segments <= 8;
}

bool HasHttpScheme(const std::string& url) {
    std::string start = url.substr(0, 8);
    std::transform(start.begin(), start.end(), start.begin(), [](unsigned char c) { return std::tolower(c); });
    return (start.rfind("http://", 0) == 0 && url.size() > 7) || (start.rfind("https://", 0) == 0 && url.size() > 8);
}

// Without --publisher, the identifier's first part stands in.
std::string Publisher(const BuildRequest& build) {
    if (!build.publisher.empty()) return build.publisher;
    const std::string id = WingetPackageId(build);
    return id.substr(0, id.find('.'));
}

std::string ShortDescription(const BuildRequest& build) {
    return build.description.empty() ? build.appName + " " + build.version : build.description;
}

// A YAML double-quoted scalar: any UTF-8 text, control characters escaped.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Header(const BuildRequest& build, const char* type) {
    return std::string("# Written by zorpack. yaml-language-server: $schema=https://aka.ms/winget-manifest.") + type +
           "." + kManifestVersion + ".schema.json\n\nPackageIdentifier: " + Quoted(WingetPackageId(build)) +
           "\nPackageVersion: " + Quoted(build.version) + "\n";
}

std::string Footer(const char* type) {
    return std::string("ManifestType: ") + type + "\nManifestVersion: " + kManifestVersion + "\n";
}

std::string VersionManifest(const BuildRequest& build) {
    return Header(build, "version") + "DefaultLocale: " + kLocale + "\n" + Footer("version");
}

std::string LocaleManifest(const BuildRequest& build) {
    std::string text = Header(build, "defaultLocale") + "PackageLocale: " + kLocale +
                       "\nPublisher: " + Quoted(Publisher(build)) + "\nPackageName: " + Quoted(build.appName) +
                       "\nLicense: " + Quoted(build.winget.license.empty() ? kDefaultLicense : build.winget.license) +
                       "\n";
    if (!build.copyright.empty()) text += "Copyright: " + Quoted(build.copyright) + "\n";
    return text + "ShortDescription: " + Quoted(ShortDescription(build)) + "\n" + Footer("defaultLocale");
}

std::string InstallerManifest(const BuildRequest& build, const std::string& url, const std::string& sha256) {
    std::string text = Header(build, "installer") +
                       "InstallerType: exe\nScope: " + (build.perUser ? "user" : "machine") +
                       "\nInstallerSwitches:\n  Silent: \"/S\"\n  SilentWithProgress: \"/S\"\n"
                       "  InstallLocation: \"/D=<INSTALLPATH>\"\nExpectedReturnCodes:\n";
    for (const auto& code : kReturnResponses)
        text +=
            "  - InstallerReturnCode: " + std::to_string(code.code) + "\n    ReturnResponse: " + code.response + "\n";
    text += "UpgradeBehavior: install\nProductCode: " + Quoted(build.uninstallKey) +
            "\nAppsAndFeaturesEntries:\n  - DisplayName: " + Quoted(build.appName) + "\n";
    if (!build.publisher.empty()) text += "    Publisher: " + Quoted(build.publisher) + "\n";
    text += "    DisplayVersion: " + Quoted(build.version) + "\n    ProductCode: " + Quoted(build.uninstallKey) +
            "\nInstallers:\n  - Architecture: x64\n    InstallerUrl: " + Quoted(url) +
            "\n    InstallerSha256: " + Quoted(sha256) + "\n";
    return text + Footer("installer");
}

// Writes text as directory/name in one step.
std::string WriteWhole(const std::string& directory, const std::string& name, const std::string& text) {
    const std::string path = BuildPath(directory, name, nullptr);
    TemporaryFile file;
    if (!file.Create(directory, name + ".")) return "cannot write '" + path + "' (" + LastErrorText() + ")";
    if (!file.File().TryWrite(text.data(), text.size())) return file.File().Failure().Text();
    if (!file.CommitAs(path)) return "cannot replace '" + path + "' (" + LastErrorText() + ")";
    return {};
}

} // namespace

std::string WingetPackageId(const BuildRequest& build) {
    if (!build.winget.packageId.empty()) return build.winget.packageId;
    std::string id = build.publisher + "." + build.appName;
    id.erase(std::remove_if(id.begin(), id.end(), [](unsigned char c) { return std::isspace(c); }), id.end());
    return id;
}

std::string WingetOptionsProblem(const BuildRequest& build) {
    const WingetRequest& winget = build.winget;
    if (winget.directory.empty()) {
        if (!winget.packageId.empty() || !winget.installerUrl.empty() || !winget.license.empty())
            return "--package-id, --installer-url and --license go with --winget DIR";
        return {};
    }
    if (!build.uninstaller)
        return "--winget needs --uninstaller: winget finds the installed version by its uninstall entry";
    if (winget.packageId.empty() && build.publisher.empty())
        return "--winget needs --package-id ID, or a --publisher to make it from";
    if (const std::string id = WingetPackageId(build); !IsPackageId(id))
        return "the package identifier '" + id +
               "' is not one winget accepts: 2 to 8 parts of 1 to 32 characters joined by '.', without blanks or "
               "\\ / : * ? \" < > |; give one with --package-id ID";
    if (build.version.size() > 128 ||
        std::any_of(build.version.begin(), build.version.end(), [](unsigned char c) { return IsForbidden(c); }))
        return "the version '" + build.version + "' cannot be a winget package version (it holds \\ / : * ? \" < > |)";
    if (!winget.installerUrl.empty() && !HasHttpScheme(winget.installerUrl))
        return "the --installer-url '" + winget.installerUrl + "' is no http:// or https:// address";
    return {};
}

std::string WriteWingetManifest(const BuildRequest& build, const std::string& installerPath) {
    const std::string sha256 = Sha256OfFile(installerPath);
    if (sha256.empty()) return "cannot read '" + installerPath + "' for its SHA-256 (" + LastErrorText() + ")";
    std::string upper = sha256;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    const std::string url =
        build.winget.installerUrl.empty()
            ? "https://example.com/REPLACE-WITH-THE-DOWNLOAD-ADDRESS/" + GetPathPart(installerPath, kPathFileName)
            : build.winget.installerUrl;
    std::string error;
    if (!CreateDirectoryTree(build.winget.directory, &error)) return error;
    const std::string id = WingetPackageId(build);
    const struct {
        std::string name, text;
    } files[] = {
        {id + ".yaml", VersionManifest(build)},
        {id + ".locale." + kLocale + ".yaml", LocaleManifest(build)},
        {id + ".installer.yaml", InstallerManifest(build, url, upper)},
    };
    for (const auto& file : files)
        if (error = WriteWhole(build.winget.directory, file.name, file.text); !error.empty()) return error;
    return {};
}

} // namespace zorpack
