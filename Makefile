# Front door: make run, make test, make bench, make fuzz.
JOBS ?= $(shell nproc)
BUILD := build
ASAN_BUILD := build/asan
RELEASE_BUILD := build/release

.PHONY: run test bench fuzz deps build build-asan clean

deps:
	@bash scripts/install-deps.sh

$(RELEASE_BUILD)/build.ninja:
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQOR_SANITIZE=ON

build: deps $(RELEASE_BUILD)/build.ninja
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	./$(RELEASE_BUILD)/src/app/qor3d

# Every test twice: in the release build and with AddressSanitizer and UndefinedBehaviorSanitizer.
test: build build-asan
	cd $(RELEASE_BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/run-bench.sh $(RELEASE_BUILD)

fuzz: deps
	@bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD)
