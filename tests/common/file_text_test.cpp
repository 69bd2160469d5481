#include "common/file_text.h"

#include "common/last_error.h"
#include "common/time_stamps.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class FileTextTest : public ::testing::Test {
protected:
    void TearDown() override { ClearFileFaults(); }

    // A CFileText opened for reading on a file holding content.
    CFileText OpenWith(const std::string& content, bool trace = false) {
        CFileText file(trace);
        EXPECT_TRUE(file.OpenForReading(dir.WriteFile("lines.txt", content)));
        return file;
    }

    // Every piece Gets returns, until it returns false.
    static std::vector<std::string> ReadAll(CFileText& file, std::size_t size) {
        std::vector<std::string> pieces;
        std::vector<char> buffer(size + 1, '#');
        std::size_t length = 12345;
        while (file.Gets(buffer.data(), size, &length)) {
            EXPECT_LT(length, size);
            EXPECT_EQ(buffer[length], '\0') << "text not terminated";
            EXPECT_EQ(buffer[size], '#') << "written past the buffer";
            pieces.emplace_back(buffer.data(), length);
            if (pieces.size() > 1000) break;
            length = 12345;
        }
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(buffer[size], '#') << "written past the buffer";
        return pieces;
    }

    TempDir dir;
};

using Lines = std::vector<std::string>;

// The lines of a written file, which must end with CR LF.
Lines CrLfLines(const std::string& content) {
    Lines lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "no CR LF after '" << content.substr(start) << "'";
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// True when text starts with a time stamp without milliseconds and one space.
bool HasTimeStampPrefix(const std::string& text) {
    if (text.size() < 24 || text[23] != ' ') return false;
    const std::string day = text.substr(0, 3);
    bool knownDay = false;
    for (unsigned i = 0; i < 7; ++i) knownDay = knownDay || day == DayNameText(i);
    static constexpr char kShape[] = "xxx 99/99/9999 99:99:99";
    for (std::size_t i = 3; i < 23; ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == '9' ? !digit : text[i] != kShape[i]) return false;
    }
    return knownDay;
}

