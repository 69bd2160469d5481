// The options dialog, the folder browser and the progress window from the
// program's own resources, under Wine in the session's display. Each modal
// window runs on the test's thread while a driver thread reads and presses
// its controls as a user would.
#include "app/folder_browser.h"
#include "app/install_options_dialog.h"
#include "app/progress_window.h"
#include "common/text_utils.h"
#include "common/windows_api.h"
#include "tests/support/gui_driver.h"
#include "win32/shell_link.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <thread>

namespace {

constexpr std::uint32_t kDefaultWord = 0x01FF0002;
constexpr int kAllUsersBox = 1002, kDesktopBox = 1003, kQuickLaunchBox = 1004, kSessionBox = 1005,
              kStartAfterBox = 1006;

// Runs driver on a thread of its own while the calling thread shows a modal
// window; returns after both have finished.
template <typename Modal>
auto WhileDriving(const std::function<void()>& driver, Modal modal) {
    std::thread thread(driver);
    auto result = modal();
    thread.join();
    return result;
}

class OptionsDialogTest : public ::testing::Test {
protected:
    // Shows the dialog with the proposed directory and options word; driver
    // receives the dialog window once it is visible and must end it.
    std::intptr_t Run(const std::string& directory, std::uint32_t options, const std::function<void(HWND)>& driver) {
        dialog_.SetCaption(kCaption);
        dialog_.SetDirectory(directory);
        dialog_.SetOptions(options);
        return WhileDriving(
            [&] {
                const DrivenWindow window = WaitForWindow(kCaption);
                if (!window) {
                    ADD_FAILURE() << "the dialog did not appear";
                    return;
                }
                driver(static_cast<HWND>(window.handle));
            },
            [&] { return dialog_.DoModal(); });
    }

    static constexpr char kCaption[] = "Installation of Zor Demo (1.2.3)";
    InstallOptionsDialog dialog_;
};

TEST_F(OptionsDialogTest, ShowsTheProposalAndReturnsTheUsersChoice) {
    const std::intptr_t result = Run("C:\\Program Files\\ZorSoftware", kDefaultWord, [](HWND window) {
        EXPECT_EQ(ControlText(window, 1000), "C:\\Program Files\\ZorSoftware");
        EXPECT_EQ(ControlText(window, 1007), "ZorInstaller ver 0.5");
        for (int box : {kAllUsersBox, kDesktopBox, kQuickLaunchBox, kSessionBox, kStartAfterBox})
            EXPECT_TRUE(IsControlVisible(window, box)) << box;
        EXPECT_TRUE(IsChecked(window, kAllUsersBox));
        EXPECT_TRUE(IsChecked(window, kStartAfterBox));
        EXPECT_TRUE(IsChecked(window, kDesktopBox));
        EXPECT_TRUE(IsChecked(window, kQuickLaunchBox));
        EXPECT_FALSE(IsChecked(window, kSessionBox));
        EXPECT_TRUE(IsControlEnabled(window, IDOK));

        // An empty directory cannot be confirmed; one character can.
        TypeText(window, 1000, "");
        EXPECT_FALSE(IsControlEnabled(window, IDOK));
        TypeText(window, 1000, "D");
        EXPECT_TRUE(IsControlEnabled(window, IDOK));

        TypeText(window, 1000, "D:\\Apps\\Demo");
        ClickControl(window, kAllUsersBox);
        ClickControl(window, kSessionBox);
        ClickControl(window, kStartAfterBox);
        EXPECT_TRUE(PressButton(WindowOf(window), IDOK));
    });
    EXPECT_EQ(result, Dialog::kOk);
    EXPECT_EQ(dialog_.Directory(), "D:\\Apps\\Demo");
    // Only the checked bits change; the shown bits and the compression bit stay.
    EXPECT_EQ(dialog_.Options(), (kDefaultWord & ~0x20000u & ~0x80000u) | 0x2000000u);
}

TEST_F(OptionsDialogTest, HiddenOptionsKeepTheirCheckedBits) {
    // No option shown; start-up and desktop checked by the archive.
    const std::uint32_t word = 0x2200002;
    const std::intptr_t result = Run("C:\\Apps", word, [](HWND window) {
        for (int box : {kAllUsersBox, kDesktopBox, kQuickLaunchBox, kSessionBox, kStartAfterBox})
            EXPECT_FALSE(IsControlVisible(window, box)) << box;
        EXPECT_TRUE(IsControlVisible(window, 1000));
        EXPECT_TRUE(IsControlVisible(window, 1001));
        EXPECT_TRUE(IsControlVisible(window, 1007));
        EXPECT_TRUE(PressButton(WindowOf(window), IDOK));
    });
    EXPECT_EQ(result, Dialog::kOk);
    EXPECT_EQ(dialog_.Options(), word);
}

TEST_F(OptionsDialogTest, CancelLeavesTheOptionsWordAsProposed) {
    const std::intptr_t result = Run("C:\\Apps", kDefaultWord, [](HWND window) {
        TypeText(window, 1000, "D:\\Elsewhere");
        ClickControl(window, kDesktopBox);
        EXPECT_TRUE(PressButton(WindowOf(window), IDCANCEL));
    });
    EXPECT_EQ(result, Dialog::kCancel);
    EXPECT_EQ(dialog_.Options(), kDefaultWord);
}

TEST_F(OptionsDialogTest, TheBrowserReplacesTheWholeDirectory) {
    const std::string programFiles = GetSpecialFolderPath(kFolderProgramFiles);
    ASSERT_FALSE(programFiles.empty());
    std::string shown;
    Run("C:\\Program Files\\ZorSoftware", kDefaultWord, [&](HWND window) {
        // The browser is modal: the button is pressed without waiting for it.
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, 1001)));
        const DrivenWindow browser = WaitForWindow("Browse for Folder");
        ASSERT_TRUE(browser);
        // The browser opens on its root, the Program Files folder.
        EXPECT_TRUE(PressButton(browser, IDOK));
        for (int waited = 0; waited < 5000 && ControlText(window, 1000) != programFiles; waited += 50) ::Sleep(50);
        shown = ControlText(window, 1000);
        EXPECT_TRUE(PressButton(WindowOf(window), IDCANCEL));
    });
    EXPECT_EQ(shown, programFiles);
}

