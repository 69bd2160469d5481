// The uninstall record: what the installer writes reads back the same, and
// every damaged, foreign or hostile record is refused whole, so that an
// uninstaller never removes anything outside what its installation made.
#include "uninstall/uninstall_record.h"

#include "common/special_folders.h"
#include "compress/md5_digest.h"
#include "tests/support/bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::string kStub = std::string("MZ") + std::string(998, 's');

UninstallRecord SampleRecord() {
    UninstallRecord record;
    record.appName = "Hello \xC3\xA9t\xC3\xA9";
    record.version = "1.2";
    record.publisher = "Acme Tools";
    record.perUser = true;
    record.uninstallKey = "Acme Tools Hello";
    record.appPathsName = "hello.exe";
    record.files = {"bin\\hello.exe", "readme.txt", "data\\fr\\texts.txt"};
    record.shortcuts = {{kFolderPrograms, "Acme Tools\\Hello.lnk"},
                        {kFolderDesktop, "Hello.lnk"},
                        {kFolderApplicationData, "Microsoft\\Internet Explorer\\Quick Launch\\Hello.lnk"}};
    record.windowList = "Hello;Hello - ";
    return record;
}

std::string Parse(const std::string& bytes, UninstallRecord& record) {
    return ParseUninstallRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record);
}

std::string Item(std::uint32_t kind, std::uint32_t number, const std::string& text) {
    return Le32(kind) + Le32(number) + Le32(static_cast<std::uint32_t>(text.size())) + text;
}

