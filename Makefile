# The two commands: `make test` and `make demo`. Everything else is a convenience.
SHELL := /bin/bash
.PHONY: all deps build test test-default test-asan test-package test-windows windows package demo bench \
        fuzz fuzz-smoke format clean chaos screenshots

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

# The release programs for 64-bit Windows (statically linked, stripped; their debug information
# beside them as .debug files) in build/windows-release/installer/, and the installer
# build/windows-release/FirmUpdater-Setup.exe.
windows: deps
	cmake --preset windows-release
	cmake --build --preset windows-release --target firmupdater_installer
	@ls -l build/windows-release/FirmUpdater-Setup.exe build/windows-release/installer/

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

# Long runs of the fault suite: N random fault plans from SEED (default: the time), run side
# by side (JOBS); plans that break a property are kept in e2e/chaos-corpus/ for the tests to
# replay. CHAOS_ARGS passes more options to e2e/chaos.py (--cap-ms -, --summary FILE, ...).
# PLATFORM=windows runs firmupdater.exe under Wine, the watch on Wine's HID bus (root, FUSE
# and mount namespaces needed); each worker has a Wine prefix of its own.
N ?= 200
SEED ?= $(shell date +%s)
PLATFORM ?= linux
JOBS ?= $(if $(filter windows,$(PLATFORM)),3,8)
chaos_program_linux = build/default/FirmUpdater/SRC/firmupdater
chaos_program_windows = wine $(CURDIR)/build/windows/FirmUpdater/SRC/firmupdater.exe
chaos_present_windows = --present wine --probe build/windows/e2e/windows/windows_hid_probe.exe \
    --wine-prefix build/windows/wineprefix-chaos
chaos: deps
	cmake --preset default
	cmake --build --preset default --target firmupdater watchsim fwimage
	@if [ "$(PLATFORM)" = windows ]; then \
	    cmake --preset windows && \
	    cmake --build --preset windows --target firmupdater windows_hid_probe windows_bus_watch; \
	elif [ "$(PLATFORM)" != linux ]; then echo "PLATFORM is linux or windows"; exit 2; fi
	python3 e2e/chaos.py --program "$(chaos_program_$(PLATFORM))" $(chaos_present_$(PLATFORM)) \
	    --watchsim build/default/simulator/watchsim --fwimage build/default/tools/fwimage \
	    --n $(N) --seed $(SEED) --jobs $(JOBS) --keep e2e/chaos-corpus $(CHAOS_ARGS)

# The user guide's pictures in docs/images/, taken by the desktop tests on both platforms.
screenshots: deps
	cmake --preset default
	cmake --build --preset default --target firmupdater_ui_wx_display_tests
	cmake --preset windows
	cmake --build --preset windows --target firmupdater_ui_win32_display_tests
	@scripts/screenshots build/default build/windows

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
