// Replacements, for zorsetup.exe only, of runtime and library pieces that cost every
// installer far more than the stub needs. Linked into the stub only: the
// libraries and their tests keep the standard runtime. The linker takes a
// runtime object only when something refers to a symbol not defined here; it
// then fails with duplicate symbols, so a piece newly needed cannot slip in
// unnoticed.
#include "app/packed_system_errors.h"
#include "common/error_tables.h"
#include "common/small_printf.h"
#include "common/windows_api.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <new>
#include <stdexcept>
#include <string>

// 1. The helpers that throw the standard library's own exceptions
// (std::length_error from a string grown past max_size(), std::bad_alloc from
// an allocator, std::system_error from a failed mutex operation, ...).
//
// The runtime's versions construct the exception objects, and with them pull
// in the copy-on-write string that the standard exception classes keep their
// message in, the system_error categories, a small printf and the whole of
// exception handling. The stub is built without exception handling: nothing
// in it could catch one, so each would end the process. Calling std::abort
// here does that, without the exception object.
namespace std {

void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_length_error(const char* /*what*/) { std::abort(); }
void __throw_logic_error(const char* /*what*/) { std::abort(); }
void __throw_runtime_error(const char* /*what*/) { std::abort(); }
void __throw_out_of_range_fmt(const char* /*format*/, ...) { std::abort(); }
void __throw_system_error(int /*code*/) { std::abort(); }

} // namespace std

// 2. The guards of function-local statics, for one thread.
//
// The runtime's versions serve any number of threads: they wait on a
// condition variable, which brings in nearly all of winpthreads, about
// 24 KB. The stub's statics are all initialised on its main thread (the one
// other thread it starts, the LZMA read-ahead, uses none), and for one
// thread a guard reduces to plain bytes, as in a runtime built without
// threads. Should a second thread ever reach one, the stub aborts at once
// instead of racing an initialiser.
namespace {

DWORD theRuntimeThread; // no thread has the id 0

void RequireRuntimeThread() {
    const DWORD current = GetCurrentThreadId();
    if (theRuntimeThread == 0)
        theRuntimeThread = current;
    else if (current != theRuntimeThread)
        std::abort();
}

} // namespace

namespace __cxxabiv1 {

// A guard's first byte is set once its static is initialised (the compiler
// tests that byte inline before calling in); the second byte marks an
// initialisation in progress.
namespace {

unsigned char* GuardBytes(__guard* guard) { return reinterpret_cast<unsigned char*>(guard); }

} // namespace

extern "C" int __cxa_guard_acquire(__guard* guard) {
    RequireRuntimeThread();
    unsigned char* bytes = GuardBytes(guard);
    if (bytes[0] != 0) return 0;
    // The static's own initialiser reached it again; the runtime would throw
    // recursive_init_error.
    if (bytes[1] != 0) std::abort();
    bytes[1] = 1;
    return 1;
}

extern "C" void __cxa_guard_release(__guard* guard) noexcept {
    unsigned char* bytes = GuardBytes(guard);
    bytes[1] = 0;
    bytes[0] = 1;
}

extern "C" void __cxa_guard_abort(__guard* guard) noexcept { GuardBytes(guard)[1] = 0; }

} // namespace __cxxabiv1

// 3. The allocation operators.
//
// The runtime's throwing operator new raises std::bad_alloc; in the stub,
// built without exception handling, that ends the process, and this one
// aborts at once. The non-throwing forms must then be defined too:
// the runtime's call the throwing form inside a try block, and would abort
// instead of returning null (the LZMA decoder reports a dictionary it cannot
// allocate). Every form allocates with malloc, as the runtime's delete
// operators expect.
void* operator new(std::size_t size) {
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) std::abort();
    return block;
}

void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

