# Thin front end over CMake. `make test` is what CI and a new user run.
BUILD_DIR      ?= build
SANITIZE_DIR   ?= build-sanitize
RELEASE_DIR    ?= build-release
PREFIX         ?= /usr/local
GENERATOR      ?= Ninja
CMAKE_ARGS     ?=

SANITIZE_FLAGS := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
export ASAN_OPTIONS  ?= detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1

.PHONY: deps configure build test test-sanitize bench install check-install format clean demo

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G $(GENERATOR) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	  -DOSTREL_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE_FLAGS)" -DCMAKE_C_FLAGS="-O1 $(SANITIZE_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE_FLAGS)" $(CMAKE_ARGS)
	cmake --build $(SANITIZE_DIR)
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure

bench: deps
	cmake -S . -B $(RELEASE_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DOSTREL_BUILD_TESTS=OFF $(CMAKE_ARGS)
	cmake --build $(RELEASE_DIR)
	./scripts/run-benchmarks.sh $(RELEASE_DIR)/bench

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

check-install: build
	./scripts/check-install.sh $(BUILD_DIR)

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(RELEASE_DIR)

DEMO_OUTPUT := $(BUILD_DIR)/demo/tarvio-settings.xml

# Converts the sample legacy settings in examples/settings/ into one Tarvio file.
demo: configure
	cmake --build $(BUILD_DIR) --target settings-converter
	@mkdir -p $(dir $(DEMO_OUTPUT))
	$(BUILD_DIR)/tools/settings_converter/settings-converter \
	  --tarvio-template examples/settings/tarvio-template.xml \
	  --halcett-settings examples/settings/halcett.ini \
	  --pellam-calibration-file examples/settings/pellam-kestrin.xml \
	  --lidars-to-use north,east,gate \
	  --output-file $(DEMO_OUTPUT)
	@echo "First lines of $(DEMO_OUTPUT):"
	@head -n 30 $(DEMO_OUTPUT)
