#!/usr/bin/env bash
# scripts/msvc-check must refuse what Microsoft's compiler would: it runs on a copy of the
# tree into which a GCC extension (in the amount code) and a POSIX header (in the
# conditions dialog, a Windows-only file) were put, a header with Japanese text lost its
# byte-order mark, the MSVC branch reads every file as UTF-8 and takes x87 arithmetic for
# x86 (/arch:IA32), and must name these and nothing else.
# The copy lives in /dev/shm where there is one: its path begins with "/d", which the
# Microsoft-style tools read as their /D option, so a path handed where an option may
# stand is caught too.
# Usage: tests/msvc/msvc-check-test.sh WINDOWS_BUILD_DIR (configured: its program-sources.txt)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
if [ -d /dev/shm ] && [ -w /dev/shm ]; then copy=$(mktemp -d -p /dev/shm); else copy=$(mktemp -d); fi
trap 'rm -rf "$copy"' EXIT
(cd "$root" && git ls-files -z | xargs -0 cp --parents -t "$copy")
printf '__extension__ typedef int PlantedExtension;\n' >>"$copy/aggregation/FixedDecimal.cpp"
sed -i '1i #include <unistd.h>' "$copy/conditions/CondDlg_win.cpp"
sed -i '1s/^\xef\xbb\xbf//' "$copy/conditions/CondRules.h"
sed -i 's|/source-charset:\.932|/source-charset:utf-8|' "$copy/CMakeLists.txt"
sed -i 's|/arch:SSE2|/arch:IA32|' "$copy/CMakeLists.txt"

status=0
if output=$(VELNOR_MSVC_CHECK_BUILD=$build "$copy/scripts/msvc-check" 2>&1); then
  echo "msvc-check-test: msvc-check passed a tree with planted faults" >&2
  status=1
fi
for expected in "aggregation/FixedDecimal.cpp uses a GCC/Clang extension" \
                "conditions/CondDlg_win.cpp is Windows-only but includes a POSIX header" \
                "conditions/CondRules.h holds non-ASCII text without a UTF-8 byte-order mark" \
                "the MSVC build reads files without a byte-order mark as UTF-8" \
                "the MSVC build for x86 does not state /arch:SSE2" \
                "the MSVC build for x86 uses the x87 unit (/arch:IA32)"; do
  grep -qF "$expected" <<<"$output" || { echo "msvc-check-test: not said: $expected" >&2; status=1; }
done
if others=$(grep -E '^msvc-check: ' <<<"$output" | grep -vF -e "FixedDecimal.cpp" -e "CondDlg_win.cpp" \
  -e "CondRules.h holds" -e "MSVC build reads files" -e "MSVC build is not given /source-charset:.932" \
  -e "for x86" \
  -e "msvc-check: FAILED" -e " sources for x86 and x64"); then
  echo "msvc-check-test: refused more than what was planted (the copy is in $copy):" >&2
  printf '%s\n' "$others" >&2
  status=1
fi
[ $status -eq 0 ] && echo "msvc-check-test: the planted extension, POSIX header, missing byte-order mark, UTF-8 reading and x87 arithmetic were refused"
exit $status
