# taxbridge: the two set-up commands are `make demo` and `make test`.
# The recipes source shell files with arguments (tools/windows/wine-env.sh),
# which only bash passes on.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

# Debian packages the build needs, with a file or command that shows each is there.
DEB_PACKAGES := cmake:/usr/bin/cmake g++:/usr/bin/g++ make:/usr/bin/make pkg-config:/usr/bin/pkg-config \
  libgtest-dev:/usr/include/gtest/gtest.h libgmock-dev:/usr/include/gmock/gmock.h \
  libncurses-dev:/usr/include/ncursesw/curses.h \
  libbenchmark-dev:/usr/include/benchmark/benchmark.h tmux:/usr/bin/tmux

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZED_BUILD ?= $(BUILD)-asan
# Leak checks stay on; a sanitizer finding ends the process with status 86, so
# a test that runs a program sees it fail.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:exitcode=86:strict_string_checks=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=86

.PHONY: windows windows-programs deps-windows test-windows test-windows-ui demo-windows
.PHONY: all deps build test test-plain test-sanitized memcheck reliability demo bench fuzz clean run install

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do f=$${p#*:}; [ -e "$$f" ] || missing="$$missing $${p%%:*}"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing missing Debian packages:$$missing"; \
	    { apt-get update -qq || echo "apt-get update failed for some indexes; installing from what it has"; } && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null || exit 1; \
	  else \
	    echo "Missing Debian packages:$$missing"; echo "Install them with: sudo apt-get install$$missing"; exit 1; \
	  fi; \
	fi
	@bash tools/sqlite/fetch.sh third_party/sqlite
	@bash tools/windows/deps.sh optional

# The Windows programs, cross-built with MinGW-w64 for 64-bit and 32-bit
# Windows (cmake/mingw-w64-*.cmake), each in a build folder of its own, and
# tested under Wine. tools/windows/deps.sh installs (as root) or names what
# they need of Debian; `make deps` does it too but, for another account, does
# not fail without it.
WIN_BUILDS := $(BUILD)-win64:x86_64 $(BUILD)-win32:i686

deps-windows: deps
	@bash tools/windows/deps.sh required

# The four programs of each Windows build, then (make windows) everything
# else of it: the test suites.
WINDOWS_PROGRAMS := taxbridge_plus taxbridge_std taxbridge_lotus ledger
windows-programs: deps-windows
	@for b in $(WIN_BUILDS); do dir=$${b%%:*}; arch=$${b##*:}; \
	  [ -f "$$dir/CMakeCache.txt" ] || cmake -S . -B "$$dir" -Wno-dev -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-$$arch.cmake $(CMAKE_FLAGS) || exit 1; \
	  cmake --build "$$dir" -j $(JOBS) --target $(WINDOWS_PROGRAMS) || exit 1; \
	done

windows: windows-programs
	@for b in $(WIN_BUILDS); do cmake --build "$${b%%:*}" -j $(JOBS) || exit 1; done

# Every unit suite that applies to Windows, under Wine, both bitnesses; then
# the whole launched runs of tests/windows/scenarios.sh, held against the
# Linux build's. A machine whose kernel cannot execute 32-bit programs cannot
# start Wine's 32-bit loader: the 32-bit programs are then built but not run,
# and the target says so in its last line. The 64-bit programs must run.
test-windows: windows build
	@notrun=""; for b in $(WIN_BUILDS); do dir=$${b%%:*}; \
	  rc=0; ( . tools/windows/wine-env.sh "$$dir" ) || rc=$$?; \
	  if [ $$rc = 2 ] && [ $${b##*:} = i686 ]; then notrun="$$notrun $$dir"; continue; elif [ $$rc != 0 ]; then exit 1; fi; \
	  ( . tools/windows/wine-env.sh "$$dir" && cd "$$dir" && ctest --output-on-failure -j $(JOBS) ) || exit 1; \
	  bash tests/windows/scenarios.sh "$$dir" $(BUILD) || exit 1; \
	done; \
	if [ -n "$$notrun" ]; then echo "test-windows: passed, but NOT RUN on this machine (Wine's loader for it cannot start here):$$notrun"; \
	else echo "test-windows: every Windows build passed"; fi

# The real windows of the 64-bit programs under Wine on a virtual X display,
# driven by real key presses (tests/windows/ui.sh); screenshots in
# $(BUILD)-win64/screenshots/.
test-windows-ui: windows
	@bash tests/windows/ui.sh $(BUILD)-win64

# The demo's three runs with taxbridge_plus.exe and ledger.exe under Wine, each
# document checked against tests/golden/expected, for each bitness this
# machine can run. (The launched runs held against the Linux build are
# test-windows's.)
demo-windows: windows-programs
	@notrun=""; for b in $(WIN_BUILDS); do dir=$${b%%:*}; \
	  rc=0; ( . tools/windows/wine-env.sh "$$dir" ) || rc=$$?; \
	  if [ $$rc = 2 ] && [ $${b##*:} = i686 ]; then notrun="$$notrun $$dir"; continue; elif [ $$rc != 0 ]; then exit 1; fi; \
	  bash demo/run-demo.sh "$$dir" || exit 1; \
	done; \
	[ -z "$$notrun" ] || echo "demo-windows: NOT RUN on this machine (Wine's loader for it cannot start here):$$notrun"

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -Wno-dev $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# `make test` runs the suite twice: as built (and, for root, again as an
# ordinary account), then under the sanitizers.
test: test-plain test-sanitized

# Run by root (as CI runs it), the suites and the demo then run once more as
# the ordinary account nobody, with a home folder of its own.
test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@bash tests/as-ordinary-user.sh $(BUILD)

test-sanitized: deps
	cmake -S . -B $(SANITIZED_BUILD) -Wno-dev -DTAXBRIDGE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZED_BUILD) -j $(JOBS)
	cd $(SANITIZED_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# Valgrind's memcheck over one whole run of each method on the demo data.
memcheck: build
	@bash tools/reliability/memcheck.sh $(BUILD)

# The reliability figures: fault points, hostile inputs, fuzzing, sanitizers
# and memcheck, printed and written into docs/reliability.md.
reliability: build
	@bash tools/reliability/report.sh $(BUILD) $(SANITIZED_BUILD)

demo: build
	@bash demo/run-demo.sh $(BUILD)

# Interactive run of taxbridge_plus on the demo company data, in this terminal.
# The demo installation lives in $(BUILD)/demo-ledger and is made on first use.
DEMO_LEDGER = $(abspath $(BUILD))/demo-ledger
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target taxbridge_plus ledger
	@if [ ! -f "$(DEMO_LEDGER)/.ready" ]; then \
	  rm -rf "$(DEMO_LEDGER)" && export LEDGER_HOME="$(DEMO_LEDGER)" && \
	  $(BUILD)/bin/ledger init >/dev/null && $(BUILD)/bin/ledger import demo/ledger >/dev/null && \
	  $(BUILD)/bin/ledger select 001 1 >/dev/null && touch "$(DEMO_LEDGER)/.ready" || exit 1; \
	fi
	@LEDGER_HOME="$(DEMO_LEDGER)" $(BUILD)/bin/taxbridge_plus; echo "taxbridge_plus ended with status $$?"

# make install PREFIX=/opt/taxbridge: the programs (with the ledger command, the
# return product's definition file and SUPPORT.INF beside them) in
# PREFIX/lib/taxbridge, links in PREFIX/bin, a desktop entry and the icons of
# each edition in the freedesktop layout under PREFIX/share.
PREFIX ?= /usr/local
EDITIONS := plus std lotus
ICON_SIZES := 16 24 32 48 64 128 256
install: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(foreach e,$(EDITIONS),taxbridge_$(e)) ledger
	install -d "$(DESTDIR)$(PREFIX)/lib/taxbridge" "$(DESTDIR)$(PREFIX)/bin" "$(DESTDIR)$(PREFIX)/share/applications"
	install -m 755 $(foreach e,$(EDITIONS),$(BUILD)/bin/taxbridge_$(e)) $(BUILD)/bin/ledger "$(DESTDIR)$(PREFIX)/lib/taxbridge/"
	install -m 644 $(BUILD)/bin/HalvernDef.ini $(BUILD)/bin/SUPPORT.INF "$(DESTDIR)$(PREFIX)/lib/taxbridge/"
	for p in $(foreach e,$(EDITIONS),taxbridge_$(e)) ledger; do ln -sf ../lib/taxbridge/$$p "$(DESTDIR)$(PREFIX)/bin/$$p"; done
	for e in $(EDITIONS); do \
	  install -m 644 packaging/taxbridge_$$e.desktop "$(DESTDIR)$(PREFIX)/share/applications/" && \
	  for s in $(ICON_SIZES); do \
	    install -D -m 644 resources/icons/$$e/$${s}x$${s}.png \
	      "$(DESTDIR)$(PREFIX)/share/icons/hicolor/$${s}x$${s}/apps/taxbridge_$$e.png" || exit 1; \
	  done; \
	done

# The benchmarks (docs/performance.md, "## Method"). bench/run-bench.sh takes
# BENCH_PARTS, BENCH_SIZES, BENCH_REPEAT, BENCH_DEMO_RUNS, BENCH_DEMO_LINES,
# BENCH_BIG_LINES and BENCH_ARGS from the environment; the peer baseline of the
# `full` part needs python3 with its sqlite3 module and the bench fails without.
bench: deps
	cmake -S . -B $(BUILD)-bench -Wno-dev -DCMAKE_BUILD_TYPE=Release -DTAXBRIDGE_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-bench -j $(JOBS)
	@bash bench/run-bench.sh $(BUILD)-bench

# AFL++ harnesses of bench/fuzz, built with AFL++'s GCC wrapper and the address
# and undefined-behaviour sanitizers in $(BUILD)-fuzz, then run one after the
# other for FUZZ_SECONDS each (see bench/fuzz/README.md). AFL++ is installed
# when missing and this runs as root; nothing else of the build needs it.
# (Clang cannot compile Shift_JIS literals, and Debian's AFL++ GCC plugin
# refuses its own GCC, so the classic afl-gcc wrapper instruments the code.)
FUZZ_SECONDS ?= 60
FUZZ_ENV := AFL_USE_ASAN=1 AFL_USE_UBSAN=1 AFL_QUIET=1
fuzz: deps
	@if ! command -v afl-g++ >/dev/null; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    { apt-get update -qq || echo "apt-get update failed for some indexes; installing from what it has"; } && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq afl++ >/dev/null || exit 1; \
	  else \
	    echo "make fuzz needs AFL++: sudo apt-get install afl++"; exit 1; \
	  fi; \
	fi
	$(FUZZ_ENV) CC=afl-gcc CXX=afl-g++ cmake -S . -B $(BUILD)-fuzz -Wno-dev -DTAXBRIDGE_FUZZ=ON $(CMAKE_FLAGS)
	$(FUZZ_ENV) cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzz_harnesses
	bash bench/fuzz/run-fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(SANITIZED_BUILD) $(BUILD)-fuzz $(BUILD)-win64 $(BUILD)-win32
