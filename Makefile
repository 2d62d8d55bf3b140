# Set-up, build, tests and benchmarks. `make test` and `make run` do everything on a fresh
# Debian machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 30
# Label regular expressions choosing the sanitizer run's tests (empty: all of them).
ASAN_LABELS  ?=
ASAN_EXCLUDE ?=
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Tests of code that runs threads of its own (label "threads"), built for ThreadSanitizer.
TSAN_TARGETS ?= test_videomanager test_segmentation test_kivos test_remotelink test_damagedmedia \
  test_walkfeatures test_damagedsegmentation test_mediascan

.PHONY: all deps configure build test run package bench test-asan test-tsan fuzz format clean

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	@tools/run-main.sh $(BUILD) $(ARGS)

# The Debian package $(BUILD)/kivo_<version>_<arch>.deb.
package: build
	cmake --build $(BUILD) --target package

bench: build
	@tools/run-benchmarks.sh $(BUILD)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIVO_SANITIZE=ON -DKIVO_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) \
	  $(if $(ASAN_LABELS),-L '$(ASAN_LABELS)') $(if $(ASAN_EXCLUDE),-LE '$(ASAN_EXCLUDE)')

test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_THREAD_SANITIZE=ON \
	  -DKIVO_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	TSAN_OPTIONS=suppressions=$(CURDIR)/tools/tsan.supp:halt_on_error=1 \
	ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) -L threads

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKIVO_FUZZ=ON -DKIVO_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@tools/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
