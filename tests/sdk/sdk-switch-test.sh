#!/usr/bin/env bash
# The release build against the host vendor's SDK, played with what is at hand: a folder
# with our host headers as the vendor's, under other file names and with other names for
# the connection's two members, described by its velnor-sdk.cmake, and the stand-in's
# import library standing in for QelLink.lib (the other six empty). With VELNOR_HOST_SDK
# the build must hold the two programs and nothing else, read no Debian path, read the
# SDK's headers by the names the file gives and none of ours, put the SDK's folder first,
# link the seven import libraries, and make programs that import the host's classes from
# the DLL behind them. An SDK that lacks a header the file names fails the configure step,
# naming the header.
# Usage: tests/sdk/sdk-switch-test.sh WINDOWS_BUILD_DIR (a configured and built MinGW build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
built=$(cd "$1" && pwd)
toolchain=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$built/CMakeCache.txt")
ar=$(sed -n 's/^CMAKE_AR:[A-Z]*=//p' "$built/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sdk=$work/sdk build=$work/build
mkdir -p "$sdk/include/qel" "$sdk/lib"
# Our headers as the vendor's would be: without what makes them refuse an SDK build, and
# with other names for everything the host's interface leaves open (record fields, helper
# types and constants, the two members), so that a product source naming one fails.
vendor() { sed -E -e '/^#if defined\(VELNOR_HOST_SDK_BUILD\)/,/^#endif/d' \
  -e 's|#include "host/QelRecords.h"|#include "QelRecDefs.h"|' \
  -e 's/\b(n|sz|by|ll)([A-Z][A-Za-z0-9]*)\b/vnd_\1\2/g; s/\bhead\b/vndHead/g' \
  -e 's/\b(StKOTEISHISANHEAD|StKOTEINENHEAD|kQelOk|kQelNoData|kDataKindPastResults|QelWindow)\b/Vnd\1/g' \
  -e 's/m_strTitle/m_csCaption/; s/m_hOwnerWnd/m_hParentWnd/' "$1"; }
vendor "$root/host/QelRecords.h" >"$sdk/include/qel/QelRecDefs.h"
vendor "$root/host/QelHost.h" >"$sdk/include/qel/QelLinkApi.h"
cat >"$sdk/velnor-sdk.cmake" <<'END'
set(VELNOR_HOST_HEADERS "qel/QelRecDefs.h;qel/QelLinkApi.h")
set(VELNOR_HOST_TITLE_MEMBER m_csCaption)
set(VELNOR_HOST_OWNER_MEMBER m_hParentWnd)
END
for library in QelCmn QelBCore QelFileMgr QelMsgMgr QelDBMgr QelEnvMgr; do
  "$ar" rc "$sdk/lib/$library.lib"
done
cp "$built/lib/libVelnorHostStandIn.dll.a" "$sdk/lib/QelLink.lib"

status=0
fail() { echo "sdk-switch-test: $*" >&2; status=1; }
configure() {
  cmake -S "$root" -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DVELNOR_WERROR=ON -DVELNOR_HOST_SDK="$2" --log-level=WARNING
}
configure "$build" "$sdk" >/dev/null

# A header the SDK lacks ends the configure step with its name.
cp -r "$sdk" "$work/short-sdk"
rm "$work/short-sdk/include/qel/QelRecDefs.h"
if configure "$work/short-build" "$work/short-sdk" >"$work/short.log" 2>&1; then
  fail "an SDK without qel/QelRecDefs.h configures"
elif ! grep -q 'lacks headers' "$work/short.log" || ! grep -q 'qel/QelRecDefs\.h' "$work/short.log"; then
  fail "the configure step does not name the missing header: $(cat "$work/short.log")"
fi

headers=$build/hostbinding-generated/VelnorHostHeaders.h
grep -q "^#include \"$sdk/include/qel/QelRecDefs.h\"\$" "$headers" &&
  grep -q "^#include \"$sdk/include/qel/QelLinkApi.h\"\$" "$headers" &&
  ! grep -q 'host/Qel' "$headers" || fail "the program does not read the SDK's headers by name: $(cat "$headers")"

executables=$(ninja -C "$build" -t targets all | sed -n 's/^bin\/\([^:]*\.\(exe\|dll\)\):.*/\1/p' | sort -u | tr '\n' ' ')
[ "$executables" = "VelnorPro.exe VelnorStd.exe " ] || fail "builds $executables, not just the two programs"
if grep -l -E '/usr/src/googletest|/usr/include/nlohmann|host_standin' "$build/build.ninja" >/dev/null; then
  fail "the build reads a Debian path or the stand-in"
fi
grep -q -- "INCLUDES = -I$sdk/include " "$build/build.ninja" || fail "the SDK's headers do not come first"
for library in QelLink QelCmn QelBCore QelFileMgr QelMsgMgr QelDBMgr QelEnvMgr; do
  grep -q "$sdk/lib/$library.lib" "$build/build.ninja" || fail "$library.lib is not linked"
done
if ! ninja -C "$build" >"$work/ninja.log" 2>&1; then
  grep -E 'error|warning' "$work/ninja.log" | head -20 >&2
  fail "the programs do not build against the SDK"
  exit 1
fi
if ninja -C "$build" -t deps | grep -E '(^|/)host/Qel(Host|Records)\.h' >/dev/null; then
  fail "the programs read our stand-in's header"
fi
for program in VelnorPro VelnorStd; do
  objdump -p "$build/bin/$program.exe" | grep 'DLL Name: VelnorHostStandIn.dll' >/dev/null ||
    fail "$program.exe does not import the host's classes through the SDK's import library"
done
[ $status -eq 0 ] && echo "sdk-switch-test: the vendor's SDK builds the two programs and nothing else"
exit $status
