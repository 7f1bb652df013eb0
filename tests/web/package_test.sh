#!/usr/bin/env bash
# The zip for web servers: made by its target, one folder named for the
# version, holding exactly the files the service worker keeps.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
cmake --build "$build" --target web_package >/dev/null
zip=$build/packages/iitcalc-$version-web.zip
python3 - "$zip" "iitcalc-$version-web" "$build/site/sw.js" <<'PY'
import re, sys, zipfile
zip_path, folder, worker = sys.argv[1:]
names = sorted(zipfile.ZipFile(zip_path).namelist())
cached = re.search(r"const FILES = \[(.*?)\];", open(worker, encoding="utf-8").read(), re.S).group(1)
expected = [f"{folder}/{name}" for name in re.findall(r"\['([^']+)', '[0-9a-f]{64}'\]", cached) if name != "./"]
expected.append(f"{folder}/index.html")
expected.append(f"{folder}/sw.js")
expected.sort()
files = [name for name in names if not name.endswith("/")]
if files != expected:
    sys.exit(f"the zip holds {files}, not {expected}")
print("web package ok")
PY
