# The only commands a newcomer needs. The real build is CMake; these wrap it.
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps build test tsan demo bench fuzz format clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j$(JOBS)

# Separate tree with AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DADV_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-test -j$(JOBS)
	cd build-test && ctest --output-on-failure -j$(JOBS)

# ThreadSanitizer over the tests where threads meet: the MIDI sequencer and its timer.
tsan: deps
	@scripts/run-tsan

demo: build
	@scripts/run-demo

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DADV_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j$(JOBS)
	@scripts/run-bench build-bench

# libFuzzer targets; FUZZ_SECONDS per target (default 60).
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DADV_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz -j$(JOBS)
	@scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-test build-tsan build-bench build-fuzz
