#include "tools/zorpack/stub_resources.h"

#include "archive/pe_resources.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/path.h"
#include "common/string_format.h"
#include "tools/zorpack/icon_file.h"
#include "tools/zorpack/version_resource.h"

#include <algorithm>

namespace zorpack {

namespace {

constexpr std::uint16_t kFirstIcon = 1;
constexpr std::uint16_t kIconGroup = 1;
constexpr std::uint16_t kVersionNumber = 1;

bool ReadIconImages(const std::string& path, std::vector<IconImage>& images, std::string& error) {
    const char* name = path.c_str();
    std::vector<std::uint8_t> bytes;
    try {
        CFile file;
        if (!file.Open(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::DenyWrite)) {
            error = StringFormat("cannot read the icon '%s': %s", name, LastErrorText());
            return false;
        }
        if (!file.IsRegularFile() || file.GetLength() > kMaxIconFileSize) {
            error = StringFormat("the icon '%s' is not a plain file of at most %llu MiB", name,
                                 static_cast<unsigned long long>(kMaxIconFileSize >> 20));
            return false;
        }
        bytes.resize(static_cast<std::size_t>(file.GetLength()));
        bytes.resize(file.Read(bytes.data(), bytes.size()));
    } catch (const FileException& failure) {
        error = StringFormat("cannot read the icon '%s': %s", name, failure.what());
        return false;
    }
    std::string problem;
    if (!ParseIconFile(bytes, images, problem)) {
        error = StringFormat("the icon '%s' is refused: %s", name, problem.c_str());
        return false;
    }
    return true;
}

std::vector<std::pair<std::string, std::string>> VersionTexts(const BuildRequest& build) {
    std::vector<std::pair<std::string, std::string>> texts;
    if (!build.publisher.empty()) texts.emplace_back("CompanyName", build.publisher);
    texts.emplace_back("FileDescription", build.description.empty() ? build.appName + " Setup" : build.description);
    texts.emplace_back("FileVersion", build.version);
    if (!build.copyright.empty()) texts.emplace_back("LegalCopyright", build.copyright);
    texts.emplace_back("OriginalFilename", GetPathPart(WithNativeSeparators(build.output), kPathFileName));
    texts.emplace_back("ProductName", build.appName);
    texts.emplace_back("ProductVersion", build.version);
    return texts;
}

bool Replaced(const PeResource& resource) {
    using namespace pe_resource_type;
    const std::uint16_t type = resource.type.name.empty() ? resource.type.number : 0;
    return type == kIcon || type == kGroupIcon || type == kVersion;
}

} // namespace

bool WantsStubResources(const BuildRequest& build) { return build.versionInfo; }

bool ApplyStubResources(const BuildRequest& build, std::vector<std::uint8_t>& image, std::string& error) {
    std::vector<IconImage> icons;
    if (!build.iconPath.empty() && !ReadIconImages(build.iconPath, icons, error)) return false;
    std::vector<PeResource> resources;
    std::string problem;
    if (!ReadPeResources(image, resources, problem)) {
        error = "the extractor image's resources cannot be read: " + problem;
        return false;
    }
    resources.erase(std::remove_if(resources.begin(), resources.end(), Replaced), resources.end());
    using namespace pe_resource_type;
    for (std::size_t i = 0; i < icons.size(); ++i)
        resources.push_back(
            {{u"", kIcon}, {u"", static_cast<std::uint16_t>(kFirstIcon + i)}, kUsEnglish, 0, std::move(icons[i].data)});
    if (!icons.empty())
        resources.push_back(
            {{u"", kGroupIcon}, {u"", kIconGroup}, kUsEnglish, 0, IconGroupResource(icons, kFirstIcon)});
    std::vector<std::uint8_t> version = VersionResource(VersionNumbers(build.version), VersionTexts(build));
    if (version.empty()) {
        error = "the version information's texts are too long";
        return false;
    }
    resources.push_back({{u"", kVersion}, {u"", kVersionNumber}, kUsEnglish, 0, std::move(version)});
    if (!WritePeResources(image, resources, problem)) {
        error = "the extractor image's resources cannot be rewritten: " + problem;
        return false;
    }
    return true;
}

} // namespace zorpack
