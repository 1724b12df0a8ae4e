#!/usr/bin/env bash
# Builds the benchmarks (Release) in build/bench, runs them, and prints two
# tables. Hashes: for each algorithm our speed over memory, the reference's
# (OpenSSL's EVP digest or zlib's crc32) in the same run and the ratio
# ours/reference, and the speed of a file digest through the panes' file path
# (read into one reused buffer) beside the same algorithm over memory. CRCs: CRC-32 beside zlib's and
# libdeflate's crc32, the CRC-16 variants beside our portable slicing tables.
# Ciphers: DES-ECB and Base64 beside OpenSSL (DES-ECB of the legacy provider,
# EVP_EncodeBlock / EVP_DecodeBlock, EVP_DecodeUpdate for text in lines of 76
# characters), our DES on each of its paths, and DES file encryption beside our DES over memory. RSA: key
# generation (the key tool's way, through the component) and private-key
# operations beside OpenSSL's EVP_PKEY_keygen and EVP_PKEY_sign, as CPU time
# per operation and the ratio ours/reference (above 1: slower). Radix: a
# 100,000-digit number from
# decimal to hexadecimal and back, ConvertRadix beside the schoolbook conversion
# and OpenSSL's BN_dec2bn + BN_bn2hex (BN_hex2bn + BN_bn2dec), with the speed-up
# over the schoolbook one and the ratio ours/reference. Extra arguments go to
# every benchmark program (e.g. --benchmark_filter=sha).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_BENCH=ON \
    -DQH_BUILD_GUI=OFF -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target qh_hash_bench qh_cipher_bench qh_rsa_bench
for bench in hash cipher; do
    json=build/bench/${bench}_bench.json
    rm -f "$json"
    build/bench/bin/qh_${bench}_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true \
        --benchmark_out="$json" --benchmark_out_format=json "$@"
done
# One run: key generation has fixed, large iteration counts of its own.
rm -f build/bench/rsa_bench.json
build/bench/bin/qh_rsa_bench --benchmark_out=build/bench/rsa_bench.json --benchmark_out_format=json "$@"

python3 - build/bench/hash_bench.json build/bench/cipher_bench.json build/bench/rsa_bench.json <<'PYTHON'
import json, os, sys

# The median of the repetitions (run in random order, so that a burst of load
# on a shared machine falls on ours and the reference alike), in MB/s (10^6
# bytes, as `openssl speed` counts).
speeds = {}
for path in sys.argv[1:3]:
    if not os.path.exists(path) or os.path.getsize(path) == 0:
        continue  # a filter left nothing to run
    for run in json.load(open(path))["benchmarks"]:
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        if "bytes_per_second" in run:
            # File benchmarks measure real time; their names end in /real_time.
            speeds[run["run_name"].removesuffix("/real_time")] = run["bytes_per_second"] / 1e6

# What each algorithm has to reach: a ratio to the reference, or MB/s alone.
targets = {"md5": 0.8, "sha1": 0.8, "sha256": 0.8, "sha512": 0.8, "crc32": 1.0}
floors = {"crc16": 10000.0, "crc-ccitt": 10000.0}

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
    if file_ratio is not None and file_ratio < 0.95:
        verdict = (verdict + " file-MISS").strip()
    rows.append((algorithm, cell(ours), cell(ref), cell(ratio, 2), cell(file), cell(file_ratio, 2), target, verdict))

def table(rows, left):
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    print()
    for row in rows:
        print("  ".join(text.ljust(width) if i in left else text.rjust(width)
                        for i, (text, width) in enumerate(zip(row, widths))).rstrip())

if len(rows) > 1:
    table(rows, (0, 6, 7))
    print("\nfile/mem: the file digest through the file path (read into a reused buffer) over the same algorithm "
          "in memory (target >= 0.95).")

# The CRCs beside each of their references: zlib's and libdeflate's crc32 for
# CRC-32; for the CRC-16 variants, which no library offers, our own slicing
# tables (the portable code).
crc_goals = {("crc32", "libdeflate"): 1.5}
crc_rows = [("crc", "against", "ours MB/s", "ref MB/s", "ours/ref", "target", "")]
for algorithm, against, key in [("crc16", "slicing", "slicing"), ("crc-ccitt", "slicing", "slicing"),
                                ("crc32", "zlib", "reference"), ("crc32", "libdeflate", "libdeflate")]:
    ours = speeds.get(f"memory/{algorithm}/quillhorn")
    ref = speeds.get(f"memory/{algorithm}/{key}")
    if ours is None or ref is None:
        continue
    goal = crc_goals.get((algorithm, against))
    crc_rows.append((algorithm, against, cell(ours), cell(ref), cell(ours / ref, 2),
                     f"ours/ref >= {goal:.2f}" if goal else "", ("ok" if ours / ref >= goal else "MISS") if goal else ""))
