#!/usr/bin/env bash
# Remakes the pack fixtures: one pack by the standard zip tool, one by Python's zipfile, with the
# same files (a text that deflates, bytes that do not, a file in a folder, an empty file).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/ui" "$work/Images"
for i in $(seq 1 60); do echo "line $i of the layout: btn_sm_adventure = play"; done >"$work/ui/keloui.txt"
python3 -c "import random; random.seed(7); open('$work/Images/noise.bin','wb').write(bytes(random.randrange(256) for _ in range(300)))"
printf 'hello pack' >"$work/hello.txt"
: >"$work/empty.txt"
touch -d "2020-01-01 00:00:00" "$work"/*.txt "$work"/ui/* "$work"/Images/* "$work"/ui "$work"/Images
rm -f zip_tool.pak python_zipfile.pak
(cd "$work" && zip -q -r "$OLDPWD/zip_tool.pak" hello.txt ui Images empty.txt)
python3 - "$work" <<'PY'
import sys, zipfile
work = sys.argv[1]
with zipfile.ZipFile('python_zipfile.pak', 'w') as z:
    for name, method in [('hello.txt', zipfile.ZIP_STORED), ('ui/keloui.txt', zipfile.ZIP_DEFLATED),
                         ('Images/noise.bin', zipfile.ZIP_STORED), ('empty.txt', zipfile.ZIP_DEFLATED)]:
        info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
        info.compress_type = method
        z.writestr(info, open(f'{work}/{name}', 'rb').read())
    info = zipfile.ZipInfo('caf\u00e9.txt', date_time=(2020, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    z.writestr(info, b'a name with a byte above 127')
PY
