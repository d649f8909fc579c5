# The front door. `make test` and `make demo` work on a fresh Debian 12 machine: they
# install what is missing, configure, build, and then test or demonstrate.

BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test test-asan demo install clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD_DIR) --output-on-failure -j $(JOBS)

# The main job on the embedded default: a synthetic room in which a fire starts after 2 s,
# run through tev-host with models/default. Builds only what it runs.
DEMO_DIR ?= $(BUILD_DIR)/demo
demo: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tev-host tev-scene
	@$(BUILD_DIR)/tev-scene fire --out $(DEMO_DIR)
	@$(BUILD_DIR)/tev-host $(DEMO_DIR)/fire.avi --models models/default \
	  --events $(DEMO_DIR)/events.jsonl --annotate $(DEMO_DIR)/fire-annotated.avi \
	  --snapshots $(DEMO_DIR)/snapshots
	@echo "make demo: events in $(DEMO_DIR)/events.jsonl; open $(DEMO_DIR)/fire-annotated.avi to see the fire found"

# The benchmarks of the module's own cost (bench/README.md). Medians of BENCH_REPETITIONS
# runs; BENCH_FLAGS go to Google Benchmark, e.g. BENCH_FLAGS=--benchmark_filter=Searching.
BENCH_REPETITIONS ?= 5
BENCH_FLAGS ?=
.PHONY: bench
bench: build
	$(BUILD_DIR)/bench/tev_bench --benchmark_repetitions=$(BENCH_REPETITIONS) \
	  --benchmark_report_aggregates_only=true $(BENCH_FLAGS)
	$(BUILD_DIR)/bench/tev_bench_memory $(BENCH_FLAGS)

install: build
	cmake --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR)
