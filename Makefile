# Front door. `make test` and `make demo` set up everything they need.
SHELL := /bin/bash
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
APT_PACKAGES := cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev libboost-dev \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 clang lld llvm libclang-rt-14-dev \
  python3
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test test-linux test-windows package demo bench fuzz fuzz-short tsan \
  format clean

all: build

# Installs what is missing (Debian), once per machine.
deps:
	@missing=""; for p in $(APT_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null; \
	fi

build/linux/CMakeCache.txt: | deps
	cmake --preset linux >/dev/null
# A Windows build configured with another toolchain starts afresh.
build/windows/CMakeCache.txt: cmake/clang-mingw-w64.cmake | deps
	rm -rf build/windows
	cmake --preset windows >/dev/null
build/release/CMakeCache.txt: | deps
	cmake --preset release >/dev/null
build/tsan/CMakeCache.txt: | deps
	cmake --preset tsan >/dev/null
build/fuzz/CMakeCache.txt: | deps
	cmake --preset fuzz >/dev/null

configure: build/linux/CMakeCache.txt build/windows/CMakeCache.txt

build: deps configure
	cmake --build build/linux -j $(JOBS)
	cmake --build build/windows -j $(JOBS)

# Each test program runs once with all its tests (`-LE single` leaves out the
# entries of single tests, which are there for `ctest -R NAME`).
test-linux: deps build/linux/CMakeCache.txt
	cmake --build build/linux -j $(JOBS)
	ctest --test-dir build/linux --output-on-failure -LE single -j $(JOBS)

# Programs that start the plugin take turns on the build's log file under wine
# (a ctest resource lock); the others run beside them.
test-windows: deps build/windows/CMakeCache.txt
	cmake --build build/windows -j $(JOBS)
	ctest --test-dir build/windows --output-on-failure -LE single -j $(JOBS)

# The release archive build/package/Cradlewright-<version>.zip: the plugin and its
# PDB in SKSE/Plugins/, the Data folder's layout; and beside it, for mod authors,
# Cradlewright-<version>-scripts.zip with the script declarations. The windows
# build makes both too.
package: deps build/windows/CMakeCache.txt
	cmake --build build/windows -j $(JOBS) --target cw_package cw_scripts_package
	@ls build/package/Cradlewright-*.zip

# The stress run and the allocation count under ThreadSanitizer. This build is
# GCC's: it also builds the host program, so GCC compiles all of the code but the
# tests (the Linux and Windows builds are clang's).
tsan: deps build/tsan/CMakeCache.txt
	cmake --build build/tsan -j $(JOBS) --target cw_stress cw_dispatch_allocations cradlewright-host
	build/tsan/bin/cw_stress 5
	build/tsan/bin/cw_dispatch_allocations

# Every fuzz target for FUZZ_SECONDS each (fuzz/run.sh builds them with clang).
fuzz: deps
	bash fuzz/run.sh $(FUZZ_SECONDS)

# A few seconds of every fuzz target, so that a regression shows in CI: the
# targets of the Linux build, which the tests have built already.
fuzz-short: deps build/linux/CMakeCache.txt
	FUZZ_PRESET=linux bash fuzz/run.sh 3

test: test-linux test-windows tsan fuzz-short

demo: deps build/windows/CMakeCache.txt build/linux/CMakeCache.txt
	cmake --build build/linux -j $(JOBS) --target cradlewright-host Cradlewright
	cmake --build build/windows -j $(JOBS) --target cradlewright-host Cradlewright
	bash examples/demo.sh

bench: deps build/release/CMakeCache.txt
	cmake --build build/release -j $(JOBS)
	build/release/bin/cw_bench
	build/release/bin/cw_bench_dispatch
	build/release/bin/cw_bench_plugins
	build/release/bin/cw_bench_script

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
