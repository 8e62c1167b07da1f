# SPDX-License-Identifier: MIT
# The two commands a new user needs: `make run` and `make test`.
BUILD_DIR ?= build
RELEASE_DIR ?= build-release
GENERATOR ?= Ninja
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
BENCH_DIR ?= build-bench
FUZZ_SECONDS ?= 60
BENCH_RUNS ?= 15
PREFIX ?= /usr/local

# LeakSanitizer runs with AddressSanitizer; tests/lsan.supp names the few
# leaks of the system's font and D-Bus libraries that are not the program's.
# The runtime's __tls_get_addr hook is off: on glibc 2.25 and later it takes a
# dynamic TLS block that malloc put 16 bytes past a page boundary for an old
# glibc's block, reads the allocator's chunk header as its bounds, and the leak
# check's tracer crashes at exit on that range. Nothing is scanned less without
# it: the hook gives every other block no bounds, and the dynamic linker's
# allocations, these blocks among them, are scanned as live memory anyway.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The program alone, as installed and packaged: optimised, no tests, no tools.
RELEASE_FLAGS = -DCMAKE_BUILD_TYPE=Release -DZARNIK_TESTS=OFF -DZARNIK_BUILD_TOOLS=OFF

# $(call configure,DIR,CMAKE ARGUMENTS): configures DIR unless it holds a
# build already, in one line of output (CMake's own only when it fails).
define configure
	@if [ ! -f $(1)/build.ninja ] && [ ! -f $(1)/Makefile ]; then \
	  echo "Configuring $(1)/"; \
	  out=$$(cmake -S . -B $(1) -G "$(GENERATOR)" --log-level=WARNING $(CMAKE_FLAGS) $(2)) || { echo "$$out"; exit 1; }; \
	fi
endef

.PHONY: all build run test screenshots clean asan fuzz bench install uninstall deb

all: build

# Everything, tests included. A folder that `make run` configured for the
# program alone gets its tests switched on here.
build:
	@bash scripts/setup.sh run test package
	$(call configure,$(BUILD_DIR))
	@if grep -q '^ZARNIK_TESTS:BOOL=OFF' $(BUILD_DIR)/CMakeCache.txt; then \
	  cmake -S . -B $(BUILD_DIR) --log-level=WARNING -DZARNIK_TESTS=ON >/dev/null; \
	fi
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Only what the program needs, and only the program. Without a display the
# build is still useful (the binary is ready for a desktop or for `ssh -X`),
# so that case ends with its one line and success, not with make's error.
run:
	@bash scripts/setup.sh run
	$(call configure,$(BUILD_DIR),-DZARNIK_TESTS=OFF)
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target zarnik
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "zarnik: no display here (DISPLAY is not set); $(BUILD_DIR)/zarnik is built: start it on a desktop, or see the windows with 'make screenshots'." >&2; \
	else \
	  ./$(BUILD_DIR)/zarnik; \
	fi

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The windows in the C locale, then the two that show the decimal separator
# in the Persian locale (decoder-fa.png, encoder-fa.png), then the four as a
# desktop under openbox shows them.
screenshots:
	@bash scripts/setup.sh run test
	$(call configure,$(BUILD_DIR),-DZARNIK_TESTS=OFF)
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target zarnik_screenshots
	LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshots/zarnik_screenshots docs/screenshots
	LC_ALL=fa_IR.UTF-8 QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshots/zarnik_screenshots docs/screenshots
	LC_ALL=C.UTF-8 tests/desktop/with-wm.sh openbox -- ./$(BUILD_DIR)/tools/screenshots/zarnik_screenshots docs/screenshots

# The sanitizer builds are optimised at -O1 with line tables only: reports
# still name each frame's function, file and line, and the build takes half
# the time of -O2 with full debug information. Nothing runs the benchmarks
# there, so they are not built.
SANITIZER_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
	-DZARNIK_BENCH=OFF

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (the packaging checks are left out there: nobody ships that build).
asan:
	@bash scripts/setup.sh run test
	$(call configure,$(ASAN_DIR),-DZARNIK_SANITIZE=ON $(SANITIZER_FLAGS))
	cmake --build $(ASAN_DIR) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS (clang, only the fuzz targets).
fuzz:
	@bash scripts/setup.sh run fuzz
	$(call configure,$(FUZZ_DIR),-DCMAKE_CXX_COMPILER=clang++ -DZARNIK_FUZZ=ON $(SANITIZER_FLAGS))
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# Start-up and memory against a bare Qt window, the encoder window's opening
# and the model, in one table (Release build); then the photo reader on the
# shared photos, where they are (../shared/photos).
bench:
	@bash scripts/setup.sh run test
	$(call configure,$(BENCH_DIR),-DCMAKE_BUILD_TYPE=Release)
	cmake --build $(BENCH_DIR) -j $(JOBS) --target zarnik_bench_report zarnik_photoeval
	./$(BENCH_DIR)/bench/startup/zarnik_bench_report --runs $(BENCH_RUNS)
	@for set in lightbox phone; do \
	  if [ -d ../shared/photos/$$set ]; then ./$(BENCH_DIR)/tools/photoeval/zarnik_photoeval ../shared/photos/$$set; \
	  else echo "photo reader: ../shared/photos/$$set is not here; not measured"; fi; \
	done

# The program (Release, stripped), its desktop entry, icons, metainfo and
# manual page under PREFIX; DESTDIR stages it elsewhere.
install:
	@bash scripts/setup.sh run
	$(call configure,$(RELEASE_DIR),$(RELEASE_FLAGS))
	@cmake --build $(RELEASE_DIR) -j $(JOBS)
	cmake --install $(RELEASE_DIR) --strip --prefix $(PREFIX)
	@echo "$(if $(DESTDIR),$(abspath $(DESTDIR)))" >$(RELEASE_DIR)/install_destdir.txt

# Removes the files the last `make install` wrote, as its manifest lists them.
uninstall:
	@bash scripts/uninstall.sh $(RELEASE_DIR)/install_manifest.txt "$(DESTDIR)"

# zarnik_VERSION-1_ARCH.deb in BUILD_DIR, from the same Release build.
deb:
	@bash scripts/setup.sh run package
	$(call configure,$(RELEASE_DIR),$(RELEASE_FLAGS))
	@cmake --build $(RELEASE_DIR) -j $(JOBS)
	@cpack --config $(RELEASE_DIR)/CPackConfig.cmake -B $(CURDIR)/$(BUILD_DIR) | \
	  sed -n 's/^CPack: - package: \(.*\) generated\.$$/\1/p'

clean:
	rm -rf $(BUILD_DIR) $(RELEASE_DIR)
