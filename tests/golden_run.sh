#!/usr/bin/env bash
# The batch in each golden working directory; every file it leaves (inputs,
# result files, selection files, maps, residuals, pictures, the log with its
# time stamps and paths taken out) must equal what the program has always written.
set -euo pipefail
batch="$(realpath "$1")"
examples="$(realpath "$2")"
golden="$(cd "$(dirname "${BASH_SOURCE[0]}")/golden" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$golden/make-cases" "$examples" "$work" >/dev/null
declare -A args=(
  [A]="--missing -9999"
  [B]="--missing -9999 --unweighted"
  [C]="--missing -9999"
  [D]="--missing -9999"
  [E]="--missing -9999"
  [F]="--missing -9999 --unweighted --mxw MHW"
)
for c in A B C D E F; do
  # shellcheck disable=SC2086
  (cd "$work/$c" && "$batch" --quiet --keep ${args[$c]} piezometers.csv >/dev/null 2>&1) ||
    { echo "case $c: tolvar-batch failed" >&2; exit 1; }
  for log in "$work/$c"/*.log; do
    sed -i -E -e 's/^Logfile of Tolvar at .*/Logfile of Tolvar at T/' \
      -e 's|^Used file  : .*/|Used file  : |' \
      -e 's/[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}/DATE/' "$log"
    mv "$log" "$work/$c/session.log"
  done
done
actual="$work/actual.sha256"
for c in A B C D E F; do
  (cd "$work/$c" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | while read -r f; do
    echo "$(sha256sum "$f" | cut -d' ' -f1)  $c/$f"
  done)
done > "$actual"
if ! diff "$golden/expected.sha256" "$actual"; then
  echo "the golden working directories differ (< expected, > written)" >&2
  exit 1
fi
echo "golden run: ok"
