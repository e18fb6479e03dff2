# The two commands of the README: `make run` and `make test`. Both install what is missing first.
# Qt Charts draws the figures; its CMake package needs the OpenGL development files.

PACKAGES := cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n fonts-liberation \
            libpoppler-qt6-dev
# The tests read exports back as other programs would: iCalendar files with python3-icalendar,
# printed PDF pages with poppler-utils.
PACKAGES += python3-icalendar poppler-utils
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
JOBS ?= 2

# The desktop's validators and dpkg-shlibdeps with its helper, for `make package` and the tests.
PACKAGES += desktop-file-utils appstream dpkg-dev file
# lld links the hundred test programs much faster than the default linker.
PACKAGES += lld
# The tests build the benchmarks and run each once: Google Benchmark, and the peers that
# bench_guestfile compares with (python3's csv module, sqlite3).
PACKAGES += libbenchmark-dev python3 sqlite3

# Fuzzing needs clang and libFuzzer (not in `make test`, which replays the seeds with g++).
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev llvm-14
FUZZ_SECONDS ?= 30

.PHONY: run test package bench compare fuzz deps build clean

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get -o DPkg::Lock::Timeout=900 update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIMBRANA_TESTS=OFF
	cmake --build build/release -j$(JOBS) --target Zimbrana

run: build
	# The demo works on a copy of example/ (files missing there are copied again), so using it
	# never changes the repository; it is the data folder of this run only, so the guests are on
	# the screen at once and a host's own data folder stays. The example data is German, so it
	# runs with German settings.
	@mkdir -p build/example; for f in example/*; do \
	  [ -e "build/$$f" ] || { echo "cp $$f build/example/"; cp -p "$$f" build/example/; }; done
	cd build/example && LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 ../release/src/app/Zimbrana --datenordner .

# A Debian package from the release build (no sanitizers): build/release/zimbrana_<version>_<arch>.deb
package: build
	cmake --build build/release -j$(JOBS) --target package

test: deps
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DZIMBRANA_SANITIZE=ON -DZIMBRANA_BENCH=ON
	cmake --build build/test -j$(JOBS)
	# The test package_install installs this package, starts it and removes it again.
	@$(MAKE) --no-print-directory package
	cd build/test && ctest --output-on-failure -j$(JOBS)

bench: deps
	bench/run.sh

# Only the comparison of reading and writing the guest file with Python's csv module and sqlite3.
compare: deps
	BENCH_PROGRAMS=bench_guestfile bench/run.sh --benchmark_filter=BM_Peers

fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(FUZZ_PACKAGES)"
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) bash fuzz/run.sh

clean:
	rm -rf build
