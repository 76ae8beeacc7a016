# The two commands: `make test` and `make demo`. Everything else is a convenience.
SHELL := /bin/bash
.PHONY: all deps build test test-default test-asan test-package test-windows package demo bench \
        fuzz fuzz-smoke format clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default

test: deps test-default test-asan test-windows test-package

test-default:
	cmake --preset default
	cmake --build --preset default
	ctest --preset default

test-asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# The Debian packages from the release preset, in build/package; then their checks.
package: deps
	@scripts/package

test-package: package
	@scripts/check-package

# The portable core cross-built for Windows (MinGW-w64), its tests under Wine. The Wine server
# is kept warm by the tests' fixture and stopped afterwards, also when a test fails.
test-windows:
	cmake --preset windows
	cmake --build --preset windows
	ctest --preset windows || { scripts/wine-server stop build/windows; exit 1; }

demo: build
	@scripts/demo build/default

bench: deps
	cmake --preset release
	cmake --build --preset release
	@scripts/bench build/release

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

fuzz-smoke: fuzz
	@scripts/fuzz-smoke build/fuzz/fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
