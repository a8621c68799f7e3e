#!/usr/bin/env bash
# Builds the fuzz targets with clang in their own build folder and runs each.
#
#   fuzz/run.sh SECONDS [TARGET...]     every target (or the named ones) for SECONDS each
#
# Before fuzzing, every input of the seed corpus that reaches a capacity
# (fuzz/make_seeds.py writes them; some are megabytes) runs once; then the
# target is fuzzed for SECONDS from the seed corpus (samples, presets and
# hand-made inputs for every message) with the keyword dictionary. A crash, a
# sanitizer report, a leak or a hang fails the run: its input is printed (as
# base64 and as a hex dump) and kept under build-fuzz/artifacts/.
#
# Environment: VORTEL_FUZZ_BUILD (build folder, default build-fuzz/),
# VORTEL_FUZZ_MAX_LEN (longest input the fuzzer makes, default 65536),
# VORTEL_FUZZ_ARGS (more libFuzzer options, e.g. "-runs=10000000").
set -euo pipefail
if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh SECONDS [TARGET...]" >&2
  exit 2
fi

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# clang, its fuzzer runtime and python3 come with the project's packages.
source "$ROOT/scripts/setup.sh"
vortel_install_packages
BUILD="${VORTEL_FUZZ_BUILD:-$ROOT/build-fuzz}"
MAX_LEN="${VORTEL_FUZZ_MAX_LEN:-65536}"
SECONDS_EACH="$1"
shift

# The seed folder of each target.
declare -A CORPUS=(
  [fuzz_obj_reader]=obj
  [fuzz_prop_reader]=prop
  [fuzz_morph_loader]=morph
  [fuzz_vcm_map]=vcm
  [fuzz_special_pipeline]=pipeline
  [fuzz_seed_reader]=obj
)
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  TARGETS=(fuzz_obj_reader fuzz_prop_reader fuzz_morph_loader fuzz_vcm_map fuzz_special_pipeline fuzz_seed_reader)
fi

if [ ! -f "$BUILD/build.ninja" ]; then
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORTEL_FUZZ=ON -DVORTEL_GUI=OFF -DVORTEL_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$BUILD" --target vortel_fuzz -- -j2

rm -rf "$BUILD/seeds"
python3 "$ROOT/fuzz/make_seeds.py" "$BUILD/seeds" "$ROOT"
mkdir -p "$BUILD/logs" "$BUILD/artifacts"

# Prints a failing input so that the CI log alone reproduces it.
show_input() {
  local f="$1"
  echo "---- input $(basename "$f") ($(stat -c %s "$f") bytes), base64:"
  base64 -w 76 "$f" || true
  echo "---- hex (first 1 KiB):"
  head -c 1024 "$f" | od -A x -t x1z -v || true
}

passed=0
failed=0
for t in "${TARGETS[@]}"; do
  seeds="${CORPUS[$t]:-}"
  if [ -z "$seeds" ] || [ ! -x "$BUILD/bin/$t" ]; then
    echo "unknown fuzz target: $t" >&2
    failed=$((failed + 1))
    continue
  fi
  bin="$BUILD/bin/$t"
  art="$BUILD/artifacts/$t"
  log="$BUILD/logs/$t.log"
  rm -rf "$art"
  mkdir -p "$art" "$BUILD/corpus/$t"
  ok=1

  # The capacity inputs, once each.
  if [ -d "$BUILD/seeds/$seeds-limits" ]; then
    if ! "$bin" -timeout=120 -rss_limit_mb=4096 -artifact_prefix="$art/" \
         "$BUILD/seeds/$seeds-limits"/* >"$log.limits" 2>&1; then
      echo "FAIL $t: an input at a capacity"
      tail -60 "$log.limits"
      ok=0
    fi
  fi

  # shellcheck disable=SC2086
  if [ $ok = 1 ] && ! "$bin" -max_total_time="$SECONDS_EACH" -timeout=30 -rss_limit_mb=4096 \
       -max_len="$MAX_LEN" -dict="$ROOT/fuzz/vortel.dict" -artifact_prefix="$art/" \
       -print_final_stats=1 ${VORTEL_FUZZ_ARGS:-} \
       "$BUILD/corpus/$t" "$BUILD/seeds/$seeds" >"$log" 2>&1; then
    echo "FAIL $t"
    grep -v '^#[0-9]' "$log" | tail -80
    ok=0
  fi

  if [ $ok = 1 ]; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
    cov="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)"
    echo "ok $t: ${runs:-?} executions (${speed:-?}/s), ${cov:-no coverage line}, corpus $(ls "$BUILD/corpus/$t" | wc -l) inputs"
    passed=$((passed + 1))
  else
    for f in "$art"/*; do
      [ -f "$f" ] && show_input "$f"
    done
    echo "reproduce: $bin $art/<input>"
    failed=$((failed + 1))
  fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
