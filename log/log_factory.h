// The factory that owns the logging framework's objects: every logger, every
// layout and the appenders it created by class name.
//
// One process-wide factory (instance()) exists from before main to process
// exit, with its root logger "Root" at INFO and no appenders; its destruction
// (the end of main, exit()) shuts everything down, and std::terminate flushes
// its appenders' buffers (log/terminate_flush.h). Nothing here takes a lock:
// create loggers and appenders and change thresholds before concurrent
// logging starts.
#pragma once

#include "common/string_format.h"
#include "log/appender.h"
#include "log/layout.h"
#include "log/logger.h"
#include "log/priority.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where configure looks for the configuration file, in order: the user's
// profile folder ("USERPROFILE", also in the POSIX build), then the
// program's own directory, each with the file name
// "<program base name>.zorlog.xml".
std::vector<std::string> ConfigurationFileCandidates();

// The whole text of a configuration file, as configure reads the file it
// finds; false when path cannot be opened or is not a plain file. A read
// error keeps what was read (a cut configuration fails to parse or
// configures less, and both show). configure reads the text as a C string,
// so anything after a NUL byte is never seen.
bool ReadConfigurationFile(const std::string& path, std::string& text);

class LogFactory {
public:
    // lastError keeps at most this many bytes, NUL included.
    static constexpr std::size_t kErrorBufferSize = 65536;

    // The process-wide factory.
    static LogFactory& instance();

    // A separate factory (the process uses instance(); tests build their own).
    LogFactory();
    LogFactory(const LogFactory&) = delete;
    LogFactory& operator=(const LogFactory&) = delete;
    // Shuts down: see shutdown().
    ~LogFactory();

    // The logger named name (case-insensitive), created when missing; never
    // null. A new logger copies threshold, additivity and appenders from the
    // nearest existing logger found by dropping the last "."-separated
    // component of the name again and again, or from the root logger when
    // none exists. No intermediate logger is created.
    Logger* getLogger(const std::string& name);
    // The existing logger of that name unchanged, or a new one with exactly
    // these values, no parent and no appenders. Found through findLogger, so
    // a creation leaves its "not found" text in lastError.
    Logger* createLogger(const std::string& name, Priority threshold, bool additivity);
    // The first logger of that name, or null with "Logger '%s' not found in factory".
    Logger* findLogger(const std::string& name);
    // Deletes the first logger of that name; false with the "not found" text.
    bool removeLogger(const std::string& name);
    int loggerCount() const { return static_cast<int>(loggers_.size()); }
    // The root logger when index is outside the list.
    Logger* loggerAt(int index);
    // New threshold for every listed logger whose name starts with prefix
    // (case-insensitive); the root logger is not touched.
    void setThresholdByPrefix(const std::string& prefix, Priority threshold);
    // The root logger "Root"; it is not in the logger list.
    Logger& root() { return root_; }

    // The first appender of that name (case-insensitive), or null.
    Appender* findAppender(const std::string& name);
    // The same, answering the default appender "[NoAppenderName]" instead of null.
    Appender* findAppenderOrDefault(const std::string& name);
    int appenderCount() const { return static_cast<int>(appenders_.size()); }
    // The default appender when index is outside the list.
    Appender* appenderAt(int index);
    // Lists an appender the caller owns (the factory closes it at shutdown
    // but never deletes it). When one of the same name is listed, that one is
    // returned and appender is not added. With start set, the appender is
    // started at once (its error text dropped). Null for a null appender.
    Appender* addAppender(Appender* appender, bool start);
    // The same for an appender made by the caller that the factory is to own
    // and delete at shutdown. When one of the same name is listed, that one
    // is returned and appender is deleted.
    Appender* addAppender(std::unique_ptr<Appender> appender, bool start);
    // Unlists that exact object without closing or deleting it; false with
    // "Appender '%s' not found in factory" when it is not listed. An
    // appender the factory created stays alive until shutdown, since
    // loggers may still refer to it.
    bool removeAppender(Appender* appender);
    // The listed appender of that name whatever its class, or a new, closed
    // appender of the class named case-insensitively, owned by the factory.
    // Null with "Appender class '%s' not supported" for any other class name.
    Appender* createAppender(const std::string& className, const std::string& name, Priority threshold);
    // True for the appenders createAppender made; the factory deletes them at
    // shutdown.
    bool ownsAppender(const Appender* appender) const;

    // A new layout of the class named case-insensitively, owned by the
    // factory; null with "Layout class '%s' not supported" otherwise.
    Layout* createLayout(const std::string& className);
    // Takes ownership of a layout made by the caller; returns it.
    Layout* addLayout(std::unique_ptr<Layout> layout);

    // The text of the last failure.
    const std::string& lastError() const { return lastError_; }
    // Sets lastError printf-style, cut to kErrorBufferSize - 1 characters.
    void setLastError(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);

    const std::string& configurationDump() const { return configurationDump_; }
    void setConfigurationDump(std::string dump) { configurationDump_ = std::move(dump); }

    // Loads text (and, with searchFile, the configuration file found by
    // ConfigurationFileCandidates) as XML configuration streams, keeps their
    // dump in configurationDump and applies them: see xml_configurator.h for
    // the grammar. True when errors is empty at the end; otherwise errors
    // holds one line per problem (joined by "\n"). A first text that does not
    // load applies nothing; a file that does not load leaves the first
    // text's configuration. Nothing is opened: call startAppenders next.
    // Call it while no thread logs: loggers and appenders are reused by name
    // and only ever added, so a logger never refers to a deleted appender.
    bool configure(const std::string& text, std::string& errors, bool searchFile);
    // What the last configure call read but could not use as meant: a
    // priority that names no priority, a parameter value that its appender
    // or layout cannot use (see xml_configurator.h). One sentence each, in
    // the order met; empty when there was nothing to say. Warnings never
    // change configure's result or its errors: a program that wants to
    // refuse such a configuration checks this list.
    const std::vector<std::string>& configurationWarnings() const { return configurationWarnings_; }
    // Starts, in list order, every appender whose AutoStart is set and that
    // is not running yet; one line "Unable to start appender '%s' (%s)" per
    // failure. True without failure.
    bool startAppenders(std::string& errors);
    // Stops every listed appender in list order; one line
    // "Unable to stop appender '%s' (%s)" per failure. True without failure.
    bool stopAppenders(std::string& errors);
    // The root logger, then every listed logger: one line each with name,
    // threshold and additivity, then one line per appender.
    std::string dumpLoggers();

    // Writes out what every listed appender holds back (Appender::flush).
    // Safe while other threads log; the list itself must not change meanwhile.
    void flushAppenders();

    // Stops the appenders, deletes the loggers, closes every listed
    // appender that is still opened, deletes the appenders the factory
    // created, then the layouts. The factory stays usable (empty) afterwards.
    void shutdown();

private:
    std::string lastError_;
    std::string configurationDump_;
    std::vector<std::string> configurationWarnings_;
    Logger root_;
    Appender defaultAppender_;
    std::vector<std::unique_ptr<Logger>> loggers_;
    // The appender list in its order; the factory's own appenders are owned
    // by ownedAppenders_, the others by whoever added them.
    std::vector<Appender*> appenders_;
    std::vector<std::unique_ptr<Appender>> ownedAppenders_;
    std::vector<std::unique_ptr<Layout>> layouts_;
};
