# Thin wrapper over CMake: `make run` and `make test` are the two commands of the README.
JOBS        ?= $(shell nproc)
BUILD       ?= build
BUILD_ASAN  ?= build-asan
BUILD_FUZZ  ?= build-fuzz
FUZZ_SECONDS ?= 60
CLI         := $(BUILD)/darvex-cli
DEMO        ?= demo.d88

.PHONY: all setup configure build run test test-unit test-install test-asan test-fuzz package bench format clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the two programs it runs: the tests and benchmarks are built by `make test`.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target darvex darvex-cli
	bash scripts/make-demo.sh $(CLI) $(DEMO)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    $(BUILD)/darvex $(DEMO); \
	else \
	    echo "run: no display; showing the demo disk with darvex-cli instead"; \
	    $(CLI) info $(DEMO) && $(CLI) ls $(DEMO); \
	fi

test: test-unit test-install test-asan test-fuzz

test-unit: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@bash scripts/skipped-tests.sh $(BUILD)

# Installs into a scratch DESTDIR and builds the .deb, then checks both.
test-install: build
	bash tests/install/test-install.sh $(BUILD)

test-asan: setup
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DDARVEX_SANITIZE=ON -DDARVEX_BENCH=OFF
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)
	@bash scripts/skipped-tests.sh $(BUILD_ASAN)

test-fuzz: setup
	cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DDARVEX_FUZZ=ON -DDARVEX_TESTS=OFF -DDARVEX_BENCH=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	bash scripts/fuzz-smoke.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

# The Debian package: $(BUILD)/darvex_<version>_<arch>.deb.
package: build
	cpack -G DEB --config $(BUILD)/CPackConfig.cmake -B $(BUILD)

bench: build
	$(BUILD)/bench/darvex_bench
	bash bench/gui/startup.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
