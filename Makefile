# The two commands: `make run` and `make test` (and `make package` for the Windows package).
# All install missing packages first.
PRESETS := linux linux-asan windows
BUILDS := $(addprefix build-,$(PRESETS))
TESTS := $(addprefix test-,$(PRESETS))
JOBS ?= 2

.PHONY: run package test deps build clean $(BUILDS) $(TESTS) test-realhost fuzz fuzz-smoke \
  bench-peers

# Builds the Linux package and farhost (quietly), then plays the host for the Linux plugin: the
# host's full screen at a terminal, otherwise running the commands it reads.
run: deps
	@cmake --preset linux >/dev/null
	@mkdir -p build && cmake --build --preset linux -j $(JOBS) --target Waymarks farhost \
	  >build/run-build.log 2>&1 || { cat build/run-build.log; exit 1; }
	@build/linux/farhost/farhost --plugin dist/linux/Waymarks/Waymarks.so

# The Windows package, for copying into the host.
package: build-windows
	@echo "Windows package: $(CURDIR)/dist/windows/Waymarks/"

test: deps fuzz-smoke $(TESTS) test-realhost

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
