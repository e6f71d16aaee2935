# The two everyday commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Rebuilds of unchanged sources come from ccache when the machine has it.
LAUNCHER_FLAGS := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test screenshots desktop-check bench asan-test package format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER_FLAGS) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/src/app/lumatick

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Every view drawn offscreen with fixed sample data, as PNG files to look at.
screenshots: build
	rm -rf $(BUILD_DIR)/screenshots
	$(BUILD_DIR)/tools/screenshots/lumatick_screenshots $(BUILD_DIR)/screenshots

# lumatick inside real panel hosts (GNOME Shell, XFCE, LXQt, sway + waybar; KDE Plasma when
# installed), headless, checked from outside; screenshots and logs in build/desktop/. Installs the
# hosts when missing; a few minutes; not part of `make test` or CI. DESKTOP_HOSTS=gnome,sway picks hosts.
DESKTOP_HOSTS ?= gnome,gnome-extension,xfce,lxqt,sway,plasma
desktop-check: build
	scripts/desktop-check --hosts $(DESKTOP_HOSTS) --out $(BUILD_DIR)/desktop \
		--gnome-extension $(BUILD_DIR)/data/gnome-extension/legacy $(BUILD_DIR)/src/app/lumatick

# Micro-benchmarks, a timed `lumatick export`, the CPU of `lumatick status`, the footprint next to workrave, safeeyes,
# rsibreak (installed when missing) and a program that only sends a label each second (about twelve minutes;
# FOOTPRINT_SECONDS=10 for a quick check), the CPU of each window left open (about four minutes), the counter's memory
# after its history and settings windows were used and GNOME Shell's CPU while it draws the counter (desktop-check's
# GNOME sessions, about six minutes).
bench: build
	$(BUILD_DIR)/bench/lumatick_bench
	bench/cli-export.sh $(BUILD_DIR)/src/app/lumatick
	bench/cli-status.sh $(BUILD_DIR)/src/app/lumatick $(BUILD_DIR)/bench/lumatick_qt_core_start
	bench/footprint.sh $(BUILD_DIR)
	bench/open-windows.sh $(BUILD_DIR)
	bench/memory-after-use.sh $(BUILD_DIR)
	bench/host-share.sh $(BUILD_DIR)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer; any report fails the run.
asan-test: deps
	@cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DLUMATICK_SANITIZE=ON -DLUMATICK_BUILD_BENCH=OFF $(LAUNCHER_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && \
	    ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    ctest --output-on-failure -j $(JOBS)

# The Debian package, build/lumatick_<version>_<arch>.deb: sudo apt install ./build/lumatick_*.deb
package: build
	@cmake --build $(BUILD_DIR) --target package

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR)
