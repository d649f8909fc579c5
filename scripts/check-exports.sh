#!/usr/bin/env bash
# check-exports.sh <module>: the module's exported symbols must be exactly those of
# cmake/plugin_exports.allow. Reads an ELF module's dynamic symbol table (nm -D) or a
# Windows DLL's export table (objdump -p of MinGW-w64's binutils).
set -euo pipefail
cd "$(dirname "$0")/.."

module=${1:?usage: check-exports.sh <module file>}
case "$module" in
  *.dll) kind=windows ;;
  *) kind=elf ;;
esac
allowed=$(awk -v kind="$kind" '!/^#/ && NF > 0 && (NF == 1 || $2 == kind) {print $1}' \
  cmake/plugin_exports.allow | sort -u)
case "$kind" in
  windows)
    # The names of the export table's name pointer table, one per line after its heading.
    exported=$(x86_64-w64-mingw32-objdump -p "$module" |
      awk '/^\[Ordinal\/Name Pointer\] Table/ {table = 1; next} table && NF == 0 {table = 0}
           table {print $NF}' | sort -u) ;;
  *)
    exported=$(nm -D --defined-only "$module" | awk '{print $3}' | sort -u) ;;
esac

if [ "$exported" != "$allowed" ]; then
  echo "check-exports: $module exports other symbols than cmake/plugin_exports.allow" >&2
  echo "(< exported but not allowed, > allowed but not exported):" >&2
  diff <(echo "$exported") <(echo "$allowed") | grep '^[<>]' | while read -r side symbol; do
    echo "  $side $symbol   ($(c++filt "$symbol"))" >&2
  done
  exit 1
fi
echo "check-exports: $module exports exactly the $(wc -l <<<"$allowed") allowed symbols"