TEST_F(FileTextTest, GetsSplitsLinesAtLineFeeds) {
    const struct {
        const char* name;
        std::string content;
        std::size_t size;
        Lines pieces;
    } cases[] = {
        {"CR LF lines", "ab\r\ncd", 100, {"ab", "cd"}},
        {"leading empty line", "\nx", 100, {"", "x"}},
        {"empty lines", "a\n\nb\r\n\r\n", 100, {"a", "", "b", ""}},
        {"empty file", "", 100, {}},
        {"only CR LF", "\r\n", 100, {""}},
        {"last line without line end", "one\ntwo\nthree", 100, {"one", "two", "three"}},
        {"CR not before the LF stays", "a\rb\n", 100, {"a\rb"}},
        {"two CRs, one removed", "a\r\r\n", 100, {"a\r"}},
        {"CR at the end of the file stays", "x\r", 100, {"x\r"}},
        {"NUL inside a line", std::string("a\0b\nc", 5), 100, {std::string("a\0b", 3), "c"}},
        {"line fills the buffer", "abc\nd", 5, {"abc", "d"}},
        {"line with LF one past the buffer", "abcd\ne", 5, {"abcd", "", "e"}},
        {"overlong line in pieces", "abcdefghij", 4, {"abc", "def", "ghi", "j"}},
        {"overlong line with LF", "abcdefghij\nk", 4, {"abc", "def", "ghi", "j", "k"}},
        // The CR of a CR LF split between two reads belongs to the first piece.
        {"CR LF split by the buffer", "ab\r\ncd", 4, {"ab\r", "", "cd"}},
        {"CR LF after a full buffer", "abc\r\nd", 4, {"abc", "", "d"}},
        {"one byte at a time", "ab\n", 2, {"a", "b", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CFileText file = OpenWith(c.content);
        EXPECT_EQ(ReadAll(file, c.size), c.pieces);
        EXPECT_EQ(file.GetPosition(), c.content.size());
    }
}

// With a buffer longer than any line, Gets gives the lines of the file however
// the reads fall, each read ending in the middle of a later line.
TEST_F(FileTextTest, GetsReadsEveryLineAcrossBufferBoundaries) {
    unsigned seed = 12345;
    const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    std::string content;
    Lines expected;
    for (int i = 0; i < 300; ++i) {
        std::string line;
        for (unsigned n = next() % 40; n > 0; --n) line += static_cast<char>('a' + next() % 26);
        expected.push_back(line);
        content += line + (next() % 2 ? "\r\n" : "\n");
    }
    for (std::size_t size : {43u, 64u, 100u, 4096u}) {
        SCOPED_TRACE(size);
        CFileText file = OpenWith(content);
        EXPECT_EQ(ReadAll(file, size), expected);
    }
}

TEST_F(FileTextTest, GetsWithoutRoomReadsNothing) {
    CFileText file = OpenWith("abc\n");
    char buffer[4] = {'#', '#', '#', '#'};
    std::size_t length = 99;
    EXPECT_FALSE(file.Gets(nullptr, 10, &length));
    EXPECT_EQ(length, 0u);
    length = 99;
    EXPECT_FALSE(file.Gets(buffer, 0, &length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(buffer[0], '#');
    length = 99;
    EXPECT_FALSE(file.Gets(buffer, 1, &length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '#');
    EXPECT_EQ(file.GetPosition(), 0u);

    // The length is optional.
    EXPECT_TRUE(file.Gets(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_TRUE(file.Gets(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(file.Gets(buffer, sizeof buffer));
}

TEST_F(FileTextTest, GetsTracesOnlyWhenAsked) {
    CFileText traced = OpenWith("ab\r\ncd", true);
    EXPECT_TRUE(traced.Trace());
    char buffer[100];
    std::size_t length = 0;

    testing::internal::CaptureStdout();
    ASSERT_TRUE(traced.Gets(buffer, sizeof buffer, &length));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "--------------------\n"
                                                      "CFileText::Gets: uRead = 6(100)\n"
                                                      "CFileText::Gets: lpBuf='ab\r\ncd'\n"
                                                      "uRead != 0\n"
                                                      "CFileText::Gets: uLenLine = 4\n"
                                                      "CFileText::Gets: Déplacement de 2\n"
                                                      "CFileText::Gets: Trouve 'ab'\n");

    testing::internal::CaptureStdout();
    ASSERT_TRUE(traced.Gets(buffer, sizeof buffer, &length));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "--------------------\n"
                                                      "CFileText::Gets: uRead = 2(100)\n"
                                                      "CFileText::Gets: lpBuf='cd'\n"
                                                      "uRead != 0\n");

    testing::internal::CaptureStdout();
    ASSERT_FALSE(traced.Gets(buffer, sizeof buffer, &length));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "--------------------\n"
                                                      "CFileText::Gets: uRead = 0(100)\n"
                                                      "CFileText::Gets: lpBuf=''\n");

    // A line that ends exactly at the end of the read moves nothing back.
    CFileText exact = OpenWith("x\n", true);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(exact.Gets(buffer, sizeof buffer, &length));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "--------------------\n"
                                                      "CFileText::Gets: uRead = 2(100)\n"
                                                      "CFileText::Gets: lpBuf='x\n'\n"
                                                      "uRead != 0\n"
                                                      "CFileText::Gets: uLenLine = 2\n"
                                                      "CFileText::Gets: Trouve 'x'\n");

    CFileText quiet = OpenWith("ab\r\ncd");
    EXPECT_FALSE(quiet.Trace());
    testing::internal::CaptureStdout();
    ReadAll(quiet, 100);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(FileTextTest, LineWritesEndWithCrLf) {
    const std::string path = dir / "written.txt";
    {
        CFileText file;
        ASSERT_TRUE(file.Create(path));
        file.WriteLine("plain");
        file.WriteLine("");
        file.WriteLine(static_cast<const char*>(nullptr));
        file.WriteLine(std::string("owned"));
        file.WriteFormat("%d-%s", 5, "x");
        file.WriteFormat("%s", "");
        file.WriteFormat("|%03u", 7u);
        file.WriteLineFormat(" %s=%d", "n", -3);
        file.WriteLineFormat("%s", "");
    }
    EXPECT_EQ(ReadWholeFile(path), "plain\r\n\r\n\r\nowned\r\n5-x|007 n=-3\r\n\r\n");
}

TEST_F(FileTextTest, TimestampedLinesStartWithTheCurrentTime) {
    const std::string path = dir / "stamped.txt";
    std::string before, after;
    {
        CFileText file;
        ASSERT_TRUE(file.Create(path));
        before = GetTimeStampText();
        file.WriteTimestampedLine("step %d of %s", 2, "three");
        after = GetTimeStampText();
    }
    const Lines lines = CrLfLines(ReadWholeFile(path));
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_TRUE(HasTimeStampPrefix(lines[0])) << lines[0];
    const std::string stamp = lines[0].substr(0, 23);
    EXPECT_TRUE(stamp == before || stamp == after) << stamp;
    EXPECT_EQ(lines[0].substr(24), "step 2 of three");
}

// A formatted text longer than its buffer is cut to the buffer, never written
// past it.
TEST_F(FileTextTest, OverlongFormattedTextsAreCut) {
    enum class Write { Format, LineFormat, Timestamped };
    const struct {
        Write write;
        std::size_t textLength;
        std::size_t kept;
    } cases[] = {
        {Write::Format, 1999, 1999},      {Write::Format, 2000, 1999},      {Write::Format, 3000, 1999},
        {Write::LineFormat, 4999, 4999},  {Write::LineFormat, 5000, 4999},  {Write::LineFormat, 9000, 4999},
        {Write::Timestamped, 4999, 4999}, {Write::Timestamped, 6000, 4999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.textLength);
        const std::string text(c.textLength, 'q');
        const std::string path = dir / "long.txt";
        {
            CFileText file;
            ASSERT_TRUE(file.Create(path));
            switch (c.write) {
            case Write::Format:
                file.WriteFormat("%s", text.c_str());
                break;
            case Write::LineFormat:
                file.WriteLineFormat("%s", text.c_str());
                break;
            case Write::Timestamped:
                file.WriteTimestampedLine("%s", text.c_str());
                break;
            }
        }
        const std::string content = ReadWholeFile(path);
        switch (c.write) {
        case Write::Format:
            EXPECT_EQ(content, std::string(c.kept, 'q'));
            break;
        case Write::LineFormat:
            EXPECT_EQ(content, std::string(c.kept, 'q') + "\r\n");
            break;
        case Write::Timestamped:
            ASSERT_TRUE(HasTimeStampPrefix(content));
            EXPECT_EQ(content.substr(24), std::string(c.kept, 'q') + "\r\n");
            break;
        }
    }
}

TEST_F(FileTextTest, AppendLineWritesAtTheEnd) {
    const std::string path = dir.WriteFile("log.txt", "first\r\n");
    {
        CFileText file;
        ASSERT_TRUE(file.Open(path, FileAccess::ReadWrite, FileCreation::OpenExisting, FileShare::Exclusive));
        EXPECT_EQ(file.GetPosition(), 0u);
        file.AppendLine("second");
        file.Seek(0, SeekOrigin::Begin);
        file.AppendLine(std::string("third"));
    }
    EXPECT_EQ(ReadWholeFile(path), "first\r\nsecond\r\nthird\r\n");
}

TEST_F(FileTextTest, OpenForAppendCreatesOrKeepsTheFile) {
    const std::string fresh = dir / "fresh.log";
    {
        CFileText file;
        ASSERT_TRUE(file.OpenForAppend(fresh));
        EXPECT_EQ(file.GetPosition(), 0u);
        file.WriteLine("one");
    }
    {
        CFileText file;
        ASSERT_TRUE(file.OpenForAppend(fresh, FileAccess::Write, FileShare::Exclusive));
        EXPECT_EQ(file.GetPosition(), 5u);
        file.WriteLine("two");
    }
    EXPECT_EQ(ReadWholeFile(fresh), "one\r\ntwo\r\n");

    CFileText file;
    EXPECT_FALSE(file.OpenForAppend(BuildPath(dir / "no-such-dir", "x.log", nullptr)));
    EXPECT_EQ(GetLastErrorCode(), kErrorPathNotFound);
    EXPECT_FALSE(file.IsOpen());
}

// The retry after a failed open must not truncate a file that exists but
// could not be opened.
TEST_F(FileTextTest, OpenForAppendNeverTruncatesABusyFile) {
    const std::string path = dir.WriteFile("busy.log", "kept\r\n");
    CFile holder;
    ASSERT_TRUE(holder.Open(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::Exclusive));
    CFileText file;
    EXPECT_FALSE(file.OpenForAppend(path));
    EXPECT_FALSE(file.IsOpen());
    holder.Close();
    EXPECT_EQ(ReadWholeFile(path), "kept\r\n");
}

TEST_F(FileTextTest, WrittenLinesReadBackWithGets) {
    const std::string path = dir / "round.txt";
    CFileText file;
    ASSERT_TRUE(file.OpenForAppend(path, FileAccess::ReadWrite, FileShare::Exclusive));
    file.WriteLine("alpha");
    file.WriteLineFormat("%s %d", "beta", 2);
    file.WriteLine("");
    file.WriteFormat("gam");
    file.WriteFormat("ma");
    file.AppendLine("!");
    file.Seek(0, SeekOrigin::Begin);
    EXPECT_EQ(ReadAll(file, 64), (Lines{"alpha", "beta 2", "", "gamma!"}));
}

TEST_F(FileTextTest, HexDumpLayout) {
    const unsigned char ascending[] = {0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26,
                                       0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E};
    const std::string equals(75, '='), dashes(75, '-');
    const struct {
        int length;
        const char* header;
        Lines rows;
    } cases[] = {
        {0, "blk - dumping 0 (0000h) bytes", {}},
        {1,
         "blk - dumping 1 (0001h) bytes",
         {"0000  1E                                                '.                '"}},
        {15,
         "blk - dumping 15 (000Fh) bytes",
         {"0000  1E 1F 20 21 22 23 24 25  26 27 28 29 2A 2B 2C     '.. !\"#$% &'()*+, '"}},
        {16,
         "blk - dumping 16 (0010h) bytes",
         {"0000  1E 1F 20 21 22 23 24 25  26 27 28 29 2A 2B 2C 2D  '.. !\"#$% &'()*+,-'"}},
        {17,
         "blk - dumping 17 (0011h) bytes",
         {"0000  1E 1F 20 21 22 23 24 25  26 27 28 29 2A 2B 2C 2D  '.. !\"#$% &'()*+,-'",
          "0010  2E                                                '.                '"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        const std::string path = dir / "dump.txt";
        {
            CFileText file;
            ASSERT_TRUE(file.Create(path));
            file.DumpHex("blk", ascending, c.length);
        }
        Lines expected{equals, c.header, dashes};
        expected.insert(expected.end(), c.rows.begin(), c.rows.end());
        expected.push_back(equals);
        const Lines lines = CrLfLines(ReadWholeFile(path));
        EXPECT_EQ(lines, expected);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (i != 1) {
                EXPECT_EQ(lines[i].size(), 75u) << lines[i];
            }
    }
}

TEST_F(FileTextTest, HexDumpRows) {
    const unsigned char mixed[] = {0x7D, 0x7E, 0x7F, 0x80, 0xFF, 0x00, 0x09, 0x0A,
                                   0x0D, 0x41, 0x61, 0x30, 0x20, 0x5C, 0x27, 0x22};
    const unsigned char three[] = {0x41, 0x00, 0x7F};
    const struct {
        std::size_t offset;
        const unsigned char* row;
        std::size_t count;
        const char* text;
    } cases[] = {
        {0, three, 3, "0000  41 00 7F                                          'A..              '"},
        {0xFFF0, mixed, 16, "FFF0  7D 7E 7F 80 FF 00 09 0A  0D 41 61 30 20 5C 27 22  '}~...... .Aa0 \\'\"'"},
        {0x10000, three, 1, "10000  41                                                'A                '"},
        {0x20, nullptr, 5, "0020                                                    '                 '"},
        {0, three, 0, "0000                                                    '                 '"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatHexDumpRow(c.offset, c.row, c.count), c.text);
}

TEST_F(FileTextTest, HexDumpOfNothing) {
    const std::string path = dir / "empty.txt";
    {
        CFileText file;
        ASSERT_TRUE(file.Create(path));
        file.DumpHex(nullptr, nullptr, 5);
        file.DumpHex("neg", "abc", -1);
    }
    const std::string equals(75, '='), dashes(75, '-');
    EXPECT_EQ(CrLfLines(ReadWholeFile(path)), (Lines{equals, " - dumping 0 (0000h) bytes", dashes, equals, equals,
                                                     "neg - dumping 0 (0000h) bytes", dashes, equals}));
}

TEST_F(FileTextTest, TimestampedHexDumpPrefixesEveryLine) {
    const std::string plainPath = dir / "plain.txt", stampedPath = dir / "stamped.txt";
    std::string block(40, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7);
    {
        CFileText plain, stamped;
        ASSERT_TRUE(plain.Create(plainPath));
        ASSERT_TRUE(stamped.Create(stampedPath));
        plain.DumpHex("block", block.data(), static_cast<int>(block.size()));
        stamped.DumpHexTimestamped("block", block.data(), static_cast<int>(block.size()));
    }
    const Lines plainLines = CrLfLines(ReadWholeFile(plainPath));
    const Lines stampedLines = CrLfLines(ReadWholeFile(stampedPath));
    ASSERT_EQ(plainLines.size(), 7u);
    ASSERT_EQ(stampedLines.size(), plainLines.size());
    for (std::size_t i = 0; i < plainLines.size(); ++i) {
        ASSERT_TRUE(HasTimeStampPrefix(stampedLines[i])) << stampedLines[i];
        EXPECT_EQ(stampedLines[i].substr(24), plainLines[i]);
    }
}

// A full disk in the middle of any write raises FileException with its code,
// leaving what was written before.
TEST_F(FileTextTest, DiskFullRaisesFileException) {
    const struct {
        const char* name;
        unsigned failingWrite;
        void (*write)(CFileText&);
        const char* before;
    } cases[] = {
        {"WriteLine", 1, [](CFileText& f) { f.WriteLine("x"); }, ""},
        {"AppendLine", 1, [](CFileText& f) { f.AppendLine("x"); }, ""},
        {"WriteFormat", 1, [](CFileText& f) { f.WriteFormat("%d", 1); }, ""},
        {"WriteLineFormat", 1, [](CFileText& f) { f.WriteLineFormat("%d", 1); }, ""},
        {"WriteTimestampedLine", 1, [](CFileText& f) { f.WriteTimestampedLine("%d", 1); }, ""},
        {"DumpHex third line", 3, [](CFileText& f) { f.DumpHex("n", "ab", 2); }, nullptr},
        {"DumpHexTimestamped", 1, [](CFileText& f) { f.DumpHexTimestamped("n", "ab", 2); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / "full.txt";
        {
            CFileText file;
            ASSERT_TRUE(file.Create(path));
            InjectFileFault(FileOperation::Write, c.failingWrite, kErrorDiskFull);
            try {
                c.write(file);
                ADD_FAILURE() << "no exception";
            } catch (const FileException& e) {
                EXPECT_EQ(e.operation(), FileOperation::Write);
                EXPECT_EQ(e.errorCode(), kErrorDiskFull);
                EXPECT_EQ(e.path(), path);
            }
            ClearFileFaults();
        }
        if (c.before) {
            EXPECT_EQ(ReadWholeFile(path), c.before);
        } else {
            const Lines lines = CrLfLines(ReadWholeFile(path));
            EXPECT_EQ(lines, (Lines{std::string(75, '='), "n - dumping 2 (0002h) bytes"}));
        }
    }
}

TEST_F(FileTextTest, ReadFailureRaisesFileException) {
    CFileText file = OpenWith("abc\n");
    char buffer[16];
    InjectFileFault(FileOperation::Read, 1, 23);
    EXPECT_THROW(file.Gets(buffer, sizeof buffer), FileException);
}

} // namespace
