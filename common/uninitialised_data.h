// ZOR_UNINITIALISED_DATA: marks a zero-initialised array that should take no
// room in the program file.
//
// Told to give every datum a section of its own (-fdata-sections, as all code
// that may end up in the installer stub is built), this compiler writes
// zero-initialised data as file contents (.data$NAME) instead of as room to be
// zeroed at load time: a 512-byte buffer would cost 512 bytes of every
// installer. Placed in the object's .bss, the array keeps its zeros and costs
// the file nothing; the linker then keeps or drops it with the rest of that
// object's .bss instead of on its own.
#pragma once

#if defined(_WIN32)
#define ZOR_UNINITIALISED_DATA __attribute__((section(".bss")))
#else
#define ZOR_UNINITIALISED_DATA
#endif
