# Thin wrapper over CMake. `make run` and `make test` do the whole set-up.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

.PHONY: all setup configure build run install test bench clean

all: build

setup:
	@./scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The game's own ends (Esc, Y, a missing data file) have status 1: like 0, a
# normal end, so make stays quiet; any other status fails as usual.
run: build
	@if [ -z "$$DISPLAY" ]; then echo "velkarra3d: no display (DISPLAY is not set); start it from a desktop session"; exit 1; fi
	@cd $(BUILD)/data || exit 2; ../velkarra3d; status=$$?; [ $$status -le 1 ] || exit $$status

# Honours DESTDIR for staged installs: make install PREFIX=/usr DESTDIR=/tmp/pkg
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@for b in $(BUILD)/bench/velkarra_bench*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD)
