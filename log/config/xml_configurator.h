// The XML configuration of the logging framework: the collected logger and
// appender configurations of one configure call, how streams merge into them,
// their dump, and how they are applied to a factory.
//
// Grammar (element and attribute names exact; "true"/"false" values in any
// letter case). The first element of a stream is its top element, whatever
// its name; only direct children where listed are looked at:
//
//   top element   active="false" skips the stream; replace="true" discards
//                 what earlier streams collected
//     root        exactly one; children priority, appender-ref
//     category    name, additivity ("false" only turns it off); children
//                 priority, appender-ref
//     appender    name, class; children priority, layout (the first),
//                 param (name, value: as the class's setParam takes it;
//                 the file targets' "File", "Append", ..., "BufferSize",
//                 "FlushPriority" are listed in file_appender.h)
//       layout    class; children param
//   priority      value: a priority name (the first priority element counts)
//   appender-ref  ref: the name of an appender
//
// Names of loggers and appenders are unique in their lists without regard to
// letter case: a later element of a known name merges into the entry.
//
// Values that are read but cannot be used as meant (a priority that names no
// priority, a parameter value its appender or layout calls unusable, see
// Appender::paramWarning) change nothing in what is applied; each adds one
// sentence to warnings(), naming the element with its attribute and value and
// where it stands, for example
//   <priority value="LOUD"> of category 'net' names no priority; the threshold stays INFO.
//   <param name="port" value="70000"> of appender 'udp' is above 65535.
#pragma once

#include "log/priority.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Appender;
class LogFactory;
class Logger;
class XmlNode;

struct ConfigParam {
    std::string name;
    std::string value;
};

struct LoggerConfig {
    std::string name;
    Priority threshold = LogPriority::kInfo;
    std::vector<std::string> appenderRefs;
    bool additivity = true;
};

struct AppenderConfig {
    std::string name;
    std::string className;
    Priority threshold = LogPriority::kNotSet;
    // Empty: no layout.
    std::string layoutClass;
    std::vector<ConfigParam> layoutParams;
    std::vector<ConfigParam> appenderParams;
};

class XmlConfigurator {
public:
    XmlConfigurator();
    ~XmlConfigurator();
    XmlConfigurator(const XmlConfigurator&) = delete;
    XmlConfigurator& operator=(const XmlConfigurator&) = delete;

    // Parses one stream and merges what it configures into the lists; false,
    // with lastError set, when the text does not parse or its root element is
    // missing or doubled. A "replace" takes effect even then. Every stream is
    // parsed with a fresh copy of the reader's default options, so an error
    // of an earlier stream never shows up in the text of a later one.
    bool loadStream(const std::string& text);

    const std::string& lastError() const { return lastError_; }
    // The warnings of every stream loaded and of apply, in the order met.
    const std::vector<std::string>& warnings() const { return warnings_; }
    // The root configuration comes first once a stream has loaded.
    const std::vector<LoggerConfig>& loggerConfigs() const { return loggerConfigs_; }
    const std::vector<AppenderConfig>& appenderConfigs() const { return appenderConfigs_; }

    // The entry of that name without regard to letter case, or null.
    const LoggerConfig* findLoggerConfig(std::string_view name) const;
    const AppenderConfig* findAppenderConfig(std::string_view name) const;

    // The readable listing of both lists, lines ended by "\r\n".
    std::string dump() const;

    // Applies every logger configuration in list order: the root
    // configuration to the factory's root logger, the others to loggers
    // created by name (an existing logger is kept as it is). Problems are
    // appended to errors, one line each.
    void apply(LogFactory& factory, std::string& errors);

    // Attaches to logger the appenders referenced by the configuration
    // named configName and, while additivity holds, by the configurations of
    // its ancestors (dotted names shortened from the right, then the root),
    // creating appenders and layouts through the factory the first time one
    // is referenced. True when nothing went wrong; otherwise error holds one
    // line per problem.
    bool configureLogger(LogFactory& factory, Logger& logger, const std::string& configName, std::string& error);

private:
    bool loadRoot(const XmlNode& top);
    void loadCategories(const XmlNode& top);
    void loadAppenders(const XmlNode& top);
    // owner says where the element stands: "root", "category 'net'".
    void readPriority(const XmlNode& element, std::string_view owner, Priority& threshold);
    static void readAppenderRefs(const XmlNode& element, LoggerConfig& config);
    static void readParams(const XmlNode& element, std::vector<ConfigParam>& params);
    void mergeLoggerConfig(LoggerConfig config);
    void mergeAppenderConfig(AppenderConfig config);

    // Attaches the appenders of one configuration's references to logger.
    void attachReferences(LogFactory& factory, Logger& logger, const LoggerConfig& config, std::string& error);
    // The appender of that reference: found in the factory, or created from
    // its configuration; null (error lines added) when it cannot be had or
    // must not be attached.
    Appender* appenderForReference(LogFactory& factory, const std::string& reference, std::string& error);
    // A warning for a <param> whose value the checker calls unusable.
    void warnAboutParam(const ConfigParam& param, std::string_view owner, const std::string& problem);

    std::string lastError_;
    std::unique_ptr<XmlNode> document_;
    std::vector<LoggerConfig> loggerConfigs_;
    std::vector<AppenderConfig> appenderConfigs_;
    std::vector<std::string> warnings_;
};

// Adds line to text, after a "\n" when text is not empty.
void AppendErrorLine(std::string& text, std::string_view line);
