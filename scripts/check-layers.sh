#!/usr/bin/env bash
# Holds the source folders to their layers. A folder includes project headers
# only from itself and the folders before it in LAYERS; the engine folders
# draw on Canvas and include no Qt at all, and image/ no Qt Widgets header.
# Usage: scripts/check-layers.sh [QT_WIDGETS_INCLUDE_DIR]
set -uo pipefail
cd "$(dirname "$0")/.."
widgets_dir="${1:-}"

LAYERS=(platform address html image layout builder net viewer frames print tools app)
NO_QT=(html layout builder)
NO_WIDGETS=(image)

failed=0
fail() { echo "$1"; failed=1; }

includes() { # folder -> "file:line:included" for every #include in the folder
    grep -rnoE --include='*.cpp' --include='*.h' '^#include [<"][^>"]+[>"]' "$1" 2>/dev/null |
        sed -E 's/#include [<"]([^>"]+)[>"]$/\1/'
}

for ((i = 0; i < ${#LAYERS[@]}; i++)); do
    folder=${LAYERS[$i]}
    [ -d "$folder" ] || continue
    while IFS=: read -r file line header; do
        top=${header%%/*}
        for ((j = i + 1; j < ${#LAYERS[@]}; j++)); do
            [ "$top" = "${LAYERS[$j]}" ] && fail "$file:$line: $folder/ includes $header from a later layer"
        done
    done < <(includes "$folder")
done

is_widget_header() {
    case "$1" in QtWidgets/* | QtPrintSupport/*) return 0 ;; esac
    [ -n "$widgets_dir" ] && [ -e "$widgets_dir/$1" ]
}

for folder in "${NO_QT[@]}"; do
    while IFS=: read -r file line header; do
        case "$header" in Q* | qt*) fail "$file:$line: engine code includes the Qt header $header" ;; esac
    done < <(includes "$folder")
done
for folder in "${NO_WIDGETS[@]}"; do
    while IFS=: read -r file line header; do
        is_widget_header "$header" && fail "$file:$line: engine code includes the Qt Widgets header $header"
    done < <(includes "$folder")
done

[ "$failed" -eq 0 ] && echo "layers: every include follows ${LAYERS[*]}"
exit "$failed"
