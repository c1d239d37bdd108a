# Startboard: `make run` shows the launcher from the sample disc, `make test`
# builds everything and runs every test.
SHELL := /bin/bash
PRESETS := native memcheck win32

.PHONY: all deps build test run assets disc cd sign bench clean $(addprefix build-,$(PRESETS))

all: build

deps:
	@tools/ensure_deps.sh

build: deps $(addprefix build-,$(PRESETS))

$(addprefix build-,$(PRESETS)): build-%:
	@cmake --preset $* >/dev/null
	@cmake --build --preset $*

# The disc as it is burnt: the 32-bit product and the sample files.
disc: build
	@tools/sample_disc/make_disc.sh build/cd build/win32

# The ISO image of build/cd/, with autorun.inf at its root.
cd: disc
	@tools/cd/make_iso.sh build/cd build/Startboard.iso

# Authenticode signature (optional): make sign CERT=cert.pem KEY=key.pem [TS=url]
sign: build
	@test -n "$(CERT)" -a -n "$(KEY)" || { echo "usage: make sign CERT=cert.pem KEY=key.pem [TS=url]"; exit 2; }
	@tools/cd/sign.sh build/win32/Startboard.exe "$(CERT)" "$(KEY)" $(TS)

test: build cd
	@tests/run_all.sh

run: disc
	@tools/run_under_wine.sh build/cd/Startboard.exe

# Size, start-up, idle CPU, memory and click-to-shell figures: build/bench.md
bench: deps
	@tools/bench/run_bench.sh

assets:
	@/usr/bin/python3 tools/make_assets.py assets

clean:
	rm -rf build
