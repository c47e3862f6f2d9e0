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

# Refusals of the host data file, before anything is written: each row names the file,
# what makes it unusable, the message's cause and the options added. The output (when
# the row names one) is an old file that must stay as it was.
printf 'keep' >keep.xml
cp "$sample" self.json
ln self.json hard.json
ln -s self.json soft.json
mkdir folder.json
sed 's/"rounding": 0/"rounding": 7/' "$sample" >rounding.json
{ cat "$sample"; printf '\0 {{{ junk'; } >zero-byte.json
{ cat "$sample"; printf ' {{{ junk'; } >junk.json
refused_data() {
  what=$1 data=$2 output=$3 cause=$4
  shift 4
  run --host-data "$data" --business-kind 1 --output "$output" "$@" >/dev/null &&
    fail "$what: accepted"
  grep -q -- "$cause" err.txt || fail "$what: $(cat err.txt)"
  grep -q 'writing' err.txt && fail "$what: named as a write failure: $(cat err.txt)"
}
refused_data "output is the host data file" self.json self.json \
  'host data file self.json: it is the output file self.json itself; nothing was written'
refused_data "output is a hard link of it" self.json hard.json 'it is the output file hard.json itself'
refused_data "output is a symbolic link to it" self.json soft.json 'it is the output file soft.json itself'
refused_data "host data is a symbolic link to the output" soft.json self.json 'it is the output file self.json itself'
cmp -s self.json "$sample" || fail "the host data file was changed"
refused_data "host data is a folder" folder.json keep.xml 'host data file folder.json: it is not a plain file'
refused_data "host data beyond the limit" "$sample" keep.xml \
  'it is larger than 100 bytes, the limit (--max-host-data)' --max-host-data 100
refused_data "rounding code 7" rounding.json keep.xml \
  "the selected data's rounding code is 7, not 0, 1 or 2; nothing was written"
refused_data "a NUL byte after the document" zero-byte.json keep.xml \
  'host data file zero-byte.json: not valid JSON: a NUL byte at line'
refused_data "more after the document" junk.json keep.xml 'expected end of input'
if [ -z "$runner" ]; then
  mkfifo fifo.json
  refused_data "host data is a FIFO" fifo.json keep.xml 'fifo.json: it is not a plain file'
  refused_data "host data is a device" /dev/zero keep.xml '/dev/zero: it is not a plain file'
  rm -f fifo.json
fi
[ "$(cat keep.xml)" = "keep" ] || fail "a refused run changed the destination"
run --host-data "$sample" --business-kind 1 --output x.xml --max-host-data "$(wc -c <"$sample")" \
  >/dev/null || fail "host data of exactly the limit refused: $(cat err.txt)"
rm -rf folder.json hard.json soft.json

# Host data too large for the memory there is ends in a message, not an abort. Not under
# the sanitizers, whose shadow memory needs more address space than any limit allows.
if [ -z "$runner" ] && [ -z "${VELNOR_TEST_SANITIZERS:-}" ]; then
  { printf '{"dataSets": [], "pad": "'; head -c 33554432 /dev/zero | tr '\0' a; printf '"}'; } >big.json
  (ulimit -v 98304 && exec "$tool" --host-data big.json --business-kind 1 --output x.xml) \
    >/dev/null 2>err.txt
  status=$?
  [ $status -eq 1 ] || fail "out of memory: exit status $status ($(cat err.txt))"
  grep -q 'velnor-export: out of memory' err.txt || fail "out of memory: $(cat err.txt)"
  rm -f big.json
fi

# A failed write names its cause, and the old file only where there was one, which stays
# as it was. write_to runs the tool on an output, started through a wrapper (another user)
# or not, and keeps what the output holds afterwards in after.txt; check_write then takes
# the row: what, the output, the cause, "old" when an old file was there, the status.
write_to() {
  if [ -n "$2" ]; then
    $2 "$work/as-other/velnor-export" --host-data "$work/as-other/HostData.json" \
      --business-kind 1 --output "$1" >/dev/null 2>err.txt
  else
    run --host-data "$sample" --business-kind 1 --output "$1" >/dev/null
  fi
  status=$?
  if [ -f "$1" ]; then cat "$1" >after.txt; else : >after.txt; fi
  return $status
}
check_write() {
  [ "$5" -eq 1 ] || fail "$1: exit status $5 ($(cat err.txt))"
  grep -q -- "writing $2 failed: $3" err.txt || fail "$1: $(cat err.txt)"
  if [ "$4" = old ]; then
    grep -q 'failed: .*; the old file was left as it was$' err.txt ||
      fail "$1: the old file is not named: $(cat err.txt)"
    [ "$(cat after.txt)" = old ] || fail "$1: the old file changed"
  elif grep -q 'old file' err.txt; then
    fail "$1: names an old file where there was none: $(cat err.txt)"
  fi
}
mkdir in-the-way
write_to no/such/dir/x.xml ""
check_write "missing folder" no/such/dir/x.xml 'the folder does not exist' new $?
write_to in-the-way ""
check_write "folder in the way" in-the-way 'a folder is in the way' new $?
rm -rf in-the-way

