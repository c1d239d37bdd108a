#!/usr/bin/env bash
# Measures the launcher against its budgets and writes build/bench.md.
# Builds the bench and product presets, runs bench_driver.exe inside a
# virtual desktop of a private Wine prefix on its own Xvfb, then has
# report.py print the table. What runs under Wine is the 32-bit product;
# where Wine's 32-bit half cannot run, the 64-bit build, and the table says so.
# Exit code 0 unless a measurement broke; a budget that is not met is
# reported, not failed.
# Usage: tools/bench/run_bench.sh [runs]   (runs per program; 25 by default)
# The brand is $BRAND_PATH (make bench BRAND=...), the default brand without it.
set -euo pipefail
top=$(realpath "$(dirname "$0")/../..")
cd "$top"
runs=${1:-25}
python=/usr/bin/python3
brand=$(realpath -ms -- "${BRAND_PATH:-assets/brand.toml}")

source tools/wine_session.sh
timed=$wine_bits-bit product=$wine_preset bench=bench
[[ $wine_bits == 32 ]] || bench=bench64
echo "Wine: $wine_note." >&2
presets=("$bench" "$product")
[[ $product == win32 ]] || presets+=(win32)  # the sizes are always the 32-bit product's
for preset in "${presets[@]}"; do
  cmake --preset "$preset" -DSTARTBOARD_BRAND="$brand" >/dev/null
  cmake --build --preset "$preset" --target Startboard wine_probe >/dev/null
done
cmake --build --preset "$bench" --target bench_floor bench_driver bench_viewer >/dev/null

scratch=$(mktemp -d /tmp/startboard-bench.XXXXXX)
export WINEPREFIX="$scratch/prefix"
cleanup() {
  wineserver -k 2>/dev/null || true
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# Large enough for the launcher at 144 dpi (1088 x 816), which the driver
# runs in the same desktop as everything else.
desktop=1536x1152
start_xvfb "$desktop"
prepare_prefix

# Each program alone in its folder, as the driver expects (see driver.cpp).
work="$WINEPREFIX/drive_c/startboard-bench"
tools=build/$bench/tools/bench
mkdir -p "$work"/{start,floor,product,click}
cp "build/$bench/Startboard.exe" "$work/start/"
cp "build/$bench/Startboard.exe" "$work/click/"
cp "build/$product/Startboard.exe" "$work/product/"
cp "$tools/bench_floor.exe" "$work/floor/"
cp "$tools/bench_driver.exe" "$tools/bench_viewer.exe" "$work/"

echo "Measuring the $timed build under Wine ($runs runs each; about two minutes)..." >&2
load_before=$(cut -d ' ' -f 1 /proc/loadavg)
status=0
timeout 900 "$STARTBOARD_WINE" explorer "/desktop=bench,$desktop" 'C:\startboard-bench\bench_driver.exe' \
  'C:\startboard-bench' "$runs" >/dev/null 2>&1 || status=$?
[[ $status -eq 0 ]] || echo "bench_driver ended with status $status" >&2

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
# Other programs on the machine slow every figure: the load says how busy it was.
machine="$cpu, $(nproc) cores, load average $load_before before and $(cut -d ' ' -f 1 /proc/loadavg) after, $(wine --version), $(date '+%Y-%m-%d %H:%M')"
[[ $brand == "$top/assets/brand.toml" ]] || machine+=", brand ${brand#"$top/"}"
# The raw figures stay beside the table; the programs' logs when one broke.
cp "$work/results.txt" build/bench-results.txt 2>/dev/null || rm -f build/bench-results.txt
rm -rf build/bench-logs
if ! grep -q '^done=' build/bench-results.txt 2>/dev/null; then
  mkdir -p build/bench-logs
  cp "$work"/*.log build/bench-logs/ 2>/dev/null || true
fi
"$python" -m tools.brand.footprint "$brand" build/win32/Startboard.exe >&2
"$python" tools/bench/report.py --exe build/win32/Startboard.exe \
  --results build/bench-results.txt --machine "$machine" --brand "${brand#"$top"/}" --out build/bench.md --timed "$timed" --why "$wine_why"
