#include "app/folder_browser.h"

#include "common/path.h"
#include "common/windows_api.h"
#include "win32/com_objects.h"

#include <cctype>

namespace {

// The platform's path limit.
constexpr int kPathBufferSize = static_cast<int>(kMaxPath);

// The browser of the resizable style needs the component library on its
// thread: initialised for the call and balanced on return (on a thread that
// has it already, the call only counts once more).
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

void TrimSelection(std::string& selection) {
    while (!selection.empty() && std::isspace(static_cast<unsigned char>(selection.back()))) selection.pop_back();
    if (!selection.empty() && (selection.back() == '\\' || selection.back() == '/')) selection.pop_back();
}

// The file-system path of an item; empty when it has none.
std::string ItemPath(LPCITEMIDLIST item) {
    char path[kPathBufferSize] = {};
    if (item == nullptr || !::SHGetPathFromIDListA(item, path)) return {};
    return path;
}

} // namespace

bool FolderBrowser::ValidateSelection(const std::string& /*path*/, std::string& /*statusText*/) { return true; }

int FolderBrowser::Browse(HWND owner) {
    if (!initialSelection.empty()) TrimSelection(initialSelection);

    ComApartment apartment;
    ComReference<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.out())) || allocator.get() == nullptr) return 0;

    ItemIdList root(allocator.get());
    if (!rootFolder.empty()) {
        wchar_t wideRoot[kPathBufferSize] = {};
        ::MultiByteToWideChar(CP_ACP, 0, rootFolder.c_str(), -1, wideRoot, kPathBufferSize - 1);
        ComReference<IShellFolder> desktop;
        if (SUCCEEDED(::SHGetDesktopFolder(desktop.out())) && desktop.get() != nullptr &&
            FAILED(desktop->ParseDisplayName(nullptr, nullptr, wideRoot, nullptr, root.out(), nullptr)))
            return 0;
    }

    char displayName[kPathBufferSize] = {};
    BROWSEINFOA request{};
    request.hwndOwner = owner;
    request.pidlRoot = root.get();
    request.pszDisplayName = displayName;
    request.lpszTitle = instructionText.c_str();
    request.ulFlags = flags | (showStatusText ? kStatusTextFlag : 0);
    request.lpfn = &FolderBrowser::Callback;
    request.lParam = reinterpret_cast<LPARAM>(this);

    ItemIdList chosen(allocator.get(), ::SHBrowseForFolderA(&request));
    if (chosen.get() == nullptr) return 0;
    imageIndex = request.iImage;
    const std::string path = ItemPath(chosen.get());
    if (path.empty()) return 0;
    resultPath = path;
    return 1;
}

int CALLBACK FolderBrowser::Callback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
    auto* browser = reinterpret_cast<FolderBrowser*>(data);
    if (message == BFFM_INITIALIZED) {
        if (!browser->initialSelection.empty())
            ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE,
                           reinterpret_cast<LPARAM>(browser->initialSelection.c_str()));
        if (!browser->caption.empty()) ::SetWindowTextA(window, browser->caption.c_str());
    } else if (message == BFFM_SELCHANGED) {
        std::string status;
        const bool accepted = browser->ValidateSelection(ItemPath(reinterpret_cast<LPCITEMIDLIST>(lParam)), status);
        if (browser->showStatusText)
            ::SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
        ::SendMessageA(window, BFFM_ENABLEOK, 0, accepted ? TRUE : FALSE);
    }
    return 0;
}
