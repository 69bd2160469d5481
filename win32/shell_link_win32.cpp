#include "win32/shell_link.h"

#include "common/file_system.h"
#include "common/path.h"
#include "common/windows_api.h"
#include "win32/com_objects.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <vector>

namespace {

// The link path as the wide string the persistence interface takes, converted
// with the system code page. False when the path has more than the platform's
// 260 characters (the converted text plus its end must fit 261 characters).
bool ToWidePath(const std::string& path, std::vector<wchar_t>& wide) {
    wide.assign(kMaxPath + 1, L'\0');
    if (path.size() > kMaxPath) return false;
    const int written = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    return written > 0;
}

// A text read through one of the shell-link getters into a buffer of
// capacity characters, its final NUL included. Some shell implementations
// fill the whole buffer with a long text and leave out the NUL: the last
// character is always overwritten with one, so the text is cut to
// capacity - 1 characters and the copy never runs past the buffer.
template <typename Getter>
bool ReadText(std::string* output, int capacity, Getter getter) {
    if (output == nullptr) return true;
    std::vector<char> buffer(static_cast<std::size_t>(capacity), '\0');
    const HRESULT result = getter(buffer.data(), capacity);
    buffer[static_cast<std::size_t>(capacity) - 1] = '\0';
    if (FAILED(result)) {
        output->clear();
        return false;
    }
    *output = buffer.data();
    return true;
}

} // namespace

std::string GetSpecialFolderPath(int csidl) {
    char buffer[kMaxPath + 1] = {};
    ComReference<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.out())) || allocator.get() == nullptr) return std::string();
    ItemIdList item(allocator.get());
    if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, csidl, item.out())) && item.get() != nullptr) {
        if (!::SHGetPathFromIDListA(item.get(), buffer)) buffer[0] = '\0';
    }
    buffer[kMaxPath] = '\0';
    return std::string(buffer);
}

void ShellLink::InterfaceRelease::operator()(IShellLinkA* link) const {
    if (link != nullptr) link->Release();
}

ShellLink::ShellLink() = default;

ShellLink::~ShellLink() { Release(); }

bool ShellLink::Create(const std::string& linkPath) {
    Release();
    if (FAILED(::CoInitialize(nullptr))) return false;
    comInitialised_ = true;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))) ||
        link == nullptr)
        return false;
    link_.reset(link);
    linkPath_ = linkPath;
    return true;
}

bool ShellLink::SetInfo(const char* target, const char* workingDirectory, const char* arguments,
                        const char* description, const char* iconFile, int iconIndex, int showCommand) {
    if (!link_) return false;
    bool ok = true;
    if (target != nullptr) ok = SUCCEEDED(link_->SetPath(target)) && ok;
    if (workingDirectory != nullptr) ok = SUCCEEDED(link_->SetWorkingDirectory(workingDirectory)) && ok;
    if (arguments != nullptr) ok = SUCCEEDED(link_->SetArguments(arguments)) && ok;
    if (description != nullptr) ok = SUCCEEDED(link_->SetDescription(description)) && ok;
    if (iconFile != nullptr) ok = SUCCEEDED(link_->SetIconLocation(iconFile, iconIndex)) && ok;
    ok = SUCCEEDED(link_->SetShowCmd(showCommand)) && ok;
    return ok;
}

bool ShellLink::GetInfo(std::string* target, std::string* workingDirectory, std::string* arguments,
                        std::string* description, std::string* iconFile, int* iconIndex, int* showCommand) const {
    if (!link_) return false;
    IShellLinkA* link = link_.get();
    bool ok = true;
    ok = ReadText(target, static_cast<int>(kMaxPath) - 1,
                  [link](char* text, int size) { return link->GetPath(text, size, nullptr, SLGP_UNCPRIORITY); }) &&
         ok;
    ok = ReadText(workingDirectory, static_cast<int>(kMaxPath),
                  [link](char* text, int size) { return link->GetWorkingDirectory(text, size); }) &&
         ok;
    ok = ReadText(arguments, static_cast<int>(kMaxPath),
                  [link](char* text, int size) { return link->GetArguments(text, size); }) &&
         ok;
    ok = ReadText(description, static_cast<int>(kMaxPath),
                  [link](char* text, int size) { return link->GetDescription(text, size); }) &&
         ok;
    int index = 0;
    if (iconFile != nullptr || iconIndex != nullptr) {
        std::string iconText;
        const bool iconOk = ReadText(&iconText, static_cast<int>(kMaxPath), [link, &index](char* text, int size) {
            return link->GetIconLocation(text, size, &index);
        });
        if (!iconOk) index = 0;
        if (iconFile != nullptr) *iconFile = iconText;
        if (iconIndex != nullptr) *iconIndex = index;
        ok = iconOk && ok;
    }
    if (showCommand != nullptr) {
        int command = 0;
        const bool commandOk = SUCCEEDED(link->GetShowCmd(&command));
        *showCommand = commandOk ? command : 0;
        ok = commandOk && ok;
    }
    return ok;
}

bool ShellLink::Save() {
    if (!link_) return false;
    ComReference<IPersistFile> persist;
    if (FAILED(link_->QueryInterface(IID_IPersistFile, persist.outVoid())) || persist.get() == nullptr) return false;
    std::vector<wchar_t> widePath;
    if (!ToWidePath(linkPath_, widePath)) return false;
    const std::string directory = GetPathPart(linkPath_, kPathDirectory);
    if (!directory.empty() && !DirectoryExists(directory)) CreateDirectoryTree(directory);
    return SUCCEEDED(persist->Save(widePath.data(), TRUE));
}

bool ShellLink::Load() {
    if (!link_) return false;
    ComReference<IPersistFile> persist;
    if (FAILED(link_->QueryInterface(IID_IPersistFile, persist.outVoid())) || persist.get() == nullptr) return false;
    std::vector<wchar_t> widePath;
    if (!ToWidePath(linkPath_, widePath)) return false;
    return SUCCEEDED(persist->Load(widePath.data(), STGM_READ));
}

void ShellLink::Release() {
    link_.reset();
    if (comInitialised_) {
        ::CoUninitialize();
        comInitialised_ = false;
    }
}

std::string StartupShortcutPath(const std::string& executablePath) {
    return BuildPath(GetSpecialFolderPath(kFolderStartup), GetPathPart(executablePath, kPathBaseName), "lnk");
}

bool SetStartupShortcut(const std::string& executablePath, bool enable) {
    const std::string linkPath = StartupShortcutPath(executablePath);
    if (!enable) return ::DeleteFileA(linkPath.c_str()) || !FileExists(linkPath);
    ShellLink link;
    return link.Create(linkPath) && link.SetInfo(executablePath.c_str(), nullptr, nullptr, nullptr, nullptr, 0, 1) &&
           link.Save();
}

bool HasStartupShortcut(const std::string& executablePath) { return FileExists(StartupShortcutPath(executablePath)); }
