#!/usr/bin/env bash
# Fails when two folders include each other: the layers run one way, base <- patterns <-
# engine <- search <- protocol, with bench, tests and web on top.
cd "$(dirname "$0")/.."
git grep -E '^#include "[a-z_]+/' -- '*.h' '*.cpp' | sed -E 's|^([^/]+)/.*#include "([a-z_]+)/.*|\1 \2|' |
  awk '$1 != $2 { edge[$1" "$2] = 1 } END { for (e in edge) { split(e, f, " "); if ((f[2]" "f[1]) in edge && f[1] < f[2]) { print "cycle: " f[1] " <-> " f[2]; bad = 1 } } exit bad }'
