# Thin front over CMake. `make test` is what CI runs; `make run` shows the program at work.
BUILD ?= build
JOBS ?= $(shell nproc)
FILE ?= tests/fixtures/xvid_mp3.avi
# The libFuzzer build (clang) and how long `make fuzz` gives each harness.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 180
# The AddressSanitizer and UndefinedBehaviorSanitizer build (g++) that `make test` runs too.
SANITIZE_BUILD ?= build-sanitize
# The Release build that `make bench` measures (it also caches its 60 MB sample AVI there).
BENCH_BUILD ?= build-bench

.PHONY: deps configure build test run clean fuzz-build fuzz-smoke fuzz

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) sanitize
	$(MAKE) fuzz-smoke

run: build
	scripts/run "$(BUILD)" "$(FILE)"

# The same tests on the sanitizer build. Leaks inside third-party libraries are listed in
# tests/sanitizer/lsan.supp; an undefined-behaviour report shows the stack that led to it.
.PHONY: sanitize
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFRAMEFIT_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DFRAMEFIT_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# A few seconds per harness on its seeds, so that a regression shows up with the other tests.
fuzz-smoke: fuzz-build
	ctest --test-dir $(FUZZ_BUILD) --output-on-failure -j $(JOBS)

# FUZZ_SECONDS per harness, starting from a throw-away copy of its seeds; a crash input is saved in
# $(FUZZ_BUILD) as <harness>-crash-<hash> and ends the run.
fuzz: fuzz-build
	@set -e; for seeds in tests/fuzz/corpus/*/; do \
	  harness=$$(basename "$$seeds"); work=$$(mktemp -d); \
	  cp "$$seeds"* "$$work"/; \
	  echo "fuzz: $$harness for $(FUZZ_SECONDS) s"; \
	  status=0; "$(FUZZ_BUILD)/tests/fuzz/fuzz_$$harness" -max_total_time=$(FUZZ_SECONDS) -timeout=30 \
	    -print_final_stats=1 -artifact_prefix="$(FUZZ_BUILD)/$$harness-" "$$work" || status=$$?; \
	  rm -rf "$$work"; [ $$status -eq 0 ] || exit $$status; \
	done

# Figures, not tests: the core under Google Benchmark, then framefit-cli against mediainfo.
.PHONY: bench
bench:
	scripts/install-deps --bench
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DFRAMEFIT_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target framefit_core_bench framefit-cli
	$(BENCH_BUILD)/tests/bench/framefit_core_bench
	scripts/bench-compare $(BENCH_BUILD)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SANITIZE_BUILD) $(BENCH_BUILD)
