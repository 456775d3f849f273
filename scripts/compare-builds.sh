#!/usr/bin/env bash
# Converts the same workbooks with two builds of quillon and compares what
# they write: every page, the --dump listing, the messages and exit status.
#
#   bash scripts/compare-builds.sh REF_QUILLON NEW_QUILLON [WORKBOOK|FOLDER ...]
#
# Without workbooks it takes ../shared/corpus (or $QUILLON_SHARED/corpus) and the benchmark workbooks
# in /tmp (bench/make-workbooks.sh writes them). Prints each difference and
# exits 1 when there is one.
set -uo pipefail
if [ $# -lt 2 ]; then
    sed -n '2,9p' "$0"
    exit 2
fi
ref=$(realpath "$1")
new=$(realpath "$2")
shift 2
here=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -eq 0 ]; then
    set -- "${QUILLON_SHARED:-$here/../shared}/corpus" /tmp/quillon-bench
fi
books=()
for arg in "$@"; do
    if [ -d "$arg" ]; then
        while IFS= read -r f; do books+=("$f"); done < <(find "$arg" -maxdepth 1 -iname '*.xls' | sort)
    elif [ -f "$arg" ]; then
        books+=("$arg")
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One build's output for one workbook, under $3.
convert() {
    local quillon=$1 book=$2 out=$3
    mkdir -p "$out/pages"
    "$quillon" "$book" "$out/pages/page.htm" >"$out/convert.out" 2>"$out/convert.err"
    echo $? >"$out/convert.status"
    "$quillon" --dump "$book" >"$out/dump.out" 2>"$out/dump.err"
    echo $? >"$out/dump.status"
}

differ=0
for book in "${books[@]}"; do
    name=$(basename "$book")
    convert "$ref" "$book" "$work/ref"
    convert "$new" "$book" "$work/new"
    if ! diff -rq "$work/ref" "$work/new" >"$work/diff"; then
        echo "DIFFERS: $book"
        sed 's/^/  /' "$work/diff"
        differ=1
    fi
    rm -rf "$work/ref" "$work/new"
done
echo "${#books[@]} workbooks compared"
exit $differ
