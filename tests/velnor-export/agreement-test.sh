#!/usr/bin/env bash
# The exporters of every architecture write the same documents, byte for byte: the native
# one and each Windows one given (run under Wine through scripts/wine-run), over host data
# on which floating point could part them (ratios at every half, quantities at a half of
# the second decimal given with more decimals than are kept, amounts at their limits), the
# field-limit data and a run of ordinary assets, with every business kind and both
# editions.
# Usage: agreement-test.sh LOAD_DATA NATIVE_EXPORTER [WINDOWS_EXPORTER.exe...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
load_data=$1
native=$2
shift 2
work=$(mktemp -d "${TMPDIR:-/tmp}/velnor-agreement.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$load_data" agreement "$work/agreement.json"
"$load_data" limits "$work/limits.json" >/dev/null
"$load_data" many 3000 "$work/many.json" >/dev/null

# Each exporter writes every document into a folder of its own.
export_all() {
  local name=$1 out=$work/$1 data kind edition
  shift
  mkdir -p "$out"
  for data in agreement limits many; do
    for kind in 1 2 3; do
      for edition in pro std; do
        if ! "$@" --host-data "$work/$data.json" --business-kind $kind --edition $edition \
          --output "$out/$data-$kind-$edition.xml" >/dev/null 2>"$out/err"; then
          echo "agreement: $name failed on $data, kind $kind, $edition:" >&2
          iconv -f CP932 -t UTF-8 "$out/err" >&2 2>/dev/null || cat "$out/err" >&2
          return 1
        fi
      done
    done
  done
}

status=0
export_all native "$native" || status=1
names=()
for exe in "$@"; do
  case $(. "$root/scripts/wine-common.sh" && pe_machine "$exe") in
    i386) name=x86 ;;
    amd64) name=x64 ;;
    *) echo "agreement: $exe is no Windows program" >&2; exit 1 ;;
  esac
  names+=("$name")
  export_all "$name" "$root/scripts/wine-run" "$exe" || status=1
done
[ $status -eq 0 ] || exit 1

documents=$(find "$work/native" -name '*.xml' | wc -l)
for name in "${names[@]}"; do
  for file in "$work/native"/*.xml; do
    other=$work/$name/$(basename "$file")
    if ! cmp -s "$file" "$other"; then
      echo "agreement: $name and native differ in $(basename "$file"):" >&2
      diff <(iconv -f CP932 -t UTF-8 "$file") <(iconv -f CP932 -t UTF-8 "$other") | head -n 12 >&2 || true
      status=1
    fi
  done
done
if [ $status -eq 0 ]; then
  echo "agreement: $documents documents the same from ${names[*]:+${names[*]} and }native"
fi
exit $status
