# SPDX-License-Identifier: MIT
# The two commands a new user needs: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
BENCH_DIR ?= build-bench
FUZZ_SECONDS ?= 60
BENCH_RUNS ?= 15
PREFIX ?= /usr/local

# LeakSanitizer runs with AddressSanitizer; tests/lsan.supp names the few
# leaks of the system's font libraries that are not the program's.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all setup configure build run test screenshots clean asan fuzz bench install uninstall

all: build

setup:
	@bash scripts/setup.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

configure: setup $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "zarnik: no display here (DISPLAY is not set); run it on a desktop, or see the windows with 'make screenshots' (docs/screenshots/)."; \
	  exit 1; \
	fi
	./$(BUILD_DIR)/zarnik

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The windows in the C locale, then the two that show the decimal separator
# in the Persian locale (decoder-fa.png, encoder-fa.png).
screenshots: build
	LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshots/zarnik_screenshots docs/screenshots
	LC_ALL=fa_IR.UTF-8 QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshots/zarnik_screenshots docs/screenshots
	LC_ALL=C.UTF-8 tests/desktop/with-wm.sh openbox -- ./$(BUILD_DIR)/tools/screenshots/zarnik_screenshots docs/screenshots

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
asan: setup
	@test -f $(ASAN_DIR)/CMakeCache.txt || cmake -S . -B $(ASAN_DIR) -DZARNIK_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS (clang, only the fuzz targets).
fuzz: setup
	@test -f $(FUZZ_DIR)/CMakeCache.txt || cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DZARNIK_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# Start-up and memory against a bare Qt window, the encoder window's opening
# and the model, in one table (Release build).
bench: setup
	@test -f $(BENCH_DIR)/CMakeCache.txt || cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_DIR) -j $(JOBS) --target zarnik_bench_report
	./$(BENCH_DIR)/bench/startup/zarnik_bench_report --runs $(BENCH_RUNS)

# The program, its desktop entry and its icon under PREFIX (DESTDIR is honoured).
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# Removes exactly what the last install wrote (its install_manifest.txt,
# which lists the paths without DESTDIR).
uninstall:
	@if [ ! -f $(BUILD_DIR)/install_manifest.txt ]; then echo "nothing installed from $(BUILD_DIR)"; exit 0; fi; \
	  sed 's|^|$(DESTDIR)|' $(BUILD_DIR)/install_manifest.txt | xargs -d '\n' rm -fv && \
	  rm -f $(BUILD_DIR)/install_manifest.txt

clean:
	rm -rf $(BUILD_DIR)
