#!/usr/bin/env bash
# Fails when a folder includes one that is not below it. The folders are layers, ranked
#   base < patterns < engine < search < {protocol, web} < bench < tests
# and each includes only folders of a lower rank (protocol and web not each other).
#
# Every include line of every .h and .cpp under the eight folders counts, whether git
# tracks the file or not: quoted or angled, indented, with blanks after the '#', and
# relative paths with ./ or ../. A quoted include is resolved as the compiler does: beside
# the including file first, then from the top of the tree (the include path); an angled
# one from the top only, and counts when its first path part is a folder name.
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
# The path with . and .. resolved, from the folder dir ("" for the top); "" when it climbs
# out of the tree.
function normalized(dir, path,    parts, stack, depth, count, i, out) {
  depth = dir == "" ? 0 : split(dir, stack, "/")
  count = split(path, parts, "/")
  for (i = 1; i <= count; ++i) {
    if (parts[i] == "" || parts[i] == ".") continue
    if (parts[i] == "..") { if (depth == 0) return ""; --depth; continue }
    stack[++depth] = parts[i]
  }
  out = ""
  for (i = 1; i <= depth; ++i) out = out (i > 1 ? "/" : "") stack[i]
  return out
}
function exists(file,    line, status) {
  status = (getline line < file)
  close(file)
  return status >= 0
}
# The folder of a resolved path, when it names a file inside one.
function layerOf(path,    first) {
  if (path !~ /\//) return ""
  first = path
  sub(/\/.*/, "", first)
  return first in rank ? first : ""
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
  if (directive ~ /</) {
    # Angled: found through the include path only, which is the top of the tree.
    to = layerOf(normalized("", path))
  } else {
    # Quoted: beside the including file first, then through the include path; a file that
    # exists in neither place still names the folder it points into.
    besideIt = normalized(dir, path)
    fromTop = normalized("", path)
    if (besideIt != "" && exists(besideIt)) to = layerOf(besideIt)
    else if (fromTop != "" && exists(fromTop)) to = layerOf(fromTop)
    else if (path ~ /^\.\.?\//) to = layerOf(besideIt)
    else to = layerOf(fromTop) != "" ? layerOf(fromTop) : layerOf(besideIt)
  }
  if (to == "") next
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
