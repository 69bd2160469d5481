// A module without the version export.
#ifdef _WIN32
#define ZOR_EXPORT extern "C" __declspec(dllexport)
#else
#define ZOR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

ZOR_EXPORT int ZorSomethingElse() { return 1; }
