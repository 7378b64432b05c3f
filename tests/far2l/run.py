#!/usr/bin/env python3
"""Runs the journeys in far2l: run.py --package DIR --work DIR [journey...]

far2l comes from Debian, fetched by tools/fetch-far2l.sh into build/far2l-host (or --host) and
run in place; without the package archive the suite is skipped with one line. The plugin's
store is read with farhost (--farhost, by default the Linux build's).
"""

import argparse
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
# The journeys and the tmux layer are the FAR 2 suite's.
sys.path.append(os.path.join(SOURCE, "tests", "realhost"))
from driver import Far2l  # noqa: E402
from far2l_journeys import HOST_ONLY, JOURNEYS, PROBE  # noqa: E402
from tmuxhost import messages, run_journeys  # noqa: E402

MODULE = os.path.join("plug", "Waymarks.far-plug-wide")
PROBE_MODULE = os.path.join("plug", "Far2lProbe.far-plug-wide")


def fetch_far2l(folder):
    """far2l's program in `folder`, fetched when missing; None, the reason printed, when it cannot
    be had."""
    process = subprocess.run([os.path.join(SOURCE, "tools", "fetch-far2l.sh"), folder],
                             capture_output=True, text=True)
    if process.returncode != 0:
        sys.exit(f"far2l suite: tools/fetch-far2l.sh failed ({process.returncode}): {process.stderr.strip()}")
    if process.stdout.strip():
        print(process.stdout.strip())
        return None
    return os.path.join(folder, "usr", "bin", "far2l")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--package", required=True, help="the far2l package, holding plug/")
    parser.add_argument("--work", required=True)
    parser.add_argument("--host", default=os.path.join(SOURCE, "build", "far2l-host"))
    parser.add_argument("--farhost", default=os.path.join(SOURCE, "build", "linux", "farhost", "farhost"))
    parser.add_argument("--probe", default=os.path.join(SOURCE, "build", "linux", "tests", "probe", "far2l", "Far2lProbe"),
                        help="the far2l probe module's folder, holding plug/; its journey runs when it is there")
    parser.add_argument("journeys", nargs="*")
    args = parser.parse_args()

    if not shutil.which("tmux"):
        print("far2l suite: tmux is not installed", file=sys.stderr)
        return 1
    program = fetch_far2l(os.path.abspath(args.host))
    if program is None:
        return 0
    package = os.path.abspath(args.package)
    if not os.path.isfile(os.path.join(package, MODULE)):
        # The host alone still shows whether the suite can drive it.
        print(f"far2l suite: no {MODULE} in {package}: build it with `cmake --build --preset linux`; "
              "running the journeys that need only far2l", file=sys.stderr)
        host = Far2l(program, None, args.work, None)
        run_journeys("far2l suite (host only)", host, HOST_ONLY, None, args.journeys)
        return 1
    if not os.access(args.farhost, os.X_OK):
        print(f"far2l suite: no farhost at {args.farhost} to read the plugin's store: "
              "build it with `cmake --build --preset linux --target farhost`", file=sys.stderr)
        return 1

    probe = args.probe if os.path.isfile(os.path.join(args.probe, PROBE_MODULE)) else None
    host = Far2l(program, package, args.work, args.farhost, probe)
    msg = messages(os.path.join(host.package, "plug"))
    journeys = HOST_ONLY + JOURNEYS + (PROBE if probe else [])
    return run_journeys("far2l suite", host, journeys, msg, args.journeys, f" (host {program})")


if __name__ == "__main__":
    sys.exit(main())
