# The two commands of the README: `make run` and `make test`. Both install what is missing first.

PACKAGES := cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-translations-l10n fonts-liberation
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
JOBS ?= 2

# Fuzzing needs clang and libFuzzer (not in `make test`, which replays the seeds with g++).
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev llvm-14
FUZZ_SECONDS ?= 30

.PHONY: run test bench fuzz deps build clean

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
	# The example data is German, so the demo runs with German regional settings.
	cd example && LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 ../build/release/src/app/Zimbrana

test: deps
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DZIMBRANA_SANITIZE=ON
	cmake --build build/test -j$(JOBS)
	cd build/test && ctest --output-on-failure -j$(JOBS)

bench: deps
	bench/run.sh

fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(FUZZ_PACKAGES)"
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) bash fuzz/run.sh

clean:
	rm -rf build
