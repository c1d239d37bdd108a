# Startboard: `make run` shows the launcher from the sample disc, `make test`
# builds everything and runs every test.
SHELL := /bin/bash
PRESETS := native memcheck win32 win64

.PHONY: all deps build test run assets disc clean $(addprefix build-,$(PRESETS))

all: build

deps:
	@tools/ensure_deps.sh

build: deps $(addprefix build-,$(PRESETS))

build-%:
	@cmake --preset $* >/dev/null
	@cmake --build --preset $*

# The disc as it would be burnt (32-bit product) and its 64-bit twin, which
# is what runs under Wine here.
disc: build
	@tools/sample_disc/make_disc.sh build/cd build/win32
	@tools/sample_disc/make_disc.sh build/cd-wine build/win64

test: build
	@tests/run_all.sh

run: disc
	@tools/run_under_wine.sh build/cd-wine/Startboard.exe

assets:
	@/usr/bin/python3 tools/make_assets.py assets

clean:
	rm -rf build
