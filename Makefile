# One-command set-up: `make run` and `make test` install what is missing, configure and build.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES = cmake make g++ libgtest-dev libcli11-dev binutils-mingw-w64-x86-64 qt6-base-dev \
    qt6-svg-dev fonts-liberation
# What `make package` needs besides: dpkg-shlibdeps (dpkg-dev) and file find the package's
# dependencies.
PACKAGE_PACKAGES = dpkg-dev file
# What only the tests use: Python reads the CSV and SVG outputs back, pdftoppm opens the PDFs,
# and the package is made, its manual page rendered and lintian run on it.
TEST_PACKAGES = python3 poppler-utils $(PACKAGE_PACKAGES) lintian man-db
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build test run package bench fuzz screenshots windows-deps windows-check clean

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
	@$(MAKE) --no-print-directory deps PACKAGES="$(TEST_PACKAGES)"
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The worked example, translated on the built-in setup: the program appears on standard output.
# Only travex-host and the module (with the libraries they link) are built, behind one line of
# progress; everything the build says goes into $(RUN_LOG), named when a step fails.
RUN_LOG = $(BUILD)/make-run.log
run:
	@mkdir -p $(BUILD); log="$(RUN_LOG)"; : > "$$log"; \
	fail() { printf '\r\033[K'; echo "make run: $$1 failed; the whole log is in $$log" >&2; \
	         tail -n 20 "$$log" | grep -v "^exit [0-9]*$$" >&2; exit 1; }; \
	printf 'make run: installing what is missing ...'; \
	$(MAKE) --no-print-directory deps >> "$$log" 2>&1 || fail "installing packages"; \
	printf '\r\033[Kmake run: configuring ...'; \
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >> "$$log" 2>&1 || fail "configuring"; \
	{ cmake --build $(BUILD) -j $(JOBS) --target travex-host Travex 2>&1; echo "exit $$?"; } | \
	    tee -a "$$log" | awk '/^\[ *[0-9]+%\]/ { match($$0, /[0-9]+%/); \
	        printf "\r\033[Kmake run: building travex-host and Travex.so, %s", substr($$0, RSTART, RLENGTH); fflush() } \
	        /^exit / { exit $$2 }' || fail "building"; \
	printf '\r\033[K'
	@$(BUILD)/travex-host translate examples/worked-example.ptm

# build/travex_VERSION_ARCH.deb: only what goes into the package is built.
package:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(PACKAGE_PACKAGES)"
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target travex-package-files
	cd $(BUILD) && cpack

# Translation of a 1,000,000-point motion against the least it can cost, import of a
# 1,000,000-line points file, the editor's point actions on a 1,000,000-point table, and the
# plot of a 1,000,000-point motion, each timed as whole processes, the redraw of a
# 1,000,000-point graph, and the peak memory of fit and show of 10,000,000 points (see README,
# Performance).
bench: build
	$(BUILD)/translate_bench --host $(BUILD)/travex-host
	$(BUILD)/import_bench --host $(BUILD)/travex-host
	$(BUILD)/edit_bench --host $(BUILD)/travex-host
	$(BUILD)/graph_redraw_bench
	$(BUILD)/plot_bench --host $(BUILD)/travex-host
	$(BUILD)/design_bench --host $(BUILD)/travex-host
	$(BUILD)/show_bench --host $(BUILD)/travex-host
	$(BUILD)/scale_bench --host $(BUILD)/travex-host

# Each fuzz target for FUZZ_SECONDS (built with clang's libFuzzer, ASan and UBSan in
# $(FUZZ_BUILD)). Inputs found to break a target land in $(FUZZ_BUILD)/found/TARGET/; keep them in
# tests/fuzz/found/TARGET/ once the fault is mended, so that `make test` replays them.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_PACKAGES = clang libclang-rt-dev
FUZZ_TARGETS = parameter_text setup_file points_import editor_script motion_preview motion_keys \
    import_report points_file_reader motion_profile
FUZZ_SEEDS_parameter_text = examples
FUZZ_SEEDS_setup_file = examples/setups
FUZZ_SEEDS_points_import = examples/points
FUZZ_SEEDS_editor_script = examples/scripts
FUZZ_SEEDS_motion_preview = examples
FUZZ_SEEDS_motion_keys = examples
FUZZ_SEEDS_import_report = examples/points
FUZZ_SEEDS_points_file_reader = examples/points
FUZZ_SEEDS_motion_profile = examples/profiles
fuzz:
	$(MAKE) deps PACKAGES="$(PACKAGES) $(FUZZ_PACKAGES)"
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DTRAVEX_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) $(foreach t,$(FUZZ_TARGETS),--target fuzz_$(t))
	@$(foreach t,$(FUZZ_TARGETS), \
	    mkdir -p $(FUZZ_BUILD)/corpus/$(t) $(FUZZ_BUILD)/found/$(t) && \
	    echo "== $(t), $(FUZZ_SECONDS) s" && \
	    $(FUZZ_BUILD)/fuzz_$(t) -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	        -artifact_prefix=$(FUZZ_BUILD)/found/$(t)/ $(FUZZ_BUILD)/corpus/$(t) \
	        $(FUZZ_SEEDS_$(t)) $(wildcard tests/fuzz/seeds/$(t) tests/fuzz/found/$(t)) &&) true

# The editor on the worked example and its event dialogs, rendered offscreen to docs/images/,
# the preview of the S-curve example as travex-host plot draws it, and tables against their
# profiles (one sampled uniformly, one designed).
screenshots: build
	$(BUILD)/travex-screenshots examples/worked-example.ptm docs/images
	$(BUILD)/travex-host plot examples/s-curve-10rot.ptm -o docs/images/s-curve-plot.png \
	    --size 1000x720 --time-unit s --max-speed "45 rot/s" --max-acceleration "600 rot/s^2"
	$(BUILD)/travex-host plot examples/cycloid-10rot-20ms.ptm \
	    --profile examples/profiles/cycloidal-10rot.txt -o docs/images/cycloid-profile-plot.png \
	    --position-unit IU --time-unit ms --size 1000x900
	$(BUILD)/travex-host design examples/profiles/index-and-return.txt \
	    -o $(BUILD)/index-and-return.ptm
	$(BUILD)/travex-host plot $(BUILD)/index-and-return.ptm \
	    --profile examples/profiles/index-and-return.txt \
	    -o docs/images/index-and-return-design.png --position-unit IU --size 1000x900

# The module as the 32-bit Windows DLL: cross-built with mingw-w64 into $(WINDOWS_BUILD) and
# tested under Wine (32-bit, hence the i386 architecture), its translations and edits compared
# with this build's (tests/windows/windows-check.sh).
WINDOWS_BUILD ?= build-windows
WINDOWS_PACKAGES = g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 xvfb
# Without the packages that Wine only recommends (fonts, sound, GStreamer): minutes less.
windows-deps:
	@missing=""; \
	for p in $(WINDOWS_PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    dpkg --print-foreign-architectures | grep -qx i386 || $(SUDO) dpkg --add-architecture i386; \
	    $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq \
	        --no-install-recommends $$missing; \
	fi

windows-check: build windows-deps
	WINDOWS_BUILD=$(WINDOWS_BUILD) LINUX_BUILD=$(BUILD) JOBS=$(JOBS) tests/windows/windows-check.sh

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)
