# One-command set-up: `make run` and `make test` install what is missing, configure and build.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES = cmake make g++ libgtest-dev libcli11-dev binutils-mingw-w64-x86-64
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build test run bench clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The worked example, translated on the built-in setup: the program appears on standard output.
run: build
	$(BUILD)/travex-host translate examples/worked-example.ptm

# Translation of a 1,000,000-point motion against the least it can cost, import of a
# 1,000,000-line points file, and the editor's point actions on a 1,000,000-point table, each
# timed as whole processes (see README, Performance).
bench: build
	$(BUILD)/translate_bench --host $(BUILD)/travex-host
	$(BUILD)/import_bench --host $(BUILD)/travex-host
	$(BUILD)/edit_bench --host $(BUILD)/travex-host

clean:
	rm -rf $(BUILD)
