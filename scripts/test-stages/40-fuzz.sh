# The fuzz targets (clang, libFuzzer, ASan and UBSan), each run for a bounded time from
# the seed corpus. Any crash, sanitizer report, broken invariant, leak or timeout fails
# (an input is a hang after 60 s: far above any real run, so a busy machine is no finding).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

seconds="${WAYFOLD_FUZZ_SECONDS:-50}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

run_target() {  # target, longest input
  local target="$1" max_len="$2"
  mkdir -p "$work/$target"
  cp fuzz/corpus/"$target"/* "$work/$target/"
  echo "--- $target: ${seconds} s"
  if ! build/fuzz/fuzz/"${target}"_fuzzer -max_total_time="$seconds" -max_len="$max_len" -timeout=60 \
      -rss_limit_mb=2048 -dict=fuzz/gpx.dict -artifact_prefix="$work/" -print_final_stats=1 \
      "$work/$target" >"$work/$target.log" 2>&1; then
    tail -n 60 "$work/$target.log"
    for artifact in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
      [ -e "$artifact" ] && { echo "finding: ${artifact##*/}"; od -c "$artifact" | head -n 20; }
    done
    echo "$target: finding (see above)"
    return 1
  fi
  grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" || true
}

run_target conversion 16384
run_target csv_field 1100
run_target get_attribute 300
