#!/usr/bin/env python3
"""Runs clang-tidy on translation units, skipping those already found clean.

Called by scripts/clang-tidy.sh: clang_tidy_cached.py BUILD_DIR LOG FILE...

A translation unit's key is a hash of the clang-tidy and clang versions, every
.clang-tidy file of the tree, its compile command and its preprocessed text (clang++ -E
with the same flags, comments and macro definitions kept, so a changed header, a NOLINT
or a #define in a header changes the key of every file that includes it). A unit whose
key has a marker in the cache is skipped; a marker is written only when clang-tidy
passes, so a finding is checked again on every run until it is fixed.
"""

import concurrent.futures
import hashlib
import json
import os
import shlex
import shutil
import subprocess
import sys
import time
from pathlib import Path

# Flags clang-tidy and the preprocessing both get: the build compiles with g++, whose
# warning options clang does not know.
EXTRA_FLAGS = ["-Wno-unknown-warning-option"]
# Markers unused this long are removed, so the cache does not grow without bound.
MARKER_LIFETIME_SECONDS = 30 * 24 * 3600
# Changing how keys are made changes this, so old markers are never read as new ones.
KEY_FORMAT = b"veldra clang-tidy key 2\n"


def CacheDir():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(Path.home(), ".cache")
    return Path(base) / "veldra" / "clang-tidy"


def CompilerFlags(entry):
    """The entry's compiler flags without the compiler, the source, -c and outputs."""
    if "arguments" in entry:
        words = list(entry["arguments"])
    else:
        words = shlex.split(entry["command"])
    flags = []
    skip_next = False
    for word in words[1:]:
        if skip_next:
            skip_next = False
            continue
        if word in ("-o", "-MF", "-MT", "-MQ"):
            skip_next = True
            continue
        if word in ("-c", "-MD", "-MMD") or word.startswith("-o"):
            continue
        if os.path.realpath(os.path.join(entry["directory"], word)) == entry["path"]:
            continue
        flags.append(word)
    return flags


def PreprocessorFor(tidy):
    """The clang++ installed beside clang-tidy (the same version), else the one on PATH.

    Debian's clang-tidy brings its clang along, but the unversioned clang++ link only
    comes with the clang package."""
    found = shutil.which(tidy)
    if found:
        beside = Path(os.path.realpath(found)).parent / "clang++"
        if beside.is_file():
            return str(beside)
    return "clang++"


CLANG = PreprocessorFor("clang-tidy")


def ToolVersions():
    blob = b""
    for tool in (["clang-tidy", "--version"], [CLANG, "--version"]):
        text = subprocess.run(tool, check=True, capture_output=True).stdout
        # Where a tool was started from and the machine it runs on are no part of what
        # it does.
        blob += b"".join(line for line in text.splitlines(keepends=True)
                         if not line.strip().startswith((b"InstalledDir:", b"Host CPU:")))
    return blob


def ConfigFiles(root):
    """Every .clang-tidy of the tree: a unit's checks come from the nearest one."""
    listed = subprocess.run(
        ["git", "ls-files", "--cached", "--others", "--exclude-standard", "*.clang-tidy"],
        cwd=root, check=True, capture_output=True, text=True).stdout.split()
    blob = b""
    for name in sorted(listed):
        path = root / name
        if path.is_file():
            blob += name.encode() + b"\n" + path.read_bytes() + b"\n"
    return blob


# The checkout's folder: left out of the keys, so a fresh clone elsewhere (as the test
# command's runs are) finds the results of an earlier one.
ROOT = os.path.realpath(os.getcwd())


def Key(unit, common_key):
    """The unit's key, or None when clang++ cannot preprocess it."""
    path, directory, flags = unit
    preprocess = [CLANG, *flags, *EXTRA_FLAGS, "-E", "-C", "-dD", "-dI", path, "-o", "-"]
    preprocessed = subprocess.run(preprocess, cwd=directory, capture_output=True)
    if preprocessed.returncode != 0:
        return None
    digest = hashlib.sha256(common_key)
    command = json.dumps([path, directory, flags]).replace(ROOT, "<root>")
    digest.update(command.encode() + b"\n")
    digest.update(preprocessed.stdout.replace(ROOT.encode(), b"<root>"))
    return digest.hexdigest()


def Check(unit, common_key, cache):
    """Checks one unit (or finds it in the cache); returns (status, log text)."""
    path, directory, flags = unit
    key = Key(unit, common_key)
    if key is not None and (cache / key).exists():
        (cache / key).touch()
        return "cached", ""
    tidy = ["clang-tidy", "--quiet", *("--extra-arg=" + flag for flag in EXTRA_FLAGS),
            path, "--", *flags]
    result = subprocess.run(tidy, cwd=directory, capture_output=True, text=True)
    if result.returncode != 0:
        return "findings", "==> " + path + "\n" + result.stdout + result.stderr
    # Marked clean only when the sources did not change while clang-tidy read them, and
    # never without a key.
    if key is not None and Key(unit, common_key) == key:
        (cache / key).touch()
    return "checked", ""


def PruneOldMarkers(cache):
    cutoff = time.time() - MARKER_LIFETIME_SECONDS
    for marker in cache.iterdir():
        if marker.stat().st_mtime < cutoff:
            marker.unlink(missing_ok=True)


def main():
    build_dir, log_path, *files = sys.argv[1:]
    root = Path.cwd()
    wanted = {os.path.realpath(f) for f in files}
    units = set()
    for entry in json.load(open(os.path.join(build_dir, "compile_commands.json"))):
        entry["path"] = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        if entry["path"] in wanted:
            # A source built into several programs with the same flags is checked once.
            units.add((entry["path"], entry["directory"], tuple(CompilerFlags(entry))))
    cache = CacheDir()
    cache.mkdir(parents=True, exist_ok=True)
    common_key = KEY_FORMAT + ToolVersions() + ConfigFiles(root)
    jobs = int(os.environ.get("JOBS") or len(os.sched_getaffinity(0)))  # as nproc
    counts = {"cached": 0, "checked": 0, "findings": 0}
    # Findings go to the log as they come, so a long run can be watched.
    with open(log_path, "w") as log, \
            concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = [pool.submit(Check, unit, common_key, cache) for unit in sorted(units)]
        for future in concurrent.futures.as_completed(futures):
            status, text = future.result()
            counts[status] += 1
            log.write(text)
            log.flush()
    PruneOldMarkers(cache)
    summary = (f"{len(units)} translation units: {counts['checked']} checked, "
               f"{counts['cached']} clean in the cache, {counts['findings']} with findings")
    print("clang-tidy: " + summary)
    return 1 if counts["findings"] else 0


if __name__ == "__main__":
    sys.exit(main())
