# taxbridge: the two set-up commands are `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

# Debian packages the build needs, with a file or command that shows each is there.
DEB_PACKAGES := cmake:/usr/bin/cmake g++:/usr/bin/g++ make:/usr/bin/make pkg-config:/usr/bin/pkg-config \
  libgtest-dev:/usr/include/gtest/gtest.h libgmock-dev:/usr/include/gmock/gmock.h \
  libsqlite3-dev:/usr/include/sqlite3.h libncurses-dev:/usr/include/ncursesw/curses.h \
  libbenchmark-dev:/usr/include/benchmark/benchmark.h tmux:/usr/bin/tmux

.PHONY: all deps build test demo bench clean

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do f=$${p#*:}; [ -e "$$f" ] || missing="$$missing $${p%%:*}"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing missing Debian packages:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null || exit 1; \
	  else \
	    echo "Missing Debian packages:$$missing"; echo "Install them with: sudo apt-get install$$missing"; exit 1; \
	  fi; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -Wno-dev $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@bash demo/run-demo.sh $(BUILD)

bench: deps
	cmake -S . -B $(BUILD)-bench -Wno-dev -DCMAKE_BUILD_TYPE=Release -DTAXBRIDGE_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-bench -j $(JOBS)
	@bash bench/run-bench.sh $(BUILD)-bench

clean:
	rm -rf $(BUILD) $(BUILD)-bench
