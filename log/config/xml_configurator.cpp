#include "log/config/xml_configurator.h"

#include "common/string_format.h"
#include "common/text_utils.h"
#include "xml/xml_node.h"
#include "xml/xml_options.h"

#include <algorithm>
#include <utility>

namespace {

bool AttributeEquals(const XmlNode& element, std::string_view attribute, std::string_view value) {
    const std::string* text = element.AttributeValue(attribute);
    return text != nullptr && EqualsIgnoringCase(*text, value);
}

std::string AttributeOrEmpty(const XmlNode& element, std::string_view attribute) {
    const std::string* text = element.AttributeValue(attribute);
    return text != nullptr ? *text : std::string();
}

// The reader's default settings with no error recorded: the default record
// keeps the first error it ever saw, which must not leak into this parse.
XmlParseOptions FreshParseOptions() {
    const XmlParseOptions& defaults = XmlDefaultParseOptions();
    XmlParseOptions options;
    options.trimText = defaults.trimText;
    options.decodeEntities = defaults.decodeEntities;
    options.entities = defaults.entities;
    options.escapeChar = defaults.escapeChar;
    options.tolerateMismatch = defaults.tolerateMismatch;
    return options;
}

// The entry of that name without regard to letter case, or null; const or
// not as the list is.
template <class Configs>
auto FindByName(Configs& configs, std::string_view name) -> decltype(&configs.front()) {
    const auto found = std::find_if(configs.begin(), configs.end(),
                                    [name](const auto& config) { return EqualsIgnoringCase(config.name, name); });
    return found != configs.end() ? &*found : nullptr;
}

void AppendParams(std::vector<ConfigParam>& to, std::vector<ConfigParam>& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

} // namespace

void AppendErrorLine(std::string& text, std::string_view line) {
    if (!text.empty()) text += '\n';
    text += line;
}

XmlConfigurator::XmlConfigurator() = default;
XmlConfigurator::~XmlConfigurator() = default;

bool XmlConfigurator::loadStream(const std::string& text) {
    document_ = std::make_unique<XmlNode>();
    XmlParseOptions options = FreshParseOptions();
    // The text is read as a C string: a NUL ends it.
    if (document_->Load(text.c_str(), options) == nullptr) {
        lastError_ = "Load XML file stream:" + options.errorText;
        return false;
    }
    const XmlNode& top = *document_;
    if (AttributeEquals(top, "active", "false")) return true;
    if (AttributeEquals(top, "replace", "true")) {
        loggerConfigs_.clear();
        appenderConfigs_.clear();
    }
    if (!loadRoot(top)) return false;
    loadCategories(top);
    loadAppenders(top);
    return true;
}

bool XmlConfigurator::loadRoot(const XmlNode& top) {
    const std::vector<XmlNode*> roots = top.FindChildren("root");
    if (roots.empty()) {
        lastError_ = "unable to find root configuration in XML stream";
        return false;
    }
    if (roots.size() > 1) {
        lastError_ = "more than one root configuration defined in XML stream";
        return false;
    }
    LoggerConfig config;
    config.name = "root";
    config.additivity = false;
    readPriority(*roots.front(), "root", config.threshold);
    readAppenderRefs(*roots.front(), config);
    mergeLoggerConfig(std::move(config));
    return true;
}

void XmlConfigurator::loadCategories(const XmlNode& top) {
    for (const XmlNode* category : top.FindChildren("category")) {
        LoggerConfig config;
        config.name = AttributeOrEmpty(*category, "name");
        config.additivity = !AttributeEquals(*category, "additivity", "false");
        readPriority(*category, StringFormat("category '%s'", config.name.c_str()), config.threshold);
        readAppenderRefs(*category, config);
        mergeLoggerConfig(std::move(config));
    }
}

void XmlConfigurator::loadAppenders(const XmlNode& top) {
    for (const XmlNode* appender : top.FindChildren("appender")) {
        AppenderConfig config;
        config.name = AttributeOrEmpty(*appender, "name");
        config.className = AttributeOrEmpty(*appender, "class");
        readPriority(*appender, StringFormat("appender '%s'", config.name.c_str()), config.threshold);
        if (const XmlNode* layout = appender->FindChild("layout")) {
            config.layoutClass = AttributeOrEmpty(*layout, "class");
            readParams(*layout, config.layoutParams);
        }
        readParams(*appender, config.appenderParams);
        mergeAppenderConfig(std::move(config));
    }
}

void XmlConfigurator::readPriority(const XmlNode& element, std::string_view owner, Priority& threshold) {
    const XmlNode* priority = element.FindChild("priority");
    if (priority == nullptr) return;
    const std::string* value = priority->AttributeValue("value");
    if (value == nullptr) return;
    const Priority parsed = parsePriority(*value);
    if (parsed != LogPriority::kUndefined) {
        threshold = parsed;
        return;
    }
    warnings_.push_back(StringFormat("<priority value=\"%s\"> of %.*s names no priority; the threshold stays %s.",
                                     value->c_str(), static_cast<int>(owner.size()), owner.data(),
                                     priorityName(threshold)));
}

void XmlConfigurator::readAppenderRefs(const XmlNode& element, LoggerConfig& config) {
    for (const XmlNode* reference : element.FindChildren("appender-ref"))
        if (const std::string* name = reference->AttributeValue("ref")) config.appenderRefs.push_back(*name);
}

void XmlConfigurator::readParams(const XmlNode& element, std::vector<ConfigParam>& params) {
    for (const XmlNode* param : element.FindChildren("param")) {
        const std::string* name = param->AttributeValue("name");
        const std::string* value = param->AttributeValue("value");
        if (name != nullptr && value != nullptr) params.push_back({*name, *value});
    }
}

// A later configuration of a known name takes over name, threshold and
// additivity (its defaults included) and adds the references not yet held.
void XmlConfigurator::mergeLoggerConfig(LoggerConfig config) {
    LoggerConfig* existing = FindByName(loggerConfigs_, config.name);
    if (existing == nullptr) {
        loggerConfigs_.push_back(LoggerConfig{std::move(config.name), config.threshold, {}, config.additivity});
        existing = &loggerConfigs_.back();
    } else {
        existing->name = std::move(config.name);
        existing->threshold = config.threshold;
        existing->additivity = config.additivity;
    }
    for (std::string& reference : config.appenderRefs) {
        const bool held = std::any_of(existing->appenderRefs.begin(), existing->appenderRefs.end(),
                                      [&](const std::string& known) { return EqualsIgnoringCase(known, reference); });
        if (!held) existing->appenderRefs.push_back(std::move(reference));
    }
}

// A later configuration of a known name takes over name, class, threshold and
// layout class, and adds its parameters after the earlier ones.
void XmlConfigurator::mergeAppenderConfig(AppenderConfig config) {
    AppenderConfig* existing = FindByName(appenderConfigs_, config.name);
    if (existing == nullptr) {
        appenderConfigs_.push_back(std::move(config));
        return;
    }
    existing->name = std::move(config.name);
    existing->className = std::move(config.className);
    existing->threshold = config.threshold;
    existing->layoutClass = std::move(config.layoutClass);
    AppendParams(existing->layoutParams, config.layoutParams);
    AppendParams(existing->appenderParams, config.appenderParams);
}

const LoggerConfig* XmlConfigurator::findLoggerConfig(std::string_view name) const {
    return FindByName(loggerConfigs_, name);
}

const AppenderConfig* XmlConfigurator::findAppenderConfig(std::string_view name) const {
    return FindByName(appenderConfigs_, name);
}

std::string XmlConfigurator::dump() const {
    std::string text = StringFormat("Loggers(%u):\r\n-----------\r\n", static_cast<unsigned>(loggerConfigs_.size()));
    for (const LoggerConfig& config : loggerConfigs_) {
        text += StringFormat("Logger: %s, threshold:%s, additivity:%s\r\n", config.name.c_str(),
                             priorityName(config.threshold), config.additivity ? "yes" : "no");
        for (const std::string& reference : config.appenderRefs)
            text += StringFormat("      appender-ref: %s\r\n", reference.c_str());
    }
    text += StringFormat("Appenders(%u):\r\n-------------\r\n", static_cast<unsigned>(appenderConfigs_.size()));
    for (const AppenderConfig& config : appenderConfigs_) {
        text += StringFormat("Appender name: %s, class:%s, threshold:%s, layout:%s\r\n", config.name.c_str(),
                             config.className.c_str(), priorityName(config.threshold),
                             config.layoutClass.empty() ? "[NoLayout]" : config.layoutClass.c_str());
        for (const ConfigParam& param : config.appenderParams)
            text += StringFormat("   appender-param: %-20s value:%s\r\n", param.name.c_str(), param.value.c_str());
        for (const ConfigParam& param : config.layoutParams)
            text += StringFormat("   layout-param  : %-20s value:%s\r\n", param.name.c_str(), param.value.c_str());
    }
    return text;
}