// 4. The C library's formatted output.
//
// With the C99 formatting of this toolchain, vsnprintf and printf come from
// MinGW's own formatter, which carries a complete floating-point conversion
// (about 23 KB). The stub formats integers and strings only; SmallVsnprintf
// does that with the same C99 contract, and hands any floating-point
// conversion to the system C library, whose output for finite values is the
// same.
namespace {

int FormatFloatWithSystemLibrary(char* buffer, std::size_t size, const char* conversionText, double value) {
    const int length = _snprintf(buffer, size, conversionText, value);
    if (length >= 0 && static_cast<std::size_t>(length) < size) return length;
    // The system's _snprintf gives -1 and no NUL when the text does not fit:
    // measure it, as C99 callers expect.
    const int needed = _scprintf(conversionText, value);
    if (size != 0) buffer[size - 1] = '\0';
    return needed;
}

} // namespace

extern "C" int __mingw_vsnprintf(char* buffer, std::size_t size, const char* format, va_list arguments) {
    return SmallVsnprintf(buffer, size, format, arguments, FormatFloatWithSystemLibrary);
}

extern "C" int __mingw_vfprintf(FILE* file, const char* format, va_list arguments) {
    char small[512];
    va_list copy;
    va_copy(copy, arguments);
    const int length = SmallVsnprintf(small, sizeof small, format, copy, FormatFloatWithSystemLibrary);
    va_end(copy);
    if (length < 0) return -1;
    if (static_cast<std::size_t>(length) < sizeof small)
        return std::fwrite(small, 1, static_cast<std::size_t>(length), file) == static_cast<std::size_t>(length)
                   ? length
                   : -1;
    std::string text(static_cast<std::size_t>(length), '\0');
    SmallVsnprintf(text.data(), text.size() + 1, format, arguments, FormatFloatWithSystemLibrary);
    return std::fwrite(text.data(), 1, text.size(), file) == text.size() ? length : -1;
}

// 5. The English texts of the system error codes.
//
// The table in common takes 40 KB; the stub carries it deflated instead
// (packed_system_errors.h) and decodes it with the deflate decoder it has
// anyway, the first time a failure names a system error. The texts are the
// same. The table's other entry points are left undefined here: should
// anything in the stub come to need them, the table's object is linked in
// and its lookup collides with this one.
const char* FindSystemErrorText(std::uint32_t code) { return FindPackedSystemErrorText(code); }

// 6. The runtime pseudo-relocations.
//
// The start-up code patches references to data imported from DLLs when the
// linker could not resolve them directly (pseudo-relocations); the routine
// and the section lookup it uses take 3 KB. The stub imports functions only,
// so its list of them is empty. Should a change ever bring one in, the stub
// stops at once rather than run with an unpatched reference.
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST__[];
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST_END__[];

extern "C" void _pei386_runtime_relocator() {
    // The two are distinct objects to the compiler, which may take them to
    // differ: their addresses are compared as plain numbers it cannot see.
    std::uintptr_t start = reinterpret_cast<std::uintptr_t>(__RUNTIME_PSEUDO_RELOC_LIST__);
    std::uintptr_t end = reinterpret_cast<std::uintptr_t>(__RUNTIME_PSEUDO_RELOC_LIST_END__);
    asm("" : "+r"(start), "+r"(end));
    if (start != end) std::abort();
}

// 7. The start-up code's handlers of math errors and thread-local keys.
//
// The runtime's _matherr prints each math error to stderr, which a GUI
// program does not have, and brings in fprintf; the stub does no floating
// point work. Returning 0 leaves the C library's default handling (errno).
extern "C" int _matherr(struct _exception* /*error*/) { return 0; }

// The thread-local-storage callback runs the destructors of thread-local
// keys registered through the runtime (emulated thread_local, winpthreads);
// the stub registers none, and its list and locks take about 1 KB. Should
// anything come to register one, the runtime's object is linked in and its
// callback collides with this one.
extern "C" BOOL __mingw_TLScallback(HANDLE /*module*/, DWORD /*reason*/, LPVOID /*reserved*/) { return TRUE; }
