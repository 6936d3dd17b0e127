# Quelvo 3: set-up, build, run and test in one command each.
#   make run  [ARGS="..."]   install missing packages, configure, build, start the program
#   make test [SANITIZE=1]   the same set-up, then run every test suite
#   make bench               build and run the benchmarks
#   make test SUITES="core_tests os_tests"   only these suites (built and run)
#   make test TEST_EXCLUDE=regex             leave out the tests whose names match
#   make test DEBUG_INFO=lines               line tables only (smaller, faster builds, as CI uses)

SANITIZE ?= 0
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

# ccache (installed by the set-up) keys on paths relative to the checkout, so a build in a fresh
# clone elsewhere reuses what an earlier build compiled.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

DEBUG_INFO ?= full
ifeq ($(DEBUG_INFO),lines)
  CMAKE_FLAGS += -DQV_DEBUG_LINES_ONLY=ON
else
  CMAKE_FLAGS += -DQV_DEBUG_LINES_ONLY=OFF
endif

# A chosen set of suites: build only their targets, run only their tests (each suite's tests
# carry the suite's name as their label).
empty :=
space := $(empty) $(empty)
BUILD_TARGETS :=
CTEST_ARGS :=
ifneq ($(strip $(SUITES)),)
  BUILD_TARGETS := --target $(SUITES)
  CTEST_ARGS += -L '^($(subst $(space),|,$(strip $(SUITES))))$$'
endif
ifneq ($(strip $(TEST_EXCLUDE)),)
  CTEST_ARGS += -E '$(TEST_EXCLUDE)'
endif

ifeq ($(SANITIZE),1)
  BUILD_DIR ?= build-asan
  CMAKE_FLAGS += -DQV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
  BUILD_DIR ?= build
  CMAKE_FLAGS += -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
endif

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) $(EXTRA_CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) $(BUILD_TARGETS)

run: build
	./$(BUILD_DIR)/app/quelvo3 $(ARGS)

test: build
	cd $(BUILD_DIR) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCH=ON -DQV_BUILD_TESTS=OFF >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/*_bench; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf build build-asan build-bench
