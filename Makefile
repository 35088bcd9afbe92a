# Thin front over CMake. `make test` is what CI runs; `make run` shows the program at work.
BUILD ?= build
JOBS ?= $(shell nproc)
FILE ?= tests/fixtures/xvid_mp3.avi

.PHONY: deps configure build test run clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	scripts/run "$(BUILD)" "$(FILE)"

clean:
	rm -rf $(BUILD)