# Links: the document goes to the file a link names, and the link stays; a link on the
# folder's part of the path is followed; a link that leads nowhere is refused (under Wine,
# which shows it as no file at all, the move refuses it) and stays a link.
mkdir real
ln -s real via.xml.d
printf old >target.xml
ln -s target.xml link.xml
for row in "link to a file:link.xml:target.xml" "link to a folder, new file:via.xml.d/new.xml:real/new.xml" \
  "link to a folder, old file:via.xml.d/old.xml:real/old.xml"; do
  what=${row%%:*} rest=${row#*:}
  output=${rest%%:*} written=${rest#*:}
  [ "$what" = "link to a folder, old file" ] && printf old >real/old.xml
  run --host-data "$sample" --business-kind 1 --output "$output" >/dev/null ||
    fail "$what: exit status $? ($(cat err.txt))"
  grep -q '</REPORT>' "$written" || fail "$what: $written does not hold the document"
done
[ -L link.xml ] && [ -L via.xml.d ] || fail "a link was replaced"
ls real | grep -q '\.tmp$' && fail "a temporary file was left in the linked folder"
ln -s none.xml dangling.xml
write_to dangling.xml ""
status=$?
if [ -z "$runner" ]; then
  check_write "dangling link" dangling.xml 'it is a symbolic link whose target does not exist' new $status
else
  [ $status -eq 1 ] || fail "dangling link: exit status $status"
  grep -q 'old file' err.txt && fail "dangling link: names an old file: $(cat err.txt)"
fi
[ -L dangling.xml ] && [ ! -e none.xml ] || fail "the dangling link was replaced or followed"
rm -rf real via.xml.d target.xml link.xml dangling.xml

# Windows' device names are no files, in any folder, case or form; nothing is written.
if [ -n "$runner" ]; then
  for output in NUL nul.xml sub/Con COM1 'lpt9.txt' 'aux .xml' 'CONOUT$'; do
    write_to "$output" ""
    check_write "device name $output" "$output" 'it is a device name, not a file' new $?
  done
fi
if [ -z "$runner" ]; then
  write_to keep.xml/x.xml ""
  check_write "a file in a folder's place" keep.xml/x.xml 'a part of the path is not a folder' new $?
  write_to /dev/full ""
  check_write "a device" /dev/full 'it is not a plain file' new $?

  # Permissions bite only below root: as root these rows run as nobody (setpriv), and
  # are skipped where that cannot be done.
  # The tool and the sample are copied into the test's folder, which the other user can
  # reach, whatever the checkout's own folders allow.
  as=""
  if [ "$(id -u)" -eq 0 ]; then
    as="setpriv --reuid=65534 --regid=65534 --clear-groups"
    chmod 0755 "$work"
    mkdir as-other
    cp "$tool" "$sample" as-other/
    $as "$work/as-other/velnor-export" --help >/dev/null 2>&1 || as=skip
  fi
  if [ "$as" = skip ]; then
    echo "SKIP: permission rows (cannot run as another user)"
  else
    mkdir locked open
    printf 'old' >locked/old.xml
    printf 'old' >open/old.xml
    chmod 0555 locked
    chmod 0777 open
    chmod 0444 open/old.xml
    printf 'old' >locked/writable.xml
    chmod 0666 locked/writable.xml
    write_to locked/new.xml "$as"
    check_write "no permission" locked/new.xml 'no permission to write in folder locked' new $?
    write_to locked/writable.xml "$as"
    check_write "a writable file, no permission in its folder" locked/writable.xml \
      'no permission to write in folder locked (Permission denied)' old $?
    write_to locked/old.xml "$as"
    check_write "no permission, old file" locked/old.xml 'no permission' old $?
    write_to open/old.xml "$as"
    check_write "read-only file" open/old.xml 'the file is read-only' old $?
    chmod 0700 locked
    rm -rf locked open
  fi
  rm -rf as-other

  # A file system of its own in a private mount namespace: 4 KiB, where the document does
  # not fit, or read-only. What the output holds is copied out before the namespace ends.
  on_own_fs() {
    unshare -rm sh -c '
      mount -t tmpfs -o size=4k tmpfs fs || exit 99
      if [ "$2" = old ]; then printf old >fs/out.xml; fi
      if [ "$1" = ro ]; then mount -o remount,ro fs || exit 99; fi
      "$0" --host-data "$3" --business-kind 1 --output fs/out.xml >/dev/null 2>err.txt
      status=$?
      cat fs/out.xml >after.txt 2>/dev/null || : >after.txt
      exit $status' "$tool" "$1" "$2" "$sample"
  }
  mkdir fs
  if unshare -rm sh -c 'mount -t tmpfs tmpfs fs' 2>/dev/null; then
    on_own_fs full new
    check_write "disk full" fs/out.xml 'the disk is full' new $?
    on_own_fs full old
    check_write "disk full, old file" fs/out.xml 'the disk is full' old $?
    on_own_fs ro old
    check_write "read-only file system" fs/out.xml 'the file system is read-only' old $?
  else
    echo "SKIP: disk-full and read-only rows (no private mount namespace)"
  fi
  rmdir fs
fi

if [ -z "$runner" ]; then
  # Beyond the file size limit (ulimit -f, in 512-byte blocks) the write fails with its
  # cause; the process is not ended by SIGXFSZ, and the old file stays.
  printf old >limit.xml
  (ulimit -f 1 && exec "$tool" --host-data "$sample" --business-kind 1 --output limit.xml) \
    >/dev/null 2>err.txt
  status=$?
  cat limit.xml >after.txt
  check_write "file size limit" limit.xml 'the file size limit was reached' old $status

  # A final rename that really fails after the document is written: a file bind-mounted
  # onto the destination in a private mount namespace (rename() over a mount point answers
  # EBUSY, which no check before it sees). The mounted file stays, and no temporary file.
  printf under >mounted.xml
  printf old >source.txt
  if unshare -rm sh -c 'mount --bind source.txt mounted.xml' 2>/dev/null; then
    unshare -rm sh -c '
      mount --bind "$2" mounted.xml || exit 99
      "$0" --host-data "$1" --business-kind 1 --output mounted.xml >/dev/null 2>err.txt
      status=$?
      cat mounted.xml >after.txt
      mountpoint -q mounted.xml || echo unmounted >>after.txt
      exit $status' "$tool" "$sample" source.txt
    status=$?
    check_write "rename over a mount point" mounted.xml 'the file is in use by the system (a mount point)' old $status
    [ "$(cat mounted.xml)" = under ] || fail "rename over a mount point: the file under it changed"
  else
    echo "SKIP: rename over a mount point (unshare -rm cannot make a private mount namespace here)"
  fi
  rm -f source.txt mounted.xml

  # strace makes calls fail or be interrupted where a test cannot reach otherwise.
  if ! command -v strace >/dev/null 2>&1; then
    echo "SKIP: signal at the temporary file's creation, and a temporary file that cannot be removed (no strace)"
  elif ! strace -o /dev/null true 2>/dev/null; then
    echo "SKIP: signal at the temporary file's creation, and a temporary file that cannot be removed (strace cannot trace here)"
  else
    # A signal delivered as the temporary file is created, before its name could be known
    # to the handler: it waits until the file is registered, so none is left. The call's
    # number among the openat calls is found by one run.
    printf old >race.xml
    strace -f -e trace=openat -o trace.txt "$tool" --host-data "$sample" --business-kind 1 \
      --output race.xml >/dev/null 2>&1
    n=$(grep -v -e '^[0-9]* *+++' -e '^[0-9]* *---' trace.txt | grep -n 'race\.xml\.~velnor-.*O_EXCL' |
      head -1 | cut -d: -f1)
    if [ -z "$n" ]; then
      fail "signal at creation: the creating openat was not found"
    else
      printf old >race.xml
      strace -f -o /dev/null -e trace=openat -e inject=openat:signal=SIGINT:when=$n \
        "$tool" --host-data "$sample" --business-kind 1 --output race.xml >/dev/null 2>err.txt
      ls | grep -q '^race\.xml\..*\.tmp$' && fail "signal at creation: a temporary file was left"
      [ "$(cat race.xml)" = old ] || fail "signal at creation: the old file changed"
    fi
    rm -f trace.txt race.xml race.xml.*

    # A temporary file that can neither be moved nor removed (both calls made to fail as
    # on a folder made read-only meanwhile) is named.
    printf old >stuck.xml
    strace -f -o /dev/null -e trace=renameat,renameat2,rename,unlinkat,unlink \
      -e inject=renameat,renameat2,rename:error=EROFS -e inject=unlinkat,unlink:error=EROFS \
      "$tool" --host-data "$sample" --business-kind 1 --output stuck.xml >/dev/null 2>err.txt
    status=$?
    cat stuck.xml >after.txt
    check_write "temporary file left" stuck.xml 'the file system is read-only' old $status
    left=$(ls | grep '^stuck\.xml\.~velnor-[0-9a-z]*\.tmp$')
    grep -q "; the temporary file $left may be left behind;" err.txt ||
      fail "temporary file left: not named ($left): $(cat err.txt)"
    rm -f stuck.xml stuck.xml.~velnor-*
  fi
fi

# The command line.
run --help >help.txt || fail "--help exit status"
for option in --host-data --business-kind --output --function-id --edition --max-host-data; do
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
