#include "log/appender.h"

#include "common/text_utils.h"
#include "log/param_text.h"

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

bool Appender::open(std::string&) {
    std::string header;
    if (headerText(header)) write(header, nullptr);
    return true;
}

bool Appender::close(std::string&) {
    std::string footer;
    if (footerText(footer)) write(footer, nullptr);
    return true;
}

void Appender::write(const std::string&, const LoggingEvent*) {}

bool Appender::append(const LoggingEvent&) {
    if (!opened_) return false;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return true;
}

bool Appender::requiresLayout() const { return false; }

bool Appender::nameEquals(std::string_view text) const { return EqualsIgnoringCase(name_, text); }

bool Appender::start(std::string& error) {
    opened_ = open(error);
    return opened_;
}

bool Appender::stop(std::string& error) {
    const bool closed = close(error);
    opened_ = !closed;
    return closed;
}

bool Appender::closeFinally(std::string& error) {
    const bool closed = close(error);
    opened_ = false;
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

bool Appender::appendFormatted(const LoggingEvent& event) {
    if (!opened_) return false;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    std::string text;
    if (!formatEvent(event, text)) return false;
    write(text, nullptr);
    return true;
}
