# Gramora: `make demo` and `make test` set up a fresh Debian 12 machine and do everything.
#
# Dependencies come in three sets, installed by three steps:
#   deps       what building gramora, its plug-ins and the demo needs (Debian packages only);
#   deps-serve deps, plus three.js (npm, pinned in app/web), which `gramora serve` hands to the
#              browser;
#   deps-test  deps-serve, plus what only the tests and benchmarks need: Debian packages and the
#              npm packages pinned in each folder of TEST_NPM_DIRS (package-lock.json).
# `make demo` uses only the first, `make serve` the first two; `make test`, `test-asan` and
# `bench` all three.
BUILD_PACKAGES := g++ cmake make pkg-config libembree-dev libtbb-dev libpng-dev nlohmann-json3-dev \
                  libcli11-dev libcpp-httplib-dev
# GoogleTest and Google Benchmark; tinygltf and tinyobjloader read exports back in the tests;
# the browser tests drive Debian's chromium, with the panels' font (Liberation Sans, Arial's widths).
TEST_PACKAGES  := libgtest-dev libbenchmark-dev libtinygltf-dev libtinyobjloader-dev chromium fonts-liberation
# Folders whose npm packages the tests run (the Khronos glTF validator, playwright-core), with
# Node.js: Debian's nodejs and npm unless node and npm are already on the path.
TEST_NPM_DIRS  := tests/gltf tests/browser
SERVE_NPM_DIRS := app/web

BUILD    ?= build
ASAN     ?= build-asan
TSAN     ?= build-tsan
FUZZ     ?= build-fuzz
FUZZ_PACKAGES := clang libclang-rt-14-dev
FORMAT_PACKAGES := clang-format
FUZZ_TARGETS  := scene saved_scene roundtrip png field
FUZZ_SECONDS  ?= 60
FUZZ_TIMEOUT  ?= 60
JOBS     ?= $(shell nproc)
PREFIX   ?= /usr/local
CMAKE_FLAGS ?=
# The targets the demo needs: the host, the plug-in and the shader.
DEMO_TARGETS := gramora grass verdigo

.PHONY: all deps deps-serve deps-test deps-fuzz deps-format format-check format configure-tests build test test-asan test-tsan fuzz demo demo-png install serve serve-png bench clean

all: build

