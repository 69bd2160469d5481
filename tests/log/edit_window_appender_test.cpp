// EditWindowAppender and LogBox on real edit controls: a visible top-level
// window of the Wine prefix with multi-line edit children, driven by
// messages, read back through the wide-character calls.
#include "log/appenders/edit_window_appender.h"
#include "log/appenders/log_box.h"

#include "common/windows_api.h"
#include "log/log_factory.h"
#include "recording_appender.h"
#include "tests/support/message_pump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace {

constexpr const wchar_t* kWindowClass = L"ZorEditWindowTestWindow";

// A multi-line edit that neither wraps nor edits itself on the user's behalf.
constexpr DWORD kLogEditStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;

void RegisterTestClass() {
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        return ::RegisterClassW(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
}

std::wstring ControlText(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

bool IsReadOnly(HWND control) { return (::GetWindowLongPtrW(control, GWL_STYLE) & ES_READONLY) != 0; }

int LineCount(HWND control) { return static_cast<int>(::SendMessageW(control, EM_GETLINECOUNT, 0, 0)); }

int FirstVisibleLine(HWND control) { return static_cast<int>(::SendMessageW(control, EM_GETFIRSTVISIBLELINE, 0, 0)); }

// True when the start of the line lies inside the control's client area.
bool LineInView(HWND control, int line) {
    const LRESULT start = ::SendMessageW(control, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    if (start < 0) return false;
    const LRESULT position = ::SendMessageW(control, EM_POSFROMCHAR, static_cast<WPARAM>(start), 0);
    if (position == -1) return false;
    RECT client{};
    ::GetClientRect(control, &client);
    const int y = static_cast<short>(HIWORD(position));
    return y >= 0 && y < client.bottom;
}

// The handle as the "HWND" parameter takes it.
std::string DecimalHandle(HWND window) { return std::to_string(reinterpret_cast<std::intptr_t>(window)); }

bool Log(Appender& appender, const std::string& message) {
    LoggingEvent event;
    event.message = message;
    return appender.append(event);
}

// For long texts: where they first differ, instead of both texts in full.
::testing::AssertionResult SameText(const std::wstring& actual, const std::wstring& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    auto unit = [](const std::wstring& text, std::size_t index) {
        return index < text.size() ? std::to_string(static_cast<unsigned>(text[index])) : std::string("end");
    };
    return ::testing::AssertionFailure() << "lengths " << actual.size() << " and " << expected.size()
                                         << ", first difference at " << at << ": " << unit(actual, at) << " instead of "
                                         << unit(expected, at);
}

std::wstring Repeated(const std::wstring& piece, int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// A visible top-level window with one multi-line edit child, 120 pixels high
// so that a few dozen lines do not fit.
class EditControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClass();
        window_ = ::CreateWindowExW(0, kWindowClass, L"Edit window test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500,
                                    400, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, window_);
        edit_ = MakeEdit(kLogEditStyle);
        ASSERT_NE(nullptr, edit_);
        PumpFor(20);
    }
    void TearDown() override {
        if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
        PumpFor(10);
    }

    HWND MakeEdit(DWORD style, int height = 120) {
        return ::CreateWindowExW(0, L"EDIT", L"", style, 10, 10, 300, height, window_, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

// The appender's own life cycle and the factory, on the bare control.
using EditWindowAppenderLifeTest = EditControlTest;
// A box is attached by each test itself.
using LogBoxTest = EditControlTest;

// An appender started on the fixture's edit control, without a layout: each
// record is its message and "\n".
class EditWindowAppenderTest : public EditControlTest {
protected:
    void SetUp() override {
        EditControlTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(appender_.setParam("HWND", DecimalHandle(edit_)));
        std::string error;
        ASSERT_TRUE(appender_.start(error)) << error;
    }
    void TearDown() override {
        std::string error;
        appender_.stop(error);
        EditControlTest::TearDown();
    }

    EditWindowAppender appender_{"edit", LogPriority::kNotSet};
};

TEST_F(EditWindowAppenderTest, MakesTheControlReadOnlyAndAppendsWithItsLineBreaks) {
    ::SetWindowTextW(edit_, L"kept\r\n");
    ASSERT_FALSE(IsReadOnly(edit_));

    EXPECT_TRUE(Log(appender_, "first\nsecond"));
    EXPECT_TRUE(IsReadOnly(edit_));
    EXPECT_EQ(ControlText(edit_), L"kept\r\nfirst\r\nsecond\r\n");
    EXPECT_EQ(LineCount(edit_), 4); // three lines of text and the empty one after the last break

    EXPECT_TRUE(Log(appender_, "third"));
    EXPECT_TRUE(IsReadOnly(edit_));
    EXPECT_EQ(ControlText(edit_), L"kept\r\nfirst\r\nsecond\r\nthird\r\n");

    // A line end that is already "\r\n" (a pattern's "%n") gets no second "\r".
    EXPECT_TRUE(Log(appender_, "fourth\r\nfifth"));
    EXPECT_EQ(ControlText(edit_), L"kept\r\nfirst\r\nsecond\r\nthird\r\nfourth\r\nfifth\r\n");
}

TEST_F(EditWindowAppenderTest, MaxLinesRemovesTheFirstLineOncePerRecord) {
    ::SetWindowTextW(edit_, L"l1\r\nl2\r\nl3\r\nl4\r\nl5\r\n");
    ASSERT_TRUE(appender_.setParam("MaxLines", "3"));

    EXPECT_TRUE(Log(appender_, "r1"));
    EXPECT_EQ(ControlText(edit_), L"l2\r\nl3\r\nl4\r\nl5\r\nr1\r\n");
    EXPECT_TRUE(Log(appender_, "r2"));
    EXPECT_EQ(ControlText(edit_), L"l3\r\nl4\r\nl5\r\nr1\r\nr2\r\n");

    // At the limit exactly, the first line goes too.
    ::SetWindowTextW(edit_, L"l1\r\nl2");
    EXPECT_TRUE(appender_.setParam("MaxLines", "2"));
    EXPECT_TRUE(Log(appender_, "r"));
    EXPECT_EQ(ControlText(edit_), L"l2r\r\n");

    // Below the limit nothing goes.
    ::SetWindowTextW(edit_, L"l1\r\nl2\r\n");
    EXPECT_TRUE(appender_.setParam("MaxLines", "10"));
    EXPECT_TRUE(Log(appender_, "r3"));
    EXPECT_EQ(ControlText(edit_), L"l1\r\nl2\r\nr3\r\n");

    // Without a line feed there is no first line to remove.
    ::SetWindowTextW(edit_, L"abc");
    EXPECT_TRUE(appender_.setParam("MaxLines", "1"));
    EXPECT_TRUE(Log(appender_, "d"));
    EXPECT_EQ(ControlText(edit_), L"abcd\r\n");
}

TEST_F(EditWindowAppenderTest, WithoutALimitEveryLineStays) {
    ::SetWindowTextW(edit_, L"l1\r\nl2\r\nl3\r\nl4\r\nl5\r\n");
    ASSERT_TRUE(appender_.setParam("MaxLines", "-1"));
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Log(appender_, "r"));
    EXPECT_EQ(ControlText(edit_), L"l1\r\nl2\r\nl3\r\nl4\r\nl5\r\n" + Repeated(L"r\r\n", 5));
}

TEST_F(EditWindowAppenderTest, AutoScrollShowsTheLastRecord) {
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(Log(appender_, "record " + std::to_string(i)));
    ASSERT_EQ(LineCount(edit_), 41);
    EXPECT_GT(FirstVisibleLine(edit_), 0);
    EXPECT_TRUE(LineInView(edit_, 39)); // the last record's line
    EXPECT_FALSE(LineInView(edit_, 0));
}

TEST_F(EditWindowAppenderTest, WithoutAutoScrollTheViewStaysAtTheTop) {
    ASSERT_TRUE(appender_.setParam("AutoScroll", "false"));
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(Log(appender_, "record " + std::to_string(i)));
    ASSERT_EQ(LineCount(edit_), 41);
    EXPECT_EQ(FirstVisibleLine(edit_), 0);
    EXPECT_FALSE(LineInView(edit_, 39));
}

TEST_F(EditWindowAppenderTest, RecordsWithoutALiveControlAreDroppedAndStillSucceed) {
    // Never given a control.
    EditWindowAppender unset("unset", LogPriority::kNotSet);
    std::string error;
    ASSERT_TRUE(unset.start(error));
    EXPECT_TRUE(Log(unset, "nowhere"));

    // Given a control that has gone.
    HWND gone = MakeEdit(kLogEditStyle);
    ASSERT_NE(nullptr, gone);
    ASSERT_TRUE(::DestroyWindow(gone));
    ASSERT_TRUE(appender_.setParam("HWND", DecimalHandle(gone)));
    EXPECT_TRUE(Log(appender_, "gone"));

    // Handed "0" after a live control: it writes there no more.
    ASSERT_TRUE(appender_.setParam("HWND", DecimalHandle(edit_)));
    ASSERT_TRUE(Log(appender_, "live"));
    ASSERT_TRUE(appender_.setParam("HWND", "0"));
    EXPECT_EQ(appender_.window(), nullptr);
    EXPECT_TRUE(Log(appender_, "after"));
    EXPECT_EQ(ControlText(edit_), L"live\r\n");
    EXPECT_TRUE(unset.stop(error));
}

TEST(EditWindowAppenderParams, ReadWrittenAndReported) {
    EditWindowAppender appender;
    EXPECT_STREQ(appender.className(), "EditWindowAppender");
    EXPECT_EQ(appender.window(), nullptr);
    EXPECT_EQ(appender.getParam("MaxLines"), "4294967295");
    EXPECT_EQ(appender.getParam("AutoScroll"), "true");
    EXPECT_EQ(appender.getParam("HWND"), "");

    EXPECT_TRUE(appender.setParam("hwnd", "123456"));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(appender.window()), 123456u);
    EXPECT_EQ(appender.getParam("HWND"), "");

    EXPECT_TRUE(appender.setParam("MAXLINES", "12"));
    EXPECT_EQ(appender.maxLines(), 12);
    EXPECT_EQ(appender.getParam("maxlines"), "12");
    EXPECT_TRUE(appender.setParam("MaxLines", "-1"));
    EXPECT_EQ(appender.maxLines(), -1);
    EXPECT_EQ(appender.getParam("MaxLines"), "4294967295");
    EXPECT_TRUE(appender.setParam("MaxLines", "4294967295")); // the reported text reads back as no limit
    EXPECT_EQ(appender.maxLines(), -1);

    const std::pair<const char*, bool> booleans[] = {{"false", false}, {"TRUE", true}, {"0", false},
                                                     {"1", true},      {"yes", false}, {"True", true}};
    for (const auto& [value, expected] : booleans) {
        EXPECT_TRUE(appender.setParam("autoscroll", value));
        EXPECT_EQ(appender.autoScroll(), expected) << value;
        EXPECT_EQ(appender.getParam("AutoScroll"), expected ? "true" : "false") << value;
    }

    // The base class's names come first.
    EXPECT_TRUE(appender.setParam("threshold", "WARN"));
    EXPECT_EQ(appender.getThreshold(), 400);
    EXPECT_TRUE(appender.setParam("Active", "false"));
    EXPECT_FALSE(appender.isActive());
    EXPECT_FALSE(appender.setParam("Threshold", "Loud"));
    EXPECT_FALSE(appender.setParam("Window", "1"));
    EXPECT_EQ(appender.getParam("Window"), "");
}

TEST_F(EditWindowAppenderLifeTest, OpenWritesNoHeaderAndCloseWritesTheFooter) {
    FramingLayout layout;
    EditWindowAppender appender("framed", LogPriority::kNotSet);
    appender.setLayout(&layout);
    appender.setWindow(edit_);
    std::string error;

    ASSERT_TRUE(appender.start(error)) << error;
    EXPECT_EQ(ControlText(edit_), L"");
    EXPECT_TRUE(Log(appender, "m"));
    EXPECT_EQ(ControlText(edit_), L"<m>");
    EXPECT_TRUE(appender.stop(error)) << error;
    EXPECT_EQ(ControlText(edit_), L"<m>foot:EditWindowAppender:framed");
    EXPECT_FALSE(Log(appender, "closed"));
    EXPECT_EQ(ControlText(edit_), L"<m>foot:EditWindowAppender:framed");
}

TEST_F(EditWindowAppenderLifeTest, TheFactoryCreatesTheAppenderByNameInAnyCase) {
    LogFactory factory;
    int index = 0;
    for (const char* className : {"EditWindowAppender", "editwindowappender", "EDITWINDOWAPPENDER"}) {
        const std::string name = "edit" + std::to_string(index++);
        Appender* appender = factory.createAppender(className, name, LogPriority::kNotSet);
        ASSERT_NE(appender, nullptr) << className << ": " << factory.lastError();
        EXPECT_STREQ(appender->className(), "EditWindowAppender");
        ASSERT_TRUE(appender->setParam("HWND", DecimalHandle(edit_)));
        std::string error;
        ASSERT_TRUE(appender->start(error)) << error;
        EXPECT_TRUE(Log(*appender, name));
    }
    EXPECT_EQ(ControlText(edit_), L"edit0\r\nedit1\r\nedit2\r\n");
}

TEST_F(EditWindowAppenderTest, NonAsciiTextArrivesIntact) {
    ::SetWindowTextW(edit_, L"\u00fcber\r\n"); // existing text is written back unchanged
    // "café ✓ 日本 😀" in UTF-8: two-, three- and four-byte sequences.
    EXPECT_TRUE(Log(appender_, "caf\xc3\xa9 \xe2\x9c\x93 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80"));
    EXPECT_EQ(ControlText(edit_), L"\u00fcber\r\ncaf\u00e9 \u2713 \u65e5\u672c \U0001F600\r\n");
}

TEST_F(EditWindowAppenderTest, ARecordFromAnotherThreadArrivesWhileTheOwnerPumps) {
    std::atomic<bool> done{false};
    bool appended = false;
    std::thread worker([&] {
        appended = Log(appender_, "from the worker");
        done = true;
    });
    const bool finished = PumpUntil(20000, [&] { return done.load(); });
    if (!finished) {
        // The worker still waits for this thread's messages; leave it be.
        worker.detach();
        FAIL() << "the worker's record did not get through";
    }
    worker.join();
    EXPECT_TRUE(appended);
    EXPECT_EQ(ControlText(edit_), L"from the worker\r\n");
    EXPECT_TRUE(IsReadOnly(edit_));
}

// ---- LogBox ----

TEST_F(LogBoxTest, TakesOnlyAMultiLineEditNotHeldByAnother) {
    LogBox box;
    EXPECT_FALSE(box.attach(nullptr));
    HWND label = ::CreateWindowExW(0, L"STATIC", L"label", WS_CHILD | WS_VISIBLE, 10, 200, 100, 20, window_, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, label);
    EXPECT_FALSE(box.attach(label));
    HWND singleLine = MakeEdit(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 20);
    ASSERT_NE(nullptr, singleLine);
    EXPECT_FALSE(box.attach(singleLine));
    HWND gone = MakeEdit(kLogEditStyle);
    ASSERT_TRUE(::DestroyWindow(gone));
    EXPECT_FALSE(box.attach(gone));
    EXPECT_EQ(box.control(), nullptr);

    const LONG_PTR ownProc = ::GetWindowLongPtrW(edit_, GWLP_WNDPROC);
    ASSERT_TRUE(box.attach(edit_));
    EXPECT_EQ(box.control(), edit_);
    EXPECT_NE(::GetWindowLongPtrW(edit_, GWLP_WNDPROC), ownProc);
    LogBox second;
    EXPECT_FALSE(second.attach(edit_));

    // Detaching gives the procedure back, stops a pending scroll and frees
    // the control for another box.
    box.requestScrollToEnd();
    EXPECT_TRUE(box.scrollPending());
    box.detach();
    EXPECT_FALSE(box.scrollPending());
    EXPECT_FALSE(::KillTimer(edit_, LogBox::kScrollTimerId));
    EXPECT_EQ(::GetWindowLongPtrW(edit_, GWLP_WNDPROC), ownProc);
    EXPECT_TRUE(second.attach(edit_));
}

TEST_F(LogBoxTest, LetsGoOfADestroyedControlAndGivesALiveOneItsProcedureBack) {
    const LONG_PTR ownProc = ::GetWindowLongPtrW(edit_, GWLP_WNDPROC);
    {
        LogBox box;
        ASSERT_TRUE(box.attach(edit_));
    }
    EXPECT_EQ(::GetWindowLongPtrW(edit_, GWLP_WNDPROC), ownProc);

    LogBox box;
    ASSERT_TRUE(box.attach(edit_));
    ASSERT_TRUE(::DestroyWindow(edit_));
    EXPECT_EQ(box.control(), nullptr);
    box.appendText("ignored\n", true); // nothing to write to, and no fault
    EXPECT_EQ(box.handleText(), "LogBoxHandle:00000000");
}

TEST_F(LogBoxTest, AppendsTextWithOrWithoutCarriageReturns) {
    LogBox box;
    ASSERT_TRUE(box.attach(edit_));
    ::SetWindowTextW(edit_, L"a");
    box.appendText("x\ny\n", true);
    EXPECT_EQ(ControlText(edit_), L"ax\r\ny\r\n");
    box.appendText("p\nq", false);
    EXPECT_EQ(ControlText(edit_), L"ax\r\ny\r\np\nq");
    box.appendText("\xc3\xa9\xe2\x9c\x93", true);
    EXPECT_EQ(ControlText(edit_), L"ax\r\ny\r\np\nq\u00e9\u2713");
    box.appendText("\r\n", true);
    EXPECT_EQ(ControlText(edit_), L"ax\r\ny\r\np\nq\u00e9\u2713\r\n");
}

TEST_F(LogBoxTest, KeepsTheLastLineInView) {
    LogBox box;
    ASSERT_TRUE(box.attach(edit_));
    for (int i = 0; i < 40; ++i) box.appendText("line " + std::to_string(i) + "\n", true);
    ASSERT_EQ(LineCount(edit_), 41);
    EXPECT_GT(FirstVisibleLine(edit_), 0);
    EXPECT_TRUE(LineInView(edit_, 39));
}

TEST_F(LogBoxTest, FormatsAndCutsLongResultsOnACharacterBoundary) {
    LogBox box;
    ASSERT_TRUE(box.attach(edit_));
    box.appendFormat("%d-%s", 42, "x\ny");
    EXPECT_EQ(ControlText(edit_), L"42-x\r\ny");
    box.appendLineFormat(" n=%u", 7u);
    EXPECT_EQ(ControlText(edit_), L"42-x\r\ny n=7\r\n");

    const std::size_t kept = LogBox::kFormatBufferSize - 1;
    ::SetWindowTextW(edit_, L"");
    box.appendFormat("%s", std::string(5000, 'z').c_str());
    EXPECT_TRUE(SameText(ControlText(edit_), std::wstring(kept, L'z')));

    ::SetWindowTextW(edit_, L"");
    box.appendLineFormat("%s", std::string(5000, 'z').c_str());
    EXPECT_TRUE(SameText(ControlText(edit_), std::wstring(kept, L'z') + L"\r\n"));

    // 1,999 bytes of two-byte characters end inside the 1,000th: 999 stay.
    ::SetWindowTextW(edit_, L"");
    box.appendFormat("%s", Repeated("\xc3\xa9", 1500).c_str());
    EXPECT_TRUE(SameText(ControlText(edit_), Repeated(L"\u00e9", 999)));

    // Three-byte characters after one ASCII byte fill the 1,999 bytes exactly.
    ::SetWindowTextW(edit_, L"");
    box.appendFormat("a%s", Repeated("\xe2\x9c\x93", 1000).c_str());
    EXPECT_TRUE(SameText(ControlText(edit_), L"a" + Repeated(L"\u2713", 666)));

    // After two ASCII bytes the 666th is cut after two of its bytes.
    ::SetWindowTextW(edit_, L"");
    box.appendFormat("ab%s", Repeated("\xe2\x9c\x93", 1000).c_str());
    EXPECT_TRUE(SameText(ControlText(edit_), L"ab" + Repeated(L"\u2713", 665)));

    // Four-byte characters: 1,999 = 499 * 4 + 3.
    ::SetWindowTextW(edit_, L"");
    box.appendFormat("%s", Repeated("\xf0\x9f\x98\x80", 600).c_str());
    EXPECT_TRUE(SameText(ControlText(edit_), Repeated(L"\U0001F600", 499)));
}

TEST_F(LogBoxTest, HandleTextNamesTheControl) {
    LogBox box;
    EXPECT_EQ(box.handleText(), "LogBoxHandle:00000000");
    ASSERT_TRUE(box.attach(edit_));
    const std::string text = box.handleText();
    const std::string prefix = "LogBoxHandle:";
    ASSERT_EQ(text.size(), prefix.size() + 8) << text;
    EXPECT_EQ(text.substr(0, prefix.size()), prefix);
    const std::string digits = text.substr(prefix.size());
    EXPECT_EQ(digits.find_first_not_of("0123456789ABCDEF"), std::string::npos) << digits;
    // Read back the way a 32-bit value is widened to a handle (sign-extended).
    const auto value = static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    HWND named = reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
    EXPECT_EQ(named, edit_);
}

TEST_F(LogBoxTest, SwallowsTypedCharactersButKeepsKeyPresses) {
    LogBox box;
    ASSERT_TRUE(box.attach(edit_));
    ::SetWindowTextW(edit_, L"abc");
    ::SendMessageW(edit_, EM_SETSEL, 3, 3);

    ::SendMessageW(edit_, WM_CHAR, L'x', 0x002D0001); // as typed: repeat count 1, scan code
    EXPECT_EQ(ControlText(edit_), L"abc");
    ::SendMessageW(edit_, WM_CHAR, L'y', 0);
    EXPECT_EQ(ControlText(edit_), L"abcy");

    // The Delete key is handled by the control on its key press.
    ::SendMessageW(edit_, EM_SETSEL, 0, 0);
    ::SendMessageW(edit_, WM_KEYDOWN, VK_DELETE, 0x01530001);
    ::SendMessageW(edit_, WM_KEYUP, VK_DELETE, static_cast<LPARAM>(0xC1530001u));
    EXPECT_EQ(ControlText(edit_), L"bcy");
}

TEST_F(LogBoxTest, CarriesOutARequestedScrollOnItsTimer) {
    LogBox box;
    ASSERT_TRUE(box.attach(edit_));
    std::wstring lines;
    for (int i = 0; i < 40; ++i) lines += L"line " + std::to_wstring(i) + L"\r\n";
    ::SetWindowTextW(edit_, lines.c_str());
    ASSERT_EQ(FirstVisibleLine(edit_), 0);

    box.requestScrollToEnd();
    box.requestScrollToEnd(); // one scroll for both
    EXPECT_TRUE(box.scrollPending());
    EXPECT_EQ(FirstVisibleLine(edit_), 0); // not before the message loop runs
    ASSERT_TRUE(PumpUntil(5000, [&] { return !box.scrollPending(); }));
    EXPECT_TRUE(LineInView(edit_, 39));
    EXPECT_FALSE(::KillTimer(edit_, LogBox::kScrollTimerId)); // the timer was stopped

    // A timer message without a request does not move the view.
    ::SendMessageW(edit_, EM_LINESCROLL, 0, -100);
    ASSERT_EQ(FirstVisibleLine(edit_), 0);
    ::SendMessageW(edit_, WM_TIMER, LogBox::kScrollTimerId, 0);
    EXPECT_EQ(FirstVisibleLine(edit_), 0);
}

} // namespace
