# Thin wrapper over CMake. `make run` and `make test` do the whole set-up.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all setup configure build run test bench clean

all: build

setup:
	@./scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ]; then echo "velkarra3d: no display (DISPLAY is not set); start it from a desktop session"; exit 1; fi
	cd $(BUILD)/data && ../velkarra3d

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@for b in $(BUILD)/bench/velkarra_bench*; do [ -x "$$b" ] && "$$b"; done
	@echo "level-1 session replayed, --detail low:"
	@$(BUILD)/velkarra3d --headless --data $(BUILD)/data --seed 1 --detail low --timedemo bench/level1_session.txt
	@echo "the same, first 300 frames, --detail high:"
	@$(BUILD)/velkarra3d --headless --data $(BUILD)/data --seed 1 --detail high --frames 300 --timedemo bench/level1_session.txt

clean:
	rm -rf $(BUILD)
