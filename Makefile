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

# Long tests carry the label "soak" and run only with test-soak.
test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) -LE soak

# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD_DIR) --output-on-failure -j $(JOBS) -LE soak

# The tests labelled "concurrency", built with ThreadSanitizer.
TSAN_BUILD_DIR ?= build-tsan
TSAN_TARGETS := concurrency_tests tev_host_parallel_tests tev_host_live_tests live_source_tests
.PHONY: test-tsan
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD_DIR) -DTEV_SANITIZE_THREAD=ON $(CMAKE_FLAGS)
	cmake --build $(TSAN_BUILD_DIR) -j $(JOBS) --target $(TSAN_TARGETS)
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp \
	  ctest --test-dir $(TSAN_BUILD_DIR) --output-on-failure -j $(JOBS) -L concurrency

# The long tests: a million frames of one object.
.PHONY: test-soak
test-soak: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -L soak

# Each libFuzzer target for FUZZ_SECONDS, starting from tests/fuzz/corpus; what the fuzzers
# learn stays in the build directory. A crash leaves its input in FUZZ_BUILD_DIR.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 300
# One libFuzzer program per tests/fuzz/<name>_fuzzer.cpp.
FUZZERS := $(basename $(notdir $(wildcard tests/fuzz/*_fuzzer.cpp)))
.PHONY: fuzz
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_CXX_COMPILER=clang++ -DTEV_FUZZ=ON \
	  -DTEV_BUILD_TESTS=OFF -DTEV_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target $(FUZZERS)
	set -e; for fuzzer in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD_DIR)/corpus/$$fuzzer; \
	  cp -n tests/fuzz/corpus/$$fuzzer/* $(FUZZ_BUILD_DIR)/corpus/$$fuzzer/; \
	  echo "fuzz: $$fuzzer for $(FUZZ_SECONDS) s"; \
	  (cd $(FUZZ_BUILD_DIR) && ./tests/fuzz/$$fuzzer -max_total_time=$(FUZZ_SECONDS) \
	    -rss_limit_mb=4096 -print_final_stats=1 corpus/$$fuzzer > $$fuzzer.log 2>&1) \
	    || { tail -n 80 $(FUZZ_BUILD_DIR)/$$fuzzer.log; exit 1; }; \
	  grep -E '^(Done|stat::number_of_executed_units)' $(FUZZ_BUILD_DIR)/$$fuzzer.log; \
	done

# The module-only project built for Windows x86-64 with MinGW-w64: the DLL and its exports.
.PHONY: check-windows
check-windows: deps
	bash scripts/check-windows.sh

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

# The same clip through a GStreamer pipeline with the tevfiresmoke element; prints the
# element's alarm messages (everything gst-launch-1.0 said is kept in the log).
.PHONY: demo-gst
demo-gst: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tev-scene gsttevfiresmoke
	@$(BUILD_DIR)/tev-scene fire --out $(DEMO_DIR)
	@GST_PLUGIN_PATH=$(BUILD_DIR)/gstreamer gst-launch-1.0 -m filesrc location=$(DEMO_DIR)/fire.avi \
	  ! decodebin ! videoconvert ! video/x-raw,format=BGR ! tevfiresmoke models=models/default \
	  ! fakesink > $(DEMO_DIR)/gst-launch.log
	@grep -E '"tevfiresmoke0" \(element\): alarm-(start|end)' $(DEMO_DIR)/gst-launch.log
	@echo "make demo-gst: everything gst-launch-1.0 printed is in $(DEMO_DIR)/gst-launch.log"

# The evaluation of eval/README.md: tev-scene writes the seeded clips of eval/clips.txt,
# then tev-eval runs them through the module and through the raw detector with
# EVAL_MODELS (models/default; models/colour for the colour built-in) and writes the report
# into $(EVAL_DIR)/report.
EVAL_DIR ?= $(BUILD_DIR)/eval
EVAL_MODELS ?= models/default
.PHONY: eval
eval: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tev-eval tev-scene
	@rm -rf $(EVAL_DIR)/clips && mkdir -p $(EVAL_DIR)/clips
	@grep -v -e '^#' -e '^$$' eval/clips.txt | \
	  xargs -P $(JOBS) -L 1 $(BUILD_DIR)/tev-scene --out $(EVAL_DIR)/clips > /dev/null
	$(BUILD_DIR)/tev-eval $(EVAL_DIR)/clips/*.avi --models $(EVAL_MODELS) \
	  --out $(EVAL_DIR)/report --jobs $(JOBS)

# The benchmarks of the module's own cost (bench/README.md). Medians of BENCH_REPETITIONS
# runs; BENCH_FLAGS go to Google Benchmark, e.g. BENCH_FLAGS=--benchmark_filter=Searching.
BENCH_REPETITIONS ?= 5
BENCH_FLAGS ?=
.PHONY: bench
bench: build
	$(BUILD_DIR)/bench/tev_bench --benchmark_repetitions=$(BENCH_REPETITIONS) \
	  --benchmark_report_aggregates_only=true $(BENCH_FLAGS)
	$(BUILD_DIR)/bench/tev_bench_memory $(BENCH_FLAGS)

# The fire-and-smoke detector of models/default, trained from scratch on the CPU
# (training/README.md): about 80 minutes on two cores, checkpointed in TRAIN_DIR, so that
# a run stopped and started again resumes. Not part of make test.
DATASETS ?= ../shared/datasets/fire-smoke
TRAIN_DIR ?= $(BUILD_DIR)/training
PYTHON ?= /usr/bin/python3
.PHONY: train train-deps test-training
train-deps:
	@bash scripts/install-deps.sh --training
train: train-deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tev-scene
	$(PYTHON) training/train.py --data $(DATASETS) --tev-scene $(BUILD_DIR)/tev-scene \
	  --work $(TRAIN_DIR) --out models/default

# The training pipeline's own tests (loader, split, calibration, export round trip).
test-training: train-deps
	$(PYTHON) -m pytest -q training/tests

install: build
	cmake --install $(BUILD_DIR)

# The module alone, configured as an integrator with the maker's inference library does,
# against the stand-in library of the main build.
.PHONY: check-module-only
check-module-only: build
	bash scripts/check-module-only.sh $(BUILD_DIR)/platform/tevlib/libTEVLIB.so

# A Debian package (CPack) of what cmake --install puts under /usr: the module, the stand-in
# library, tev-host, tev-eval, tev-scene, the GStreamer element and models/default. Built in
# a tree of its own, without tests; check-package unpacks it in a scratch root and runs it.
PACKAGE_BUILD_DIR ?= build-package
.PHONY: package check-package
package: deps
	cmake -S . -B $(PACKAGE_BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTEV_BUILD_TESTS=OFF -DTEV_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD_DIR) -j $(JOBS)
	cd $(PACKAGE_BUILD_DIR) && cpack
check-package: package
	bash scripts/check-package.sh $(PACKAGE_BUILD_DIR)/tev-fire-smoke_*.deb

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR) $(FUZZ_BUILD_DIR) $(PACKAGE_BUILD_DIR)
