#!/usr/bin/env bash
# Whole-process timings of darvex-cli beside a floor program of our own and /bin/true, all in
# one run on one 2DD image; prints medians and the ratios the targets are stated in.
# Usage: bench/cli-bench.sh [BUILD_DIR] [RUNS] [WORK_PARENT]
# WORK_PARENT is where the work folder goes (default: $TMPDIR or /tmp); /dev/shm shows the
# commands without the cost of flushing the saved images to a real disk.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-101}
parent=${3:-}
cli=$build/darvex-cli
[ -x "$cli" ] || { echo "cli-bench: build $cli first (make build)" >&2; exit 1; }

work=$(mktemp -d ${parent:+-p "$parent"})
trap 'rm -rf "$work"' EXIT
cc=${CC:-cc}
$cc -O2 -o "$work/floor" bench/floor.c
$cc -O2 -o "$work/proctime" bench/proctime.c

img=$work/disk.d88
"$cli" new "$img" --type 0 >/dev/null
head -c 30720 /dev/urandom >"$work/prog.bin"
"$cli" put "$img" "$work/prog.bin" --name PROG30K --mode obj >/dev/null
for i in $(seq 1 20); do
    head -c $((i * 700)) /dev/urandom >"$work/f$i.bin"
    "$cli" put "$img" "$work/f$i.bin" --name "FILE$i" >/dev/null
done

mkdir "$work/sixty"
for i in $(seq 1 60); do
    head -c 1000 /dev/urandom >"$work/sixty/P$i.BIN"
done

t() { "$work/proctime" "$runs" "$@"; }
row() { # label, command...
    local label=$1
    shift
    read -r us rss < <(t "$@")
    printf '%-28s %9s us %7s KiB\n' "$label" "$us" "$rss"
    eval "T_${label//[^A-Za-z0-9]/_}=$us"
}

echo "median of $runs runs, $(nproc) cores"
row true /bin/true
row floor "$work/floor" "$img"
row ls "$cli" ls "$img"
row info_json "$cli" info "$img" --json
row get_30k "$cli" get "$img" PROG30K "$work/out.bin"
row new "$cli" new "$work/new.d88" --type 0 --force

# 60 puts: one process each, then one process for all (when the CLI takes several files).
few=$(( runs < 11 ? runs : 11 ))
each=()
for k in $(seq 1 "$few"); do
    "$cli" new "$work/p.d88" --type 0 --force >/dev/null
    s=$(date +%s%N)
    for i in $(seq 1 60); do "$cli" put "$work/p.d88" "$work/sixty/P$i.BIN" >/dev/null; done
    each+=($(( ($(date +%s%N) - s) / 1000 )))
done
T_put60_each=$(printf '%s\n' "${each[@]}" | sort -n | sed -n "$(( (few + 1) / 2 ))p")
printf '%-28s %9s us\n' "put_60_processes" "$T_put60_each"
# One process for all 60, timed like the commands above: each run reads the same fresh image
# and writes the result beside it (-o), so that every run does the same work.
"$cli" new "$work/q.d88" --type 0 --force >/dev/null
if "$cli" put "$work/q.d88" "$work"/sixty/*.BIN -o "$work/q-out.d88" >/dev/null 2>&1; then
    row put_60_one_process "$cli" put "$work/q.d88" "$work"/sixty/*.BIN -o "$work/q-out.d88"
    T_put60_one=$T_put_60_one_process
else
    T_put60_one=
    echo "put_60_one_process           (this darvex-cli takes one file per put)"
fi

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo
echo "ratios (targets: commands <= 1.25 x floor; one put of 60 <= 1.5 x ls; ls max RSS < 4096 KiB)"
for c in ls info_json get_30k new; do
    v=T_$c
    printf '%-28s %s x floor\n' "$c" "$(ratio "${!v}" "$T_floor")"
done
if [ -n "$T_put60_one" ]; then
    printf '%-28s %s x ls\n' "put_60_one_process" "$(ratio "$T_put60_one" "$T_ls")"
    printf '%-28s %s x one process\n' "put_60_processes" "$(ratio "$T_put60_each" "$T_put60_one")"
fi
