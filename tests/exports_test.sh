#!/bin/sh
# The built plugin exports exactly its version record and its two entry points.
# Usage: exports_test.sh LIBRARY OBJDUMP NM
set -eu
library=$1
objdump=$2
nm=$3
case "$library" in
  *.dll)
    # The names of the export table, one a line.
    names=$("$objdump" -p "$library" |
      sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed 1d | awk 'NF { print $NF }')
    ;;
  *)
    names=$("$nm" -D --defined-only "$library" | awk '{ print $3 }')
    ;;
esac
names=$(printf '%s\n' $names | sort | tr '\n' ' ')
expected="SKSEPlugin_Load SKSEPlugin_Query SKSEPlugin_Version "
if [ "$names" != "$expected" ]; then
  echo "exports of $library: $names"
  echo "expected: $expected"
  exit 1
fi
echo "exports of $library: $names"
