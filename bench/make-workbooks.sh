#!/usr/bin/env bash
# Writes the benchmark workbooks into DIR (default /tmp/quillon-bench):
# bench1k.xls and bench65k.xls (1,000 and 65,000 rows of 16 columns, from
# ../shared/bench/make_workbook.py), merge1.xls and merge8.xls (one and eight
# merged areas over the whole sheet). Existing files are kept.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:-/tmp/quillon-bench}
mkdir -p "$dir"
# The shared folder beside the repository (QUILLON_SHARED names another).
shared=${QUILLON_SHARED:-$here/../../shared}
maker="$shared/bench/make_workbook.py"
[ -f "$dir/bench1k.xls" ] || /usr/bin/python3 "$maker" 1000 "$dir/bench1k.xls"
[ -f "$dir/bench65k.xls" ] || /usr/bin/python3 "$maker" 65000 "$dir/bench65k.xls"
[ -f "$dir/merge1.xls" ] || /usr/bin/python3 "$here/make_merge_workbook.py" 1 "$dir/merge1.xls"
[ -f "$dir/merge8.xls" ] || /usr/bin/python3 "$here/make_merge_workbook.py" 8 "$dir/merge8.xls"
ls -l "$dir"
