# Startboard: `make run` shows the launcher from the sample disc, `make test`
# builds everything and runs every test. BRAND=path/to/brand.toml builds
# another launcher (default: the Norvane disc, assets/brand.toml); STRICT=1
# makes a file the brand names but the disc lacks an error.
SHELL := /bin/bash
PRESETS := native memcheck win32
BRAND ?= assets/brand.toml
# The brand's path reaches the recipes through the environment, as it was
# typed: neither make nor the shell splits or expands it (spaces, quotes, $).
export BRAND_PATH := $(value BRAND)

# Sets the shell's $brand to the brand file's absolute path. CMake would take
# a path holding ; or \ for another.
brand_path = brand=$$(realpath -ms -- "$$BRAND_PATH") && \
  if [[ $$brand == *[\;\\]* ]]; then \
    echo "make: BRAND=$$BRAND_PATH: CMake cannot be given a path with ; or \\; rename the folder" >&2; exit 2; fi

# Before a new disc: the old one and the brand's image go, so that a failed
# step leaves neither behind. The image is named after the brand's exe; for
# a brand file that does not load, whose image that was cannot be told, and
# every image goes.
define forget_disc
@rm -rf build/cd
@$(brand_path); exe=$$(/usr/bin/python3 -m tools.brand get "$$brand" exe 2>/dev/null) && \
  rm -f "build/$${exe%.*}.iso" || rm -f build/*.iso
endef

# A brand with a mistake stops here with just its FILE:LINE lines, before the
# build tool would wrap them in its own; its warnings show in the build.
define check_brand
@$(brand_path) && out=$$(/usr/bin/python3 -m tools.brand check "$$brand" 2>&1) || \
  { grep -v ': warning: ' <<<"$$out" >&2; exit 1; }
endef

# The 32-bit product and the installer stand-in the disc holds, nothing else.
define build_product
$(check_brand)
@$(brand_path) && cmake --preset win32 -DSTARTBOARD_BRAND="$$brand" >/dev/null
@cmake --build --preset win32 --target Startboard standin_setup
endef

.PHONY: all deps publisher-deps brand-check build test run assets disc cd sign bench preview edit shots clean $(addprefix build-,$(PRESETS))

all: build

# Everything, the test bench included.
deps:
	@tools/ensure_deps.sh test

# Only what the publisher's targets use: no Wine, Xvfb or test tools.
publisher-deps:
	@tools/ensure_deps.sh publisher

build: deps brand-check $(addprefix build-,$(PRESETS))

brand-check:
	$(check_brand)

$(addprefix build-,$(PRESETS)): build-%: brand-check
	@$(brand_path) && cmake --preset $* -DSTARTBOARD_BRAND="$$brand" >/dev/null
	@cmake --build --preset $*

# The disc as it is burnt: the 32-bit product and the brand's disc files
# (stand-ins where it has none).
disc: publisher-deps
	$(forget_disc)
	$(build_product)
	@$(brand_path) && tools/sample_disc/make_disc.sh build/cd build/win32 "$$brand" $(if $(STRICT),--strict)

# The ISO image of build/cd/, with autorun.inf at its root, named after the
# brand's exe: build/Startboard.iso for the default brand.
cd: disc
	@$(brand_path) && exe=$$(/usr/bin/python3 -m tools.brand get "$$brand" exe) && \
	  tools/cd/make_iso.sh build/cd "build/$${exe%.*}.iso" "$$brand" || { rm -rf build/cd; exit 1; }

# Authenticode signature (optional): make sign CERT=cert.pem KEY=key.pem [TS=url]
sign: publisher-deps
	@test -n "$(CERT)" -a -n "$(KEY)" || { echo "usage: make sign CERT=cert.pem KEY=key.pem [TS=url]"; exit 2; }
	$(build_product)
	@$(brand_path) && BRAND="$$brand" tools/cd/sign.sh build/win32/Startboard.exe "$(CERT)" "$(KEY)" $(TS)

# The tests are written for the default brand, whatever BRAND says.
test: BRAND_PATH := assets/brand.toml
test: build cd
	@tests/run_all.sh

# The disc, then its exe under Wine: on machines that cannot run the 32-bit
# product, the 64-bit build (tools/wine_session.sh decides; it says so).
run: deps disc
	@$(brand_path) && tools/run_under_wine.sh "$$brand"

# Size, start-up, idle CPU, memory and click-to-shell figures, and with hover
# pictures the time to light a zone: build/bench.md. BRAND=... picks the brand.
bench: deps
	$(check_brand)
	@tools/bench/run_bench.sh

# The brand at a glance, without Wine: build/preview.png, and a sheet for each
# of its other languages (build/preview-de.png); IN=de draws build/preview.png
# in German alone.
preview: publisher-deps
	@rm -f build/preview.png build/preview-*.png
	@/usr/bin/python3 -m tools.brand.preview "$$BRAND_PATH" build/preview.png $(IN)

# The brand designer in the browser, on this computer alone: place zones and
# About controls by hand, type the texts per language, save the brand file
# checked. PORT=... picks the port (a free one by default).
edit: publisher-deps
	@$(brand_path) && /usr/bin/python3 -m tools.designer.server "$$brand" $(if $(PORT),--port "$(PORT)")

# Every state of the real launcher under Wine, at 96 and 144 dpi: at rest,
# each zone's tip, hover, press and keyboard focus, the About window, the
# questions and failure boxes. Named as make preview names its sheets:
# build/shots.png, build/shots-de.png, ...; IN=de: German alone. DOCS=1
# renews README's pictures in docs/ instead.
shots: deps disc
	@rm -f build/shots.png build/shots-*.png
	@$(brand_path) && $(if $(DOCS),tools/shots/readme_pictures.sh,tools/shots/shots.sh "$$brand" build/shots.png $(IN))

assets:
	@/usr/bin/python3 tools/make_assets.py assets

clean:
	rm -rf build
