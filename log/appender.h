// The base of every output target ("SkeletonAppender").
//
// Loggers hand an appender records; the appender formats each one through its
// layout and writes the text. The base owns everything targets share: the
// parameters "Threshold", "Active" and "AutoStart", the start/stop protocol,
// the header and footer, the formatting rule and a re-entrant lock.
//
// open, close and append are not virtual: they take the lock and then call
// the target's hooks, so a target cannot forget it. A target supplies only
// what differs:
//   - openTarget / closeTarget / isTargetOpen: acquiring and releasing its
//     resource (a file, a socket...); the base writes header and footer;
//   - write: putting one finished text on the target;
//   - appendLocked, when a record needs more than "format, then write" (a
//     date or size check before or after it): override it and call the base
//     version, all inside the same hold of the lock;
//   - className, setParam (offering each name to its base class first),
//     getParam and requiresLayout;
//   - flush, when the target holds texts back: it takes the lock itself.
// Every hook runs with the lock held. The lock is re-entrant, so a hook may
// call open- or close-like helpers of its own class.
#pragma once

#include "log/layout.h"
#include "log/logging_event.h"
#include "log/priority.h"
#include "log/reentrant_lock.h"

#include <atomic>
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
    // Why value cannot serve the parameter name as meant, as the end of a
    // sentence about it ("is not a whole number"); empty when it can, and for
    // names this class does not know. setParam's result stays as it is: a
    // value may be refused, or taken with a meaning nobody wants (a negative
    // size read as a huge one), and this says which values are of that kind,
    // so that configuration can warn instead of losing records in silence.
    // The base checks "Threshold".
    virtual std::string paramWarning(const std::string& name, const std::string& value) const;

    // True when records cannot be formatted without a layout; false here.
    virtual bool requiresLayout() const;

    // Acquires the target and writes the layout's header (unless the target
    // says it has none to write). False, with error set, when the target
    // could not be acquired.
    bool open(std::string& error);
    // Writes the layout's footer and releases the target. When there is no
    // target to release, no footer is written and the target decides the
    // result.
    bool close(std::string& error);
    // Delivers one record; true when it was written. False at once when the
    // appender is not opened; otherwise appendLocked under the lock.
    bool append(const LoggingEvent& event);
    // Writes out what the target holds back (a file target's buffer), from
    // any thread. Targets that hold nothing back do nothing, not even take
    // their lock, so that calling it at std::terminate cannot wait for them.
    virtual void flush();

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

    bool isOpened() const { return opened_.load(std::memory_order_acquire); }

    // The configuration's start step opens exactly the appenders with AutoStart.
    bool isAutoStart() const { return autoStart_; }
    void setAutoStart(bool autoStart) { autoStart_ = autoStart; }

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
    // How acquiring a target went: failed (error set), acquired with a header
    // to write, or acquired (or already held) with no header to write.
    enum class TargetOpening { Failed, WriteHeader, NoHeader };

    // Acquires the target. The base holds nothing and asks for the header.
    virtual TargetOpening openTarget(std::string& error);
    // True while the target is held; close and the standard append do
    // nothing without it. Always true in the base.
    virtual bool isTargetOpen() const;
    // Releases the target, after the footer was written. True in the base.
    virtual bool closeTarget(std::string& error);
    // The result of close when there is no target to release; true in the
    // base (a target that fails here sets error).
    virtual bool closeWithoutTarget(std::string& error);
    // Puts one finished text on the target. event is the record being
    // appended, or null for headers, footers and other texts of the
    // appender's own. The base writes nothing.
    virtual void write(std::string_view text, const LoggingEvent* event);
    // One record, with the lock held and the appender opened. The standard
    // shape: false without a target or when formatting fails; otherwise the
    // formatted text is written and the result is true.
    virtual bool appendLocked(const LoggingEvent& event);

    // The header or footer written through write, when the layout has one.
    void writeHeader();
    void writeFooter();

    // For targets whose work around a record spans more than appendLocked
    // (a deliberate delay held under the lock, say).
    ReentrantLock& lock() const { return lock_; }

    // For targets whose records are formatted the same wherever the lock
    // stands (no check under the lock decides what the text says or where
    // it goes): append then formats each record before it takes the lock,
    // into the calling thread's own text, and holds the lock only to put
    // the text on the target, so that threads sharing the target wait for
    // each other less. Records of one thread keep their order; the times
    // in the texts of different threads may then stand a little out of
    // order in the target. Set it in the constructor; off in the base.
    void setFormatsBeforeLocking(bool before) { formatsBeforeLocking_ = before; }

private:
    // What loggers read before they take the lock (the name, threshold,
    // active and opened states) comes first and changes only while
    // configuring; the lock and what is written under it start a cache line
    // of their own. Sharing one line, every record made the next logger's
    // read of the threshold wait for the line to move between processors
    // (4 threads on one buffered file: about 6% of their time).
    std::string name_ = "[NoAppenderName]";
    Priority threshold_ = LogPriority::kNotSet;
    Layout* layout_ = nullptr;
    bool active_ = true;
    // Read by append without the lock; written by start and stop.
    std::atomic<bool> opened_{false};
    bool autoStart_ = true;
    bool formatsBeforeLocking_ = false;
    alignas(64) mutable ReentrantLock lock_;
    // The standard append's text, kept between records (under the lock) so
    // that formatting reuses its capacity instead of allocating.
    std::string formatted_;
    // The text append formatted before it took the lock, for the standard
    // appendLocked; null when that is to format the record itself.
    const std::string* preformatted_ = nullptr;
};
