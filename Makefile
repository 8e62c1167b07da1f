# The two commands a new user needs: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test screenshots clean

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

screenshots: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshots/zarnik_screenshots docs/screenshots

clean:
	rm -rf $(BUILD_DIR)
