// CRegistry against the real registry of the Wine prefix. Every test works
// below its own key under HKEY_CURRENT_USER, made and removed by the fixture
// with the plain registry API, and checks the lines the registry logger gets.
#include "win32/registry.h"

#include "common/environment.h"
#include "common/error_texts.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "common/windows_api.h"
#include "log/log_factory.h"
#include "log/logger.h"
#include "tests/log/recording_appender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

RecordingAppender& Recorder() {
    static RecordingAppender* recorder = [] {
        auto* appender = new RecordingAppender("RegistryTestRecorder", LogPriority::kAll);
        std::string error;
        appender->start(error);
        Logger* logger = LogFactory::instance().getLogger("com.zor.common.registry");
        logger->setThreshold(LogPriority::kAll);
        logger->addAppender(appender);
        return appender;
    }();
    return *recorder;
}

std::string ErrorLine(const char* prefix, LONG code) {
    return StringFormat("%s(%s)", prefix, SystemErrorText(static_cast<std::uint32_t>(code)));
}

// A snapshot of a key tree: relative key path -> value name -> (type, bytes).
using Values = std::map<std::string, std::pair<DWORD, std::vector<BYTE>>>;
using Tree = std::map<std::string, Values>;

void DumpTree(HKEY key, const std::string& path, Tree& tree) {
    Values& values = tree[path];
    std::vector<char> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = 0;
        if (::RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(size);
        ::RegQueryValueExA(key, name.data(), nullptr, &type, data.data(), &size);
        data.resize(size);
        values[std::string(name.data(), nameLength)] = {type, data};
    }
    char keyName[256];
    for (DWORD index = 0; ::RegEnumKeyA(key, index, keyName, sizeof keyName) == ERROR_SUCCESS; ++index) {
        HKEY child = nullptr;
        if (::RegOpenKeyExA(key, keyName, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
        DumpTree(child, path + "\\" + keyName, tree);
        ::RegCloseKey(child);
    }
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder().events.clear();
        base_ = StringFormat("Software\\ZorInstallerTests\\%u", CurrentProcessId());
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, base_.c_str(), &key), ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZorInstallerTests");
    }

    std::string Path(const std::string& relative) const { return relative.empty() ? base_ : base_ + "\\" + relative; }

    bool KeyExists(const std::string& relative) const {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, Path(relative).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }

    // The stored type and bytes of a value, read with the plain API.
    bool RawValue(const std::string& relative, const char* name, DWORD& type, std::vector<BYTE>& data) const {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, Path(relative).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        LONG result = ::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
        data.resize(size);
        if (result == ERROR_SUCCESS) result = ::RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
        data.resize(size);
        ::RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

    Tree Snapshot(const std::string& relative) const {
        Tree tree;
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, Path(relative).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            DumpTree(key, "", tree);
            ::RegCloseKey(key);
        }
        return tree;
    }

    static bool Logged(Priority priority, const std::string& line) {
        for (const LoggingEvent& event : Recorder().events)
            if (event.priority == priority && event.message == line) return true;
        return false;
    }
    static bool LoggedAnything(const std::string& start) {
        for (const LoggingEvent& event : Recorder().events)
            if (event.message.rfind(start, 0) == 0) return true;
        return false;
    }

    std::string base_;
};

#define EXPECT_LOGGED(priority, line) EXPECT_TRUE(Logged(priority, line)) << "missing line: " << (line)

