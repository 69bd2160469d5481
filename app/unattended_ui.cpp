#include "app/unattended_ui.h"

#include "app/installation_messages.h"

namespace {

// The button set of message-box flags (their lowest four bits).
constexpr unsigned kButtonSetMask = 0xF;
constexpr unsigned kButtonsOkCancel = 0x1;
constexpr unsigned kButtonsYesNo = 0x4;

} // namespace

int UnattendedUi::ShowMessage(const std::string& text, const std::string& /*caption*/, unsigned flags) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        InstallationProgress(text.substr(start, end - start).c_str(), 0);
    // A text that ends with a line feed gives no empty last line.
    if (start < text.size() || start == 0) InstallationProgress(text.substr(start).c_str(), 0);
    switch (flags & kButtonSetMask) {
    case kButtonsYesNo:
        return kButtonNo;
    case kButtonsOkCancel:
        return kButtonCancel;
    default:
        return kButtonOk;
    }
}

bool UnattendedUi::RunOptionsDialog(const std::string&, std::string&, std::uint32_t&) { return false; }
