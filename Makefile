# The two commands a newcomer needs: `make run` and `make test`.
# Each installs what it is missing (Debian packages), configures and builds.

BUILD := build
BENCH_BUILD := build-release
JOBS := $(shell nproc 2>/dev/null || echo 2)
# Benchmarks measure what the program runs: -O2, as in the default build.
# (-O3 makes the fast texture fill about a fifth slower here.)
BENCH_FLAGS := -O2 -DNDEBUG

SANITIZE_BUILD := build-sanitize
CLANG_BUILD := build-clang
WEB_BUILD := build-web
WEB_PORT := 8000

.PHONY: all build run test test-clang explore bench soak sanitize clean web web-build web-file web-bench

all: build

build:
	@scripts/install_deps.sh build
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# With a display, start the program. Without one, run it on a virtual display,
# save screenshots (and exports) into run-output/ and quit.
run:
	@scripts/install_deps.sh run
	@$(MAKE) --no-print-directory build
	@if [ -n "$$DISPLAY" ]; then ./$(BUILD)/noisedemo; \
	 else scripts/headless_run.sh ./$(BUILD)/noisedemo run-output; fi

test:
	@scripts/install_deps.sh test
	@$(MAKE) --no-print-directory build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Random sessions on fresh seeds (EXPLORE_SESSIONS, default 20), beyond the
# fixed ones that make test replays. Prints every seed, then a summary with a
# replay command for each failure.
explore:
	@scripts/install_deps.sh test
	@$(MAKE) --no-print-directory build
	@/usr/bin/python3 tests/e2e/explore.py ./$(BUILD)/noisedemo

# The same sources built with Clang into build-clang/: every warning is an
# error there, and the unit tests, the check for fused multiply-adds and the
# layer check run on that build (the end-to-end tests too with
# CLANG_E2E=1).
test-clang:
	@scripts/install_deps.sh clang
	@cmake -S . -B $(CLANG_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DCMAKE_CXX_FLAGS=-Werror >/dev/null
	@cmake --build $(CLANG_BUILD) -j $(JOBS)
	@cd $(CLANG_BUILD) && ctest --output-on-failure -j $(JOBS) $(if $(CLANG_E2E),,-E '^e2e$$')

bench:
	@scripts/install_deps.sh bench
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=$(BENCH_FLAGS)" \
	  -DNOISEDEMO_TESTS=OFF -DNOISEDEMO_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS)
	@scripts/run_bench.sh $(BENCH_BUILD)

# A measurement, not a test: how much memory each kind of redraw costs over
# thousands of them (SOAK_REDRAWS, default 10000).
soak:
	@scripts/install_deps.sh test
	@$(MAKE) --no-print-directory build
	@scripts/soak.sh ./$(BUILD)/noisedemo $(or $(SOAK_REDRAWS),10000)

# Every test again on a build with AddressSanitizer and UndefinedBehaviorSanitizer
# (tests/CMakeLists.txt gives the tests the sanitizers' settings). The
# end-to-end tests run after the unit tests, not beside them, so that the
# several times slower sanitized program has both cores to itself.
sanitize:
	@scripts/install_deps.sh test
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOISEDEMO_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) -E '^e2e$$'
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure -R '^e2e$$'

# The browser version: built with Debian's emscripten into $(WEB_BUILD)/site
# (a static folder any web server can serve) and served here on
# http://127.0.0.1:$(WEB_PORT) with the headers that let the page use threads.
web: web-build
	@/usr/bin/python3 web/serve.py $(WEB_BUILD)/site --port $(WEB_PORT)

web-build:
	@scripts/install_deps.sh web
	@scripts/web_build.sh $(WEB_BUILD) $(JOBS)

# The page as one HTML file, $(WEB_BUILD)/noisedemo.html: its scripts and the
# one-thread module inlined, to open from disk, e-mail or upload.
web-file:
	@scripts/install_deps.sh web
	@scripts/web_build.sh $(WEB_BUILD) $(JOBS) web-file
	@echo "The page as one file: $(WEB_BUILD)/noisedemo.html"

# The texture fill in headless Chromium (each WebAssembly build, one thread
# and all) beside the native fill of the Release build.
web-bench: web-build
	@scripts/install_deps.sh bench
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=$(BENCH_FLAGS)" \
	  -DNOISEDEMO_TESTS=OFF -DNOISEDEMO_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target noisedemo_bench
	@/usr/bin/python3 web/bench.py $(WEB_BUILD)/site $(BENCH_BUILD)/bench/noisedemo_bench

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(SANITIZE_BUILD) $(WEB_BUILD) run-output
