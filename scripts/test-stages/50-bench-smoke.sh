# The benchmark script on tiny inputs, without the peers, so that it cannot rot unnoticed.
# It checks that every program runs and the table comes out; it asserts no timing.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --build --preset native -j"$(nproc)" --target wayfold-convert memchr_scan >/dev/null
WAYFOLD_BUILD_DIR=build/native WAYFOLD_BENCH_DIR="$work/bench" bash bench/run.sh --small --no-peers >"$work/table.txt"
cat "$work/table.txt"
grep -q "^W3 *wayfold-convert" "$work/table.txt"
grep -Eq "^ *10000 +10000 " "$work/table.txt"
