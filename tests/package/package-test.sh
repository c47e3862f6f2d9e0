#!/usr/bin/env bash
# The demo kit as it ships: made by scripts/package with a throw-away code-signing
# certificate, every program file's signature checked against that certificate, the
# checksums, the exact list of files, the programs checked as shipped (scripts/check-shipped),
# and the sample company exported from the unpacked kit under Wine through the kit's own
# host simulator, with velnor-run-driver playing the user.
#
# Usage: tests/package/package-test.sh [x86|x64...]
# Without arguments: the x86 kit, the host's architecture, is made, checked and run where
# this machine runs 32-bit programs; elsewhere it is made and checked, and the x64 kit is
# made, checked and run as well. Exit status 0 when every check passed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
. scripts/wine-common.sh

if [ $# -gt 0 ]; then
  check=("$@") run=("${@: -1}")
elif wine32_runs; then
  check=(x86) run=(x86)
else
  check=(x86 x64) run=(x64)
  echo "package-test: this machine runs no 32-bit programs: the x86 kit is made and checked," \
       "the x64 kit is made, checked and run" >&2
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "package-test: FAILED: $*" >&2; failures=$((failures + 1)); }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# A self-signed certificate for code signing, its key and password only in $tmp.
openssl req -x509 -newkey rsa:2048 -sha256 -nodes -days 2 -subj "/CN=Velnor package test" \
  -addext extendedKeyUsage=codeSigning -addext keyUsage=critical,digitalSignature \
  -addext basicConstraints=critical,CA:FALSE -keyout "$tmp/key.pem" -out "$tmp/cert.pem" 2>/dev/null
head -c 24 /dev/urandom | base64 >"$tmp/password"
openssl pkcs12 -export -inkey "$tmp/key.pem" -in "$tmp/cert.pem" -out "$tmp/signer.p12" \
  -passout "file:$tmp/password"
export VELNOR_SIGN_PKCS12=$tmp/signer.p12 VELNOR_SIGN_PASSWORD_FILE=$tmp/password
unset VELNOR_SIGN_TIMESTAMP_URL

kit_files=(Data/ Data/ABC0001/ HostData.json LICENSES.txt MerovinDef.ini README.txt VelnorHostStandIn.dll
  VelnorPro.exe VelnorStd.exe host-simulator.exe)

# The number of COFF symbols a PE file carries: 0 once stripped.
pe_symbols() {
  local offset
  offset=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
  od -An -tu4 -j $((offset + 16)) -N 4 "$1" | tr -d ' '
}

# check_kit ARCH: makes the kit, checks it as shipped and leaves it unpacked in $tmp/ARCH.
check_kit() {
  local arch=$1 machine=amd64 zip name kit file
  [ "$arch" = x86 ] && machine=i386
  echo "=== package: the $arch kit, signed with a throw-away certificate" >&2
  if ! zip=$(scripts/package --arch "$arch" | tail -n 1) || [ ! -f "$zip" ]; then
    fail "scripts/package --arch $arch"
    return
  fi
  name=$(basename "$zip" .zip)
  (cd "$(dirname "$zip")" && grep -q " $name.zip\$" SHA256SUMS && sha256sum --quiet -c SHA256SUMS) ||
    fail "SHA256SUMS does not cover $name.zip or does not match"
  if ! diff <(printf "$name/%s\n" "${kit_files[@]}" | sort) <(unzip -Z1 "$zip" | sort) >&2; then
    fail "$name.zip does not hold exactly the kit's files in one folder $name/"
  fi
  mkdir "$tmp/$arch"
  unzip -q "$zip" -d "$tmp/$arch"
  kit=$tmp/$arch/$name
  for file in "$kit"/*.exe "$kit"/*.dll; do
    osslsigncode verify -CAfile "$tmp/cert.pem" -in "$file" >"$tmp/verify.txt" 2>&1 &&
      grep -q '^Message digest algorithm *: SHA256' "$tmp/verify.txt" ||
      fail "$(basename "$file"): no valid SHA-256 signature by the test certificate"
    [ "$(pe_symbols "$file")" = 0 ] || fail "$(basename "$file") is not stripped"
  done
  cmp -s "$kit/MerovinDef.ini" <(printf '[ProgramLevel]\r\nMV14_G=2\r\n') ||
    fail "MerovinDef.ini is not of link level 2"
  if grep -qE '"[A-Za-z]:' "$kit/HostData.json"; then
    fail "the kit's HostData.json names a folder outside the kit"
  fi
  scripts/check-shipped --standin "$kit/VelnorHostStandIn.dll" --machine "$machine" \
    "$kit/VelnorPro.exe" "$kit/VelnorStd.exe" -- "$kit/host-simulator.exe" \
    "$kit/VelnorHostStandIn.dll" || fail "the $arch kit's programs as shipped"
}

# run_kit ARCH: the how-to's command in the unpacked kit's folder, the user played by
# velnor-run-driver: the sample company exported, result 0.
run_kit() {
  local arch=$1 preset=windows kit out status=0
  [ "$arch" = x86 ] && preset=windows-x86
  kit=$(echo "$tmp/$arch"/Velnor-*-demo-"$arch")
  [ -d "$kit" ] || return 0  # not made: already failed
  echo "=== package: the $arch kit runs the sample under Wine" >&2
  cmake --build --preset "$preset" -j "$(nproc)" --target velnor-run-driver -- --quiet >/dev/null
  out=$tmp/out-$arch
  mkdir "$out"
  # Only the kit's folder for libraries: the build's stand-in must not be found.
  (cd "$kit" && WINEPATH=$(winpath "$kit") "$root/scripts/wine-run" \
    "$root/build/$preset/bin/velnor-run-driver.exe" \
    --simulator "$(winpath "$kit/host-simulator.exe")" --program VelnorPro.exe \
    --data HostData.json --output "$(winpath "$out/VelnorPro.xml")" \
    --report "$(winpath "$out/report.txt")" --timeout 90) >&2 || status=$?
  [ -f "$out/report.txt" ] && grep '^RESULT ' "$out/report.txt" >&2
  [ "$status" -eq 0 ] || fail "the $arch kit's run ended with $status, not 0 (completed)"
  grep -q '<SISAN ' "$out/VelnorPro.xml" 2>/dev/null || fail "the $arch kit's run wrote no document"
  [ -f "$kit/Data/ABC0001/VelnorPro.env" ] ||
    fail "the $arch kit's run did not remember its choice in the kit's Data folder"
}

for arch in "${check[@]}"; do check_kit "$arch"; done
for arch in "${run[@]}"; do run_kit "$arch"; done
if [ "$failures" -ne 0 ]; then
  echo "package-test: $failures checks failed" >&2
  exit 1
fi
echo "package-test: kits ${check[*]} made and checked, ${run[*]} run: all passed" >&2
