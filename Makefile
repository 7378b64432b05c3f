# The two commands: `make run` and `make test`. Both install missing packages first.
PRESETS := linux linux-asan windows
BUILDS := $(addprefix build-,$(PRESETS))
TESTS := $(addprefix test-,$(PRESETS))
JOBS ?= 2

.PHONY: run test deps build clean $(BUILDS) $(TESTS)

# Builds both packages, then plays the host for the Linux plugin: at a prompt when standard
# input is a terminal, otherwise running the commands it reads (echo 'cd:docs' | make run).
run: deps build-linux build-windows
	@echo "Windows package: $(CURDIR)/dist/windows/Waymarks/"
	@echo "Linux package:   $(CURDIR)/dist/linux/Waymarks/"
	@build/linux/farhost/farhost --plugin dist/linux/Waymarks/Waymarks.so

test: deps $(TESTS)

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
