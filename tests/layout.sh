#!/usr/bin/env bash
# The README's Layout table against the tree: every folder of src/ has its row, and every unit
# in a folder is named in that folder's row, so that a unit added or moved is documented too.
# Usage: layout.sh path/to/source/tree
set -u
root=$1
failed=0
for dir in "$root"/src/*/; do
  folder=$(basename "$dir")
  row=$(grep -F "| \`src/$folder/\` |" "$root/README.md")
  if [ -z "$row" ]; then
    echo "FAIL: src/$folder/ has no row in the README's Layout table"
    failed=1
    continue
  fi
  for file in "$dir"*.cpp "$dir"*.h; do
    unit=$(basename "$file")
    stem=${unit%.*}
    case "$row" in
      *"\`$stem\`"* | *"\`$unit\`"*) ;;
      *)
        echo "FAIL: src/$folder/$unit is not named in the src/$folder/ row"
        failed=1
        ;;
    esac
  done
done
[ "$failed" = 0 ] && echo "ok: every folder and unit of src/ is in the README's Layout table"
exit "$failed"
