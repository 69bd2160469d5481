// The clipboard of the session's display.
#include "win32/clipboard.h"

#include "common/windows_api.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsClipboard, HoldsTheCopiedText) {
    ASSERT_TRUE(CopyTextToClipboard("Zor clipboard text"));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    const char* text = static_cast<const char*>(::GlobalLock(data));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Zor clipboard text");
    ::GlobalUnlock(data);
    ::CloseClipboard();

    EXPECT_TRUE(CopyTextToClipboard(""));
}

} // namespace
