#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehavior-
# Sanitizer) into build-fuzz/ and runs each for the given number of seconds.
#   bash scripts/fuzz.sh 60                    every target, one after the other
#   bash scripts/fuzz.sh 1800 workbook_fuzz    one target
# Corpora live in fuzz-corpus/<target>/ (seeded by scripts/make-fuzz-seeds on
# first use); crashes are written to fuzz-corpus/findings/<target>/. Extra libFuzzer
# options can be given in FUZZ_OPTIONS. Exits non-zero when a run found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(cfile_fuzz workbook_fuzz formula_fuzz)

if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_FUZZ=ON -DQUILLON_TESTS=OFF -DQUILLON_GUI=OFF >/dev/null
fi
cmake --build build-fuzz -j2 --target "${targets[@]}" make_fuzz_seeds

status=0
for target in "${targets[@]}"; do
  corpus=fuzz-corpus/$target
  [ -d "$corpus" ] && [ -n "$(ls -A "$corpus")" ] || bash scripts/make-fuzz-seeds >/dev/null
  mkdir -p "fuzz-corpus/findings/$target"
  echo "== $target for ${seconds}s"
  # A whole-sheet merge is filtered out by the workbook target itself; the
  # limits catch anything else that makes the model grow or hang.
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 \
       UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2560 \
         -max_len=65536 -print_final_stats=1 -artifact_prefix="fuzz-corpus/findings/$target/" \
         ${FUZZ_OPTIONS:-} "$corpus"; then
    echo "== $target: finding in fuzz-corpus/findings/$target/"
    status=1
  fi
done
exit $status
