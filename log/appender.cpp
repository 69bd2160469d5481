#include "log/appender.h"

#include "common/text_utils.h"
#include "log/log_platform.h"
#include "log/param_text.h"

#include <utility>

Appender::Appender() = default;

Appender::Appender(std::string name, Priority threshold) : name_(std::move(name)), threshold_(threshold) {}

Appender::~Appender() = default;

const char* Appender::className() const { return "SkeletonAppender"; }

bool Appender::setParam(const std::string& name, const std::string& value) {
    if (EqualsIgnoringCase(name, "Threshold")) {
        const Priority priority = parsePriority(value);
        if (priority == LogPriority::kUndefined) return false;
        threshold_ = priority;
        return true;
    }
    if (EqualsIgnoringCase(name, "Active")) {
        active_ = ParamIsTrue(value);
        return true;
    }
    if (EqualsIgnoringCase(name, "AutoStart")) {
        autoStart_ = ParamIsTrue(value);
        return true;
    }
    return false;
}

std::string Appender::getParam(const std::string&) const { return {}; }

std::string Appender::paramWarning(const std::string& name, const std::string& value) const {
    return EqualsIgnoringCase(name, "Threshold") ? PriorityNameProblem(value) : std::string();
}

bool Appender::requiresLayout() const { return false; }

bool Appender::open(std::string& error) {
    std::lock_guard<ReentrantLock> guard(lock_);
    switch (openTarget(error)) {
    case TargetOpening::Failed:
        return false;
    case TargetOpening::WriteHeader:
        writeHeader();
        return true;
    case TargetOpening::NoHeader:
        return true;
    }
    return false;
}

bool Appender::close(std::string& error) {
    std::lock_guard<ReentrantLock> guard(lock_);
    if (!isTargetOpen()) return closeWithoutTarget(error);
    writeFooter();
    return closeTarget(error);
}

namespace {

// Each thread's text for the records formatted before the lock is taken. A
// record appended while the thread's text is in use (by a target that logs
// while writing) is formatted under the lock instead.
struct ThreadText {
    std::string text;
    bool inUse = false;
};

// A text longer than this gives its memory back after the record: a thread
// that logged one long dump does not keep the memory for good.
constexpr std::size_t kKeptTextCapacity = 4096;

} // namespace

bool Appender::append(const LoggingEvent& event) {
    if (!isOpened()) return false;
    ThreadText* own = formatsBeforeLocking_ ? &CallingThreadOwn<ThreadText>() : nullptr;
    if (own != nullptr && own->inUse) own = nullptr;
    if (own != nullptr) {
        if (!formatEvent(event, own->text)) return false;
        own->inUse = true;
    }
    bool appended = false;
    {
        std::lock_guard<ReentrantLock> guard(lock_);
        // A record appended from inside this one's write must not find this
        // one's text.
        const std::string* outer = std::exchange(preformatted_, own != nullptr ? &own->text : nullptr);
        appended = appendLocked(event);
        preformatted_ = outer;
    }
    if (own != nullptr) {
        own->inUse = false;
        if (own->text.capacity() > kKeptTextCapacity) std::string().swap(own->text);
    }
    return appended;
}

void Appender::flush() {}

Appender::TargetOpening Appender::openTarget(std::string&) { return TargetOpening::WriteHeader; }

bool Appender::isTargetOpen() const { return true; }

bool Appender::closeTarget(std::string&) { return true; }

bool Appender::closeWithoutTarget(std::string&) { return true; }

void Appender::write(std::string_view, const LoggingEvent*) {}

bool Appender::appendLocked(const LoggingEvent& event) {
    if (!isTargetOpen()) return false;
    if (preformatted_ != nullptr) {
        write(*preformatted_, &event);
        return true;
    }
    if (!formatEvent(event, formatted_)) return false;
    write(formatted_, &event);
    return true;
}

void Appender::writeHeader() {
    std::string header;
    if (headerText(header)) write(header, nullptr);
}

void Appender::writeFooter() {
    std::string footer;
    if (footerText(footer)) write(footer, nullptr);
}

bool Appender::nameEquals(std::string_view text) const { return EqualsIgnoringCase(name_, text); }

bool Appender::start(std::string& error) {
    const bool opened = open(error);
    opened_.store(opened, std::memory_order_release);
    return opened;
}

bool Appender::stop(std::string& error) {
    const bool closed = close(error);
    opened_.store(!closed, std::memory_order_release);
    return closed;
}

bool Appender::closeFinally(std::string& error) {
    const bool closed = close(error);
    opened_.store(false, std::memory_order_release);
    return closed;
}

bool Appender::formatEvent(const LoggingEvent& event, std::string& text) const {
    if (event.priority == LogPriority::kUnconditional) {
        text = event.message;
        return true;
    }
    if (layout_ != nullptr) return layout_->format(event, text);
    if (requiresLayout()) {
        text.clear();
        return false;
    }
    text = event.message;
    text += '\n';
    return true;
}

bool Appender::headerText(std::string& text) const {
    text.clear();
    return layout_ != nullptr && layout_->header(text, className(), name_);
}

bool Appender::footerText(std::string& text) const {
    text.clear();
    return layout_ != nullptr && layout_->footer(text, className(), name_);
}
