"""Random boundary mutants: lines of the program's sources picked by a seed,
each given one small fault of the kinds that slip past hand-written lists.

A line qualifies when its code (comments and the insides of string and
character literals left out) holds one of these, each changed as shown:

    a < b  <->  a <= b        a > b  <->  a >= b       a == b  <->  a != b
    a && b <->  a || b        x + 1, x - 1  ->  x      MaxThing = N  ->  N + 1

Operators count only with a space on both sides, as the formatter writes
binary operators, so template brackets, shifts and arrows never qualify.
The same tree and seed give the same mutants.
"""

import random
import re
import subprocess
from dataclasses import dataclass
from pathlib import Path

# The folders that read outside input.
DEFAULT_FOLDERS = ["net", "html", "builder", "layout", "image", "frames", "print", "tools",
                   "platform", "address"]

SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
         "&&": "||", "||": "&&"}
OPERATOR = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||<|>)(?= )")
PLUS_MINUS_ONE = re.compile(r" [+-] 1(?![\w.'])")
# A constant whose name says it bounds something, set to a decimal number.
LIMIT = re.compile(r"^\s*(?:(?:static|inline)\s+)*(?:constexpr|const)\s+[\w:]+\s+"
                   r"\w*(?:Max|Min|Limit|Size|Count|Depth|Length|Budget|Bytes|Cap)\w*"
                   r"\s*=\s*(\d+)\b(?![.'xX])")
LITERAL = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')


@dataclass
class Site:
    start: int
    end: int
    replacement: str


@dataclass
class LineMutant:
    file: str
    line: int  # 1-based
    original: str
    mutated: str


def code_of(line: str) -> str:
    """The line with its comment cut off and its literals blanked, the same
    length as the line so positions carry over."""
    masked = LITERAL.sub(lambda m: m.group(0)[0] + " " * (len(m.group(0)) - 2) + m.group(0)[-1],
                         line)
    comment = masked.find("//")
    if comment >= 0:
        masked = masked[:comment] + " " * (len(masked) - comment)
    return masked


def sites_of(line: str) -> list[Site]:
    stripped = line.lstrip()
    if not stripped or stripped.startswith(("//", "#", "*", "/*")):
        return []
    code = code_of(line)
    sites = [Site(m.start(), m.end(), SWAPS[m.group(1)]) for m in OPERATOR.finditer(code)]
    sites += [Site(m.start(), m.end(), "") for m in PLUS_MINUS_ONE.finditer(code)]
    sites += [Site(m.start(1), m.end(1), str(int(m.group(1)) + 1)) for m in LIMIT.finditer(code)]
    return sorted(sites, key=lambda s: (s.start, s.end))


def source_files(root: Path, folders: list[str]) -> list[str]:
    out = subprocess.run(["git", "ls-files", "-z", "--", *folders], cwd=root, check=True,
                         capture_output=True)
    return sorted(name for name in out.stdout.decode().split("\0")
                  if name.endswith((".cpp", ".h")))


def pick(root: Path, folders: list[str], count: int, seed: int) -> list[LineMutant]:
    candidates = []
    for name in source_files(root, folders):
        lines = (root / name).read_text(encoding="latin-1").split("\n")
        candidates += [(name, number, text) for number, text in enumerate(lines, 1)
                       if sites_of(text)]
    chooser = random.Random(seed)
    mutants = []
    for name, number, text in chooser.sample(candidates, min(count, len(candidates))):
        site = chooser.choice(sites_of(text))
        mutated = text[:site.start] + site.replacement + text[site.end:]
        mutants.append(LineMutant(name, number, text, mutated))
    return mutants


def read_equivalents(path: Path, separator: str) -> dict[tuple[str, str, str], str]:
    """file ||| line ||| mutated line ||| why no behaviour can tell them apart;
    lines are compared without their leading and trailing blanks."""
    equivalents = {}
    if not path.is_file():
        return equivalents
    for number, text in enumerate(path.read_text().splitlines(), 1):
        if not text.strip() or text.lstrip().startswith("#"):
            continue
        fields = [f.strip() for f in text.split(separator)]
        if len(fields) != 4 or not fields[3]:
            raise SystemExit(f"{path}:{number}: expected file, line, mutated line and a reason")
        equivalents[(fields[0], fields[1], fields[2])] = fields[3]
    return equivalents
