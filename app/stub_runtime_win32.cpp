// Replacements, for zorsetup.exe only, of the C++ runtime's helpers that
// throw the standard library's own exceptions (std::length_error from a
// string grown past max_size(), std::bad_alloc from an allocator,
// std::system_error from a failed mutex operation, ...).
//
// The runtime's versions construct the exception objects, and with them pull
// into the stub the copy-on-write string that the standard exception classes
// keep their message in, the system_error categories and a small printf:
// some 12 KB of every installer. The stub catches none of these exceptions
// (InstallerApp catches FileException only, and nothing catches "..."), so each
// of them ends in std::terminate, whose handler (main_win32.cpp) calls
// std::abort without unwinding the stack. Calling std::abort here does the
// same, earlier and without the exception object.
//
// Linked into the stub only: the libraries and their tests keep the standard
// behaviour. The linker takes the runtime's definitions only when something
// refers to a helper not defined here; it then fails with duplicate symbols,
// so a helper newly needed cannot slip in unnoticed.
#include <cstdlib>
#include <stdexcept>

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