// A browser that accepts only folders whose path ends with "s" and says why.
class PickyBrowser : public FolderBrowser {
public:
    bool ValidateSelection(const std::string& path, std::string& statusText) override {
        seen.push_back(path);
        const bool accepted = !path.empty() && (path.back() == 's' || path.back() == 'S');
        statusText = accepted ? "fine" : "not this one";
        return accepted;
    }
    std::vector<std::string> seen;
};

TEST(FolderBrowser, SelectsTrimsValidatesAndReturnsTheChosenPath) {
    PickyBrowser browser;
    browser.caption = "Pick a folder";
    browser.initialSelection = "C:\\windows\\  ";
    browser.showStatusText = true;
    const int result = WhileDriving(
        [&] {
            const DrivenWindow window = WaitForWindow("Pick a folder");
            ASSERT_TRUE(window);
            EXPECT_TRUE(PressButton(window, IDOK));
        },
        [&] { return browser.Browse(nullptr); });
    EXPECT_EQ(browser.initialSelection, "C:\\windows");
    ASSERT_FALSE(browser.seen.empty());
    EXPECT_TRUE(EqualsIgnoringCase(browser.seen.back(), "C:\\windows")) << browser.seen.back();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(EqualsIgnoringCase(browser.resultPath, "C:\\windows")) << browser.resultPath;
}

// Wine's browser sets its OK button itself after the selection callback, so
// the button's state after a refusal is not checked here.
TEST(FolderBrowser, ARefusedSelectionShowsItsStatusAndCancelReturnsNothing) {
    PickyBrowser browser;
    browser.caption = "Pick another folder";
    browser.initialSelection = "C:\\windows\\system32";
    browser.showStatusText = true;
    const int result = WhileDriving(
        [&] {
            const DrivenWindow window = WaitForWindow("Pick another folder");
            ASSERT_TRUE(window);
            EXPECT_NE(std::find(window.texts.begin(), window.texts.end(), "not this one"), window.texts.end());
            EXPECT_TRUE(PressButton(window, IDCANCEL));
        },
        [&] { return browser.Browse(nullptr); });
    ASSERT_FALSE(browser.seen.empty());
    EXPECT_TRUE(EqualsIgnoringCase(browser.seen.back(), "C:\\windows\\system32")) << browser.seen.back();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(browser.resultPath.empty());
}

TEST(FolderBrowser, AnUnparsableRootShowsNothing) {
    FolderBrowser browser;
    browser.rootFolder = "Q:\\no such drive\\no such folder";
    EXPECT_EQ(browser.Browse(nullptr), 0);
    EXPECT_TRUE(browser.resultPath.empty());
}

TEST(ProgressWindow, ShowsTheFileAndTheShareOfBytesDone) {
    ProgressWindow progress;
    ASSERT_TRUE(progress.Show("Installing Zor Demo", "demo.exe", 0, 4000));
    HWND window = progress.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    char caption[64] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Installing Zor Demo");
    EXPECT_EQ(ControlText(window, kProgressFileLabel), "demo.exe");
    EXPECT_EQ(::SendDlgItemMessageA(window, kProgressBar, PBM_GETPOS, 0, 0), 0);

    ASSERT_TRUE(progress.Show("Installing Zor Demo", "data\\big.bin", 1000, 4000));
    EXPECT_EQ(progress.Window(), window) << "one window for the whole extraction";
    EXPECT_EQ(ControlText(window, kProgressFileLabel), "data\\big.bin");
    EXPECT_EQ(::SendDlgItemMessageA(window, kProgressBar, PBM_GETPOS, 0, 0), 250);

    progress.Close();
    EXPECT_EQ(progress.Window(), nullptr);
    EXPECT_FALSE(::IsWindow(window));
    progress.Close(); // a second close does nothing
}

TEST(ProgressWindow, BarPositionIsTheShareInThousandths) {
    EXPECT_EQ(ProgressWindow::BarPosition(0, 0), 1000) << "nothing to extract is all done";
    EXPECT_EQ(ProgressWindow::BarPosition(1, 3), 333);
    EXPECT_EQ(ProgressWindow::BarPosition(5, 3), 1000);
    // Totals near the 64-bit limit neither overflow nor lose the share.
    EXPECT_EQ(ProgressWindow::BarPosition(UINT64_MAX / 2, UINT64_MAX), 499);
    EXPECT_EQ(ProgressWindow::BarPosition((std::uint64_t{1} << 40) * 3, std::uint64_t{1} << 42), 750);
}

} // namespace
