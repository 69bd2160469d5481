// A small Windows application whose installer its own build makes, through
// the installed ZorInstaller package (CMakeLists.txt).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "Hello from a CMake project.", "CMake App", MB_OK | MB_ICONINFORMATION);
    return 0;
}
