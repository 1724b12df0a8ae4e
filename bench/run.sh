#!/usr/bin/env bash
# Builds the hash benchmarks (Release) in build/bench, runs them, and prints a
# table: for each algorithm our speed over memory, the reference's (OpenSSL's
# EVP digest or zlib's crc32) in the same run and the ratio ours/reference, and
# the speed of a file digest through the panes' mapped-file path beside the same
# algorithm over memory. Extra arguments go to the benchmark program (e.g.
# --benchmark_filter=sha).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_BENCH=ON \
    -DQH_BUILD_GUI=OFF -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target qh_hash_bench
json=build/bench/hash_bench.json
build/bench/bin/qh_hash_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json "$@"

python3 - "$json" <<'PYTHON'
import json, sys

# The median of the repetitions, in MB/s (10^6 bytes, as `openssl speed` counts).
speeds = {}
for run in json.load(open(sys.argv[1]))["benchmarks"]:
    if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
        continue
    if "bytes_per_second" in run:
        speeds[run["run_name"]] = run["bytes_per_second"] / 1e6

# What each algorithm has to reach: a ratio to the reference, or MB/s alone.
targets = {"md5": 0.8, "sha1": 0.8, "sha256": 0.8, "sha512": 0.8, "crc32": 1.0}
floors = {"crc16": 1000.0, "crc-ccitt": 1000.0}

def cell(value, digits=0):
    return "-" if value is None else f"{value:.{digits}f}"

rows = [("algorithm", "ours MB/s", "ref MB/s", "ours/ref", "file MB/s", "file/mem", "target", "")]
for algorithm in ["md5", "sha1", "sha224", "sha256", "sha384", "sha512", "crc16", "crc-ccitt", "crc32"]:
    ours = speeds.get(f"memory/{algorithm}/quillhorn")
    ref = speeds.get(f"memory/{algorithm}/reference")
    file = speeds.get(f"file/{algorithm}/quillhorn")
    if ours is None and ref is None and file is None:
        continue  # left out by a filter
    ratio = ours / ref if ours and ref else None
    file_ratio = file / ours if file and ours else None
    verdict, target = "", ""
    if algorithm in targets:
        target = f"ours/ref >= {targets[algorithm]:.2f}"
        verdict = "ok" if ratio is not None and ratio >= targets[algorithm] else "MISS"
    elif algorithm in floors:
        target = f">= {floors[algorithm]:.0f} MB/s"
        verdict = "ok" if ours is not None and ours >= floors[algorithm] else "MISS"
    if file_ratio is not None and file_ratio < 0.9:
        verdict = (verdict + " file-MISS").strip()
    rows.append((algorithm, cell(ours), cell(ref), cell(ratio, 2), cell(file), cell(file_ratio, 2), target, verdict))

widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
print()
for row in rows:
    print("  ".join(text.ljust(width) if i in (0, 6, 7) else text.rjust(width)
                    for i, (text, width) in enumerate(zip(row, widths))).rstrip())
print("\nfile/mem: the file digest through the mapped-file path over the same algorithm in memory (target >= 0.90).")
PYTHON
