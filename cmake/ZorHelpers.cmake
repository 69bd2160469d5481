# Per-target settings shared by every ZorInstaller target.
#
# Everything a target's clients must not inherit (warnings, -Werror,
# sanitizers, section and size options) is PRIVATE here: the logging
# libraries are installed as a package (cmake/ZorLogPackage.cmake) and their
# interface carries only include paths, the language level and link
# dependencies.

include(GNUInstallDirs)

option(ZOR_WERROR "Treat compiler warnings as errors" OFF)
option(ZOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZOR_TSAN "Build with ThreadSanitizer (the tsan tree builds only the logging and compression tests)" OFF)

if(WIN32)
  set(ZOR_PLATFORM win32)
else()
  set(ZOR_PLATFORM posix)
endif()

# zor_set_options(target): warnings, sanitizers and the source-root include path.
function(zor_set_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(ZOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
    # GCC 12 at -O3 (the Release type) reports "literal" + std::string
    # temporaries as overlapping copies (-Wrestrict) that cannot happen: a
    # known fault of that compiler's warning, fixed in 13. There it stays a
    # warning; the other build types never see it.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-error=restrict>)
    endif()
  endif()
  if(ZOR_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(ZOR_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
endfunction()

# zor_platform_sources(target stem...): adds stem_win32.cpp or stem_posix.cpp for each stem.
function(zor_platform_sources target)
  foreach(stem IN LISTS ARGN)
    target_sources(${target} PRIVATE ${stem}_${ZOR_PLATFORM}.cpp)
  endforeach()
endfunction()

# zor_add_library(name SOURCES...): a static library with the zor:: alias.
# Its file carries the project's prefix (libzorlog.a for log) so that the
# installed libraries cannot clash with others in a shared prefix; the
# target keeps the short name.
function(zor_add_library name)
  add_library(${name} STATIC ${ARGN})
  add_library(zor::${name} ALIAS ${name})
  if(NOT name MATCHES "^zor")
    set_target_properties(${name} PROPERTIES OUTPUT_NAME zor${name})
  endif()
  # In-tree code and the clients of the installed package (cmake/ZorLogPackage.cmake)
  # include the same paths, "log/logger.h", so headers read the same in both.
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                                            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/zor>)
  # The headers use C++20 (defaulted comparisons); clients get at least that.
  target_compile_features(${name} PUBLIC cxx_std_20)
  zor_set_options(${name})
  # Every library may end up in the installer stub, which is prefixed to each
  # installer: one section per function and datum lets the stub's link
  # (--gc-sections) drop whatever it never reaches. The code itself stays
  # -O2, since the stub decodes and digests the whole archive.
  if(WIN32)
    target_compile_options(${name} PRIVATE -ffunction-sections -fdata-sections)
  endif()
endfunction()

# zor_optimize_for_size(targets...): in the Windows build, compiles the
# targets for size. For libraries whose code ends up in the installer stub
# but whose speed does not matter there (everything but the codec and the
# digest, which run over the whole archive). Without RTTI too: nothing in
# them asks for a type at run time, and every lambda held in a std::function
# would otherwise carry its type's name, a hundred bytes or more.
#
# Two interprocedural steps are turned off as well, because on this target
# they copy rather than share: IPA-SRA and the merged constructor and
# destructor bodies give every object file a local copy of the std::string
# members it uses (an .isra clone, a C4/D4 body), which the linker cannot fold
# across objects the way it folds the ordinary COMDAT instantiations; the stub
# carried some 15 KB of such copies.
#
# -Oz rather than -Os: none of this code is where the time goes, which GCC's
# aggressive size level trades for 2 KB of the stub. The decoders that are
# (compress/) take ZOR_FAST_SIZE_OPTIONS, -Os with the same two steps off.
set(ZOR_SIZE_OPTIONS -Oz -fno-ipa-sra -fno-declone-ctor-dtor)
set(ZOR_FAST_SIZE_OPTIONS -Os -fno-ipa-sra -fno-declone-ctor-dtor)

# For the Windows-build sources of the installer stub. The stub raises and
# handles no exception: the file layer's failures come back from its Try
# operations, and everything else that could raise ends the process
# (app/stub_runtime_win32.cpp). Such a source must not have an exception
# pass through it in any other program either, so a library's sources that
# call out to code that may raise stay with exceptions. They carry neither
# the exception tables and cleanup code nor the unwind data (.pdata/.xdata)
# that only an exception passing through their frames would need; the
# stub's link fails should any object it takes still refer to the runtime's
# exception handling (app/CMakeLists.txt).
set(ZOR_NO_EXCEPTION_OPTIONS -fno-exceptions -fno-asynchronous-unwind-tables)
function(zor_optimize_for_size)
  if(WIN32)
    foreach(target ${ARGN})
      target_compile_options(${target} PRIVATE ${ZOR_SIZE_OPTIONS} -fno-rtti)
    endforeach()
  endif()
endfunction()

# zor_use_utf8_code_page(target): in the Windows build, gives the program a
# manifest with UTF-8 as its active code page, as zorsetup and zorpack have.
function(zor_use_utf8_code_page target)
  if(WIN32)
    set(rc ${PROJECT_SOURCE_DIR}/tests/support/utf8_code_page.rc)
    target_sources(${target} PRIVATE ${rc})
    # windres records no dependency on the files it includes.
    set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES
                                OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/utf8_code_page.manifest)
  endif()
endfunction()

# zor_add_test(name SOURCES... LIBS libs...): a GoogleTest program.
# Natively every test case is its own CTest entry; under Wine a process start
# costs about a second, so the whole program is one entry there.
function(zor_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  zor_use_utf8_code_page(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  zor_set_options(${name})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# zor_link_with_gc(target): links target with --gc-sections through
# cmake/zor-gc-link.sh, which lets GNU ld drop unreachable functions on
# 64-bit Windows (its default script would keep them through their unwind
# data). Only for programs whose size matters: it links three times or more.
function(zor_link_with_gc target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections)
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK ${PROJECT_SOURCE_DIR}/cmake/zor-gc-link.sh)
endfunction()
