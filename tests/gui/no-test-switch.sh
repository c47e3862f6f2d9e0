#!/bin/sh
# Usage: no-test-switch.sh NAME TEST_BUILD SHIPPED...
# NAME must be in the test build (so that the search can find it at all) and in none of
# the shipped programs.
set -u
name=$1 test_build=$2
shift 2
status=0
if ! strings -a "$test_build" | grep -q -F "$name"; then
  echo "not found in the test build $test_build: $name" >&2
  status=1
fi
for exe in "$@"; do
  if strings -a "$exe" | grep -q -F "$name"; then
    echo "$exe carries $name" >&2
    status=1
  fi
done
exit $status
