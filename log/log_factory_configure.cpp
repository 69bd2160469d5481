// The factory's configuration entry points: configure with the search for
// the configuration file, and the logger dump.
#include "common/environment.h"
#include "common/file.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "log/config/xml_configurator.h"
#include "log/log_factory.h"

namespace {

constexpr const char* kConfigurationExtension = "zorlog.xml";

// The first candidate that opens; empty when none does.
std::string ReadFoundConfigurationFile() {
    std::string text;
    for (const std::string& candidate : ConfigurationFileCandidates())
        if (ReadConfigurationFile(candidate, text)) return text;
    return {};
}

} // namespace

// Read in pieces of 64 KiB.
bool ReadConfigurationFile(const std::string& path, std::string& text) {
    CFile file;
    if (!file.OpenForReading(path) || !file.IsRegularFile()) return false;
    text.clear();
    char piece[65536];
    try {
        for (;;) {
            const std::size_t read = file.Read(piece, sizeof piece);
            if (read == 0) break;
            text.append(piece, read);
        }
    } catch (const FileException&) {
        // What was read stands; a configuration cut short fails to parse or
        // configures less, and both show.
    }
    return true;
}

std::vector<std::string> ConfigurationFileCandidates() {
    const std::string program = GetModulePath();
    const std::string baseName = GetPathPart(program, kPathBaseName);
    const std::string profile = GetEnvironmentValueLong("USERPROFILE");
    // The profile is joined with a separator even when it is empty: an
    // unset variable names the root folder, as it always has.
    return {profile + PathSeparator() + baseName + "." + kConfigurationExtension,
            BuildPath(GetPathPart(program, kPathDirectory), baseName, kConfigurationExtension)};
}

bool LogFactory::configure(const std::string& text, std::string& errors, bool searchFile) {
    errors.clear();
    configurationWarnings_.clear();
    const std::string fileText = searchFile ? ReadFoundConfigurationFile() : std::string();

    XmlConfigurator configurator;
    if (!configurator.loadStream(text)) {
        errors = StringFormat("unable to load configuration [XMLStream1] (%s)", configurator.lastError().c_str());
        return false;
    }
    // Read as a C string: a file that starts with a NUL byte is empty.
    if (!fileText.empty() && fileText[0] != '\0' && !configurator.loadStream(fileText))
        errors = StringFormat("unable to load configuration [XMLStream2] (%s)", configurator.lastError().c_str());

    configurationDump_ = configurator.dump();
    lastError_.clear();
    configurator.apply(*this, errors);
    configurationWarnings_ = configurator.warnings();
    return errors.empty();
}

std::string LogFactory::dumpLoggers() {
    std::string text;
    const auto dumpOne = [&text](const Logger& logger) {
        text += StringFormat("Logger:%s, threshold:%s, additivity:%s\r\n", logger.getName().c_str(),
                             priorityName(logger.getThreshold()), logger.getAdditivity() ? "yes" : "no");
        for (int i = 0; i < logger.appenderCount(); ++i)
            text += StringFormat("   Appender(%u):%s, class:%s, layout:%s\r\n", static_cast<unsigned>(i + 1),
                                 logger.appenderNameAt(i), logger.appenderClassNameAt(i), logger.layoutClassNameAt(i));
    };
    dumpOne(root_);
    for (const auto& logger : loggers_) dumpOne(*logger);
    return text;
}
