#!/usr/bin/env bash
# The programs against host headers that differ from ours in everything the host's
# interface leaves open: each folder tests/sdk/*/ with a velnor-sdk.cmake is a host SDK
# (include/ and that file, nothing else). Every source of both programs is compiled against
# our own header and against each of them with clang-cl in Microsoft mode (scripts/msvc-check,
# x86 and x64) and with i686 MinGW (-fsyntax-only); any error or warning fails.
#
# Also checked: the SDKs' headers are Shift_JIS without a line whose last character has a
# backslash as its second byte (Microsoft's compiler, reading code page 932, would join the
# next line to a comment there; clang reads UTF-8 and cannot show it), and the host contract:
# the host's operations that the x86 objects import, compiled against our own header, are
# exactly the rows of docs/host-contract.md reached by import.
# Usage: tests/sdk/sdk-variants-test.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
jobs=${VELNOR_MSVC_CHECK_JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "sdk-variants-test: $*" >&2; status=1; }

sdks=()
for file in tests/sdk/*/velnor-sdk.cmake; do sdks+=("$(dirname "$file")"); done
[ ${#sdks[@]} -ge 2 ] || fail "fewer than two header variants under tests/sdk/"

headers=$(find "${sdks[@]/%//include}" -name '*.h' | sort)
for header in $headers; do
  iconv -f CP932 -t UTF-8 "$header" >/dev/null 2>&1 || fail "$header is not Shift_JIS"
done
# shellcheck disable=SC2086 # the paths hold no blanks
if joined=$(perl -ne 's/\r?\n\z//; print "  $ARGV:$.\n" if /^(?:[\x81-\x9F\xE0-\xFC][\x40-\xFC]|[^\x81-\x9F\xE0-\xFC])*[\x81-\x9F\xE0-\xFC]\x5C\z/;
  close ARGV if eof' $headers) && [ -n "$joined" ]; then
  fail "lines that end in a character whose second byte is a backslash:"$'\n'"$joined"
fi

# clang-cl, x86 and x64: our own header (keeping the x86 objects for the contract), then each SDK.
VELNOR_MSVC_CHECK_JOBS=$jobs scripts/msvc-check --objects "$work/objects" || fail "our own header: see above"
for sdk in "${sdks[@]}"; do
  VELNOR_MSVC_CHECK_JOBS=$jobs scripts/msvc-check --sdk "$sdk" || fail "$sdk: see above (clang-cl)"
done

# i686 MinGW: the build configured as the release build takes the SDK (without import
# libraries), every source of the two programs parsed with the build's own command.
toolchain=$root/cmake/mingw-w64-i686.cmake
mingw_check() {
  local name=$1 build=$work/mingw-$1
  shift
  if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DVELNOR_WERROR=ON -DVELNOR_BUILD_TESTS=OFF "$@" >"$build.log" 2>&1; then
    fail "$name: the MinGW build does not configure:"
    cat "$build.log" >&2
    return
  fi
  # program-sources.txt against compile_commands.json: one "directory<TAB>command" a line.
  grep -v '\.rc$' "$build/program-sources.txt" | sed "s|^|$root/|" >"$build.sources"
  perl -MJSON::PP -e '
    my %want = map { chomp; ($_ => 1) } do { open my $f, "<", $ARGV[0] or die; <$f> };
    local $/; open my $j, "<", $ARGV[1] or die; my $db = decode_json(<$j>);
    my %seen;
    for (@$db) { next unless $want{$_->{file}}; $seen{$_->{file}} = 1; print "$_->{directory}\t$_->{command}\n" }
    print STDERR "no command for $_\n" for grep { !$seen{$_} } sort keys %want;
    exit(keys %seen == keys %want ? 0 : 1);' "$build.sources" "$build/compile_commands.json" >"$build.commands" ||
    fail "$name: the MinGW build does not compile every source of the programs"
  local output
  output=$(tr '\n' '\0' <"$build.commands" | xargs -0 -r -n 1 -P "$jobs" bash -c '
    dir=${1%%$'"'\t'"'*} command=${1#*$'"'\t'"'}
    cd "$dir" && eval "$command -fsyntax-only" 2>&1 || echo "failed: $command"' _)
  [ -z "$output" ] || fail "$name: i686 MinGW:"$'\n'"$output"
}
mingw_check own-header
for sdk in "${sdks[@]}"; do
  mingw_check "$(basename "$sdk")" "-DVELNOR_HOST_SDK=$root/$sdk" -DVELNOR_HOST_LIBRARIES=
done

# The host contract: class::operation of every host import against the document's rows.
contract=docs/host-contract.md
awk -F'|' '/^\| `/ { gsub(/\\\|/, "/"); cls = $2; op = $3; reached = $6; gsub(/[ `]/, "", cls); gsub(/ /, "", reached)
  if (reached == "import" && match(op, /`[^`]+`/)) print cls "::" substr(op, RSTART + 1, RLENGTH - 2) }' \
  "$contract" | sort -u >"$work/documented"
find "$work/objects" -name '*.obj' -exec llvm-nm -u {} + | sed -n 's/^ *U __imp_\(?.*\)$/\1/p' | sort -u |
  llvm-undname | sed -n 's/^[^?].* \([A-Za-z_][A-Za-z0-9_]*::[A-Za-z_~][A-Za-z0-9_]*\)(.*/\1/p' |
  { grep -v '^std::' || true; } | sort -u >"$work/imported"
[ -s "$work/imported" ] || fail "no host imports found in the x86 objects"
if ! differences=$(diff "$work/documented" "$work/imported"); then
  fail "$contract and the programs' host imports differ (< only in the document, > only imported):"$'\n'"$(grep '^[<>]' <<<"$differences")"
fi

[ $status -eq 0 ] && echo "sdk-variants-test: both programs compile against our header and ${#sdks[@]} header variants (clang-cl x86/x64, i686 MinGW); $(wc -l <"$work/imported") host imports match $contract"
exit $status
