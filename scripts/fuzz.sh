#!/usr/bin/env bash
# A fuzzing campaign for anyone with time to spare, and the minimising of
# what it found into the corpora kept beside each fuzzer.
#
#   scripts/fuzz.sh [-m MINUTES] [-j JOBS] [-n] [NAME...]  fuzz each NAME (default: every fuzzer)
#   scripts/fuzz.sh --merge [NAME...]                      fold the campaign's finds into the kept corpora
#
# Builds the fuzzers with clang into build-fuzz/ (nothing else; -n runs what
# is built), then runs each for MINUTES (default 10), JOBS at a time
# (default 1), at the lowest priority: the machine stays usable. A fuzzer that crashes is restarted until
# its time is used; what crashed it is kept in build-fuzz/campaign/NAME/crashes/.
# The summary (wall time, executions, CPU time, finds) goes to standard output
# and build-fuzz/campaign/summary.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=10
jobs=1
merge=0
build_first=1
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    -m) minutes=$2; shift 2 ;;
    -j) jobs=$2; shift 2 ;;
    -n) build_first=0; shift ;;
    --merge) merge=1; shift ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) names+=("$1"); shift ;;
  esac
done

build=build-fuzz
campaign=$build/campaign
if ! command -v clang++ >/dev/null; then
  echo "fuzzing needs clang (apt-get install clang)" >&2
  exit 1
fi
if [ $build_first -eq 1 ]; then
  if [ ! -f $build/build.ninja ]; then
    CC=clang CXX=clang++ cmake -B $build -G Ninja -DTOVRIK_BUILD_FUZZERS=ON -DTOVRIK_BUILD_BENCHMARKS=OFF >/dev/null
  fi
  nice -n 19 cmake --build $build --target fuzzers
fi
if [ ${#names[@]} -eq 0 ]; then
  mapfile -t names < <(find $build/fuzz -maxdepth 1 -type f -executable -printf '%f\n' | sort)
fi

# The kept corpus of a fuzzer: corpus/NAME beside the CMakeLists that adds it.
kept_corpus() {
  find tests -type d -path "*/corpus/$1" -print -quit
}

fuzz_one() {
  local name=$1 dir=$campaign/$1 kept
  kept=$(kept_corpus "$name")
  mkdir -p "$dir/corpus" "$dir/crashes"
  local start end now run=0 stops=0 execs=0 cpu=0 rc
  start=$(date +%s)
  end=$((start + minutes * 60))
  now=$start
  # Five stops end it early: a find that comes back at once (the empty input,
  # which libFuzzer always runs first) would otherwise restart it for ever.
  while [ "$now" -lt "$end" ] && [ "$stops" -lt 5 ]; do
    local TIMEFORMAT='%U %S'
    rc=0
    { time nice -n 19 "$build/fuzz/$name" -max_total_time=$((end - now)) -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$dir/crashes/" "$dir/corpus" ${kept:+"$kept"} \
        >"$dir/log.$run" 2>&1; } 2>"$dir/time.$run" || rc=$?
    execs=$((execs + $(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log.$run" | tail -1 | grep . || echo 0)))
    cpu=$(awk -v c="$cpu" '{ print c + $1 + $2 }' "$dir/time.$run")
    if [ "$rc" -ne 0 ]; then
      echo "$name: run $run stopped with status $rc (see $dir/log.$run)"
      stops=$((stops + 1))
    fi
    run=$((run + 1))
    now=$(date +%s)
  done
  printf '%-28s wall %5d s  executions %10d  cpu %7.0f s  finds %d\n' "$name" $((now - start)) "$execs" "$cpu" \
    "$(ls "$dir/crashes" | wc -l)" >"$dir/summary"
}

merge_one() {
  local name=$1 kept fresh
  kept=$(kept_corpus "$name")
  if [ -z "$kept" ]; then
    echo "$name: no kept corpus folder (tests/*/corpus/$name); make one first" >&2
    return 1
  fi
  fresh=$(mktemp -d)
  nice -n 19 "$build/fuzz/$name" -merge=1 "$fresh" "$kept" "$campaign/$name/corpus" >"$campaign/$name.merge.log" 2>&1
  rm -f "$kept"/*
  cp "$fresh"/* "$kept"/ 2>/dev/null || true
  rm -rf "$fresh"
  echo "$name: $(ls "$kept" | wc -l) inputs, $(du -sh "$kept" | cut -f1) in $kept"
}

mkdir -p $campaign
if [ $merge -eq 1 ]; then
  for name in "${names[@]}"; do merge_one "$name"; done
  exit 0
fi
for name in "${names[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  echo "$name: $minutes minutes from $(date +%T)"
  fuzz_one "$name" &
done
wait
for name in "${names[@]}"; do cat "$campaign/$name/summary"; done | tee $campaign/summary.txt
if ls $campaign/*/crashes/* >/dev/null 2>&1; then
  echo "finds to mend (each becomes a corpus entry with its fix):"
  ls $campaign/*/crashes/*
fi