if len(crc_rows) > 1:
    table(crc_rows, (0, 1, 5, 6))

# The cost of progress reporting: a file digest with the progress record of the
# panes' workers beside the same digest without it.
cost = [("file digest", "plain MB/s", "with progress MB/s", "cost", "target", "")]
for algorithm in ["sha256", "crc32"]:
    plain = speeds.get(f"file/{algorithm}/quillhorn")
    reported = speeds.get(f"file/{algorithm}-progress/quillhorn")
    if plain and reported:
        share = (plain - reported) / plain
        cost.append((algorithm, cell(plain), cell(reported), f"{share * 100:.1f}%", "< 1%",
                     "ok" if share < 0.01 else "MISS"))
if len(cost) > 1:
    table(cost, (0, 4, 5))

cipher_rows = [("cipher", "ours MB/s", "ref MB/s", "ours/ref", "file MB/s", "file/mem", "target", "")]
# Our DES limited to one path (AVX2, the portable bitsliced code, the table
# code) stands beside the same reference as the fastest path.
for algorithm in ["des-ecb", "des-ecb-avx2", "des-ecb-portable", "des-ecb-table", "base64-encode", "base64-decode", "base64-decode-76"]:
    reference = "des-ecb" if algorithm.startswith("des-ecb") else algorithm
    ours = speeds.get(f"memory/{algorithm}/quillhorn")
    ref = speeds.get(f"memory/{reference}/reference")
    file = speeds.get(f"file/{algorithm}/quillhorn")
    if ours is None and file is None:
        continue
    ratio = ours / ref if ours and ref else None
    target, verdict = "", ""
    if algorithm == "des-ecb":
        target = "ours/ref >= 5.00"
        verdict = "ok" if ratio is not None and ratio >= 5.0 else "MISS"
    cipher_rows.append((algorithm, cell(ours), cell(ref), cell(ratio, 2), cell(file),
                        cell(file / ours if file and ours else None, 2), target, verdict))
if len(cipher_rows) > 1:
    table(cipher_rows, (0, 6, 7))
    print("\ndes-ecb: the widest path the processor offers; -avx2, -portable, -table: our DES limited to that path. "
          "des-ecb file: DesEncryptFile on a 64 MiB file (written to a temporary file, synced and renamed) over "
          "our DES in memory. base64: MB/s of decoded bytes; base64-decode-76: the text in lines of 76 characters, "
          "beside EVP_DecodeUpdate.")

# RSA: CPU time per operation in ms (the machine may be shared; CPU time is the
# steadier measure), ours over OpenSSL's.
rsa_path = sys.argv[3]
times = {}
if os.path.exists(rsa_path) and os.path.getsize(rsa_path) > 0:
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    for run in json.load(open(rsa_path))["benchmarks"]:
        if "error_occurred" not in run or not run["error_occurred"]:
            name = run["run_name"].split("/iterations:")[0]  # fixed counts show in the name
            times[name] = run["cpu_time"] * scale[run.get("time_unit", "ns")]
rsa_rows = [("rsa", "ours ms", "ref ms", "ours/ref")]
for operation in ["keygen/512", "keygen/1024", "keygen/2048", "private/1024", "private/2048"]:
    ours = times.get(f"{operation}/quillhorn")
    ref = times.get(f"{operation}/reference")
    if ours is None and ref is None:
        continue
    digits = 1 if operation.startswith("keygen") else 3
    rsa_rows.append((operation, cell(ours, digits), cell(ref, digits), cell(ours / ref if ours and ref else None, 2)))
if len(rsa_rows) > 1:
    table(rsa_rows, (0,))
    print("\nkeygen: GenerateKey (two primes, random 1024-bit e, d from e, round-trip test) over EVP_PKEY_keygen "
          "(e = 65537); private: DecryptInteger with d (no CRT) over EVP_PKEY_sign (CRT, PKCS #1 v1.5, SHA-256).")

radix_rows = [("radix", "ours ms", "school ms", "ref ms", "school/ours", "ours/ref")]
for direction in ["dec2hex", "hex2dec"]:
    ours = times.get(f"radix/{direction}/quillhorn")
    school = times.get(f"radix/{direction}/schoolbook")
    ref = times.get(f"radix/{direction}/reference")
    if ours is None and school is None and ref is None:
        continue
    radix_rows.append((direction, cell(ours, 1), cell(school, 1), cell(ref, 1),
                       cell(school / ours if school and ours else None, 1),
                       cell(ours / ref if ours and ref else None, 2)))
if len(radix_rows) > 1:
    table(radix_rows, (0,))
    print("\nradix: 100,000 digits; dec2hex: ConvertRadix(10 -> 16) beside the schoolbook conversion and BN_dec2bn + "
          "BN_bn2hex; hex2dec: the way back, beside BN_hex2bn + BN_bn2dec.")
PYTHON
