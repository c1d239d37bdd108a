# Startboard: `make run` shows the launcher from the sample disc, `make test`
# builds everything and runs every test. BRAND=path/to/brand.toml builds
# another launcher (default: the Norvane disc, assets/brand.toml); STRICT=1
# makes a file the brand names but the disc lacks an error.
SHELL := /bin/bash
PRESETS := native memcheck win32
BRAND ?= assets/brand.toml
brand = $(abspath $(BRAND))

.PHONY: all deps build test run assets disc cd sign bench preview clean $(addprefix build-,$(PRESETS))

all: build

deps:
	@tools/ensure_deps.sh

build: deps $(addprefix build-,$(PRESETS))

$(addprefix build-,$(PRESETS)): build-%:
	@cmake --preset $* -DSTARTBOARD_BRAND="$(brand)" >/dev/null
	@cmake --build --preset $*

# The disc as it is burnt: the 32-bit product and the brand's disc files
# (stand-ins where it has none).
disc: build
	@tools/sample_disc/make_disc.sh build/cd build/win32 "$(brand)" $(if $(STRICT),--strict)

# The ISO image of build/cd/, with autorun.inf at its root.
cd: disc
	@tools/cd/make_iso.sh build/cd build/Startboard.iso "$(brand)"

# Authenticode signature (optional): make sign CERT=cert.pem KEY=key.pem [TS=url]
sign: build
	@test -n "$(CERT)" -a -n "$(KEY)" || { echo "usage: make sign CERT=cert.pem KEY=key.pem [TS=url]"; exit 2; }
	@BRAND="$(brand)" tools/cd/sign.sh build/win32/Startboard.exe "$(CERT)" "$(KEY)" $(TS)

# The tests are written for the default brand, whatever BRAND says.
test: override BRAND = assets/brand.toml
test: build cd
	@tests/run_all.sh

run: disc
	@tools/run_under_wine.sh "$(brand)"

# Size, start-up, idle CPU, memory and click-to-shell figures: build/bench.md
bench: deps
	@tools/bench/run_bench.sh

# The brand at a glance, without Wine: build/preview.png
preview:
	@/usr/bin/python3 tools/brand/preview.py "$(brand)" build/preview.png

assets:
	@/usr/bin/python3 tools/make_assets.py assets

clean:
	rm -rf build
