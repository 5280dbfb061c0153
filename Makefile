# Front door to the CMake build.
#   make build        release build into build/ (executables in build/bin/)
#   make test         install what is missing, build, run every test, then again
#                     under AddressSanitizer + UndefinedBehaviorSanitizer, then
#                     a short smoke run of every fuzz target
#   make play         play the demo presentation (make play FILE=path for another)
#   make bench        build and run the benchmarks
#   make fuzz         long fuzzing run (FUZZ_SECONDS per target, default 3600)

JOBS        ?= $(shell nproc)
BUILD       ?= build
ASAN_BUILD  ?= build-asan
FUZZ_BUILD  ?= build-fuzz
BENCH_BUILD ?= build-bench
FILE        ?= examples/demo/demo.lmo
FUZZ_SMOKE_SECONDS ?= 5
FUZZ_SECONDS ?= 3600
WERROR      ?= $(if $(CI),ON,OFF)

export LSAN_OPTIONS := suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0
export ASAN_OPTIONS := detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1

.PHONY: deps build test test-release test-asan fuzz-smoke fuzz play bench clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DLMO_WERROR=$(WERROR)
	cmake --build $(BUILD) -j$(JOBS)

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 300

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLMO_SANITIZE=ON -DLMO_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLMO_FUZZ=ON -DLMO_TESTS=OFF \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target lmo_fuzzers

fuzz-smoke: fuzz-build
	scripts/run-fuzzers.sh $(FUZZ_BUILD)/fuzz $(FUZZ_SMOKE_SECONDS) --smoke

fuzz: fuzz-build
	scripts/run-fuzzers.sh $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

test: test-release test-asan fuzz-smoke

play: build
	$(BUILD)/bin/lmoplayer $(FILE)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DLMO_BENCH=ON -DLMO_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || exit 1; fi; \
	done
	bench/transitions/xfade-anchor.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
