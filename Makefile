# make run: install what is missing, build, start the clock.
# make test: the same set-up, then the whole suite, the suite again with
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzz of every
# input the clock reads.
BUILD ?= build
JOBS ?= $(shell nproc)
# make test also builds and runs the suite with the sanitizers there.
ASAN_BUILD ?= build-asan

.PHONY: all deps configure build run test bench install deb clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: deps
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2; exit 1; fi
	@$(MAKE) --no-print-directory build
	@$(BUILD)/ZindleClock/ZindleClock

test: build
	@bash tools/run-tests.sh $(BUILD) $(ASAN_BUILD)

bench: build
	@bash bench/run-all.sh $(BUILD)

install: build
	@cmake --install $(BUILD)

# zindleclock_<version>_<arch>.deb in this folder: apt install ./zindleclock_*.deb
deb: build
	@rm -f $(BUILD)/package/zindleclock_*.deb
	@cd $(BUILD) && cpack -G DEB -B $(abspath $(BUILD))/package >/dev/null
	@cp -v $(BUILD)/package/zindleclock_*.deb .

clean:
	@rm -rf $(BUILD)
