# The only commands a newcomer needs. The real build is CMake; these wrap it.
JOBS ?= 2
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: all deps build install package test test-window tsan demo bench bench-build bench-window check-layers fuzz format clean

all: build

deps:
	@scripts/install-deps

# CMake is configured once; its own build files configure again when a CMakeLists.txt changes.
# The engine and its tools only: a player never runs the tests, which make test builds.
build: deps
	@[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DADV_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build -j$(JOBS)

# The engine, adv-dpa, the manual page, a desktop entry and an icon under PREFIX.
install: build
	cmake --install build --prefix $(PREFIX)

# A Debian package of what make install puts in place, in build/.
package: build
	cd build && cpack -G DEB

# Separate tree with AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DADV_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-test -j$(JOBS)
	cd build-test && ctest --output-on-failure -j$(JOBS)

# Only the games played in a real window under Xvfb (make test runs them too).
test-window: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DADV_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-test -j$(JOBS) --target adv window_tests
	cd build-test && ctest --output-on-failure -L window

# ThreadSanitizer over the tests where threads meet: the MIDI sequencer and its timer.
tsan: deps
	@scripts/run-tsan

demo: build
	@scripts/run-demo

# The optimised tree builds the engine and the benchmarks only, not the tests.
bench-build: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DADV_BENCH=ON -DADV_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-bench -j$(JOBS)

bench: bench-build
	@scripts/run-bench build-bench

# adv in a real window under Xvfb: first picture, idle CPU, wake-ups and memory.
bench-window: bench-build
	@scripts/bench-window build-bench

# Includes must point down the layers of design.md.
check-layers:
	@scripts/check-layers

# libFuzzer targets; FUZZ_SECONDS per target (default 60).
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DADV_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz -j$(JOBS)
	@scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-test build-tsan build-bench build-fuzz