# Installs the missing Debian packages among $(1); without root it prints the one line to run.
define apt_install
	@missing=$$(for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run: sudo apt-get install -y $$missing"; exit 1; \
	  fi; \
	fi
endef

# Node.js (Debian's nodejs and npm unless node and npm are on the path), then the npm packages of
# the folders $(1), each pinned by its package-lock.json and installed again when that changes.
define npm_install
	@if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: nodejs npm"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nodejs npm; \
	  else \
	    echo "Missing packages. Run: sudo apt-get install -y nodejs npm"; exit 1; \
	  fi; \
	fi
	@for dir in $(1); do \
	  if [ ! $$dir/node_modules/.package-lock.json -nt $$dir/package-lock.json ]; then \
	    echo "Installing the npm packages of $$dir"; \
	    npm ci --prefix $$dir --no-audit --no-fund || { rm -rf $$dir/node_modules; exit 1; }; \
	  fi; \
	done
endef

deps:
	$(call apt_install,$(BUILD_PACKAGES))

deps-serve: deps
	$(call npm_install,$(SERVE_NPM_DIRS))

deps-test: deps-serve
	$(call apt_install,$(TEST_PACKAGES))
	$(call npm_install,$(TEST_NPM_DIRS))

# A fresh build folder is configured for the programs alone; `make test` switches the tests and
# benchmarks on in the same folder, so a later `make demo` rebuilds nothing.
$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DGRAMORA_TESTS=OFF -DGRAMORA_BENCH=OFF $(CMAKE_FLAGS)

configure-tests: deps-test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DGRAMORA_TESTS=ON -DGRAMORA_BENCH=ON $(CMAKE_FLAGS)

build: configure-tests
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same suite under AddressSanitizer + UBSan with leak detection, in its own folder.
test-asan: deps-test
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DGRAMORA_SANITIZE=ON -DGRAMORA_TESTS=ON -DGRAMORA_BENCH=OFF
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

demo: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	@mkdir -p out
	$(BUILD)/bin/gramora build -o out/demo.obj
	$(BUILD)/bin/gramora render -o out/demo.png
	@echo "Demo written to $(CURDIR)/out/demo.obj and $(CURDIR)/out/demo.png"
	@echo "The programs are in $(abspath $(BUILD))/bin: run $(BUILD)/bin/gramora --help"

# The picture README.md shows: the default scene, rendered with its fixed seed.
demo-png: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	$(BUILD)/bin/gramora render -o docs/demo.png --quiet

# gramora under $(PREFIX): bin/gramora, its plug-in, shader and libraries in lib/gramora, the
# example scenes in share/gramora/examples. `make install PREFIX=$$HOME/.local` needs no root.
install: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	cmake --install $(BUILD) --prefix $(PREFIX)

# `gramora serve` on SCENE (the default scene when empty); PORT=0 picks a free port.
SCENE ?=
PORT  ?= 8080
serve: deps-serve $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	$(BUILD)/bin/gramora serve $(SCENE) --port $(PORT)

# The picture docs/serve.md shows, taken by the browser test of the default scene.
serve-png: build
	cd $(BUILD) && ctest -R browser_default_scene --output-on-failure
	cp $(BUILD)/tests/browser/default_scene/serve.png docs/serve.png

# The suite under ThreadSanitizer (g++), in its own folder. TBB and Embree are not built with it:
# the exporters' workers run on std::thread in this build (GRAMORA_TSAN), and what happens inside
# Embree's and TBB's own threads is suppressed (tests/tsan.supp), so every report is about our code.
test-tsan: deps-test
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRAMORA_TSAN=ON -DGRAMORA_TESTS=ON -DGRAMORA_BENCH=OFF
	cmake --build $(TSAN) -j $(JOBS)
	cd $(TSAN) && TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp halt_on_error=1 second_deadlock_stack=1" \
	  ctest --output-on-failure -j $(JOBS)

# The fuzzers' compiler: Debian's clang with its libFuzzer and sanitizer runtimes.
deps-fuzz: deps
	$(call apt_install,$(FUZZ_PACKAGES))

# libFuzzer targets (tests/fuzz) built with clang, ASan and UBSan, each run FUZZ_SECONDS from its
# seed corpus (tests/fuzz/corpus/NAME, read only; what it learns goes to $(FUZZ)/corpus/NAME).
# A crash, leak or timeout stops the run with the input in $(FUZZ)/findings; add it to the seeds.
fuzz: deps-fuzz
	cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DGRAMORA_SANITIZE=ON -DGRAMORA_FUZZ=ON -DGRAMORA_TESTS=OFF -DGRAMORA_BENCH=OFF
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_targets
	@mkdir -p $(FUZZ)/findings
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ)/corpus/$$t; \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  if $(FUZZ)/bin/fuzz_$$t $(FUZZ)/corpus/$$t tests/fuzz/corpus/$$t -max_total_time=$(FUZZ_SECONDS) \
	      -timeout=$(FUZZ_TIMEOUT) -rss_limit_mb=2048 -print_final_stats=1 \
	      -artifact_prefix=$(CURDIR)/$(FUZZ)/findings/$$t- > $(FUZZ)/$$t.log 2>&1; then \
	    grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' $(FUZZ)/$$t.log; \
	  else \
	    tail -n 60 $(FUZZ)/$$t.log; exit 1; \
	  fi; \
	done

# The C++ style is .clang-format's (Debian's clang-format). format-check lists the tracked sources
# it would change and fails when there are any; format rewrites them.
FORMAT_SOURCES = $(shell git ls-files '*.cpp' '*.h')

deps-format:
	$(call apt_install,$(FORMAT_PACKAGES))

format-check: deps-format
	@if [ -z "$(strip $(FORMAT_SOURCES))" ]; then echo "format-check: no sources found (git ls-files needs the git checkout)"; exit 1; fi
	@changed=$$(for f in $(FORMAT_SOURCES); do clang-format --style=file "$$f" | cmp -s - "$$f" || echo "$$f"; done); \
	if [ -n "$$changed" ]; then \
	  echo "$$changed"; echo "clang-format would change the files above: make format"; exit 1; \
	fi; \
	echo "every source file is formatted"

format: deps-format
	clang-format --style=file -i $(FORMAT_SOURCES)

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN) $(FUZZ) out
