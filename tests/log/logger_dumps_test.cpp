#include "log/logger.h"
#include "recording_appender.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Lines = std::vector<std::string>;

// The lines one dump logs; each must carry the dump's priority.
Lines DumpLines(const std::function<void(Logger&)>& dump) {
    RecordingAppender appender("rec", 1000);
    std::string error;
    appender.start(error);
    Logger logger("dump", 1000, true);
    logger.addAppender(&appender);
    dump(logger);
    Lines lines;
    for (const LoggingEvent& event : appender.events) {
        EXPECT_EQ(event.priority, LogPriority::kNotice);
        lines.push_back(event.message);
    }
    return lines;
}

std::string Spaces(std::size_t count) { return std::string(count, ' '); }

TEST(LoggerDumps, HexRowsWithOffsetsAndPrintableCharacters) {
    unsigned char bytes[20];
    for (int i = 0; i < 20; ++i) bytes[i] = static_cast<unsigned char>(0x1E + i);
    bytes[18] = 0x80;
    bytes[19] = 0x7E;
    EXPECT_EQ(DumpLines([&](Logger& logger) { logger.dumpHex(LogPriority::kNotice, "b", bytes, 20); }),
              (Lines{
                  "---------  b's dump (20/00000014h bytes) --------",
                  "0000 1E 1F 20 21 22 23 24 25  26 27 28 29 2A 2B 2C 2D  '.. !\"#$% &'()*+,-'",
                  "0010 2E 2F 80 7E " + Spaces(4 * 3 + 1 + 8 * 3) + " './.~" + Spaces(4 + 1 + 8) + "'",
              }));
    const unsigned char three[] = {0x41, 0x00, 0x7F};
    EXPECT_EQ(DumpLines([&](Logger& logger) { logger.dumpHex(LogPriority::kNotice, "blk", three, 3); })[1],
              "0000 41 00 7F " + Spaces(5 * 3 + 1 + 8 * 3) + " 'A.." + Spaces(5 + 1 + 8) + "'");
}

TEST(LoggerDumps, EmptyNullAndLargeBlocks) {
    EXPECT_EQ(DumpLines([](Logger& logger) { logger.dumpHex(LogPriority::kNotice, "none", "x", 0); }),
              (Lines{"---------  none's dump (0/00000000h bytes) --------"}));
    EXPECT_EQ(DumpLines([](Logger& logger) { logger.dumpCArray(LogPriority::kNotice, nullptr, nullptr, 7); }),
              (Lines{"---------  's dump (0/00000000h bytes) --------"}));

    const std::vector<unsigned char> big(0x10000 + 17, 'x');
    const Lines lines = DumpLines([&](Logger& logger) {
        logger.dumpHex(LogPriority::kNotice, "big", big.data(), static_cast<std::uint32_t>(big.size()));
    });
    ASSERT_EQ(lines.size(), 1u + 0x1000 + 2);
    EXPECT_EQ(lines[0], "---------  big's dump (65553/00010011h bytes) --------");
    EXPECT_EQ(lines[0x1000].substr(0, 5), "FFF0 ");
    EXPECT_EQ(lines[0x1001].substr(0, 5), "0000 "); // the offset's low 16 bits
}

TEST(LoggerDumps, CArrayRows) {
    unsigned char bytes[19];
    for (int i = 0; i < 19; ++i) bytes[i] = static_cast<unsigned char>(i * 15);
    EXPECT_EQ(DumpLines([&](Logger& logger) { logger.dumpCArray(LogPriority::kNotice, "arr", bytes, 19); }),
              (Lines{
                  "---------  arr's dump (19/00000013h bytes) --------",
                  "0x00, 0x0F, 0x1E, 0x2D, 0x3C, 0x4B, 0x5A, 0x69,  0x78, 0x87, 0x96, 0xA5, 0xB4, 0xC3, 0xD2, 0xE1, ",
                  "0xF0, 0xFF, 0x0E, " + Spaces(5 * 3 + 1 + 8 * 3),
              }));
}

} // namespace
