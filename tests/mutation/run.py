#!/usr/bin/env python3
"""Puts small faults into a scratch copy of the tree, one at a time, and
reports whether the tests catch each one.

    tests/mutation/run.py [--list FILE] [--only TEXT] [--scratch DIR] [--full]
    tests/mutation/run.py --random N --seed S [--in FOLDER...] [--full]

Each mutant in the list (tests/mutation/mutants.txt) names a file, a text
that stands exactly once in it, the text put in its place, the tests to run
(a ctest pattern) and, for a survivor that cannot matter, why. The scratch
copy is kept between runs, so later runs rebuild only what a mutant touches.
--full runs the whole suite for every mutant instead of its pattern.

--random picks N lines by the seed among the folders that read outside input
(or those named) and gives each one boundary fault (tests/mutation/sample.py
says which); each runs the tests of its folder (tests/FOLDER), and the whole
suite if those pass, or, with --full, the whole suite at once. Mutants no
behaviour can tell apart are listed, with the reason, in
tests/mutation/equivalent.txt and reported as equivalent. A mutant that does
not compile, or whose object file comes out the same (a line the
preprocessor leaves out of the sanitized build), is reported as not built.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

import sample

ROOT = Path(__file__).resolve().parents[2]
SEPARATOR = " ||| "


@dataclass
class Mutant:
    line: int
    file: str
    original: str
    mutated: str
    tests: str  # a ctest pattern, or "folder:NAME" for the tests of tests/NAME
    harmless: str  # why surviving cannot matter, or ""
    at_line: int = 0  # the line the original fills whole; 0: the text stands once in the file


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


def build(scratch: Path, build_dir: Path, targets: tuple[str, ...] = ()) -> bool:
    """Configures and builds the scratch copy, or only the targets named
    once it has been configured."""
    if targets:
        command = ["cmake", "--build", str(build_dir), "--target", *targets]
    else:
        corpus = (ROOT / ".." / "shared" / "corpus").resolve()
        command = [str(scratch / "scripts" / "test-build.sh"), str(scratch), str(build_dir),
                   f"-DLUMO_CORPUS_DIR={corpus}"]
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return result.returncode == 0


def objects_of(build_dir: Path, source: str) -> list[Path]:
    """The object files the build makes of a source file; none for a header."""
    if not source.endswith(".cpp"):
        return []
    folder, _, rest = source.partition("/")
    return sorted(build_dir.glob(f"{folder}/CMakeFiles/*.dir/{rest}.o"))


def targets_for(pattern: str) -> tuple[str, ...]:
    """What a test pattern needs built: a folder's tests and the program
    they start, or everything."""
    if pattern.startswith("folder:"):
        return (f"tests/{pattern[len('folder:'):]}/all", "lumo")
    return ()


def folder_pattern(build_dir: Path, folder: str, env: dict[str, str]) -> str:
    """A ctest pattern of the test suites of the folder's test binary."""
    binary = build_dir / "tests" / folder / f"lumo_{folder}_tests"
    listing = subprocess.run([str(binary), "--gtest_list_tests"],
                             env={**env, "QT_QPA_PLATFORM": "offscreen"}, check=True,
                             capture_output=True, text=True).stdout
    suites = sorted({line.split(".")[0] for line in listing.splitlines()
                     if line and not line.startswith(" ") and "." in line})
    return "^(" + "|".join(suites) + ")\\."


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
    if pattern.startswith("folder:"):
        pattern = folder_pattern(build_dir, pattern[len("folder:"):], env)
    if pattern:
        command += ["-R", pattern]
    result = subprocess.run(command, env=env, capture_output=True, text=True)
    tests_pass.last_output = result.stdout + result.stderr
    failed = re.search(r"^\s*\d+ - (\S+) \(", result.stdout.split("tests FAILED:")[-1], re.M)
    tests_pass.first_failed = failed.group(1) if failed and result.returncode else ""
    return result.returncode == 0


