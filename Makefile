# Gramora: `make demo` and `make test` set up a fresh Debian 12 machine and do everything.
PACKAGES := g++ cmake make pkg-config libgtest-dev libbenchmark-dev libembree-dev libtbb-dev \
            libpng-dev nlohmann-json3-dev libcli11-dev libtinygltf-dev libtinyobjloader-dev
BUILD    ?= build
ASAN     ?= build-asan
JOBS     ?= $(shell nproc)
CMAKE_FLAGS ?=
GLTF_CHECK := tests/gltf

.PHONY: all deps build test test-asan demo bench clean

all: build

# Installs whatever is missing; without root it prints the one line to run instead. Besides the
# Debian packages: the Khronos glTF validator that the gltf_* tests run on exported .glb files
# (npm, version pinned in tests/gltf/package-lock.json), run by Debian's nodejs when node is absent.
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run: sudo apt-get install -y $$missing"; exit 1; \
	  fi; \
	fi
	@if [ ! -d $(GLTF_CHECK)/node_modules ]; then \
	  if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then \
	    if [ "$$(id -u)" = 0 ]; then \
	      echo "Installing: nodejs npm"; \
	      apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nodejs npm; \
	    else \
	      echo "Missing packages. Run: sudo apt-get install -y nodejs npm"; exit 1; \
	    fi; \
	  fi; \
	  echo "Installing the glTF validator into $(GLTF_CHECK)/node_modules"; \
	  npm ci --prefix $(GLTF_CHECK) --no-audit --no-fund || { rm -rf $(GLTF_CHECK)/node_modules; exit 1; }; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same suite under AddressSanitizer + UBSan with leak detection, in its own folder.
test-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DGRAMORA_SANITIZE=ON -DGRAMORA_BENCH=OFF
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

demo: build
	@mkdir -p out
	$(BUILD)/bin/gramora build -o out/demo.obj
	$(BUILD)/bin/gramora render -o out/demo.png
	@echo "Demo written to $(CURDIR)/out/demo.obj and $(CURDIR)/out/demo.png"

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

clean:
	rm -rf $(BUILD) $(ASAN) out
