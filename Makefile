# The two commands: `make run` and `make test`. Both install missing packages first.
PRESETS := linux linux-asan windows
JOBS ?= 2

.PHONY: run test deps build $(addprefix build-,$(PRESETS)) $(addprefix test-,$(PRESETS)) clean

run: deps build-linux build-windows
	@echo
	@echo "Windows package: $(CURDIR)/dist/windows/Waymarks/"
	@echo "Linux package:   $(CURDIR)/dist/linux/Waymarks/"

test: deps $(addprefix test-,$(PRESETS))

deps:
	@tools/install-deps.sh

build: $(addprefix build-,$(PRESETS))

build-%:
	@cmake --preset $* >/dev/null
	cmake --build --preset $* -j $(JOBS)

test-%: build-%
	ctest --preset $* -j $(JOBS)

clean:
	rm -rf build dist
