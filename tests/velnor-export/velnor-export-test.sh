#!/bin/sh
# End-to-end test of the batch exporter on the sample company.
# Usage: velnor-export-test.sh SOURCE_DIR TOOL [RUNNER]
# RUNNER (scripts/wine-run for the Windows build) runs TOOL; its standard error is then
# Shift_JIS and is decoded before it is searched.
set -u
src=$1
tool=$2
runner=${3:-}
sample=$src/samples/host/HostData.json
work=$(mktemp -d "${TMPDIR:-/tmp}/velnor-export-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

run() {
  if [ -n "$runner" ]; then
    "$runner" "$tool" "$@" 2>err.raw
    status=$?
    iconv -f CP932 -t UTF-8 err.raw >err.txt 2>/dev/null || cp err.raw err.txt
  else
    "$tool" "$@" 2>err.txt
    status=$?
  fi
  return $status
}

# A document an XML parser accepts once decoded from Shift_JIS, with `count` SISAN of
# 26 children each.
check_document() {
  file=$1
  count=$2
  iconv -f CP932 -t UTF-8 "$file" | sed '1s/encoding="Shift_JIS"/encoding="UTF-8"/' >decoded.xml ||
    { fail "$file is not Shift_JIS"; return; }
  xmllint --noout decoded.xml || { fail "$file is not well-formed XML"; return; }
  sisan=$(xmllint --xpath 'count(/REPORT/DATA/SISAN)' decoded.xml)
  [ "$sisan" = "$count" ] || fail "$file: $sisan SISAN, expected $count"
  bad=$(xmllint --xpath 'count(/REPORT/DATA/SISAN[count(*) != 26])' decoded.xml)
  [ "$bad" = "0" ] || fail "$file: $bad SISAN without 26 children"
  last=$(xmllint --xpath "string(/REPORT/DATA/SISAN[last()]/@Count)" decoded.xml)
  [ "$count" = "0" ] || [ "$last" = "$count" ] || fail "$file: last Count is $last"
  crlf=$(tr -cd '\n' <"$file" | wc -c)
  cr=$(tr -cd '\r' <"$file" | wc -c)
  [ "$crlf" = "$cr" ] || fail "$file: not every line ends with CR LF"
}

# The three business kinds of the sample's selected data (general 18 + summary, real
# estate 7 + summary, both).
for kind in 1 2 3; do
  run --host-data "$sample" --business-kind $kind --output "out$kind.xml" >out.txt ||
    fail "kind $kind: exit status $? ($(cat err.txt))"
  [ -f "out$kind.xml" ] || { fail "kind $kind: no document"; continue; }
  n=$(sed -n 's/.*wrote \([0-9]*\) SISAN.*/\1/p' out.txt)
  check_document "out$kind.xml" "$n"
done
[ -f out3.xml ] && [ -f out1.xml ] && [ -f out2.xml ] && {
  n1=$(grep -c '<SISAN ' out1.xml); n2=$(grep -c '<SISAN ' out2.xml); n3=$(grep -c '<SISAN ' out3.xml)
  [ "$n1" -gt 0 ] && [ "$n2" -gt 0 ] && [ "$n3" -gt "$n1" ] || fail "SISAN counts $n1 $n2 $n3"
}

# Function id and edition reach the SYSTEM block; SUPPORT.INF is read from here.
printf '[=製品名=]Borlex Test\r\n' | iconv -f UTF-8 -t CP932 >SUPPORT.INF
run --host-data "$sample" --business-kind 3 --output fid.xml --function-id 65535 --edition std \
  >/dev/null || fail "function id run: exit status $?"
grep -q '<FUNCTIONID>-1</FUNCTIONID>' fid.xml || fail "FUNCTIONID is not -1"
grep -q '<PROGRAMNAME>Borlex Test</PROGRAMNAME>' fid.xml || fail "SUPPORT.INF not read"
rm -f SUPPORT.INF
run --host-data "$sample" --business-kind 3 --output std.xml --edition std >/dev/null
iconv -f CP932 -t UTF-8 std.xml | grep -q '<PROGRAMNAME>Borlex２０</PROGRAMNAME>' ||
  fail "standard edition default PROGRAMNAME"

# Past-results data is refused with the program's message; the destination stays.
sed 's/"selected": \[1, 1\]/"selected": [1, 2]/' "$sample" >past.json
printf 'keep' >past.xml
if run --host-data past.json --business-kind 1 --output past.xml >/dev/null; then
  fail "past-results data was exported"
fi
grep -q '過去実績データは、連携の対象として使用できません。' err.txt ||
  fail "past-results message missing: $(cat err.txt)"
[ "$(cat past.xml)" = "keep" ] || fail "past-results run changed the destination"

# A business kind the data does not offer, an unreadable data file, a missing folder.
sed 's/"businessKinds": 3/"businessKinds": 1/' "$sample" >general.json
run --host-data general.json --business-kind 2 --output kind.xml >/dev/null &&
  fail "business kind 2 accepted for general-only data"
[ -f kind.xml ] && fail "refused run wrote a document"
run --host-data missing.json --business-kind 1 --output x.xml >/dev/null && fail "missing data file accepted"
run --host-data "$sample" --business-kind 1 --output no/such/dir/x.xml >/dev/null &&
  fail "unwritable destination reported as success"
grep -q 'failed' err.txt || fail "no message for a failed write: $(cat err.txt)"

# The command line.
run --help >help.txt || fail "--help exit status"
for option in --host-data --business-kind --output --function-id --edition; do
  grep -q -- "$option" help.txt || fail "--help does not explain $option"
done
run >/dev/null; [ $? -eq 2 ] || fail "no arguments: exit status is not 2"
run --host-data "$sample" --business-kind 4 --output x.xml >/dev/null; [ $? -eq 2 ] ||
  fail "business kind 4: exit status is not 2"
run --host-data "$sample" --business-kind 1 --output x.xml --edition gold >/dev/null; [ $? -eq 2 ] ||
  fail "edition gold: exit status is not 2"
run --host-data "$sample" --business-kind 1 --output x.xml --function-id 2x >/dev/null; [ $? -eq 2 ] ||
  fail "function id 2x: exit status is not 2"

leftover=$(ls | grep -v -e '\.xml$' -e '\.json$' -e '\.txt$' -e '\.raw$' || true)
[ -z "$leftover" ] || fail "files left behind: $leftover"

[ $failures -eq 0 ] && echo "velnor-export: all checks passed"
exit $failures
