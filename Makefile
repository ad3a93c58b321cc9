# `make run`: set up, build and run the main job.
# `make test`: set up, build and run every test (also under sanitizers).
JOBS ?= $(shell nproc)

.PHONY: setup build run test clean

setup:
	bash scripts/setup.sh

build: setup
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build/release -j$(JOBS)

run: build
	bash scripts/run.sh

test: setup
	bash scripts/test.sh

clean:
	rm -rf build

# `make fuzz SECONDS=60`: build the fuzzers (clang) and run each that long.
SECONDS ?= 60
.PHONY: fuzz
fuzz:
	bash fuzz/run.sh $(SECONDS)
