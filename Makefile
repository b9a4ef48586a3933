# The two set-up commands are `make run` and `make test`; both install what is missing.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test test-sanitized bench bench-full fuzz package screenshots clean

all: build

deps:
	@tools/install-deps

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(LAUNCHER)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/src/kv120-config

# Under CI (CI set in the environment) the suite runs a second time, sanitized.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)
	@if [ -n "$$CI" ]; then $(MAKE) --no-print-directory test-sanitized; fi

# The figures of docs/PERFORMANCE.md as one table; bench-full adds the CPU
# used while a read waits 41 s for a silent device.
bench: configure
	cmake --build $(BUILD) -j$(JOBS) --target benchmarks kv120-sim kv120ctl kv120-config
	bench/run $(BUILD)

bench-full: configure
	cmake --build $(BUILD) -j$(JOBS) --target benchmarks kv120-sim kv120ctl kv120-config
	bench/run $(BUILD) --full

# The Debian package (build/kv120-config_*.deb); dpkg-shlibdeps reads its dependencies.
package: build
	@tools/install-deps dpkg-dev file
	cmake --build $(BUILD) -j$(JOBS) --target package

# The pictures in the README and the user guide, drawn anew by the window itself.
screenshots: build
	tools/screenshots $(BUILD)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitized: deps
	cmake -S . -B $(BUILD)-sanitized -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON $(LAUNCHER)
	cmake --build $(BUILD)-sanitized -j$(JOBS)
	cd $(BUILD)-sanitized && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

# Each libFuzzer target for FUZZ_SECONDS, from a copy of its seed corpus; the
# first target that finds a crash or undefined behaviour fails the run.
FUZZ_SECONDS ?= 60
fuzz:
	@tools/install-deps clang libclang-rt-14-dev
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ $(LAUNCHER)
	cmake --build $(BUILD)-fuzz -j$(JOBS)
	@for target in $$(find $(BUILD)-fuzz/fuzz -maxdepth 1 -type f -executable -name 'fuzz_*'); do \
		name=$$(basename $$target); corpus=$(BUILD)-fuzz/corpus/$${name#fuzz_}; \
		mkdir -p $$corpus && cp -n fuzz/corpus/$${name#fuzz_}/* $$corpus/ 2>/dev/null; \
		log=$(BUILD)-fuzz/$$name.log; echo "== $$name"; \
		$$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $$corpus >$$log 2>&1; \
		status=$$?; grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done' $$log; \
		if [ $$status -ne 0 ]; then echo "$$name failed (exit status $$status): $$log"; exit 1; fi; \
	done

clean:
	rm -rf $(BUILD) $(BUILD)-sanitized $(BUILD)-fuzz
