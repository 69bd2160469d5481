// A module that reports version 2.47 through the version export.
#ifdef _WIN32
#define ZOR_EXPORT extern "C" __declspec(dllexport)
#else
#define ZOR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

ZOR_EXPORT void ZorGetExeVersion(char* major, char* minor1, char* minor2) {
    *major = '2';
    *minor1 = '4';
    *minor2 = '7';
}
