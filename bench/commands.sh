#!/usr/bin/env bash
# Whole commands on cached files, quillhorn-cli beside the tools a user would
# otherwise run: base64 against coreutils' base64 (-w0 and -d), crc32 against
# cksum, sha256 against sha256sum, DES file encryption against
# `openssl enc -des-ecb` (ours also syncs the output and renames it into place),
# and, where the build has it, `sum -a md5,sha1,sha256` against md5sum, sha1sum
# and sha256sum one after the other. With an OUTPUT argument quillhorn-cli
# writes a temporary file, syncs it to the disk and renames it into place, which
# the others do not; the Base64 rows therefore also show it writing to standard
# output, redirected to a file as the others are. Times are hyperfine's means of real time
# over several runs after a warm-up; the ratio is ours over theirs (below 1:
# faster). Uses build/test's quillhorn-cli (Release), building it if needed.
# Usage: bench/commands.sh [SIZE_MIB] (1024 by default; DES uses a quarter).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh hyperfine >/dev/null
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/test --target quillhorn-cli >/dev/null
cli=$(pwd)/build/test/bin/quillhorn-cli

size=${1:-1024}
work=$(mktemp -d "${TMPDIR:-/tmp}/quillhorn-commands.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c "${size}M" /dev/urandom >data
head -c "$((size / 4))M" data >des-data
base64 -w0 data >data.b64
cat data des-data data.b64 >/dev/null # into the page cache

runs=(--warmup 1 --runs 5 --export-json)
hyperfine "${runs[@]}" base64-encode.json -n ours "$cli base64 data out" -n ours-stdout "$cli base64 data >out" \
    -n theirs "base64 -w0 data >out"
hyperfine "${runs[@]}" base64-decode.json -n ours "$cli base64 -d data.b64 out" -n ours-stdout "$cli base64 -d data.b64 >out" \
    -n theirs "base64 -d data.b64 >out"
hyperfine "${runs[@]}" crc32.json -n ours "$cli crc32 data" -n theirs "cksum data"
hyperfine "${runs[@]}" sha256.json -n ours "$cli sha256 data" -n theirs "sha256sum data"
hyperfine "${runs[@]}" des.json -n ours "$cli des encrypt -K 0123456789ABCDEF des-data out" \
    -n theirs "openssl enc -des-ecb -provider legacy -provider default -K 0123456789ABCDEF -nosalt -in des-data -out out"
if "$cli" sum --help >/dev/null 2>&1; then
    hyperfine "${runs[@]}" sum.json -n ours "$cli sum -a md5,sha1,sha256 data" \
        -n theirs "md5sum data; sha1sum data; sha256sum data"
fi
rm -f out

python3 - "$size" <<'PYTHON'
import json, os, sys
size = int(sys.argv[1])
rows = [("command", "against", "MiB", "ours s", "theirs s", "ours/theirs")]
for name, against, mib in [("base64", "base64 -w0", size), ("base64 -d", "base64 -d", size),
                           ("crc32", "cksum", size), ("sha256", "sha256sum", size),
                           ("des encrypt", "openssl enc -des-ecb", size // 4),
                           ("sum -a md5,sha1,sha256", "md5sum; sha1sum; sha256sum", size)]:
    path = {"base64": "base64-encode", "base64 -d": "base64-decode", "des encrypt": "des",
            "sum -a md5,sha1,sha256": "sum"}.get(name, name) + ".json"
    if not os.path.exists(path):
        continue
    times = {r["command"]: r["mean"] for r in json.load(open(path))["results"]}
    rows.append((name, against, str(mib), f"{times['ours']:.3f}", f"{times['theirs']:.3f}",
                 f"{times['ours'] / times['theirs']:.2f}"))
    if "ours-stdout" in times:
        rows.append((name + " >out", against, str(mib), f"{times['ours-stdout']:.3f}", f"{times['theirs']:.3f}",
                     f"{times['ours-stdout'] / times['theirs']:.2f}"))
widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
print()
for row in rows:
    print("  ".join(cell.ljust(w) if i < 2 else cell.rjust(w) for i, (cell, w) in enumerate(zip(row, widths))))
PYTHON
