// Applying collected configurations to a factory.
#include "common/string_format.h"
#include "common/text_utils.h"
#include "log/appender.h"
#include "log/config/xml_configurator.h"
#include "log/log_factory.h"
#include "log/logger.h"

void XmlConfigurator::apply(LogFactory& factory, std::string& errors) {
    for (const LoggerConfig& config : loggerConfigs_) {
        Logger* logger = nullptr;
        if (EqualsIgnoringCase(config.name, "Root")) {
            logger = &factory.root();
            logger->setThreshold(config.threshold);
            logger->setAdditivity(config.additivity);
        } else {
            // An existing logger keeps its threshold and additivity.
            logger = factory.createLogger(config.name, config.threshold, config.additivity);
        }
        std::string error;
        if (!configureLogger(factory, *logger, config.name, error)) AppendErrorLine(errors, error);
    }
}

// The walk up the dotted names is a loop over views of the one name, not a
// recursion over copies: a name of many thousand components must neither
// exhaust the stack nor cost quadratic time.
bool XmlConfigurator::configureLogger(LogFactory& factory, Logger& logger, const std::string& configName,
                                      std::string& error) {
    error.clear();
    std::string_view name = configName;
    for (;;) {
        bool additive = true;
        if (const LoggerConfig* config = findLoggerConfig(name)) {
            additive = config->additivity;
            attachReferences(factory, logger, *config, error);
        }
        if (EqualsIgnoringCase(name, "Root") || !additive) break;
        const std::size_t lastDot = name.rfind('.');
        name = lastDot == std::string_view::npos || lastDot == 0 ? std::string_view("Root") : name.substr(0, lastDot);
    }
    return error.empty();
}

void XmlConfigurator::attachReferences(LogFactory& factory, Logger& logger, const LoggerConfig& config,
                                       std::string& error) {
    for (const std::string& reference : config.appenderRefs)
        if (Appender* appender = appenderForReference(factory, reference, error)) logger.addAppender(appender);
}

void XmlConfigurator::warnAboutParam(const ConfigParam& param, std::string_view owner, const std::string& problem) {
    if (problem.empty()) return;
    warnings_.push_back(StringFormat("<param name=\"%s\" value=\"%s\"> of %.*s %s.", param.name.c_str(),
                                     param.value.c_str(), static_cast<int>(owner.size()), owner.data(),
                                     problem.c_str()));
}

Appender* XmlConfigurator::appenderForReference(LogFactory& factory, const std::string& reference, std::string& error) {
    // Made by an earlier reference (or added by the program): used as it is.
    if (Appender* existing = factory.findAppender(reference)) return existing;

    const AppenderConfig* config = findAppenderConfig(reference);
    if (config == nullptr) {
        AppendErrorLine(error, StringFormat("Unable to find '%s' appender configuration", reference.c_str()));
        return nullptr;
    }
    Appender* appender = factory.createAppender(config->className, config->name, config->threshold);
    if (appender == nullptr) {
        AppendErrorLine(error, StringFormat("Unable to add appender '%s' in factory (%s).", config->name.c_str(),
                                            factory.lastError().c_str()));
        return nullptr;
    }
    const std::string owner = StringFormat("appender '%s'", config->name.c_str());
    for (const ConfigParam& param : config->appenderParams) {
        warnAboutParam(param, owner, appender->paramWarning(param.name, param.value));
        if (!appender->setParam(param.name, param.value))
            AppendErrorLine(error,
                            StringFormat("Unrecognized param '%s' for appender [class:%s]:%s.", param.name.c_str(),
                                         appender->className(), appender->getName().c_str()));
    }
    if (appender->requiresLayout() && config->layoutClass.empty()) {
        AppendErrorLine(error, StringFormat("Unable to find a layout for appender '%s'", config->name.c_str()));
        return nullptr;
    }
    if (!config->layoutClass.empty()) {
        Layout* layout = factory.createLayout(config->layoutClass);
        if (layout == nullptr) {
            AppendErrorLine(error, StringFormat("Unable to add layout '%s' for appender '%s' in factory (%s).",
                                                config->layoutClass.c_str(), config->name.c_str(),
                                                factory.lastError().c_str()));
            return nullptr;
        }
        for (const ConfigParam& param : config->layoutParams) {
            warnAboutParam(param, "the layout of " + owner, layout->paramWarning(param.name, param.value));
            if (!layout->setParam(param.name, param.value))
                AppendErrorLine(error, StringFormat("Unrecognized param '%s' for layout '%s'.", param.name.c_str(),
                                                    layout->className()));
        }
        appender->setLayout(layout);
    }
    return appender;
}