TEST(RegistryRootKeys, NamesAndHandles) {
    EXPECT_STREQ(CRegistry::GetRootKeyName(HKEY_CLASSES_ROOT), "HKEY_CLASSES_ROOT");
    EXPECT_STREQ(CRegistry::GetRootKeyName(HKEY_CURRENT_USER), "HKEY_CURRENT_USER");
    EXPECT_STREQ(CRegistry::GetRootKeyName(HKEY_LOCAL_MACHINE), "HKEY_LOCAL_MACHINE");
    EXPECT_STREQ(CRegistry::GetRootKeyName(HKEY_USERS), "HKEY_USERS");
    EXPECT_STREQ(CRegistry::GetRootKeyName(HKEY_CURRENT_CONFIG), "Unknown HKEYRoot");
    EXPECT_STREQ(CRegistry::GetRootKeyName(nullptr), "Unknown HKEYRoot");

    // The predefined handles are the 32-bit codes 0x80000000 to 0x80000003, sign-extended.
    EXPECT_EQ(static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_CONFIG)), 0x80000005u);
    EXPECT_EQ(static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(CRegistry::GetRootKey("hkey_local_machine"))),
              0x80000002u);
    EXPECT_EQ(CRegistry::GetRootKey("hkey_local_machine"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(CRegistry::GetRootKey("HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(CRegistry::GetRootKey("Hkey_Current_User"), HKEY_CURRENT_USER);
    EXPECT_EQ(CRegistry::GetRootKey("HKEY_USERS"), HKEY_USERS);
    EXPECT_EQ(CRegistry::GetRootKey("HKEY_CURRENT_CONFIG"), nullptr);
    EXPECT_EQ(CRegistry::GetRootKey("HKEY_USERS "), nullptr);
    EXPECT_EQ(CRegistry::GetRootKey(""), nullptr);
    EXPECT_EQ(CRegistry::GetRootKey(nullptr), nullptr);
}

TEST_F(RegistryTest, OpenCreateAndClose) {
    const std::string sub = Path("Fresh");
    {
        CRegistry reg(HKEY_CURRENT_USER, sub.c_str());
        EXPECT_LOGGED(700, "CRegistry::CRegistry (HKEY, char * " + sub + ")");
        EXPECT_FALSE(reg.IsOpen());

        EXPECT_TRUE(reg.Close());
        EXPECT_LOGGED(700, "CRegistry::Close " + sub + " (not opened)");

        EXPECT_FALSE(reg.Open(false));
        EXPECT_EQ(reg.LastError(), ERROR_FILE_NOT_FOUND);
        EXPECT_LOGGED(700, "CRegistry::Open (subkey=" + sub + ")");
        EXPECT_LOGGED(300, StringFormat("CRegistry::Open RegOpenKeyEx (%s)(%s)", SystemErrorText(2), sub.c_str()));
        EXPECT_FALSE(KeyExists("Fresh"));

        EXPECT_TRUE(reg.Open(true));
        EXPECT_EQ(reg.LastError(), 0);
        EXPECT_TRUE(reg.IsOpen());
        EXPECT_LOGGED(700, "CRegistry::Open Ok (Key created)!!!");
        EXPECT_TRUE(KeyExists("Fresh"));

        // Opening again replaces the key handle.
        EXPECT_TRUE(reg.Open(false));
        EXPECT_LOGGED(700, "CRegistry::Open Ok!!!");

        EXPECT_TRUE(reg.Close());
        EXPECT_FALSE(reg.IsOpen());
        EXPECT_LOGGED(700, "CRegistry::Close " + sub + " Ok !!!");
        EXPECT_TRUE(reg.Open());
        Recorder().events.clear();
    }
    // The destructor traces itself, then closes the open key.
    const auto& events = Recorder().events;
    ASSERT_EQ(events.size(), 3u);
    for (const LoggingEvent& event : events) EXPECT_EQ(event.priority, Priority{700});
    EXPECT_EQ(events[0].message, "CRegistry::~CRegistry");
    EXPECT_EQ(events[1].message, "CRegistry::Close " + sub);
    EXPECT_EQ(events[2].message, "CRegistry::Close " + sub + " Ok !!!");
}

TEST_F(RegistryTest, CreateFailureIsReported) {
    // Below a key that is not open nothing can be opened or created.
    CRegistry parent(HKEY_CURRENT_USER, base_.c_str());
    CRegistry child(parent.Key(), "Child", "", KEY_ALL_ACCESS);
    EXPECT_FALSE(child.Open(true));
    EXPECT_EQ(child.LastError(), ERROR_INVALID_HANDLE);
    // With create, only the creation's failure is reported.
    EXPECT_FALSE(LoggedAnything("CRegistry::Open RegOpenKeyEx"));
    EXPECT_LOGGED(300, ErrorLine("CRegistry::Open RegCreateKey ", ERROR_INVALID_HANDLE));
    EXPECT_FALSE(child.IsOpen());
    EXPECT_FALSE(KeyExists("Child"));
    // A failed OpenSubKey still gives a closed object, and its error.
    CRegistry sub = parent.OpenSubKey("Child");
    EXPECT_FALSE(sub.IsOpen());
    EXPECT_EQ(parent.LastError(), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, CopyIsClosedAndKeepsTheNaming) {
    CRegistry reg(HKEY_CURRENT_USER, Path("Copied").c_str(), "", KEY_READ);
    EXPECT_FALSE(reg.Open(false));
    ASSERT_NE(reg.LastError(), 0);
    CRegistry copy(reg);
    EXPECT_LOGGED(700, "CRegistry::CRegistry (CRegistry&)");
    EXPECT_FALSE(copy.IsOpen());
    EXPECT_EQ(copy.LastError(), 0);
    EXPECT_EQ(copy.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(copy.SubKey(), Path("Copied"));
    EXPECT_EQ(copy.AccessMask(), static_cast<REGSAM>(KEY_READ));
    EXPECT_TRUE(copy.MachineName().empty());
}

TEST_F(RegistryTest, NumbersRoundTrip) {
    CRegistry reg(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(reg.Open());

    EXPECT_TRUE(reg.SetValue("dword", DWORD{4000000000u}));
    EXPECT_LOGGED(700, "CRegistry::SetValue (DWORD)(dword 4000000000)");
    DWORD dword = 0;
    EXPECT_TRUE(reg.QueryValue("dword", dword));
    EXPECT_EQ(dword, 4000000000u);
    EXPECT_LOGGED(700, "CRegistry::QueryValue (DWORD)(dword)");

    // A WORD is stored as a zero-extended REG_DWORD.
    EXPECT_TRUE(reg.SetValue("word", WORD{0x1234}));
    EXPECT_LOGGED(700, "CRegistry::SetValue (WORD)(word)");
    EXPECT_LOGGED(700, "CRegistry::SetValue (DWORD)(word 4660)");
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(RawValue("", "word", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(bytes, (std::vector<BYTE>{0x34, 0x12, 0, 0}));
    WORD word = 0;
    EXPECT_TRUE(reg.QueryValue("word", word));
    EXPECT_EQ(word, 0x1234);
    BYTE byte = 0;
    EXPECT_TRUE(reg.QueryValue("word", byte));
    EXPECT_EQ(byte, 0x34);
    EXPECT_LOGGED(700, "CRegistry::QueryValue (BYTE)(word)");

    EXPECT_TRUE(reg.SetValue("byte", BYTE{0xFE}));
    ASSERT_TRUE(RawValue("", "byte", type, bytes));
    EXPECT_EQ(bytes, (std::vector<BYTE>{0xFE, 0, 0, 0}));
    EXPECT_TRUE(reg.QueryValue("byte", byte));
    EXPECT_EQ(byte, 0xFE);

    EXPECT_TRUE(reg.SetValue("int", -5));
    EXPECT_LOGGED(700, "CRegistry::SetValue (int)(int -5)");
    int integer = 0;
    EXPECT_TRUE(reg.QueryValue("int", integer));
    EXPECT_EQ(integer, -5);
    ASSERT_TRUE(RawValue("", "int", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    EXPECT_TRUE(reg.SetValue("uint", 3000000000u));
    EXPECT_LOGGED(700, "CRegistry::SetValue (UINT)(uint 3000000000)");
    UINT unsignedValue = 0;
    EXPECT_TRUE(reg.QueryValue("uint", unsignedValue));
    EXPECT_EQ(unsignedValue, 3000000000u);

    EXPECT_TRUE(reg.SetValue("long", -70000L));
    EXPECT_LOGGED(700, "CRegistry::SetValue (long)(long -70000)");
    long longValue = 0;
    EXPECT_TRUE(reg.QueryValue("long", longValue));
    EXPECT_EQ(longValue, -70000L);

    EXPECT_TRUE(reg.SetValue("double", 1.5));
    EXPECT_LOGGED(700, "CRegistry::SetValue (double)(double 1.500000)");
    ASSERT_TRUE(RawValue("", "double", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(bytes.size(), 8u);
    double stored = 0;
    std::memcpy(&stored, bytes.data(), 8);
    EXPECT_EQ(stored, 1.5);
    double doubleValue = 0;
    EXPECT_TRUE(reg.QueryValue("double", doubleValue));
    EXPECT_EQ(doubleValue, 1.5);

    // Numbers are read whatever the stored type; a shorter value is zero-extended.
    const BYTE two[] = {0xAA, 0xBB};
    EXPECT_TRUE(reg.SetValue("short", two, 2));
    dword = 0xFFFFFFFF;
    EXPECT_TRUE(reg.QueryValue("short", dword));
    EXPECT_EQ(dword, 0xBBAAu);
    // A value longer than the number fails and leaves it unchanged.
    integer = 17;
    EXPECT_FALSE(reg.QueryValue("double", integer));
    EXPECT_EQ(reg.LastError(), ERROR_MORE_DATA);
    EXPECT_EQ(integer, 17);
    EXPECT_LOGGED(700, ErrorLine("CRegistry::QueryValue (int) RegQueryValueEx ", ERROR_MORE_DATA));

    EXPECT_FALSE(reg.QueryValue("missing", dword));
    EXPECT_EQ(reg.LastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_LOGGED(300, ErrorLine("CRegistry::QueryValue (DWORD) RegQueryValueEx ", 2));
    EXPECT_FALSE(reg.QueryValue("missing", word));
    EXPECT_FALSE(reg.QueryValue("missing", unsignedValue));
    EXPECT_LOGGED(700, ErrorLine("CRegistry::QueryValue (int) RegQueryValueEx ", 2));
    EXPECT_FALSE(reg.QueryValue("missing", doubleValue));
    EXPECT_LOGGED(700, ErrorLine("CRegistry::QueryValue (double) RegQueryValueEx ", 2));
    EXPECT_FALSE(reg.QueryValue("missing", longValue));
    EXPECT_LOGGED(700, ErrorLine("CRegistry::QueryValue (long) RegQueryValueEx ", 2));
}

TEST_F(RegistryTest, StringsRoundTripWithoutOverrun) {
    CRegistry reg(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(reg.Open());

    EXPECT_TRUE(reg.SetValue("text", "hello"));
    EXPECT_LOGGED(700, "CRegistry::SetValue (char *)(text 'hello' (5))");
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(RawValue("", "text", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, (std::vector<BYTE>{'h', 'e', 'l', 'l', 'o', 0}));

    // An empty text is one NUL byte.
    EXPECT_TRUE(reg.SetValue("empty", ""));
    ASSERT_TRUE(RawValue("", "empty", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::vector<BYTE>{0});

    EXPECT_TRUE(reg.SetValue("object", std::string("a % sign")));
    EXPECT_LOGGED(700, "CRegistry::SetValue (CString)(object 'a % sign' (8))");
    std::string text;
    EXPECT_TRUE(reg.QueryValue("object", text));
    EXPECT_EQ(text, "a % sign");
    EXPECT_LOGGED(700, "CRegistry::QueryValue (CString)(object)");

    // The default value has the empty name.
    EXPECT_TRUE(reg.SetValue("", "default"));
    EXPECT_TRUE(reg.QueryValue(nullptr, text));
    EXPECT_EQ(text, "default");

    // A character buffer takes at most its size - 1 bytes and is terminated.
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(reg.QueryValue("text", buffer, 10));
    EXPECT_STREQ(buffer, "hello");
    EXPECT_LOGGED(700, "CRegistry::QueryValue (char *)(text)");

    EXPECT_TRUE(reg.SetValue("twenty", "01234567890123456789"));
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(reg.QueryValue("twenty", buffer, 10));
    EXPECT_EQ(reg.LastError(), ERROR_MORE_DATA);
    EXPECT_LOGGED(700, ErrorLine("CRegistry::QueryValue (char *) RegQueryValueEx ", ERROR_MORE_DATA));
    for (std::size_t i = 9; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'x') << i;
    // Nine characters and the NUL do not fit in nine bytes either.
    EXPECT_TRUE(reg.SetValue("nine", "123456789"));
    EXPECT_FALSE(reg.QueryValue("nine", buffer, 10));
    EXPECT_TRUE(reg.SetValue("eight", "12345678"));
    EXPECT_TRUE(reg.QueryValue("eight", buffer, 10));
    EXPECT_STREQ(buffer, "12345678");
    EXPECT_FALSE(reg.QueryValue("eight", buffer, 0));

    // Long values and names: kept whole where they fit, failures elsewhere.
    const std::string longText(5000, 'L');
    const std::string longName(1000, 'N');
    EXPECT_TRUE(reg.SetValue(longName.c_str(), longText));
    ASSERT_TRUE(RawValue("", longName.c_str(), type, bytes));
    EXPECT_EQ(bytes.size(), 5001u);
    std::vector<char> large(6000);
    DWORD length = static_cast<DWORD>(large.size());
    EXPECT_TRUE(reg.QueryValue(longName.c_str(), &type, large.data(), &length));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(length, 5001u);
    EXPECT_EQ(std::string(large.data()), longText);
    EXPECT_LOGGED(700, "CRegistry::QueryValue (" + longName + ")");
    text = "unchanged";
    EXPECT_FALSE(reg.QueryValue(longName.c_str(), text));
    EXPECT_EQ(text, "unchanged");
    // The string object takes texts of up to 2047 characters and their NUL.
    EXPECT_TRUE(reg.SetValue("fits", std::string(2047, 'F')));
    EXPECT_TRUE(reg.QueryValue("fits", text));
    EXPECT_EQ(text, std::string(2047, 'F'));
    EXPECT_TRUE(reg.SetValue("too long", std::string(2048, 'F')));
    EXPECT_FALSE(reg.QueryValue("too long", text));
    EXPECT_EQ(reg.LastError(), ERROR_MORE_DATA);
    EXPECT_LOGGED(700, ErrorLine("CRegistry::QueryValue (char *) RegQueryValueEx ", ERROR_MORE_DATA));
    EXPECT_EQ(text, std::string(2047, 'F'));
    // Only the text before an embedded NUL is taken.
    EXPECT_TRUE(reg.SetValue("embedded", REG_SZ, "ab\0cd", 6));
    EXPECT_TRUE(reg.QueryValue("embedded", text));
    EXPECT_EQ(text, "ab");

    // Null texts are refused instead of being read.
    EXPECT_FALSE(reg.SetValue("null", static_cast<const char*>(nullptr)));
    EXPECT_EQ(reg.LastError(), ERROR_INVALID_PARAMETER);
    EXPECT_LOGGED(300, ErrorLine("CRegistry::SetValue (char *) RegSetValueEx ", ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(reg.ExistValue("null"));
}

TEST_F(RegistryTest, BinaryAndMultiStrings) {
    CRegistry reg(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(reg.Open());

    const BYTE data[] = {0x01, 0xA2, 0x00, 0xFF};
    EXPECT_TRUE(reg.SetValue("bin", data, DWORD{4}));
    EXPECT_LOGGED(700, "CRegistry::SetValue (void *)(bin 4 01 A2 ...)");
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(RawValue("", "bin", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(bytes, std::vector<BYTE>(data, data + 4));

    BYTE read[8] = {};
    DWORD count = 0;
    EXPECT_TRUE(reg.QueryValue("bin", read, DWORD{8}, &count));
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(std::memcmp(read, data, 4), 0);
    EXPECT_LOGGED(700, "CRegistry::QueryValue (void *)(bin)");
    // A buffer that is too small fails without being overrun.
    BYTE small[3] = {7, 7, 7};
    EXPECT_FALSE(reg.QueryValue("bin", small, DWORD{2}));
    EXPECT_EQ(reg.LastError(), ERROR_MORE_DATA);
    EXPECT_EQ(small[2], 7);
    EXPECT_LOGGED(700, ErrorLine("CRegistry::QueryValue (void *) RegQueryValueEx ", ERROR_MORE_DATA));

    // Short buffers are traced without reading past them.
    const BYTE one[] = {0xAB};
    EXPECT_TRUE(reg.SetValue("one", one, DWORD{1}));
    EXPECT_LOGGED(700, "CRegistry::SetValue (void *)(one 1 AB 00 ...)");
    EXPECT_TRUE(reg.SetValue("none", nullptr, DWORD{0}));
    EXPECT_LOGGED(700, "CRegistry::SetValue (void *)(none 0 00 00 ...)");
    ASSERT_TRUE(RawValue("", "none", type, bytes));
    EXPECT_TRUE(bytes.empty());

    const char list[] = "first\0second\0";
    EXPECT_TRUE(reg.SetValueMultiSZ("multi", list, sizeof list));
    EXPECT_LOGGED(700, "CRegistry::SetValueMultiSZ (void *)(multi 14 66 69 ...)");
    ASSERT_TRUE(RawValue("", "multi", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(bytes, std::vector<BYTE>(list, list + sizeof list));

    EXPECT_TRUE(reg.SetValue("expand", REG_EXPAND_SZ, "%TEMP%\\x", 9));
    EXPECT_LOGGED(700, "CRegistry::SetValue (expand)");
    ASSERT_TRUE(RawValue("", "expand", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    char expand[32];
    DWORD length = sizeof expand;
    EXPECT_TRUE(reg.QueryValue("expand", &type, expand, &length));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_STREQ(expand, "%TEMP%\\x");
}

TEST_F(RegistryTest, ExistAndDeleteValues) {
    CRegistry reg(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(reg.Open());
    EXPECT_TRUE(reg.SetValue("present", DWORD{1}));
    EXPECT_TRUE(reg.ExistValue("present"));
    EXPECT_LOGGED(700, "CRegistry::ExistValue (present)");
    EXPECT_FALSE(reg.ExistValue("absent"));
    EXPECT_EQ(reg.LastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_LOGGED(300, ErrorLine("CRegistry::ExistValue RegQueryValueEx ", 2));

    EXPECT_TRUE(reg.DeleteValue("present"));
    EXPECT_LOGGED(700, "CRegistry::DeleteValue (const char *)(present)");
    EXPECT_FALSE(reg.ExistValue("present"));
    EXPECT_FALSE(reg.DeleteValue("present"));
    EXPECT_LOGGED(700, ErrorLine("CRegistry::DeleteValue RegDeleteValue ", 2));

    // Every value goes, long names included.
    const std::string longName(1000, 'v');
    EXPECT_TRUE(reg.SetValue(longName.c_str(), DWORD{1}));
    EXPECT_TRUE(reg.SetValue("a", "x"));
    EXPECT_TRUE(reg.SetValue("b", 2.0));
    EXPECT_TRUE(reg.SetValue("", "default"));
    EXPECT_EQ(reg.GetValueCount(), 4u);
    EXPECT_TRUE(reg.DeleteAllValues());
    EXPECT_LOGGED(700, "CRegistry::DeleteAllValues");
    EXPECT_EQ(reg.GetValueCount(), 0u);
    EXPECT_TRUE(reg.DeleteAllValues());

    // A key opened for reading only refuses writes and deletions.
    EXPECT_TRUE(reg.SetValue("kept", DWORD{3}));
    CRegistry readOnly(HKEY_CURRENT_USER, base_.c_str(), "", KEY_READ);
    ASSERT_TRUE(readOnly.Open());
    EXPECT_FALSE(readOnly.SetValue("new", DWORD{1}));
    EXPECT_EQ(readOnly.LastError(), ERROR_ACCESS_DENIED);
    EXPECT_LOGGED(300, ErrorLine("CRegistry::SetValue (DWORD) RegSetValueEx ", ERROR_ACCESS_DENIED));
    EXPECT_FALSE(readOnly.SetValue("new", 1));
    EXPECT_LOGGED(300, ErrorLine("CRegistry::SetValue (int) RegSetValueEx ", ERROR_ACCESS_DENIED));
    EXPECT_FALSE(readOnly.SetValue("new", 1u));
    EXPECT_FALSE(readOnly.SetValue("new", 1L));
    EXPECT_LOGGED(300, ErrorLine("CRegistry::SetValue (long) RegSetValueEx ", ERROR_ACCESS_DENIED));
    EXPECT_FALSE(readOnly.SetValue("new", 1.0));
    EXPECT_LOGGED(300, ErrorLine("CRegistry::SetValue (double) RegSetValueEx ", ERROR_ACCESS_DENIED));
    EXPECT_FALSE(readOnly.SetValue("new", std::string("x")));
    EXPECT_FALSE(readOnly.SetValue("new", "x", DWORD{1}));
    EXPECT_LOGGED(300, ErrorLine("CRegistry::SetValue (void *) RegSetValueEx ", ERROR_ACCESS_DENIED));
    EXPECT_FALSE(readOnly.SetValue("new", REG_SZ, "x", 2));
    EXPECT_LOGGED(300, ErrorLine("CRegistry::SetValue RegSetValueEx ", ERROR_ACCESS_DENIED));
    EXPECT_FALSE(readOnly.DeleteAllValues());
    EXPECT_TRUE(readOnly.ExistValue("kept"));
    EXPECT_FALSE(readOnly.ExistValue("new"));
}

TEST_F(RegistryTest, EnumerationAndCounts) {
    CRegistry reg(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(reg.Open());
    EXPECT_EQ(reg.GetSubKeyCount(), 0u);
    EXPECT_EQ(reg.GetValueCount(), 0u);

    const std::set<std::string> keys = {"Alpha", "beta", "Gamma", std::string(255, 'k')};
    for (const std::string& key : keys) {
        HKEY handle = nullptr;
        ASSERT_EQ(::RegCreateKeyA(reg.Key(), key.c_str(), &handle), ERROR_SUCCESS);
        ::RegCloseKey(handle);
    }
    EXPECT_EQ(reg.GetSubKeyCount(), 4u);
    std::set<std::string> seen;
    char name[256];
    for (DWORD index = 0; reg.EnumKey(index, name, sizeof name); ++index) seen.insert(name);
    EXPECT_EQ(seen, keys);
    EXPECT_EQ(reg.LastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_LOGGED(700, ErrorLine("CRegistry::EnumKey RegEnumKey Index:4 ", ERROR_NO_MORE_ITEMS));
    // A buffer too small for a name fails instead of being overrun.
    char tiny[4];
    bool anyFailed = false;
    for (DWORD index = 0; index < 4; ++index) anyFailed |= !reg.EnumKey(index, tiny, sizeof tiny);
    EXPECT_TRUE(anyFailed);
    EXPECT_FALSE(reg.EnumKey(0, nullptr, 0));
    EXPECT_EQ(reg.LastError(), ERROR_INVALID_PARAMETER);

    std::string found;
    EXPECT_TRUE(reg.FindSubKey("ALPHA", &found));
    EXPECT_EQ(found, "Alpha");
    EXPECT_TRUE(reg.FindSubKey("Beta"));
    EXPECT_TRUE(reg.FindSubKey(std::string(255, 'K').c_str(), &found));
    EXPECT_EQ(found, std::string(255, 'k'));
    found = "kept";
    EXPECT_FALSE(reg.FindSubKey("Delta", &found));
    EXPECT_EQ(found, "kept");

    EXPECT_TRUE(reg.SetValue("s", "text"));
    EXPECT_TRUE(reg.SetValue("b1", "\x01", DWORD{1}));
    EXPECT_TRUE(reg.SetValue("d", DWORD{9}));
    EXPECT_TRUE(reg.SetValue("b2", 2.5));
    EXPECT_EQ(reg.GetValueCount(), 4u);

    std::map<std::string, DWORD> types;
    for (DWORD index = 0;; ++index) {
        char valueName[32];
        DWORD nameSize = sizeof valueName;
        DWORD type = 0;
        BYTE data[16];
        DWORD dataSize = sizeof data;
        LONG result = -1;
        if (!reg.EnumValue(index, valueName, &nameSize, &type, data, &dataSize, &result)) {
            EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
            EXPECT_LOGGED(700, StringFormat("CRegistry::EnumValue RegEnumValue(%lu)(%s) (%s)", index, valueName,
                                            SystemErrorText(ERROR_NO_MORE_ITEMS)));
            break;
        }
        EXPECT_EQ(result, 0);
        EXPECT_EQ(nameSize, std::strlen(valueName));
        types[valueName] = type;
    }
    EXPECT_EQ(types,
              (std::map<std::string, DWORD>{{"s", REG_SZ}, {"b1", REG_BINARY}, {"d", REG_DWORD}, {"b2", REG_BINARY}}));
    // Only the name is asked for.
    char onlyName[32];
    DWORD onlySize = sizeof onlyName;
    EXPECT_TRUE(reg.EnumValue(0, onlyName, &onlySize));
    // A data buffer without its size is refused.
    BYTE data[4];
    onlySize = sizeof onlyName;
    EXPECT_FALSE(reg.EnumValue(0, onlyName, &onlySize, nullptr, data, nullptr));
    EXPECT_EQ(reg.LastError(), ERROR_INVALID_PARAMETER);

    // The binary values, one per call, then the end.
    std::set<std::string> binaries;
    char binary[32];
    while (reg.GetNextBinaryValueName(binary, sizeof binary)) binaries.insert(binary);
    EXPECT_EQ(binaries, (std::set<std::string>{"b1", "b2"}));
    EXPECT_EQ(reg.LastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_LOGGED(700, ErrorLine("CRegistry::EnumKey RegEnumKey ", ERROR_NO_MORE_ITEMS));
    EXPECT_FALSE(reg.GetNextBinaryValueName(binary, sizeof binary));
}

// Three levels of keys with values of several types below base\name.
void BuildTree(HKEY root, const std::string& path) {
    CRegistry top(root, path.c_str());
    ASSERT_TRUE(top.Open(true));
    ASSERT_TRUE(top.SetValue("name", "top"));
    ASSERT_TRUE(top.SetValue("", "default"));
    ASSERT_TRUE(top.SetValue("count", DWORD{3}));
    ASSERT_TRUE(top.SetValue(std::string(1000, 'n').c_str(), 0.25));
    const BYTE bytes[] = {1, 2, 3, 0, 5};
    ASSERT_TRUE(top.SetValue("bytes", bytes, DWORD{5}));
    ASSERT_TRUE(top.SetValueMultiSZ("list", "a\0b\0", 5));
    ASSERT_TRUE(top.SetValue("empty", nullptr, DWORD{0}));
    for (const char* sub : {"One", "One\\Two", "One\\Two\\Three", "Side"}) {
        CRegistry key(root, (path + "\\" + sub).c_str());
        ASSERT_TRUE(key.Open(true));
        ASSERT_TRUE(key.SetValue("where", sub));
        ASSERT_TRUE(key.SetValue("number", -1));
    }
    CRegistry big(root, (path + "\\Side").c_str());
    ASSERT_TRUE(big.Open());
    ASSERT_TRUE(big.SetValue("big", std::string(100000, 'B')));
}

TEST_F(RegistryTest, DeletesTrees) {
    ASSERT_NO_FATAL_FAILURE(BuildTree(HKEY_CURRENT_USER, Path("Tree")));
    CRegistry reg(HKEY_CURRENT_USER, Path("Tree").c_str());
    ASSERT_TRUE(reg.Open());
    EXPECT_EQ(reg.GetSubKeyCount(), 2u);

    // A key with sub keys cannot be deleted alone.
    EXPECT_FALSE(reg.DeleteKey("One"));
    EXPECT_NE(reg.LastError(), 0);
    EXPECT_LOGGED(300, StringFormat("CRegistry::DeleteKey RegDeleteKey 'One' (%s)",
                                    SystemErrorText(static_cast<std::uint32_t>(reg.LastError()))));
    EXPECT_TRUE(reg.DeleteKey("Side"));
    EXPECT_LOGGED(700, "CRegistry::DeleteKey(const char *)(Side)");
    EXPECT_FALSE(KeyExists("Tree\\Side"));

    EXPECT_TRUE(reg.DeleteSubKeys());
    EXPECT_LOGGED(700, "CRegistry::DeleteSubKeys");
    EXPECT_EQ(reg.GetSubKeyCount(), 0u);
    EXPECT_FALSE(KeyExists("Tree\\One"));
    // Values of the key itself stay.
    EXPECT_TRUE(reg.ExistValue("name"));
    reg.Close();

    ASSERT_NO_FATAL_FAILURE(BuildTree(HKEY_CURRENT_USER, Path("Tree")));
    CRegistry base(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(base.Open());
    EXPECT_TRUE(base.DeleteKeyAndSubKeys("Tree"));
    EXPECT_LOGGED(700, "CRegistry::DeleteKeyAndSubKeys(const char *)(Tree)");
    EXPECT_LOGGED(700, "CRegistry::DeleteKeyAndSubKeys(const char *)(Tree) ok!!!");
    EXPECT_FALSE(KeyExists("Tree"));
    EXPECT_TRUE(KeyExists(""));

    EXPECT_FALSE(base.DeleteKeyAndSubKeys("Tree"));
    EXPECT_EQ(base.LastError(), ERROR_FILE_NOT_FOUND);
    // The empty name would be this key itself.
    EXPECT_FALSE(base.DeleteKeyAndSubKeys(""));
    EXPECT_FALSE(base.DeleteKey(""));
    EXPECT_TRUE(KeyExists(""));
}

TEST_F(RegistryTest, CopiesAndRenamesTrees) {
    ASSERT_NO_FATAL_FAILURE(BuildTree(HKEY_CURRENT_USER, Path("Source")));
    const Tree original = Snapshot("Source");
    ASSERT_EQ(original.size(), 5u);

    CRegistry reg(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(reg.Open());
    EXPECT_TRUE(reg.CopyKey("Copy", "Source"));
    EXPECT_LOGGED(700, "CRegistry::CopyKey this=" + base_ + " src=Source dst=Copy");
    EXPECT_EQ(Snapshot("Copy"), original);
    EXPECT_EQ(Snapshot("Source"), original);

    // Copying over an existing tree merges into it.
    EXPECT_TRUE(reg.CopyKey("Copy\\Nested", "Source\\One"));
    EXPECT_EQ(Snapshot("Copy\\Nested"), Snapshot("Source\\One"));

    EXPECT_TRUE(reg.RenameKey("Source", "Renamed"));
    EXPECT_LOGGED(700, "CRegistry::RenameKey this=" + base_ + " old=Source new=Renamed");
    EXPECT_EQ(Snapshot("Renamed"), original);
    EXPECT_FALSE(KeyExists("Source"));

    // A missing source copies nothing and creates nothing.
    EXPECT_FALSE(reg.CopyKey("Nowhere", "Source"));
    EXPECT_EQ(reg.LastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(KeyExists("Nowhere"));
    EXPECT_FALSE(reg.RenameKey("Source", "Nowhere"));
    EXPECT_FALSE(KeyExists("Nowhere"));

    // A destination inside the source, or the source itself, is refused: the
    // tree is neither copied into itself nor lost by the rename.
    EXPECT_FALSE(reg.CopyKey("Renamed\\One\\Inner", "Renamed"));
    EXPECT_FALSE(reg.RenameKey("Renamed", "renamed\\Inner"));
    EXPECT_FALSE(reg.RenameKey("Renamed", "RENAMED"));
    EXPECT_FALSE(reg.RenameKey("Renamed", "Renamed\\"));
    EXPECT_EQ(Snapshot("Renamed"), original);
    // A name that only starts like the source is another key.
    EXPECT_TRUE(reg.CopyKey("Renamed2", "Renamed"));
    EXPECT_EQ(Snapshot("Renamed2"), original);
}

TEST_F(RegistryTest, OpenSubKeyCreatesAndReturnsAClosedObject) {
    CRegistry reg(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(reg.Open());
    CRegistry sub = reg.OpenSubKey("Child\\Grandchild");
    EXPECT_TRUE(KeyExists("Child\\Grandchild"));
    EXPECT_FALSE(sub.IsOpen());
    EXPECT_EQ(sub.SubKey(), "Child\\Grandchild");
    EXPECT_EQ(sub.RootKey(), reg.Key());
    EXPECT_EQ(sub.AccessMask(), static_cast<REGSAM>(0xF003F));
    ASSERT_TRUE(sub.Open());
    EXPECT_TRUE(sub.SetValue("v", DWORD{7}));
    DWORD type = 0;
    std::vector<BYTE> bytes;
    EXPECT_TRUE(RawValue("Child\\Grandchild", "v", type, bytes));
    EXPECT_TRUE(reg.FindSubKey("child"));
}

TEST_F(RegistryTest, RemoteConnection) {
    // An unknown machine fails cleanly with the network-path error.
    CRegistry remote(HKEY_LOCAL_MACHINE, "SOFTWARE", "\\\\ZorNoSuchMachine", KEY_READ);
    EXPECT_FALSE(remote.Open());
    EXPECT_EQ(remote.LastError(), ERROR_BAD_NETPATH);
    EXPECT_FALSE(remote.IsOpen());
    EXPECT_EQ(remote.RootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_LOGGED(700, "CRegistry::Open RegConnect...");
    EXPECT_FALSE(LoggedAnything("CRegistry::Open RegOpenKeyEx"));
    EXPECT_TRUE(remote.Close());
    // Retrying connects again and fails the same way.
    EXPECT_FALSE(remote.Open());
    EXPECT_EQ(remote.LastError(), ERROR_BAD_NETPATH);

    RegistryConnection connection(HKEY_LOCAL_MACHINE, "\\\\ZorNoSuchMachine");
    EXPECT_EQ(connection.Connect(), ERROR_BAD_NETPATH);
    EXPECT_EQ(connection.Result(), ERROR_BAD_NETPATH);
    EXPECT_EQ(connection.Handle(), nullptr);
    EXPECT_EQ(connection.Root(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(connection.MachineName(), "\\\\ZorNoSuchMachine");

    // The local machine by name is reached through a connection.
    const std::string machine = GetComputerNameString();
    ASSERT_FALSE(machine.empty());
    CRegistry local(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft", machine.c_str(), KEY_READ);
    ASSERT_TRUE(local.Open()) << local.LastError();
    EXPECT_NE(local.RootKey(), nullptr);
    EXPECT_GT(local.GetSubKeyCount(), 0u);
    // A copy starts from the root given at construction, not the connection's.
    CRegistry copy(local);
    EXPECT_EQ(copy.RootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(copy.MachineName(), machine);
    EXPECT_TRUE(copy.Open());
    EXPECT_TRUE(local.Open());
}

TEST_F(RegistryTest, UserDomain) {
    const std::string saved = GetEnvironmentValue("USERDOMAIN");
    const char* winlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, winlogon, &key), ERROR_SUCCESS);
    char previous[512];
    DWORD previousSize = sizeof previous;
    const bool hadPrevious = ::RegQueryValueExA(key, "CachePrimaryDomain", nullptr, nullptr,
                                                reinterpret_cast<BYTE*>(previous), &previousSize) == ERROR_SUCCESS;
    auto setCached = [&](const std::string& value) {
        ::RegSetValueExA(key, "CachePrimaryDomain", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    };

    ASSERT_TRUE(SetEnvironmentValue("USERDOMAIN", "ZORDOMAIN"));
    setCached("ZORCACHED");
    EXPECT_EQ(GetUserDomain(), "ZORDOMAIN");

    ASSERT_TRUE(SetEnvironmentValue("USERDOMAIN", nullptr));
    EXPECT_EQ(GetUserDomain(), "ZORCACHED");
    setCached(std::string(50, 'D'));
    EXPECT_EQ(GetUserDomain(), std::string(50, 'D'));
    // Longer than 50 characters: not read, and nothing overrun.
    setCached(std::string(51, 'D'));
    EXPECT_EQ(GetUserDomain(), "");
    ::RegDeleteValueA(key, "CachePrimaryDomain");
    EXPECT_EQ(GetUserDomain(), "");

    if (hadPrevious) {
        ::RegSetValueExA(key, "CachePrimaryDomain", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous), previousSize);
    }
    ::RegCloseKey(key);
    SetEnvironmentValue("USERDOMAIN", saved.empty() ? nullptr : saved.c_str());
}

TEST_F(RegistryTest, RegistersItsOwnAppPath) {
    const std::string path = GetModulePath();
    ASSERT_FALSE(path.empty());
    const std::string sub =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + GetPathPart(path, kPathFileName);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, sub.c_str());

    EXPECT_TRUE(RegisterOwnAppPath());
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    char value[300] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    EXPECT_EQ(::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(value), path);
    ::RegCloseKey(key);
    // Registering again overwrites the same value.
    EXPECT_TRUE(RegisterOwnAppPath());
    EXPECT_EQ(::RegDeleteKeyA(HKEY_LOCAL_MACHINE, sub.c_str()), ERROR_SUCCESS);
}

} // namespace
