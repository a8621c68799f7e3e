#!/usr/bin/env bash
# Source coverage that the fuzz corpora reach in the files each target reads.
#
#   fuzz/coverage.sh [TARGET...]     after fuzz/run.sh has grown build-fuzz/corpus/
#
# Builds the targets once more with clang's source coverage (no sanitizers) in
# build-fuzz-cov/, runs every input of each target's corpus and seeds once, and
# prints llvm-cov's line, branch and region figures for that target's files.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/setup.sh"
vortel_install_packages
FUZZ_BUILD="${VORTEL_FUZZ_BUILD:-$ROOT/build-fuzz}"
COV="$FUZZ_BUILD-cov"

declare -A CORPUS=([fuzz_obj_reader]=obj [fuzz_prop_reader]=prop [fuzz_morph_loader]=morph
                   [fuzz_vcm_map]=vcm [fuzz_special_pipeline]=pipeline [fuzz_seed_reader]=obj)
declare -A FILES=(
  [fuzz_obj_reader]="doc/ObjReader.cpp doc/ObjTokenizers.cpp doc/LineLoop.cpp"
  [fuzz_prop_reader]="doc/PropLoader.cpp doc/ObjTokenizers.cpp doc/LineLoop.cpp"
  [fuzz_morph_loader]="doc/MorphLoader.cpp doc/ObjTokenizers.cpp doc/LineLoop.cpp"
  [fuzz_vcm_map]="special/Divide.cpp special/VcmFile.cpp"
  [fuzz_special_pipeline]="special/SymmetryMap.cpp special/EdgeMaker.cpp special/MtmPanel.cpp doc/ObjWriter.cpp doc/ObjText.cpp"
  [fuzz_seed_reader]="scatter/SeedLoader.cpp doc/ObjTokenizers.cpp doc/LineLoop.cpp"
)
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_obj_reader fuzz_prop_reader fuzz_morph_loader fuzz_vcm_map fuzz_special_pipeline
                                     fuzz_seed_reader)

if [ ! -f "$COV/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$COV" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORTEL_FUZZ=ON -DVORTEL_FUZZ_COVERAGE=ON -DVORTEL_GUI=OFF -DVORTEL_BENCH=OFF >/dev/null
fi
cmake --build "$COV" --target vortel_fuzz -- -j2 >/dev/null
[ -d "$FUZZ_BUILD/seeds" ] || python3 "$ROOT/fuzz/make_seeds.py" "$FUZZ_BUILD/seeds" "$ROOT"

mkdir -p "$COV/profiles"
for t in "${TARGETS[@]}"; do
  dirs=()
  for d in "$FUZZ_BUILD/corpus/$t" "$FUZZ_BUILD/seeds/${CORPUS[$t]}"; do [ -d "$d" ] && dirs+=("$d"); done
  rm -f "$COV/profiles/$t".*
  LLVM_PROFILE_FILE="$COV/profiles/$t.profraw" "$COV/bin/$t" -runs=0 -rss_limit_mb=4096 "${dirs[@]}" >/dev/null 2>&1
  llvm-profdata merge -sparse "$COV/profiles/$t.profraw" -o "$COV/profiles/$t.profdata"
  files=()
  for f in ${FILES[$t]}; do files+=("$ROOT/core/$f"); done
  echo "== $t: $(find "${dirs[@]}" -type f | wc -l) inputs"
  llvm-cov report "$COV/bin/$t" -instr-profile="$COV/profiles/$t.profdata" "${files[@]}" |
    sed -e "s|$ROOT/core/||"
done
