# Everything a developer needs, on a fresh Debian 12 machine.
BUILD     ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps build run test test-asan screenshots fuzz fuzz-build format clean test-desktops \
	screenshots-desktops deps-desktops

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/zentimo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) fuzz-build FUZZ_SECONDS=15
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS) -L fuzz

# The fuzz targets of tests/fuzz, built with clang and libFuzzer; `make fuzz FUZZ_SECONDS=3600` runs each
# for an hour. What they find is kept in $(FUZZ_BUILD)/tests/fuzz/found-*.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DZENTIMO_FUZZ=ON -DZENTIMO_BENCH=OFF -DZENTIMO_FUZZ_SECONDS=$(FUZZ_SECONDS) $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_settings

fuzz: fuzz-build
	cd $(FUZZ_BUILD) && ctest --verbose -j $(JOBS) -L fuzz

# The whole suite again under AddressSanitizer and UBSan.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZENTIMO_SANITIZE=ON -DZENTIMO_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS)

# The README's pictures, taken again by the end-to-end tests that show those windows.
screenshots: build
	rm -rf $(BUILD)/tests/e2e/screenshots/docs
	cd $(BUILD) && ctest -R 'e2e_test_alarm$$' --output-on-failure
	mkdir -p docs && cp $(BUILD)/tests/e2e/screenshots/docs/*.png docs/

# Real desktops, each started headless in turn (tests/desktops/README.md); a desktop that fails does not stop
# the others. DESKTOPS names some of them.
DESKTOPS ?= xfce sway gnome kde
DESKTOP_SHOTS ?= $(abspath $(BUILD))/tests/desktops/screenshots
DESKTOP_BINARY ?= $(abspath $(BUILD))/zentimo
DESKTOP_LOGS ?= $(abspath $(BUILD))/tests/desktops/logs

deps-desktops:
	@scripts/install-deps --desktops

# A failed desktop's output is repeated at the end, where a log's tail shows it.
test-desktops: build deps-desktops
	@rm -rf $(DESKTOP_SHOTS) $(DESKTOP_LOGS); mkdir -p $(DESKTOP_LOGS); failed=""; \
	for d in $(DESKTOPS); do \
		echo "=== desktop $$d"; start=$$(date +%s); \
		{ ( cd tests/desktops && ZENTIMO_BINARY=$(DESKTOP_BINARY) ZENTIMO_SHOTS=$(DESKTOP_SHOTS) PYTHONPATH=.:../e2e \
			PYTHONDONTWRITEBYTECODE=1 timeout -k 10 900 ./session_$$d.sh /usr/bin/python3 -W ignore::ImportWarning \
			-m unittest -v test_desktop ) 2>&1; echo $$? >$(DESKTOP_LOGS)/$$d.status; } | tee $(DESKTOP_LOGS)/$$d.log; \
		[ "$$(cat $(DESKTOP_LOGS)/$$d.status)" = 0 ] || failed="$$failed $$d"; \
		echo "=== desktop $$d: $$(( $$(date +%s) - start )) s"; \
	done; \
	for d in $$failed; do echo "=== desktop $$d failed:"; tail -n 60 $(DESKTOP_LOGS)/$$d.log; done; \
	if [ -n "$$failed" ]; then echo "desktops failed:$$failed"; exit 1; fi

# The alarm on each desktop, for the README: docs/desktop-<name>.png.
screenshots-desktops:
	-$(MAKE) test-desktops
	mkdir -p docs && for d in $(DESKTOPS); do \
		[ ! -f $(DESKTOP_SHOTS)/alarm-$$d.png ] || cp $(DESKTOP_SHOTS)/alarm-$$d.png docs/desktop-$$d.png; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
