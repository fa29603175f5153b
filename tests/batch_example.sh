#!/usr/bin/env bash
# The batch on a copy of the bundled example, as a user runs it.
set -euo pipefail
batch="$1"
example="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$example"/. "$work/"
cd "$work"
"$batch" --missing -9999 --quiet piezometers.csv
for f in MHW_R.asc SDMHW_R.asc MSW_R.asc SDMSW_R.asc MLW_R.asc SDMLW_R.asc "Session 1 normres.csv"; do
  [ -f "session1/$f" ] || { echo "missing session1/$f" >&2; exit 1; }
done
head -c 19 session1/MHW_R.asc | grep -q "ncols         200" || { echo "bad map header" >&2; exit 1; }
# A bad option leaves the directory as it is.
before="$(ls -R | sort)"
if "$batch" --column DEPTH=x piezometers.csv 2>/dev/null; then echo "bad option accepted" >&2; exit 1; fi
[ "$before" = "$(ls -R | sort)" ] || { echo "a bad option changed the directory" >&2; exit 1; }
# A working directory that vanished is reported, not a crash.
gone="$work/gone"
mkdir "$gone"
set +e
(cd "$gone" && rmdir "$gone" && "$batch" --quiet piezometers.csv 2>"$work/gone.err")
status=$?
set -e
[ "$status" -eq 2 ] || { echo "a vanished directory gave exit status $status" >&2; exit 1; }
grep -q "the working directory cannot be used" "$work/gone.err" || { cat "$work/gone.err" >&2; exit 1; }
echo "example run: ok"
