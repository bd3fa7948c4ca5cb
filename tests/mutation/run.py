#!/usr/bin/env python3
"""Puts small faults into a scratch copy of the tree, one at a time, and
reports whether the tests catch each one.

    tests/mutation/run.py [--list FILE] [--only TEXT] [--scratch DIR] [--full]

Each mutant in the list (tests/mutation/mutants.txt) names a file, a text
that stands exactly once in it, the text put in its place, the tests to run
(a ctest pattern) and, for a survivor that cannot matter, why. The scratch
copy is kept between runs, so later runs rebuild only what a mutant touches.
--full runs the whole suite for every mutant instead of its pattern.
"""

import argparse
import os
import shutil
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SEPARATOR = " ||| "


@dataclass
class Mutant:
    line: int
    file: str
    original: str
    mutated: str
    tests: str
    harmless: str  # why surviving cannot matter, or ""


def read_mutants(path: Path) -> list[Mutant]:
    mutants = []
    for number, text in enumerate(path.read_text().splitlines(), 1):
        if not text.strip() or text.lstrip().startswith("#"):
            continue
        fields = text.split(SEPARATOR)
        if len(fields) not in (4, 5):
            sys.exit(f"{path}:{number}: expected 4 or 5 fields separated by '{SEPARATOR.strip()}'")
        fields += [""] * (5 - len(fields))
        mutants.append(Mutant(number, *(f.strip() for f in fields)))
    return mutants


def tracked_files() -> list[str]:
    out = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True, capture_output=True)
    return [name for name in out.stdout.decode().split("\0") if name]


def sync_scratch(scratch: Path) -> None:
    """Copies the working tree, writing only files that differ so the
    scratch build stays incremental."""
    for name in tracked_files():
        source, target = ROOT / name, scratch / name
        if not source.is_file():
            continue
        data = source.read_bytes()
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        shutil.copymode(source, target)


def build(scratch: Path, build_dir: Path) -> bool:
    corpus = (ROOT / ".." / "shared" / "corpus").resolve()
    result = subprocess.run(
        [str(scratch / "scripts" / "test-build.sh"), str(scratch), str(build_dir),
         f"-DLUMO_CORPUS_DIR={corpus}"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return result.returncode == 0


def tests_pass(build_dir: Path, pattern: str) -> bool:
    env = dict(os.environ)
    env_script = ROOT / "scripts" / "sanitizer-env.sh"
    dump = subprocess.run(["bash", "-c", f"source '{env_script}' && env -0"],
                          check=True, capture_output=True)
    for pair in dump.stdout.decode().split("\0"):
        if "=" in pair:
            key, value = pair.split("=", 1)
            env[key] = value
    env["LUMO_REQUIRE_CORPUS"] = "1"
    command = ["ctest", "--test-dir", str(build_dir), "-j2", "--timeout", "600",
               "--stop-on-failure"]
    if pattern:
        command += ["-R", pattern]
    result = subprocess.run(command, env=env, capture_output=True, text=True)
    tests_pass.last_output = result.stdout + result.stderr
    return result.returncode == 0


def run_mutant(m: Mutant, scratch: Path, build_dir: Path, full: bool) -> str:
    path = scratch / m.file
    if not path.is_file():
        return "bad entry (no such file)"
    text = path.read_text(encoding="latin-1")
    if text.count(m.original) != 1:
        return f"bad entry (the original stands {text.count(m.original)} times)"
    path.write_text(text.replace(m.original, m.mutated), encoding="latin-1")
    try:
        if not build(scratch, build_dir):
            return "bad entry (does not build)"
        return "survived" if tests_pass(build_dir, "" if full else m.tests) else "killed"
    finally:
        path.write_text(text, encoding="latin-1")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", type=Path, default=ROOT / "tests" / "mutation" / "mutants.txt")
    parser.add_argument("--only", default="", help="run mutants whose file or text holds this")
    parser.add_argument("--scratch", type=Path, default=ROOT / "build-mutants")
    parser.add_argument("--full", action="store_true", help="run the whole suite for each")
    args = parser.parse_args()

    mutants = [m for m in read_mutants(args.list)
               if not args.only or args.only in m.file or args.only in m.original]
    scratch = args.scratch / "src"
    build_dir = scratch / "build-test"  # inside the copy, so compiler caches see the same paths
    sync_scratch(scratch)
    print("building the scratch copy ...", flush=True)
    if not build(scratch, build_dir):
        print("the unmutated scratch copy does not build")
        return 2
    for pattern in sorted({m.tests for m in mutants}):
        if not tests_pass(build_dir, "" if args.full else pattern):
            print(f"tests fail without a mutant: {pattern}\n{tests_pass.last_output[-3000:]}")
            return 2

    killed = survived_unexplained = 0
    for m in mutants:
        verdict = run_mutant(m, scratch, build_dir, args.full)
        note = f"  ({m.harmless})" if verdict == "survived" and m.harmless else ""
        print(f"{verdict:9} line {m.line}: {m.file}: {m.original!r} -> {m.mutated!r}{note}",
              flush=True)
        killed += verdict == "killed"
        survived_unexplained += verdict == "survived" and not m.harmless
    build(scratch, build_dir)  # leave the scratch build unmutated
    share = 100 * killed // max(len(mutants), 1)
    print(f"{killed} of {len(mutants)} killed ({share} %); "
          f"{survived_unexplained} survived without an explanation")
    return 0 if survived_unexplained == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
