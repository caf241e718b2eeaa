#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz/ (or $VOREX_FUZZ_BUILD_DIR) and runs each for $VOREX_FUZZ_SECONDS seconds (default 600),
# as many at once as the machine has cores ($VOREX_FUZZ_JOBS to choose). Usage: scripts/fuzz.sh [harness...]   (default: all of them)
# Harnesses: document palette_p8 palette_act palette_map palette_gpl table_p24 preferences cli_args.
# Each starts from its seeds in tests/fuzz/seeds/ and keeps what it finds in build-fuzz/corpus/;
# an input that crashes is written to build-fuzz/artifacts/ and the script fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOREX_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${VOREX_FUZZ_SECONDS:-600}
all=(document palette_p8 palette_act palette_map palette_gpl table_p24 preferences cli_args)
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=("${all[@]}")

VOREX_WITH_SANITIZERS=1 bash "$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOREX_FUZZ=ON \
  -DVOREX_BUILD_UI=OFF -DVOREX_BUILD_TESTS=OFF -DVOREX_BUILD_BENCH=OFF >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
ninja -C "$build" -j 2 "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/artifacts"
jobs=${VOREX_FUZZ_JOBS:-$(nproc)}
run_one() {
  local h=$1 corpus="$build/corpus/$1"
  mkdir -p "$corpus" "$build/logs/$h"
  cd "$build/logs/$h"  # libFuzzer's job log (fuzz-0.log) goes to the working directory
  echo "== fuzz_$h: ${seconds} s"
  # The vorex-cli harness prints each command's messages: keep them out of the log.
  local extra=()
  [ "$h" = cli_args ] && extra=(-close_fd_mask=3)
  if ! "$build/tests/fuzz/fuzz_$h" "$corpus" "$root/tests/fuzz/seeds/$h" -max_total_time="$seconds" -jobs=1 -workers=1 \
       -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 -artifact_prefix="$build/artifacts/$h-" \
       ${extra[@]+"${extra[@]}"} >"$build/logs/$h/run.log" 2>&1; then
    cat "$build/logs/$h/run.log" >&2
    echo "fuzz_$h: FAILED (see $build/artifacts/)" >&2
    return 1
  fi
  grep '^stat::' "$build/logs/$h/run.log" | sed "s/^/fuzz_$h /" || true
}
status=0
pids=()
for h in "${harnesses[@]}"; do
  run_one "$h" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in ${pids[@]+"${pids[@]}"}; do
  wait "$pid" || status=1
done
exit $status
