"""Reads the per-case counters scripts/test-coverage.sh left and prints the covered lines of
src/ and, for each test case, how many covered lines no other case covers, fewest first,
with the lines the case's body takes in its test file.

The sweeps over the Free Pascal sources (*Corpus*) and over real units (RealWorld*) count
towards the total but are not taken as covering a line for another case: they check
invariants only, not exact results."""
import glob
import hashlib
import json
import os
import re
import subprocess
import sys
from collections import Counter

build, out, root = sys.argv[1:4]
src = os.path.join(root, "src") + "/"


def counters(path):
    # The object summary (bytes 28-31) holds a figure of the whole run; leave it out.
    data = open(path, "rb").read()
    return hashlib.md5(data[:28] + data[32:]).hexdigest()


def covered(folder, start):
    """The (file, line) pairs of src/ run in folder, reading only the objects whose counters
    differ from start-up."""
    files = []
    for gcda in glob.glob(folder + "/src/**/*.gcda", recursive=True):
        rel = os.path.relpath(gcda, folder)
        if start.get(rel) != counters(gcda):
            files.append(rel)
            gcno = os.path.join(folder, rel[:-5] + ".gcno")
            if not os.path.exists(gcno):
                os.symlink(os.path.join(build, rel[:-5] + ".gcno"), gcno)
    lines = set()
    if not files:
        return lines
    # -r with -s keeps the files under src/ and drops the system headers.
    run = subprocess.run(["gcov", "-j", "-t", "-r", "-s", src] + files, cwd=folder,
                         capture_output=True, text=True, check=True)
    for doc in run.stdout.splitlines():
        if not doc.startswith("{"):
            continue
        for f in json.loads(doc)["files"]:
            name = f["file"].replace("../../src/", "")
            if name.startswith((".", "/")):
                continue
            lines.update((name, l["line_number"]) for l in f["lines"] if l["count"] > 0)
    return lines


def spans():
    """Each test's first line, its length in lines, and its file, by "Suite.Name"."""
    found = {}
    for path in glob.glob(os.path.join(root, "tests/**/*.cpp"), recursive=True):
        text = open(path).read().split("\n")
        for i, line in enumerate(text):
            m = re.match(r"TEST(?:_F|_P)?\((\w+),\s*(\w+)\)", line)
            if m:
                end = next((j for j in range(i, len(text)) if text[j] == "}"), i)
                found[m[1] + "." + m[2]] = (os.path.relpath(path, root), i + 1, end - i + 1)
    return found


start_dir = os.path.join(out, "_start")
start = {os.path.relpath(p, start_dir): counters(p)
         for p in glob.glob(start_dir + "/src/**/*.gcda", recursive=True)}
cases = {d: covered(os.path.join(out, d), start)
         for d in sorted(os.listdir(out)) if d != "_start"}
sweep = lambda name: "Corpus" in name or "RealWorld" in name
total = set().union(*cases.values()) if cases else set()
print(f"covered lines of src/: {len(total)}")
owners = Counter(x for name, lines in cases.items() if not sweep(name) for x in lines)
where = spans()
rows = []
for name, lines in cases.items():
    if sweep(name):
        continue
    own = sum(1 for x in lines if owners[x] == 1)
    # "Inst_Suite.Name_Param" is the case of TEST_P(Suite, Name).
    suite, test = name.split(".", 1)
    key = suite.split("_", 1)[-1] + "." + test.split("_", 1)[0]
    body = where.get(name) or where.get(key)
    rows.append((own, -(body[2] if body else 0), name, body))
for own, size, name, body in sorted(rows):
    print(f"{own:5} own lines  {-size:4} test lines  {name}  {body[0] if body else ''}")
