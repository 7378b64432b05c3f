# The two commands: `make run` and `make test`. Both install missing packages first.
PRESETS := linux linux-asan windows
BUILDS := $(addprefix build-,$(PRESETS))
TESTS := $(addprefix test-,$(PRESETS))
JOBS ?= 2

.PHONY: run package test deps build clean $(BUILDS) $(TESTS) fuzz fuzz-smoke

# Builds the Linux package and farhost (quietly), then plays the host for the Linux plugin: at a
# prompt when standard input is a terminal, otherwise running the commands it reads.
run: deps
	@cmake --preset linux >/dev/null
	@cmake --build --preset linux -j $(JOBS) --target Waymarks farhost | grep -v '^\[\|^ninja: no work' || true
	@build/linux/farhost/farhost --plugin dist/linux/Waymarks/Waymarks.so

# The Windows package, for copying into the host.
package: build-windows
	@echo "Windows package: $(CURDIR)/dist/windows/Waymarks/"

test: deps fuzz-smoke $(TESTS)

deps:
	@tools/install-deps.sh

build: $(BUILDS)

$(BUILDS): build-%: deps
	@cmake --preset $* >/dev/null
	cmake --build --preset $* -j $(JOBS)

$(TESTS): test-%: build-%
	ctest --preset $* -j $(JOBS)

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
