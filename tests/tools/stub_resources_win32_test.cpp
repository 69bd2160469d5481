// Windows itself reads the icon and version information zorpack writes.
#include "common/windows_api.h"
#include "tests/tools/stub_resources_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

TEST(StubResourcesWin32, WindowsReadsTheVersionTextsAndLoadsTheIcon) {
    if (std::string(ZOR_EXTRACTOR_IMAGE).empty()) GTEST_SKIP() << "this build has no stub image";
    TempDir dir;
    std::string err;
    const std::wstring setup = Wide(BuildIconInstaller(dir, err));
    ASSERT_FALSE(setup.empty()) << err;

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(setup.c_str(), &ignored);
    ASSERT_NE(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(setup.c_str(), 0, size, info.data()));
    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } texts[] = {{L"CompanyName", L"Acme Tools"},          {L"ProductName", L"Demo"},
                 {L"FileDescription", L"Demo Setup"},      {L"ProductVersion", L"1.2.3-beta"},
                 {L"LegalCopyright", L"\u00A9 2026 Acme"}, {L"OriginalFilename", L"Demo Setup.exe"}};
    for (const auto& text : texts) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + text.name;
        ASSERT_TRUE(VerQueryValueW(info.data(), query.c_str(), &value, &length)) << text.name;
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), text.value);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030000u);

    HMODULE module = LoadLibraryExW(setup.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0);
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(static_cast<HICON>(icon));
    FreeLibrary(module);
}

} // namespace
