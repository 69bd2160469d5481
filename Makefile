# ZorInstaller developer commands. Build trees live under build/:
#   build/windows  MinGW-w64 cross build, tests under Wine
#   build/native   g++ build for Linux
#   build/asan     native build with AddressSanitizer and UBSan
#   build/fuzz     clang build of the libFuzzer targets
#   build/tsan     native build with ThreadSanitizer of the logging tests only
JOBS ?= 2
CMAKE_FLAGS ?= -G Ninja -DZOR_WERROR=ON
BUILDS := windows native asan tsan fuzz
FUZZ_SECONDS ?= 300

.PHONY: all deps test bench fuzz demo clean $(addprefix build-,$(BUILDS)) $(addprefix test-,$(BUILDS))

all: build-windows build-native

deps:
	@scripts/install-deps.sh

build/windows/build.ninja:
	cmake -S . -B build/windows $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# The native zorpack carries the Windows build's installer stub.
build/native/build.ninja:
	cmake -S . -B build/native $(CMAKE_FLAGS) -DZOR_STUB_IMAGE=$(CURDIR)/build/windows/bin/zorsetup.exe
build/asan/build.ninja:
	cmake -S . -B build/asan $(CMAKE_FLAGS) -DZOR_STUB_IMAGE=$(CURDIR)/build/windows/bin/zorsetup.exe -DZOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
build/tsan/build.ninja:
	cmake -S . -B build/tsan $(CMAKE_FLAGS) -DZOR_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The thread-sanitized tree builds only what its tests need: the logging
# and compression tests, of which it runs the concurrency cases.
BUILD_TARGETS_tsan := --target log_tests compress_tests
build/fuzz/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B build/fuzz $(CMAKE_FLAGS) -DZOR_FUZZ=ON

# Phony targets get no pattern rules, so each build has its own.
$(addprefix build-,$(BUILDS)): build-%: build/%/build.ninja
	cmake --build build/$* -j $(JOBS) $(BUILD_TARGETS_$*)

# The Windows tree is built first: later native tools embed its programs.
test: deps
	@$(MAKE) --no-print-directory $(addprefix build-,$(BUILDS))
	@scripts/run-tests.sh $(BUILDS)

$(addprefix test-,$(BUILDS)): test-%: build-%
	@scripts/run-tests.sh $*

# Runs every fuzz target for FUZZ_SECONDS (make test runs them briefly).
fuzz: build-fuzz
	@scripts/run-fuzzers.sh $(FUZZ_SECONDS)

# Compression benchmarks against zlib and OpenSSL, logging (records, the
# configuration and filtered calls) against spdlog and a bare write loop, the
# XML reader (parsing, writing, tree memory) against tinyxml2 and pugixml, the
# UDP target against a bare sendto loop, zorpack against tar and gzip, its
# installers' sizes and build times against makensis, and the installer under
# Wine against zorpack.exe and NSIS; each prints its table. NSIS (makensis),
# pigz, spdlog, tinyxml2 and pugixml are installed for the benchmarks only.
bench:
	@scripts/install-deps.sh --bench
	@$(MAKE) --no-print-directory build-windows build-native
	build/native/bin/compress_bench
	build/native/bin/log_bench
	build/native/bin/log_config_bench
	build/native/bin/xml_bench
	build/native/bin/udp_log_bench
	bench/zorpack_bench.sh build/native
	bench/makensis_bench.sh build/native
	bench/install_bench.sh

# Builds the example application's installer and runs it under Wine (see
# scripts/demo.sh): on the user's display when DISPLAY is set, otherwise in
# Xvfb accepting every default.
demo: deps
	@$(MAKE) --no-print-directory build-windows build-native
	@scripts/demo.sh

clean:
	rm -rf build
