#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives every source file of Tamberlo the line naming its licence:
#   scripts/spdx.sh          adds "SPDX-License-Identifier: GPL-3.0-or-later"
#                            where it is missing (idempotent)
#   scripts/spdx.sh --check  lists the files without it; exit 1 if any
# Sources are the C, C++, CMake, shell and Python files git knows or would
# add. Left alone, since they are compared or copied byte for byte: the text
# a run copies into generated projects (src/modlib/templates/, theirs to
# keep as they are), golden files, fuzzing seeds and the hand-written
# firmware samples that stand in for a user's project.
# The line goes first, or after a "#!" line, as a comment of the file's kind.
set -euo pipefail
cd "$(dirname "$0")/.."
readonly tag="SPDX-License-Identifier: GPL-3.0-or-later"

check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *) echo "usage: scripts/spdx.sh [--check]" >&2; exit 2 ;;
esac

sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard
  else
    find . -path ./.git -prune -o -path './build*' -prune -o -type f -print | sed 's|^\./||'
  fi | grep -E '(\.(c|h|cpp|hpp|cmake|sh|py)|(^|/)CMakeLists\.txt)$' |
    grep -Ev '^(src/modlib/templates|tests/golden|tests/fuzz/corpus|tests/firmware/samples)/' |
    while IFS= read -r f; do [ -f "$f" ] && printf '%s\n' "$f"; done | sort
}

missing=()
while IFS= read -r f; do
  head -n 2 "$f" | grep -Eq '^(//|#) SPDX-License-Identifier: ' || missing+=("$f")
done < <(sources)

if [ "$check" = 1 ]; then
  if [ ${#missing[@]} -gt 0 ]; then
    echo "no SPDX-License-Identifier line (run scripts/spdx.sh):" >&2
    printf '  %s\n' "${missing[@]}" >&2
    exit 1
  fi
  exit 0
fi

for f in "${missing[@]}"; do
  case "$f" in
    *.c | *.h | *.cpp | *.hpp) line="// $tag" ;;
    *) line="# $tag" ;;
  esac
  tmp="$f.spdx.tmp$$"
  if head -n 1 "$f" | grep -q '^#!'; then
    { head -n 1 "$f"; printf '%s\n' "$line"; tail -n +2 "$f"; } >"$tmp"
  else
    { printf '%s\n' "$line"; cat "$f"; } >"$tmp"
  fi
  chmod --reference="$f" "$tmp"
  mv "$tmp" "$f"
  echo "added: $f"
done
