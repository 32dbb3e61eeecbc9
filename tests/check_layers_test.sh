#!/usr/bin/env bash
# Plants back-includes of every form into a scratch copy of the layer folders (no git, as
# in a tarball) and expects tools/check-layers.sh to fail on each, and to pass on the copy
# as it is.
set -euo pipefail
source_tree=$(cd "$(dirname "$0")/.." && pwd)
check="$source_tree/tools/check-layers.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
layers=(base patterns engine search protocol web bench tests)
for layer in "${layers[@]}"; do cp -r "$source_tree/$layer" "$scratch/"; done
failures=0

expect() {  # expect pass|fail DESCRIPTION
  local want=$1 what=$2 status=0
  "$check" "$scratch" > "$scratch.out" 2>&1 || status=$?
  if { [ "$want" = pass ] && [ "$status" != 0 ]; } || { [ "$want" = fail ] && [ "$status" = 0 ]; }; then
    echo "FAILED: $what: expected the check to $want, it exited $status:"
    cat "$scratch.out"
    failures=$((failures + 1))
  fi
  rm -f "$scratch.out"
}

# plant pass|fail FILE LINE: the line at the end of the file, checked, then the file restored.
plant() {
  local want=$1 file=$2 line=$3
  cp "$scratch/$file" "$scratch/$file.orig"
  printf '%s\n' "$line" >> "$scratch/$file"
  expect "$want" "$line in $file"
  mv "$scratch/$file.orig" "$scratch/$file"
}

expect pass "the tree as it is"
plant fail engine/engine.cpp '#include "../search/clock.h"'
plant fail engine/make_move.cpp '    #include "search/clock.h"'
plant fail engine/make_move.cpp '# include "search/clock.h"'
plant fail patterns/tables.cpp '#include <search/clock.h>'
plant fail patterns/tables.cpp '#include"./../engine/engine.h"'
plant fail search/pvs.cpp '#include "protocol/not_written_yet.h"'
plant fail protocol/output.cpp '#include "web/quillmot_api.h"'
plant fail web/quillmot_api.cpp '#include "protocol/output.h"'
plant fail search/pvs.cpp '#include "bench/positions.h"'
# A cycle of three folders: base reaches protocol, which reaches base through engine.
plant fail base/cell.h '#include "protocol/settings.h"'
# Includes that stay within a folder or go down are fine, however written.
plant pass tests/fuzz/engine_case.h '#include "../../tests/test_util.h"'
plant pass search/pvs.cpp '#include <engine/engine.h>'
plant pass search/pvs.cpp '#include "ordering.h"'
# A file git would not know of.
printf '#include "protocol/output.h"\n' > "$scratch/engine/planted.h"
expect fail "a new untracked engine/planted.h including protocol/"
rm "$scratch/engine/planted.h"
expect pass "the tree restored"

# A tree that cannot be read fails loudly.
rm -r "$scratch/search"
expect fail "a tree without search/"

[ "$failures" = 0 ] && echo "check-layers: every planted back-include was caught"
exit "$failures"
