# Thin wrapper over CMake. `make run` and `make test` do the whole set-up.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all setup configure build run test bench demo clean

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

# Two minutes of game time played by the autoplayer, headless, with a
# picture every 20 s in $(BUILD)/demo and one summary line.
demo: build
	@mkdir -p $(BUILD)/demo
	@$(BUILD)/velkarra3d --headless --autoplay --data $(BUILD)/data --seed 1 --frame-ms 33 \
	    --frames 3640 --shot-every 600 --screenshot $(BUILD)/demo/demo.png

clean:
	rm -rf $(BUILD)
