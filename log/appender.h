// The base of every output target ("SkeletonAppender").
//
// Loggers hand an appender records; the appender formats each one through its
// layout and writes the text. The base supplies the parameters every target
// shares ("Threshold", "Active", "AutoStart"), the start/stop protocol, the
// formatting rule and a re-entrant lock.
//
// A subclass overrides className and whichever of setParam (offering each
// name to its base class first), getParam, open, close, write, append and
// requiresLayout it needs. Its append takes lock() and may call its base
// class's append, which takes the same lock again: the lock is re-entrant for
// the owning thread. open, close, start, stop and setParam take no lock; they
// belong to configuration and shutdown, with no concurrent logging.
#pragma once

#include "log/layout.h"
#include "log/logging_event.h"
#include "log/priority.h"

#include <mutex>
#include <string>
#include <string_view>

class Appender {
public:
    // Named "[NoAppenderName]", threshold 900 (NOTSET).
    Appender();
    Appender(std::string name, Priority threshold);
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;
    virtual ~Appender();

    // The fixed class name; "SkeletonAppender" for the base.
    virtual const char* className() const;

    // Takes the value of a parameter named case-insensitively; true when the
    // name is recognised and the value accepted. The base knows "Threshold"
    // (a priority name; one that names no priority is refused and the
    // threshold kept), "Active" and "AutoStart" ("true" in any case or "1"
    // mean true, anything else false).
    virtual bool setParam(const std::string& name, const std::string& value);
    // A parameter's value as text; the base reports none (the empty text).
    virtual std::string getParam(const std::string& name) const;

    // The base writes the layout's header (open) or footer (close), when
    // there is one, and succeeds. error receives a failure's text.
    virtual bool open(std::string& error);
    virtual bool close(std::string& error);

    // Puts a finished text on the target; event is null for headers and
    // footers. The base writes nothing.
    virtual void write(const std::string& text, const LoggingEvent* event);

    // Delivers one record; true when it was written. The base only checks
    // that the appender is opened and passes through its lock.
    virtual bool append(const LoggingEvent& event);

    // True when records cannot be formatted without a layout; false here.
    virtual bool requiresLayout() const;

    const std::string& getName() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    bool nameEquals(std::string_view text) const;

    Priority getThreshold() const { return threshold_; }
    void setThreshold(Priority threshold) { threshold_ = threshold; }

    // Not owned: layouts belong to the factory.
    Layout* getLayout() const { return layout_; }
    void setLayout(Layout* layout) { layout_ = layout; }

    // An inactive appender receives no record at all, not even forced ones.
    bool isActive() const { return active_; }
    void setActive(bool active) { active_ = active; }

    bool isOpened() const { return opened_; }

    // The configuration's start step opens exactly the appenders with AutoStart.
    bool isAutoStart() const { return autoStart_; }
    void setAutoStart(bool autoStart) { autoStart_ = autoStart; }

    // Set by the factory for the appenders it creates; it deletes those at shutdown.
    bool isOwnedByFactory() const { return ownedByFactory_; }
    void setOwnedByFactory(bool owned) { ownedByFactory_ = owned; }

    // open, and remember its result as the opened state; returns that result.
    bool start(std::string& error);
    // close; the appender stays opened only when close failed. True when
    // close succeeded.
    bool stop(std::string& error);
    // close, after which the appender counts as closed whatever the result
    // (the factory's shutdown).
    bool closeFinally(std::string& error);

    // The record as text: a record at 9999 gives its message unchanged;
    // otherwise the layout decides; without a layout the message and "\n",
    // or failure when requiresLayout is true.
    bool formatEvent(const LoggingEvent& event, std::string& text) const;

    // The layout's header or footer for this appender; false (text empty)
    // without a layout or when the layout has none.
    bool headerText(std::string& text) const;
    bool footerText(std::string& text) const;

protected:
    std::recursive_mutex& lock() const { return lock_; }

    // The usual append: false when not opened (checked before locking);
    // under the lock, format the record and write the text with no record.
    // False when formatting fails.
    bool appendFormatted(const LoggingEvent& event);

private:
    mutable std::recursive_mutex lock_;
    std::string name_ = "[NoAppenderName]";
    Priority threshold_ = LogPriority::kNotSet;
    Layout* layout_ = nullptr;
    bool active_ = true;
    bool opened_ = false;
    bool autoStart_ = true;
    bool ownedByFactory_ = false;
};
