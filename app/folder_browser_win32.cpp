#include "app/folder_browser.h"

#include "common/windows_api.h"

#include <shlobj.h>

#include <cctype>

namespace {

// The platform's path limit with its NUL.
constexpr int kPathBufferSize = MAX_PATH;

// Releases a COM interface pointer at the end of the scope.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface** Out() { return &pointer_; }
    Interface* operator->() const { return pointer_; }
    Interface* Get() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// Frees an item identifier with the shell's allocator at the end of the scope.
class ItemIdList {
public:
    explicit ItemIdList(IMalloc* allocator, LPITEMIDLIST items = nullptr) : allocator_(allocator), items_(items) {}
    ~ItemIdList() {
        if (items_ != nullptr) allocator_->Free(items_);
    }
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;
    LPITEMIDLIST* Out() { return &items_; }
    LPITEMIDLIST Get() const { return items_; }

private:
    IMalloc* allocator_;
    LPITEMIDLIST items_;
};

// The browser of the resizable style needs the component library on its
// thread; initialised here only when the thread has not done so already.
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
    ComPointer<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.Out())) || allocator.Get() == nullptr) return 0;

    ItemIdList root(allocator.Get());
    if (!rootFolder.empty()) {
        wchar_t wideRoot[kPathBufferSize] = {};
        ::MultiByteToWideChar(CP_ACP, 0, rootFolder.c_str(), -1, wideRoot, kPathBufferSize - 1);
        ComPointer<IShellFolder> desktop;
        if (SUCCEEDED(::SHGetDesktopFolder(desktop.Out())) && desktop.Get() != nullptr &&
            FAILED(desktop->ParseDisplayName(nullptr, nullptr, wideRoot, nullptr, root.Out(), nullptr)))
            return 0;
    }

    char displayName[kPathBufferSize] = {};
    BROWSEINFOA request{};
    request.hwndOwner = owner;
    request.pidlRoot = root.Get();
    request.pszDisplayName = displayName;
    request.lpszTitle = instructionText.c_str();
    request.ulFlags = flags | (showStatusText ? kStatusTextFlag : 0);
    request.lpfn = &FolderBrowser::Callback;
    request.lParam = reinterpret_cast<LPARAM>(this);

    ItemIdList chosen(allocator.Get(), ::SHBrowseForFolderA(&request));
    if (chosen.Get() == nullptr) return 0;
    imageIndex = request.iImage;
    const std::string path = ItemPath(chosen.Get());
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
