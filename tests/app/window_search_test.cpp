// The token list and the search for running instances by window title,
// against a fake system that states its windows and processes.
#include "app/token_list.h"
#include "app/window_search.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

Items ItemsOf(const TokenList& list) {
    Items items;
    for (int i = 0; i < list.GetCount(); ++i) items.push_back(list.GetAt(i));
    return items;
}

TEST(TokenList, SplitsAtEverySeparatorKeepingEmptyPieces) {
    struct Case {
        const char* text;
        Items expected;
    };
    const Case cases[] = {
        {"", {""}},
        {"Editor", {"Editor"}},
        {"Editor;Viewer", {"Editor", "Viewer"}},
        {"Editor;", {"Editor", ""}},
        {";Editor", {"", "Editor"}},
        {"A;;B", {"A", "", "B"}},
        {";", {"", ""}},
        {"a|b;c", {"a|b", "c"}},
    };
    for (const Case& c : cases) {
        TokenList list(nullptr, '|');
        list.Assign(c.text, ';');
        EXPECT_EQ(ItemsOf(list), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(list.GetCount(), static_cast<int>(c.expected.size())) << '"' << c.text << '"';
    }
}

TEST(TokenList, NullTextGivesAnEmptyList) {
    TokenList list("a|b", '|');
    ASSERT_EQ(list.GetCount(), 2);
    list.Assign(nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(TokenList(nullptr, ';').GetCount(), 0);
}

TEST(TokenList, SeparatorIsKeptOrReplaced) {
    TokenList list("a|b;c", '|');
    EXPECT_EQ(ItemsOf(list), (Items{"a", "b;c"}));
    EXPECT_EQ(list.GetSeparator(), '|');

    // 0xFF keeps the stored separator; any value below replaces it.
    list.Assign("x|y;z", TokenList::kKeepSeparator);
    EXPECT_EQ(ItemsOf(list), (Items{"x", "y;z"}));
    list.Assign("x|y;z", ';');
    EXPECT_EQ(ItemsOf(list), (Items{"x|y", "z"}));
    EXPECT_EQ(list.GetSeparator(), ';');

    EXPECT_EQ(list.SetSeparator(','), ';');
    EXPECT_EQ(list.SetSeparator('|'), ',');
    // Changing the separator does not split the items again.
    EXPECT_EQ(ItemsOf(list), (Items{"x|y", "z"}));
}

TEST(TokenList, GetAtOutsideTheListIsEmpty) {
    const TokenList list("one;two", ';');
    EXPECT_EQ(list.GetAt(0), "one");
    EXPECT_EQ(list.GetAt(1), "two");
    EXPECT_EQ(list.GetAt(2), "");
    EXPECT_EQ(list.GetAt(100), "");
    EXPECT_EQ(list.GetAt(-1), "");
    EXPECT_EQ(TokenList(nullptr, ';').GetAt(0), "");
}

TEST(TokenList, CopyItemCopiesAtMostTheItem) {
    const TokenList list("Editor;Viewer", ';');
    struct Case {
        int index;
        std::size_t length;
        const char* expected;
    };
    const Case cases[] = {
        {0, 6, "Editor"},
        {0, 3, "Edi"},
        {1, 0, ""},
        // Asking for more than the item holds copies the item, never beyond.
        {1, 20, "Viewer"},
        {5, 8, ""},
    };
    for (const Case& c : cases) {
        char buffer[32];
        std::memset(buffer, 'X', sizeof buffer);
        const std::size_t copied = list.CopyItem(c.index, buffer, c.length);
        EXPECT_STREQ(buffer, c.expected) << c.index << " " << c.length;
        EXPECT_EQ(copied, std::strlen(c.expected));
        // Nothing past the terminator is touched.
        EXPECT_EQ(buffer[copied + 1], 'X');
    }
}

TEST(TokenList, FindItem) {
    const TokenList list("Alpha;beta;ALPHABET;;gamma", ';');
    struct Case {
        const char* text;
        bool ignoreCase;
        int maxLength;
        int expected;
    };
    const Case cases[] = {
        {"Alpha", false, -1, 0},   {"alpha", false, -1, -1},  {"alpha", true, -1, 0},   {"BETA", true, -1, 1},
        {"BETA", false, -1, -1},   {"", false, -1, 3},        {"gamma", false, -1, 4},  {"delta", true, -1, -1},
        {"Alp", false, -1, -1},    {"ALPHAxyz", false, 5, 2}, {"alphaxyz", true, 5, 0}, {"Alp", false, 3, 0},
        {"anything", false, 0, 0}, {"gammaray", false, 5, 4}, {"gam", false, 5, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.FindItem(c.text, c.ignoreCase, c.maxLength), c.expected)
            << '"' << c.text << "\" ignoreCase " << c.ignoreCase << " max " << c.maxLength;

    const TokenList empty(nullptr, ';');
    EXPECT_EQ(empty.FindItem("", false), -1);
    EXPECT_EQ(empty.FindItem("x", true, 0), -1);
}

// Windows and processes as a test states them.
class FakeWindowSystem : public WindowSystem {
public:
    void EnumerateTopLevelWindows(const std::function<bool(const EnumeratedWindow&)>& visit) override {
        ++enumerations;
        for (const EnumeratedWindow& window : windows) {
            ++visited;
            if (!visit(window)) return;
        }
    }
    std::vector<std::uint32_t> ProcessIds() override { return processIds; }
    std::string ProcessImagePath(std::uint32_t processId) override {
        opened.push_back(processId);
        const auto it = paths.find(processId);
        return it != paths.end() ? it->second : std::string();
    }
    bool IsNtPlatform() override { return nt; }

    std::vector<EnumeratedWindow> windows;
    std::vector<std::uint32_t> processIds;
    std::map<std::uint32_t, std::string> paths;
    std::vector<std::uint32_t> opened;
    bool nt = true;
    int enumerations = 0;
    std::size_t visited = 0;
};

FakeWindowSystem Desktop() {
    FakeWindowSystem system;
    system.windows = {
        {0x10, "Default IME", "IME"},
        {0x20, "ZorEdit - notes.txt", "ZorEditFrame"},
        {0x30, "", "Shell_TrayWnd"},
        {0x40, "zoredit help", "HelpWindow"},
        {0x50, "ZorView 2 - ZorEdit export", "ZorViewFrame"},
    };
    return system;
}

std::vector<WindowHandle> HandlesOf(const WindowSearch& search) {
    std::vector<WindowHandle> handles;
    for (const FoundWindow& window : search.found) handles.push_back(window.handle);
    return handles;
}

TEST(WindowSearch, StartsEmptyWithTheBarSeparator) {
    const WindowSearch search;
    EXPECT_TRUE(search.found.empty());
    EXPECT_EQ(search.titles.GetCount(), 0);
    EXPECT_EQ(search.titles.GetSeparator(), '|');
}

TEST(WindowSearch, MatchesTitlesBySubstringWithCase) {
    struct Case {
        const char* list;
        std::vector<WindowHandle> expected;
    };
    const Case cases[] = {
        {"ZorEdit", {0x20, 0x50}},
        {"notes", {0x20}},
        {"ZorView;notes.txt", {0x20, 0x50}},
        // Case-sensitive: "zoredit help" is not an instance of "ZorEdit".
        {"ZOREDIT", {}},
        {"zoredit", {0x40}},
        {"Calculator", {}},
        // The class name is never compared.
        {"ZorEditFrame", {}},
        {"IME", {0x10}},
    };
    for (const Case& c : cases) {
        FakeWindowSystem system = Desktop();
        WindowSearch search;
        search.SetWindowList(c.list);
        EXPECT_EQ(SearchWindows(system, search), c.expected.size()) << c.list;
        EXPECT_EQ(HandlesOf(search), c.expected) << c.list;
        // Every window is visited, whatever was found.
        EXPECT_EQ(system.visited, system.windows.size()) << c.list;
    }
}

TEST(WindowSearch, RecordsHandleClassAndTitle) {
    FakeWindowSystem system = Desktop();
    WindowSearch search;
    search.SetWindowList("export");
    ASSERT_EQ(SearchWindows(system, search), 1u);
    EXPECT_EQ(search.found[0], (FoundWindow{0x50, "ZorViewFrame", "ZorView 2 - ZorEdit export"}));
}

TEST(WindowSearch, WindowHoldingTwoFragmentsIsFoundOnce) {
    FakeWindowSystem system = Desktop();
    WindowSearch search;
    search.SetWindowList("ZorView;ZorEdit");
    SearchWindows(system, search);
    EXPECT_EQ(HandlesOf(search), (std::vector<WindowHandle>{0x20, 0x50}));
    EXPECT_EQ(FoundWindowsText(search), "- ZorEdit - notes.txt\n- ZorView 2 - ZorEdit export\n");
}

TEST(WindowSearch, EmptyFragmentsMatchNothing) {
    // Each of these lists holds the empty piece, which would otherwise be a
    // substring of every title, helper windows included.
    for (const char* list : {"", ";", "ZorView;;Calculator", "ZorView;", ";ZorView"}) {
        FakeWindowSystem system = Desktop();
        WindowSearch search;
        search.SetWindowList(list);
        SearchWindows(system, search);
        const std::vector<WindowHandle> expected =
            std::strstr(list, "ZorView") != nullptr ? std::vector<WindowHandle>{0x50} : std::vector<WindowHandle>{};
        EXPECT_EQ(HandlesOf(search), expected) << '"' << list << '"';
    }
}

TEST(WindowSearch, EachSearchStartsAfresh) {
    FakeWindowSystem system = Desktop();
    WindowSearch search;
    search.SetWindowList("ZorEdit");
    EXPECT_EQ(SearchWindows(system, search), 2u);
    EXPECT_EQ(SearchWindows(system, search), 2u);
    EXPECT_EQ(search.found.size(), 2u);

    // The user closed the editor: the next search finds nothing.
    system.windows.erase(system.windows.begin() + 1);
    system.windows.pop_back();
    EXPECT_EQ(SearchWindows(system, search), 0u);
    EXPECT_EQ(FoundWindowsText(search), "");
    EXPECT_EQ(system.enumerations, 3);
}

TEST(WindowSearch, LongTextsAreCutAsReadingCutsThem) {
    const std::string longTitle = std::string(398, 'a') + "XYZ";
    const std::string longClass(500, 'c');
    WindowSearch search;
    search.SetWindowList("aX");
    // The fragment lies at characters 397 and 398, inside the 399 kept.
    EXPECT_TRUE(OnEnumWindow({7, longTitle, longClass}, search));
    ASSERT_EQ(search.found.size(), 1u);
    EXPECT_EQ(search.found[0].title, longTitle.substr(0, 399));
    EXPECT_EQ(search.found[0].className, longClass.substr(0, 399));

    // "XYZ" ends beyond character 399: the cut title does not hold it.
    search.found.clear();
    search.SetWindowList("XYZ");
    EXPECT_TRUE(OnEnumWindow({7, longTitle, longClass}, search));
    EXPECT_TRUE(search.found.empty());
}

TEST(WindowSearch, FoundWindowsTextListsEveryTitleInOrder) {
    WindowSearch search;
    EXPECT_EQ(FoundWindowsText(search), "");
    search.found = {{1, "A", "First"}, {2, "B", ""}, {3, "C", "Third one"}};
    EXPECT_EQ(FoundWindowsText(search), "- First\n- \n- Third one\n");
}

TEST(ProcessCheck, FindsAProcessByItsPathIgnoringCase) {
    FakeWindowSystem system;
    system.processIds = {0, 4, 8, 12};
    system.paths = {{4, "C:\\Windows\\system32\\services.exe"}, {12, "C:\\Program Files\\ZorSoftware\\ZorEdit.exe"}};
    struct Case {
        const char* path;
        bool expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\ZorSoftware\\ZorEdit.exe", true},
        {"c:\\program files\\zorsoftware\\ZOREDIT.EXE", true},
        {"C:\\Windows\\system32\\services.exe", true},
        {"C:\\Program Files\\ZorSoftware\\ZorEdit", false},
        {"ZorEdit.exe", false},
        // Process 8 cannot be opened: its empty path is no match for "".
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsProcessRunning(system, c.path), c.expected) << c.path;
}

TEST(ProcessCheck, StopsAtTheFirstMatchAndSkipsIdentifierZero) {
    FakeWindowSystem system;
    system.processIds = {0, 4, 8, 12};
    system.paths = {{4, "C:\\a.exe"}, {8, "C:\\b.exe"}, {12, "C:\\b.exe"}};
    EXPECT_TRUE(IsProcessRunning(system, "C:\\B.EXE"));
    EXPECT_EQ(system.opened, (std::vector<std::uint32_t>{4, 8}));

    system.opened.clear();
    EXPECT_FALSE(IsProcessRunning(system, "C:\\c.exe"));
    EXPECT_EQ(system.opened, (std::vector<std::uint32_t>{4, 8, 12}));
}

TEST(ProcessCheck, ExaminesAtMost4096Processes) {
    FakeWindowSystem system;
    for (std::uint32_t id = 1; id <= kMaxProcessIds + 10; ++id) system.processIds.push_back(id);
    system.paths[static_cast<std::uint32_t>(kMaxProcessIds)] = "C:\\last.exe";
    system.paths[static_cast<std::uint32_t>(kMaxProcessIds + 1)] = "C:\\beyond.exe";
    EXPECT_TRUE(IsProcessRunning(system, "C:\\last.exe"));
    EXPECT_FALSE(IsProcessRunning(system, "C:\\beyond.exe"));
}

TEST(PlatformCheck, ReportsWhatTheSystemSays) {
    FakeWindowSystem system;
    system.nt = true;
    EXPECT_TRUE(IsNtPlatform(system));
    system.nt = false;
    EXPECT_FALSE(IsNtPlatform(system));
}

} // namespace
