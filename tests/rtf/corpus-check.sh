#!/usr/bin/env bash
# corpus-check.sh SHARED_DIR QUORVEL_RTF MIN_PERCENT
# Runs the shared corpus checker on our reader and fails below MIN_PERCENT.
set -uo pipefail
shared=$1 tool=$2 min=$3
checker=$shared/tools/rtf-corpus-check
if [ ! -x "$checker" ] && [ ! -f "$checker" ]; then
  echo "no corpus checker at $checker: skipped"
  exit 77
fi
for t in unrtf pandoc; do
  command -v $t >/dev/null || { echo "$t is not installed (tools/deps.sh installs it)"; exit 1; }
done
# The extractors write the pictures they meet into the current folder: a
# scratch folder takes them.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
out=$(cd "$scratch" && python3 "$checker" "$shared/corpus/rtf" -- "$tool" --text 2>&1)
echo "$out"
if [[ ! $out =~ (^|$'\n')agreement:\ ([0-9]+)\ of\ ([0-9]+) ]] || [ "${BASH_REMATCH[3]}" -eq 0 ]; then
  echo "the checker printed no agreement figure"
  exit 1
fi
agree=${BASH_REMATCH[2]} total=${BASH_REMATCH[3]}
if [ $((agree * 100)) -lt $((min * total)) ]; then
  echo "agreement $agree of $total is below $min%"
  exit 1
fi
echo "agreement $agree of $total: at least $min%"
