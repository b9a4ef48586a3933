# The two set-up commands are `make run` and `make test`; both install what is missing.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@tools/install-deps

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(LAUNCHER)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/src/gui/kv120-config

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: configure
	cmake --build $(BUILD) -j$(JOBS) --target benchmarks
	$(BUILD)/bench/kv120-bench

clean:
	rm -rf $(BUILD)