def run_mutant(m: Mutant, scratch: Path, build_dir: Path, full: bool) -> str:
    path = scratch / m.file
    if not path.is_file():
        return "bad entry (no such file)"
    text = path.read_text(encoding="latin-1")
    if m.at_line:
        lines = text.split("\n")
        if lines[m.at_line - 1] != m.original:
            return "bad entry (the line has changed)"
        lines[m.at_line - 1] = m.mutated
        mutated = "\n".join(lines)
    elif text.count(m.original) != 1:
        return f"bad entry (the original stands {text.count(m.original)} times)"
    else:
        mutated = text.replace(m.original, m.mutated)
    objects = objects_of(build_dir, m.file)
    before = [o.read_bytes() for o in objects]
    path.write_text(mutated, encoding="latin-1")
    try:
        pattern = "" if full else m.tests
        if not build(scratch, build_dir, targets_for(pattern)):
            return "not built" if m.at_line else "bad entry (does not build)"
        if objects and [o.read_bytes() for o in objects] == before:
            # The line is left out of this build (by the preprocessor): no
            # test of it can tell.
            return "not built" if m.at_line else "bad entry (not compiled)"
        if not tests_pass(build_dir, pattern):
            return "killed"
        if pattern.startswith("folder:"):
            # Code of one folder is often exercised by the tests of the
            # folders above it: a survivor of its own folder's tests is
            # only a survivor if the whole suite passes too.
            if not build(scratch, build_dir):  # another target, held to more warnings
                return "not built" if m.at_line else "bad entry (does not build)"
            if not tests_pass(build_dir, ""):
                return "killed"
        return "survived"
    finally:
        path.write_text(text, encoding="latin-1")


def random_mutants(args) -> list[Mutant]:
    equivalents = sample.read_equivalents(ROOT / "tests" / "mutation" / "equivalent.txt",
                                          SEPARATOR)
    mutants = []
    for number, m in enumerate(sample.pick(ROOT, args.folders, args.random, args.seed), 1):
        reason = equivalents.get((m.file, m.original.strip(), m.mutated.strip()), "")
        folder = m.file.split("/", 1)[0]
        mutants.append(Mutant(number, m.file, m.original, m.mutated, f"folder:{folder}", reason,
                              at_line=m.line))
    return mutants


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", type=Path, default=ROOT / "tests" / "mutation" / "mutants.txt")
    parser.add_argument("--only", action="append", default=[], metavar="TEXT",
                        help="run the mutants (of the list or the sample) whose file or line "
                             "holds this; may be given more than once")
    parser.add_argument("--random", type=int, default=0, metavar="N",
                        help="N random boundary mutants in place of the list")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--in", dest="folders", nargs="+", default=sample.DEFAULT_FOLDERS,
                        metavar="FOLDER", help="the folders random mutants are picked in")
    parser.add_argument("--dry-run", action="store_true", help="list the mutants only")
    parser.add_argument("--scratch", type=Path, default=ROOT / "build-mutants")
    parser.add_argument("--full", action="store_true", help="run the whole suite for each")
    args = parser.parse_args()

    if args.random:
        mutants = random_mutants(args)
        print(f"seed {args.seed}: {len(mutants)} random mutants in {' '.join(args.folders)}")
    else:
        mutants = read_mutants(args.list)
    mutants = [m for m in mutants if not args.only or any(
        text in m.file or text in m.original or text == f"{m.file}:{m.at_line}"
        for text in args.only)]
    if args.dry_run:
        for m in mutants:
            print(f"{m.file}:{m.at_line or m.line}: {m.original.strip()!r} -> "
                  f"{m.mutated.strip()!r}")
        return 0

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

    counts = {"killed": 0, "equivalent": 0, "survived": 0, "not built": 0}
    survived_unexplained = 0
    for m in mutants:
        if args.random and m.harmless:
            verdict = "equivalent"
        else:
            verdict = run_mutant(m, scratch, build_dir, args.full)
        note = f"  ({m.harmless})" if verdict in ("survived", "equivalent") and m.harmless else ""
        if verdict == "killed" and tests_pass.first_failed:
            note = f"  (by {tests_pass.first_failed})"
        place = f"{m.file}:{m.at_line}" if m.at_line else f"line {m.line}: {m.file}"
        print(f"{verdict:10} {place}: {m.original.strip()!r} -> {m.mutated.strip()!r}{note}",
              flush=True)
        counts[verdict] = counts.get(verdict, 0) + 1
        survived_unexplained += verdict == "survived" and not m.harmless
    build(scratch, build_dir)  # leave the scratch build unmutated
    return report(counts, survived_unexplained, args.random > 0)


def report(counts: dict[str, int], survived_unexplained: int, random_mode: bool) -> int:
    if random_mode:
        # Mutants that do not compile, or that this build leaves out, tell
        # nothing about the tests.
        judged = sum(counts.values()) - counts["not built"]
        caught = counts["killed"] + counts["equivalent"]
        print(f"{caught} of {judged} killed or equivalent ({100 * caught // max(judged, 1)} %): "
              f"{counts['killed']} killed, {counts['equivalent']} equivalent, "
              f"{counts['survived']} survived; {counts['not built']} did not build or are left "
              "out of this build")
        return 0
    total = sum(counts.values())
    print(f"{counts['killed']} of {total} killed ({100 * counts['killed'] // max(total, 1)} %); "
          f"{survived_unexplained} survived without an explanation")
    return 0 if survived_unexplained == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
