#!/usr/bin/env bash
# Compares our table cell widths with headless Chromium's on the golden table
# pages: chromium_tables.sh [LAYOUT_DRIVER [PAGE...]], by default
# build-test/tests/builder/layout_driver on tests/data/layout/table_*.htm.
#
# Both sides measure text in the same square font: ours with the recording
# canvas (8 pixels a character), Chromium with the test font "Ahem" at 8
# pixels, built by tests/support/make_test_font.py. Chromium reads each page
# in quirks mode as it stands, with a 10-pixel body margin like ours and the
# page's "<!-- width=N -->" as its window width; a script writes every cell's
# outer width (getBoundingClientRect) into the page it dumps. Ours come from
# the layout dump: a cell's width there holds the spacing before it, which is
# taken off with the table's own spacing and border. Prints each table whose
# cells differ by more than 2 pixels (every table with VERBOSE=1), then the
# counts.
set -euo pipefail
cd "$(dirname "$0")/../.."
driver="${1:-build-test/tests/builder/layout_driver}"
shift || true
pages=("$@")
[ ${#pages[@]} -gt 0 ] || pages=(tests/data/layout/table_*.htm)
command -v chromium >/dev/null || { echo "chromium is not installed (apt-get install chromium)"; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 tests/support/make_test_font.py "$work/font" >/dev/null 2>&1
export FONTCONFIG_FILE="$work/font/fonts.conf" QT_QPA_PLATFORM=offscreen

measure='<style>body{margin:10px} td,th,caption{font:8px/16px Ahem}</style><script>
onload=function(){var out=[],ts=document.getElementsByTagName("table");
for(var i=0;i<ts.length;i++){var t=ts[i],w=[];
for(var r=0;r<t.rows.length;r++)for(var c=0;c<t.rows[r].cells.length;c++)
w.push(t.rows[r].cells[c].getBoundingClientRect().width.toFixed(2));out.push(w.join(" "));}
var p=document.createElement("pre");p.id="cell-widths";p.textContent=out.join("\n");
document.body.appendChild(p);}</script>'

for page in "${pages[@]}"; do
    name="$(basename "$page" .htm)"
    width="$(sed -n '1s/<!-- width=\([0-9]*\) -->.*/\1/p' "$page")"
    width="${width:-800}"
    { cat "$page"; printf '%s\n' "$measure"; } >"$work/$name.htm"
    chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run \
        --user-data-dir="$work/profile" --window-size="$width,2000" \
        --dump-dom "file://$work/$name.htm" 2>/dev/null >"$work/$name.dom"
    "$driver" --fixed --width "$width" "$page" >"$work/$name.layout"
done

python3 - "$work" "${pages[@]}" <<'EOF'
import html, os, re, sys

work, pages = sys.argv[1], sys.argv[2:]
verbose = bool(os.environ.get("VERBOSE"))

def table_tags(text):
    """Spacing and frame of each TABLE in document order, as we store them."""
    out = []
    for tag in re.findall(r"<table\b[^>]*>", text, re.I):
        def number(name, default):
            m = re.search(name + r"\s*=\s*[\"']?(-?\d*)", tag, re.I)
            if not m:
                return default
            return int(m.group(1)) if m.group(1) else None
        border = number("border", 0)
        spacing = number("cellspacing", 2)
        spacing = 2 if spacing is None or spacing < 0 else min(spacing, 40)
        bordered = border is None or border > 0
        if bordered:
            spacing = max(1, spacing + 2)
        out.append((spacing, 2 if bordered else 0))
    return out

def our_cells(dump, tags):
    """Each table's cells' outer widths from the dump, tables in document order."""
    tables, stack = [], []
    for line in dump.splitlines():
        depth = len(line) - len(line.lstrip(" "))
        text = line.strip()
        while stack and stack[-1][0] >= depth:
            stack.pop()
        if text.startswith("ThtmlTable"):
            tables.append([])
            stack.append((depth, len(tables) - 1))
        m = re.match(r"cell \d+,\d+ at \(-?\d+,-?\d+\) size (\d+)x", text)
        if m and stack:
            index = stack[-1][1]
            spacing, frame = tags[index] if index < len(tags) else (2, 0)
            tables[index].append(int(m.group(1)) - spacing + frame)
    return tables

def chromium_cells(dom):
    m = re.search(r'<pre id="cell-widths">(.*?)</pre>', dom, re.S)
    if not m:
        return []
    return [[float(w) for w in row.split()] for row in html.unescape(m.group(1)).split("\n")]

cells = close = tables = tables_close = 0
for page in pages:
    name = page.rsplit("/", 1)[-1][:-4]
    source = open(page, encoding="latin-1").read()
    ours = our_cells(open(f"{work}/{name}.layout").read(), table_tags(source))
    theirs = chromium_cells(open(f"{work}/{name}.dom", encoding="utf-8").read())
    if len(ours) != len(theirs):
        print(f"{name}: {len(ours)} tables here, {len(theirs)} in Chromium")
    for i, (a, b) in enumerate(zip(ours, theirs)):
        ok = [abs(x - y) <= 2 for x, y in zip(a, b)] + [False] * abs(len(a) - len(b))
        cells += len(ok)
        close += sum(ok)
        tables += 1
        tables_close += all(ok)
        if not all(ok) or verbose:
            print(f"{name} table {i}: ours {a}, Chromium {[round(x, 1) for x in b]}")
print(f"cells within 2 px of Chromium: {close} of {cells}; "
      f"tables with every cell within: {tables_close} of {tables}")
EOF
