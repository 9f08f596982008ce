# One-command set-up: `make run` and `make test` install what is missing, configure and build.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES = cmake make g++ libgtest-dev libcli11-dev qt6-base-dev fonts-liberation
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build test run bench screenshots clean

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

# Translation of a 1,000,000-point motion and import of a 1,000,000-line points file, each
# timed as a whole process, and the redraw of a 1,000,000-point graph (see README, Performance).
bench: build
	$(BUILD)/translate_bench --host $(BUILD)/travex-host
	$(BUILD)/import_bench --host $(BUILD)/travex-host
	$(BUILD)/graph_redraw_bench

# The editor on the worked example and its event dialogs, rendered offscreen to docs/images/.
screenshots: build
	$(BUILD)/travex-screenshots examples/worked-example.ptm docs/images

clean:
	rm -rf $(BUILD)
