#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz") and runs each for SECONDS, as many at
# once as the machine has cores (FUZZ_JOBS=N chooses). Exits non-zero when any
# target crashes, hangs or fails a property.
#
#   fuzz/run.sh [SECONDS] [TARGET...]     (SECONDS defaults to 60; TARGET e.g. text_fuzz)
#
# FUZZ_PRESET=linux takes the targets of the Linux build instead (-O1 rather
# than -O2, and its tests built beside them): what `make test` does, so that
# nothing is compiled a second time.
#
# Inputs found on the way are kept in build/fuzz/corpus/<target>/ (so later runs
# start from them), failing inputs in build/fuzz/artifacts/<target>/, each
# target's output in build/fuzz/logs/<target>.log. A failing input replays with
#   build/fuzz/bin/<target> <input file>
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-60}
shift || true
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: fuzz/run.sh [SECONDS] [TARGET...]" >&2
  exit 2
fi

preset=${FUZZ_PRESET:-fuzz}
build=$root/build/$preset
mkdir -p "$build/logs"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset "$preset" >"$build/logs/configure.log" 2>&1 || {
    cat "$build/logs/configure.log" >&2
    exit 1
  }
fi
cmake --build "$build" -j 2 --target cw_fuzz >"$build/logs/build.log" 2>&1 || {
  cat "$build/logs/build.log" >&2
  echo "fuzz: the targets do not build" >&2
  exit 1
}

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for bin in "$build"/bin/*_fuzz; do targets+=("$(basename "$bin")"); done
fi

# The real version databases from outside are read by path, never copied into
# the repository: each must decode as the reference does, and the start of
# each (format 1 and format 2) seeds the search with real entry bytes.
fixtures=$root/../shared/fixtures
extra=$build/extra-seeds/database_reader_fuzz
mkdir -p "$extra"
for real in version-1-5-97-0 versionlib-1-6-353-0; do
  if [ -f "$fixtures/$real.bin" ]; then
    head -c 4096 "$fixtures/$real.bin" >"$extra/$real-start"
  fi
done

# The compiled scripts of the fixtures (ours and the game compiler's) seed the
# compiled script reader, read from there as well.
extra_pex=$build/extra-seeds/pex_reader_fuzz
mkdir -p "$extra_pex"
for real in "$fixtures"/pex/pex/*.pex "$fixtures"/real/*.pex; do
  if [ -f "$real" ]; then cp "$real" "$extra_pex/"; fi
done

# Runs one target; its result line goes to logs/<target>.result, its status is
# the answer.
run_target() {
  local target=$1 bin=$build/bin/$1
  local result=$build/logs/$target.result
  if [ ! -x "$bin" ]; then
    echo "$target: no such target" >"$result"
    return 1
  fi
  local corpus=$build/corpus/$target
  local artifacts=$build/artifacts/$target/
  local log=$build/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  local seeds=("$root/fuzz/corpus/$target")
  [ "$target" = database_reader_fuzz ] && seeds+=("$extra")
  [ "$target" = pex_reader_fuzz ] && seeds+=("$extra_pex")

  local status=0
  : >"$log"
  if [ "$target" = database_reader_fuzz ]; then
    for real in "$fixtures"/*.bin; do
      [ -f "$real" ] || continue
      "$bin" -artifact_prefix="$artifacts" "$real" >>"$log" 2>&1 || status=1
    done
  fi
  if [ $status -eq 0 ]; then
    "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "${seeds[@]}" \
      >>"$log" 2>&1 || status=1
  fi

  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $status -eq 0 ]; then
    echo "$target: ok, ${runs:-0} runs in ${seconds} s" >"$result"
  else
    {
      echo "$target: FAILED (log: $log)"
      grep -E '^(property failed|SUMMARY|==[0-9]+==ERROR)' "$log" | head -5 | sed 's/^/  /'
      ls -t "$artifacts" 2>/dev/null | head -1 | sed "s|^|  input: $artifacts|"
    } >"$result"
  fi
  return $status
}

# The targets run FUZZ_JOBS at a time (one per core by default); each is one
# process of its own, so they only share the machine.
jobs=${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  run_target "$target" &
done
wait

passed=0
failed=0
for target in "${targets[@]}"; do
  cat "$build/logs/$target.result"
  if grep -q "^$target: ok," "$build/logs/$target.result"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done

echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
