# Thin wrapper over CMake. `make run` and `make test` do the whole set-up.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30

.PHONY: all setup configure build run install test format bench demo clean asan-test fuzz soak deb deb-test

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

# The soak (label soak, configuration Soak) runs only through `make soak`.
test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300 -LE soak

# Lays out every C++ file git tracks with clang-format and the tree's
# .clang-format; make test checks it (tests/format.sh).
format: setup
	@git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format -i

# The whole suite again, built with AddressSanitizer and UBSan.
asan-test: setup
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKARRA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600 -LE soak

# Every libFuzzer target (fuzz/) for FUZZ_SECONDS each, built with clang;
# the seeds come from the data set of the default build.
fuzz: build
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELKARRA_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target velkarra-fuzz
	@./fuzz/run.sh $(FUZZ_BUILD) $(BUILD)/data $(FUZZ_SECONDS)

# A million frames of play with one life a level; see tests/soak_test.cpp.
soak: build
	@cd $(BUILD) && ctest -V -C Soak -L soak --timeout 7200

# The Debian packages, unsigned, in $(BUILD)/deb (scripts/deb.sh), then
# lintian on them: it fails on any error, warning or informational tag that
# debian/*lintian-overrides does not explain.
deb:
	@./scripts/setup.sh deb
	@./scripts/deb.sh $(BUILD)/deb $(JOBS)
	@lintian -I --fail-on error,warning,info $(BUILD)/deb/velkarra3d_*.changes $(BUILD)/deb/velkarra3d_*.dsc

# The packages that make deb built, unpacked and run (tests/package_test.cpp).
deb-test: build
	@cd $(BUILD) && ctest --output-on-failure -C Package -L package

bench: build
	@for b in $(BUILD)/bench/velkarra_bench*; do [ -x "$$b" ] && "$$b"; done
	@echo "level-1 session replayed, --detail low:"
	@$(BUILD)/velkarra3d --headless --data $(BUILD)/data --seed 1 --detail low --timedemo bench/level1_session.txt
	@echo "the same, first 300 frames, --detail high:"
	@$(BUILD)/velkarra3d --headless --data $(BUILD)/data --seed 1 --detail high --frames 300 --timedemo bench/level1_session.txt

# Two minutes of game time played by the autoplayer, headless, with a
# picture every 20 s in $(BUILD)/demo and one summary line.
demo: build
	@mkdir -p $(BUILD)/demo
	@$(BUILD)/velkarra3d --headless --autoplay --data $(BUILD)/data --seed 1 --frame-ms 33 \
	    --frames 3640 --shot-every 600 --screenshot $(BUILD)/demo/demo.png

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
