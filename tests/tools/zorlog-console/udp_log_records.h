// What udp_log_sender logs, shared with the test that checks what
// zorlog-console received: the same records, laid out by the same pattern.
#pragma once

#include "log/priority.h"

#include <string>
#include <vector>

struct SentRecord {
    Priority priority;
    std::string message;
};

inline constexpr char kSenderLogger[] = "setup.copy";
// A real LF at the end rather than "%n": the pattern's own line end is
// already CR LF, which the target's "\n" to "\r\n" rule would turn into
// CR CR LF.
inline constexpr char kSenderPattern[] = "%-5p %c - %m\n";

// A text of exactly size bytes whose every part is different, so that a
// piece out of order or twice shows.
inline std::string NumberedText(std::size_t size) {
    std::string text;
    for (int i = 0; text.size() < size; ++i) text += "<" + std::to_string(i) + ">";
    text.resize(size);
    return text;
}

inline std::vector<SentRecord> RecordsToSend() {
    return {
        {LogPriority::kTrace, "entering CopyFiles"},
        {LogPriority::kDebug, "buffer of 65536 bytes"},
        {LogPriority::kInfo, "copying 12 files to C:\\Program Files\\Demo"},
        {LogPriority::kNotice, "a notice has no colour of its own"},
        {LogPriority::kWarn, "first line\nsecond line\n\nfourth line after an empty one"},
        {LogPriority::kError, "caf\xC3\xA9.txt: access denied"},
        {LogPriority::kFatal, NumberedText(3000)},
        {LogPriority::kInfo, "done"},
    };
}
