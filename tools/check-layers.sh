#!/usr/bin/env bash
# Fails when a folder includes one that is not below it. The folders are layers, ranked
#   base < patterns < engine < search < {protocol, web} < bench < tests
# and each includes only folders of a lower rank (protocol and web not each other).
#
# Every include line of every .h and .cpp under the eight folders counts, whether git
# tracks the file or not: quoted or angled, indented, with blanks after the '#', and
# relative paths with ../, which are resolved from the including file's folder. An angled
# include counts when its first path part is a folder name; a quoted one names a folder by
# its first path part, or is a file beside the including one.
#
#   tools/check-layers.sh [TREE]    (TREE defaults to the checkout this script is in)
set -euo pipefail

tree=${1:-"$(dirname "$0")/.."}
layers=(base patterns engine search protocol web bench tests)

cd "$tree" 2>/dev/null || { echo "check-layers: cannot enter $tree" >&2; exit 2; }
for layer in "${layers[@]}"; do
  if [ ! -d "$layer" ] || [ ! -r "$layer" ]; then
    echo "check-layers: $(pwd) has no readable folder $layer/: not an engine tree" >&2
    exit 2
  fi
done

files=$(find "${layers[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -not -path '*/build/*' | sort)
[ -n "$files" ] || { echo "check-layers: no .h or .cpp file under $(pwd)" >&2; exit 2; }

# shellcheck disable=SC2086  # file names of the tree have no blanks
awk -v layers="${layers[*]}" '
BEGIN {
  split("0 1 2 3 4 4 5 6", ranks, " ")
  n = split(layers, names, " ")
  for (i = 1; i <= n; ++i) rank[names[i]] = ranks[i]
}
# The first folder of a path, after resolving . and .. from the folder dir; "" when the
# path climbs out of the tree.
function resolvedLayer(dir, path,    parts, stack, depth, count, i) {
  depth = split(dir, stack, "/")
  count = split(path, parts, "/")
  for (i = 1; i <= count; ++i) {
    if (parts[i] == "" || parts[i] == ".") continue
    if (parts[i] == "..") { if (depth == 0) return ""; --depth; continue }
    stack[++depth] = parts[i]
  }
  return depth >= 2 ? stack[1] : ""
}
{
  if (!match($0, /^[ \t]*#[ \t]*include[ \t]*[<"][^>"]+[>"]/)) next
  directive = substr($0, RSTART, RLENGTH)
  path = directive
  sub(/^[ \t]*#[ \t]*include[ \t]*[<"]/, "", path)
  sub(/[>"]$/, "", path)
  from = FILENAME
  sub(/\/.*/, "", from)
  dir = FILENAME
  sub(/\/[^\/]*$/, "", dir)
  first = path
  sub(/\/.*/, "", first)
  if (directive ~ /</) {
    if (path !~ /\// || !(first in rank)) next
    to = first
  } else if (first == "." || first == "..") {
    to = resolvedLayer(dir, path)
    if (!(to in rank)) next
  } else if (path ~ /\// && first in rank) {
    to = first
  } else {
    next  # a file beside the including one
  }
  if (to == from || rank[to] < rank[from]) next
  below = ""
  for (i = 1; i <= n; ++i) if (rank[names[i]] < rank[from]) below = below (below == "" ? "" : ", ") names[i]
  printf "check-layers: %s:%d includes %s/ (%s); %s/ may include only %s\n", FILENAME, FNR, to,
         directive, from, below == "" ? "nothing" : below
  bad = 1
}
END {
  if (bad) {
    print "check-layers: the folders must include one way: base < patterns < engine < search < {protocol, web} < bench < tests"
    exit 1
  }
}' $files

echo "check-layers: $(echo "$files" | wc -l) files, every include runs down the layers"
