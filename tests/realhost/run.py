#!/usr/bin/env python3
"""Runs the journeys against the real host: run.py --package DIR --work DIR [journey...]

The host comes from FAR2_DIR, else ../shared/far2 beside this checkout or beside the checkout
it was cloned from. Without it the suite is skipped with one line.
"""

import argparse
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import RealHost  # noqa: E402
from journeys import JOURNEYS  # noqa: E402
from tmuxhost import messages, run_journeys  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def host_candidates():
    if os.environ.get("FAR2_DIR"):
        return [os.environ["FAR2_DIR"]]
    candidates = [os.path.join(SOURCE, "..", "shared", "far2")]
    origin = subprocess.run(["git", "-C", SOURCE, "config", "remote.origin.url"],
                            capture_output=True, text=True).stdout.strip()
    if origin.startswith("file://"):
        origin = origin[len("file://") :]
    if origin and os.path.isdir(origin):
        candidates.append(os.path.join(origin, "..", "shared", "far2"))
    return candidates


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--package", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("journeys", nargs="*")
    args = parser.parse_args()

    far_dir = next((os.path.abspath(d) for d in host_candidates()
                    if os.path.isfile(os.path.join(d, "Far.exe"))), None)
    if far_dir is None:
        print(f"real-host suite skipped: no Far.exe in {' or '.join(host_candidates())}; "
              "to run it, set FAR2_DIR=/path/to/far2 (the folder holding Far.exe)")
        return 0
    for tool in ("tmux",):
        if not shutil.which(tool):
            print(f"real-host suite: {tool} is not installed", file=sys.stderr)
            return 1

    host = RealHost(far_dir, args.package, args.work)
    return run_journeys("real-host suite", host, JOURNEYS, messages(args.package), args.journeys,
                        f" (host {far_dir})")


if __name__ == "__main__":
    sys.exit(main())
