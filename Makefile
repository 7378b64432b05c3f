# The two commands: `make run` and `make test` (and `make package` for the release packages).
# All install missing packages first.
PRESETS := linux linux-asan windows
BUILDS := $(addprefix build-,$(PRESETS))
TESTS := $(addprefix test-,$(PRESETS))
JOBS ?= 2

.PHONY: run run-farhost run-build package test deps build clean $(BUILDS) $(TESTS) test-realhost test-far2l \
  test-package fuzz fuzz-smoke bench-peers

# Builds the Linux packages and farhost (quietly). At a terminal: the far2l package in far2l (the
# system's, else the copy the far2l suite fetches) with a profile of its own in build/far2l-profile,
# or farhost's full screen when there is no far2l. Piped commands go to farhost.
FARHOST_RUN := build/linux/farhost/farhost --plugin dist/linux/Waymarks/Waymarks.so

run: run-build
	@if [ -t 0 ] && [ -t 1 ]; then \
	  tools/run-far2l.sh dist/far2l build/far2l-profile || [ $$? -ne 3 ] || $(FARHOST_RUN); \
	else $(FARHOST_RUN); fi

# farhost's full screen (at a terminal) or its commands (piped), whatever far2l there is.
run-farhost: run-build
	@$(FARHOST_RUN)

run-build: deps
	@cmake --preset linux >/dev/null
	@mkdir -p build && cmake --build --preset linux -j $(JOBS) --target Waymarks Waymarks_far2l \
	  farhost >build/run-build.log 2>&1 || { cat build/run-build.log; exit 1; }

# The release packages in dist/, from the FAR 2 package (dist/windows/Waymarks/) and the far2l one
# (dist/far2l/Waymarks/): the FAR 2 zip (the stripped DLL; its debug information stays beside it
# as Waymarks.dll.debug), the far2l tar.gz and .deb, and SHA256SUMS. The same commit gives the
# same bytes.
package: deps
	@cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target Waymarks
	@cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS) --target Waymarks_far2l
	tools/package.py

test: deps fuzz-smoke $(TESTS) test-realhost test-far2l test-package

deps:
	@tools/install-deps.sh

build: $(BUILDS)

$(BUILDS): build-%: deps
	@cmake --preset $* >/dev/null
	cmake --build --preset $* -j $(JOBS)

$(TESTS): test-%: build-%
	ctest --preset $* -j $(JOBS)

# The Windows package inside the real host under wine, driven through tmux. The host comes from
# FAR2_DIR, else ../shared/far2 beside this checkout or beside the one it was cloned from;
# without it the suite says so in one line and passes.
test-realhost: build-windows
	tests/realhost/run.py --package dist/windows/Waymarks --work build/windows/realhost $(JOURNEYS)

# The far2l package inside far2l 2.6.5, fetched from Debian into build/far2l-host (nothing is
# installed) and driven through tmux; the plugin's store is read with farhost. Without the package
# archive the suite says so in one line and passes. The jump timings: tests/far2l/measure.py.
test-far2l: build-linux
	tests/far2l/run.py --package dist/far2l/Waymarks --work build/linux/far2l-journeys $(JOURNEYS)

# The release packages: packaged twice into build/package-test (the same bytes), unpacked and
# checked, lintian on the .deb, and the far2l journeys on the .deb's files.
test-package: package build-linux
	tests/package/run.py --work build/package-test

clean:
	rm -rf build dist

# The exchange-file fuzzer (clang, libFuzzer, address and undefined-behaviour sanitizers), built
# into build/fuzz. fuzz-smoke: a fixed 30,000 runs over the seed corpus in fuzz/corpus.
# fuzz: a long run with one worker, FUZZ_SECONDS long (default 600); new inputs are kept in
# build/fuzz/corpus and a finding is written to build/fuzz/crash-* (replay: pass it as argument
# to build/fuzz/exchange_fuzzer).
FUZZ_SECONDS ?= 600

fuzz-smoke: deps
	FUZZ_RUNS=30000 JOBS=$(JOBS) fuzz/fuzz.sh smoke

fuzz: deps
	JOBS=$(JOBS) fuzz/fuzz.sh run $(FUZZ_SECONDS)

# One jump of Waymarks beside the same jump of zoxide and autojump (which the script installs from
# Debian), with 1,000 to 100,000 stored directories; BENCH_WINE=1 adds the Windows DLL under wine
# up to 10,000, and BENCH_ARGS passes more (--sizes, --runs). Never part of `make test`.
bench-peers: deps
	@cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS) --target Waymarks farhost
	$(if $(BENCH_WINE),@cmake --preset windows >/dev/null)
	$(if $(BENCH_WINE),cmake --build --preset windows -j $(JOBS) --target Waymarks farhost)
	bench/peers.py --farhost build/linux/farhost/farhost --plugin dist/linux/Waymarks/Waymarks.so \
	  $(if $(BENCH_WINE),--wine-farhost build/windows/farhost/farhost.exe \
	  --wine-plugin dist/windows/Waymarks/Waymarks.dll) $(BENCH_ARGS)
