#!/usr/bin/env bash
# The release build against the host vendor's SDK, played with what is at hand: a folder
# with our host headers as the vendor's and the stand-in's import library standing in for
# QelLink.lib (the other six empty). With VELNOR_HOST_SDK the build must hold the two
# programs and nothing else, read no Debian path, put the SDK's headers first, link the
# seven import libraries, and make programs that import the host's classes from the DLL
# behind them.
# Usage: tests/sdk/sdk-switch-test.sh WINDOWS_BUILD_DIR (a configured and built MinGW build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
built=$(cd "$1" && pwd)
toolchain=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$built/CMakeCache.txt")
ar=$(sed -n 's/^CMAKE_AR:[A-Z]*=//p' "$built/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sdk=$work/sdk build=$work/build
mkdir -p "$sdk/include/host" "$sdk/lib"
cp "$root/host/QelHost.h" "$root/host/QelRecords.h" "$sdk/include/host/"
for library in QelCmn QelBCore QelFileMgr QelMsgMgr QelDBMgr QelEnvMgr; do
  "$ar" rc "$sdk/lib/$library.lib"
done
cp "$built/lib/libVelnorHostStandIn.dll.a" "$sdk/lib/QelLink.lib"

status=0
fail() { echo "sdk-switch-test: $*" >&2; status=1; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DVELNOR_WERROR=ON -DVELNOR_HOST_SDK="$sdk" --log-level=WARNING >/dev/null

executables=$(ninja -C "$build" -t targets all | sed -n 's/^bin\/\([^:]*\.\(exe\|dll\)\):.*/\1/p' | sort -u | tr '\n' ' ')
[ "$executables" = "VelnorPro.exe VelnorStd.exe " ] || fail "builds $executables, not just the two programs"
if grep -l -E '/usr/src/googletest|/usr/include/nlohmann|host_standin' "$build/build.ninja" >/dev/null; then
  fail "the build reads a Debian path or the stand-in"
fi
grep -q -- "INCLUDES = -I$sdk/include " "$build/build.ninja" || fail "the SDK's headers do not come first"
for library in QelLink QelCmn QelBCore QelFileMgr QelMsgMgr QelDBMgr QelEnvMgr; do
  grep -q "$sdk/lib/$library.lib" "$build/build.ninja" || fail "$library.lib is not linked"
done
ninja -C "$build" >/dev/null
for program in VelnorPro VelnorStd; do
  objdump -p "$build/bin/$program.exe" | grep 'DLL Name: VelnorHostStandIn.dll' >/dev/null ||
    fail "$program.exe does not import the host's classes through the SDK's import library"
done
[ $status -eq 0 ] && echo "sdk-switch-test: the vendor's SDK builds the two programs and nothing else"
exit $status
