#!/usr/bin/env python3
"""Runs the shell examples of the README and docs/: run_examples.py SOURCE_DIR

Every line of a block marked `sh` runs with bash from the top of the tree, on a registry and data
folder of its own, and must succeed. Blocks marked `shell` are shown only: they start the suites
or a full screen."""

import os
import re
import subprocess
import sys
import tempfile

BLOCK = re.compile(r"^```sh\n(.*?)^```", re.M | re.S)


def examples(source):
    files = [os.path.join(source, "README.md")]
    docs = os.path.join(source, "docs")
    files += sorted(os.path.join(docs, name) for name in os.listdir(docs) if name.endswith(".md"))
    for path in files:
        with open(path, encoding="utf-8") as file:
            for block in BLOCK.findall(file.read()):
                for line in block.splitlines():
                    if line.strip() and not line.lstrip().startswith("#"):
                        yield os.path.relpath(path, source), line


def main():
    source = os.path.abspath(sys.argv[1])
    failures = ran = 0
    with tempfile.TemporaryDirectory(prefix="wm-docs-") as scratch:
        env = dict(os.environ, FARHOST_REGISTRY=os.path.join(scratch, "registry.sqlite3"),
                   XDG_DATA_HOME=os.path.join(scratch, "data"))
        for where, line in examples(source):
            ran += 1
            done = subprocess.run(["bash", "-c", line], cwd=source, env=env, stdin=subprocess.DEVNULL,
                                  capture_output=True, text=True, timeout=600)
            if done.returncode != 0:
                failures += 1
                print(f"FAIL {where}: {line}\n{done.stdout}{done.stderr}")
    print(f"{ran - failures} of {ran} shell examples ran")
    return 1 if failures or ran == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
