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
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import HostDidNotStart, JourneyFailed, RealHost  # noqa: E402
from journeys import JOURNEYS  # noqa: E402

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


def language_file(package):
    """Message n of the package's English language file, hot-key marks removed."""
    with open(os.path.join(package, "WaymarksEng.lng"), encoding="utf-8-sig") as file:
        texts = [line.strip()[1:-1] for line in file if line.startswith('"')]
    return lambda n: texts[n].replace("&", "").replace("\\\\", "\\")


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

    chosen = [j for j in JOURNEYS if not args.journeys or j.__name__ in args.journeys]
    started = time.monotonic()
    host = RealHost(far_dir, args.package, args.work)
    msg = language_file(args.package)
    failures = 0
    try:
        for journey in chosen:
            began = time.monotonic()
            root = tempfile.mkdtemp(prefix="wmrh-")

            def files(relative, root=root):
                path = os.path.join(root, relative)
                os.makedirs(path, exist_ok=True)
                return path

            try:
                try:
                    journey(host, files, msg)
                except HostDidNotStart as failure:
                    # Wine under load now and then shows nothing for a minute: once more.
                    print(f"again {journey.__name__}: {failure}", flush=True)
                    shutil.rmtree(root, ignore_errors=True)
                    os.makedirs(root)
                    journey(host, files, msg)
                host.quit()
                print(f"ok    {journey.__name__} ({time.monotonic() - began:.1f} s)", flush=True)
            except (JourneyFailed, AssertionError, subprocess.CalledProcessError) as failure:
                failures += 1
                print(f"FAIL  {journey.__name__}: {failure}", flush=True)
            finally:
                shutil.rmtree(root, ignore_errors=True)
    finally:
        host.close()
    print(f"real-host suite: {len(chosen) - failures} of {len(chosen)} journeys passed "
          f"in {time.monotonic() - started:.0f} s (host {far_dir})")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
