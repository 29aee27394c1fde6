# The two commands a newcomer needs: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all build run test deps deps-test configure format clean windows

all: build

deps:
	@tools/install-deps.sh build

deps-test:
	@tools/install-deps.sh test

# The generated Makefile, not the cache: a configure that failed half-way
# leaves a cache behind and must run again.
$(BUILD_DIR)/Makefile:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVISTRUM_WINDOWS=ON

configure: deps $(BUILD_DIR)/Makefile

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# With a display the program opens on it; without one it runs on a virtual
# display under openbox, and a screenshot is saved to build/screenshot.png.
run: deps-test build
	@if [ -n "$$DISPLAY" ]; then \
	    $(BUILD_DIR)/bin/vistrum; \
	else \
	    tools/run-headless.sh $(BUILD_DIR)/bin/vistrum $(BUILD_DIR)/screenshot.png; \
	fi

# The Windows program, cross-compiled as part of the build:
# $(BUILD_DIR)/win64/bin/vistrum.exe.
windows: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vistrum_win64
	@echo "Built $(BUILD_DIR)/win64/bin/vistrum.exe"

test: deps-test build
	cd $(BUILD_DIR) && ctest --output-on-failure -j 1

# The test suite again on a build of its own with AddressSanitizer and
# UndefinedBehaviorSanitizer (cmake/sanitizers.cmake); any report fails the
# test it shows up in. Its tables of window managers keep one session for
# each way the program meets one (tests/e2e/CMakeLists.txt).
SANITIZE_BUILD_DIR ?= build-sanitize
.PHONY: test-sanitize
$(SANITIZE_BUILD_DIR)/Makefile:
	cmake -S . -B $(SANITIZE_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVISTRUM_SANITIZE=ON

test-sanitize: deps-test $(SANITIZE_BUILD_DIR)/Makefile
	cmake --build $(SANITIZE_BUILD_DIR) -j $(JOBS)
	cd $(SANITIZE_BUILD_DIR) && ctest --output-on-failure -j 1

# The Debian package, $(BUILD_DIR)/vistrum_<version>_<arch>.deb, and the
# Windows zip, $(BUILD_DIR)/vistrum-<version>-win64.zip (cmake/packaging.cmake).
.PHONY: package
package: deps-test build
	cd $(BUILD_DIR) && cpack -G DEB
	cd $(BUILD_DIR)/win64 && cpack -G ZIP -B $(abspath $(BUILD_DIR))

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR)

# Start-up, preset latency, memory and idle cost of the program against bare
# floors, on a private virtual display; prints one table (docs/performance.md).
# A quicker look: make bench BENCH_ARGS="--reps 3 --idle 2"
.PHONY: bench
bench: deps-test build
	bench/run.sh $(BUILD_DIR) $(BENCH_ARGS)