// A record written by hand around body, with a digest that matches it.
std::string WithTrailer(const std::string& body, std::uint32_t version = 1) {
    std::uint8_t digest[kMd5DigestSize];
    Md5Digest md5;
    md5.Update(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
    md5.Final(digest);
    return kStub + body + std::string("!ZorUninstall!\0\0", 16) + Le32(version) +
           Le32(static_cast<std::uint32_t>(body.size())) + std::string(reinterpret_cast<const char*>(digest), 16);
}

// The minimal sound body followed by extra items.
std::string Body(const std::vector<std::string>& extra, std::uint32_t countDelta = 0) {
    std::string items = Item(1, 0, "App") + Item(4, 0, "") + Item(5, 0, "App");
    for (const std::string& item : extra) items += item;
    return Le32(static_cast<std::uint32_t>(3 + extra.size() + countDelta)) + items;
}

TEST(UninstallRecord, RoundTripsAfterTheStub) {
    const UninstallRecord record = SampleRecord();
    ASSERT_EQ(UninstallRecordProblem(record), "");
    const std::string bytes = kStub + EncodeUninstallRecord(record);
    EXPECT_TRUE(EndsWithUninstallRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    UninstallRecord read;
    ASSERT_EQ(Parse(bytes, read), "");
    EXPECT_EQ(read, record);

    // The smallest record: a name, a scope and a key.
    UninstallRecord minimal;
    minimal.appName = "App";
    minimal.uninstallKey = "App";
    ASSERT_EQ(Parse(kStub + EncodeUninstallRecord(minimal), read), "");
    EXPECT_EQ(read, minimal);
    EXPECT_EQ(Parse(WithTrailer(Body({})), read), "");
}

TEST(UninstallRecord, DamagedAndForeignFilesAreRefused) {
    const std::string good = kStub + EncodeUninstallRecord(SampleRecord());
    UninstallRecord read;
    EXPECT_EQ(Parse(kStub, read), "is not an uninstaller (no uninstall record at its end)");
    EXPECT_EQ(Parse("", read), "is not an uninstaller (no uninstall record at its end)");
    // Every single changed byte of the body or trailer is noticed.
    for (std::size_t at = kStub.size(); at < good.size(); ++at) {
        std::string bytes = good;
        bytes[at] ^= 0x20;
        EXPECT_NE(Parse(bytes, read), "") << "byte " << at;
        EXPECT_EQ(read, UninstallRecord()) << "nothing is kept from a refused record";
    }
    // Every truncation too, the stub's bytes standing in for the record's.
    for (std::size_t cut = 1; cut < good.size() - kStub.size(); ++cut)
        EXPECT_NE(Parse(good.substr(0, good.size() - cut), read), "") << cut;
    EXPECT_EQ(Parse(WithTrailer(Body({}), 2), read), "has an uninstall record of version 2 (this uninstaller knows 1)");
    // A body length beyond the file, or absurd.
    std::string bytes = good;
    bytes.replace(bytes.size() - 20, 4, Le32(0xFFFFFFF0u));
    EXPECT_EQ(Parse(bytes, read), "is damaged: its record claims 4294967280 bytes");
}

TEST(UninstallRecord, MalformedItemsAreRefused) {
    const struct {
        const char* name;
        std::string body;
        const char* problem;
    } cases[] = {
        {"more items than bytes", Body({}, 1000), "has a record of 1003 items, more than its 46 bytes can hold"},
        {"an item cut short", Body({Item(7, 0, "a.txt").substr(0, 14)}), "has item 4 cut short"},
        {"bytes after the items", Body({}) + "x", "has 1 bytes after its last item"},
        {"an unknown kind", Body({Item(11, 0, "")}), "has item 4 of the unknown kind 11"},
        {"a second window list", Body({Item(9, 0, "a"), Item(9, 0, "b")}), "has item kind 9 twice"},
        {"a second name", Body({Item(1, 0, "Other")}), "has item kind 1 twice"},
        {"a second key", Body({Item(5, 0, "Other")}), "has item kind 5 twice"},
        {"an unknown scope", Le32(3) + Item(1, 0, "App") + Item(4, 2, "") + Item(5, 0, "App"),
         "has the unknown scope 2"},
        {"no scope", Le32(2) + Item(1, 0, "App") + Item(5, 0, "App"), "has a record without its scope"},
        {"no name", Le32(2) + Item(4, 0, "") + Item(5, 0, "App"), "has no application name"},
    };
    for (const auto& c : cases) {
        UninstallRecord read;
        EXPECT_EQ(Parse(WithTrailer(c.body), read), c.problem) << c.name;
    }
}

// What a hostile record might name to make the uninstaller remove something
// else: each is refused before anything is removed.
TEST(UninstallRecord, NamesOutsideWhatTheInstallationMadeAreRefused) {
    const char* const files[] = {
        "..\\x.txt",
        "a\\..\\..\\x",
        "\\Windows\\x.dll",
        "C:\\Windows\\x.dll",
        "C:x",
        "\\\\server\\share\\x",
        "a\\\\b",
        "a/b",
        "a\\",
        ".",
        "con",
        "a\\nul.txt",
        "x\x01y.txt",
        "",
    };
    for (const char* file : files) {
        UninstallRecord read;
        EXPECT_NE(Parse(WithTrailer(Body({Item(7, 0, file)})), read), "") << "file [" << file << "]";
    }
    const struct {
        int folder;
        const char* path;
    } links[] = {
        {kFolderPrograms, "..\\..\\x.lnk"},           {kFolderPrograms, "Acme\\x.exe"}, // not a link
        {kFolderProgramFiles, "Acme\\x.lnk"},                                           // not a folder of links
        {kFolderApplicationData, "Acme\\x.lnk"}, // application data outside quick launch
        {kFolderApplicationData, "Microsoft\\x.lnk"}, {kFolderDesktop, "C:\\x.lnk"},    {kFolderDesktop, ".lnk"},
    };
    for (const auto& link : links) {
        UninstallRecord read;
        EXPECT_NE(Parse(WithTrailer(Body({Item(8, static_cast<std::uint32_t>(link.folder), link.path)})), read), "")
            << link.folder << " " << link.path;
    }
    // Keys and App Paths names are single names: no way up the registry tree.
    for (const char* key : {"..\\Run", "a\\b", "", "x\ty"}) {
        UninstallRecord read;
        EXPECT_NE(Parse(WithTrailer(Le32(3) + Item(1, 0, "App") + Item(4, 0, "") + Item(5, 0, key)), read), "")
            << "key [" << key << "]";
        EXPECT_NE(Parse(WithTrailer(Body({Item(6, 0, key)})), read), "") << "App Paths [" << key << "]";
    }
    // The builder side refuses the same records before writing them.
    UninstallRecord record = SampleRecord();
    record.files.push_back("..\\evil.dll");
    EXPECT_NE(UninstallRecordProblem(record), "");
}

} // namespace
