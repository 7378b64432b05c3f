#!/usr/bin/env python3
"""Times jumps in far2l: from Enter on `cd:NAME` to the panel showing the waymark's folder.

measure.py --package dist/far2l/Waymarks --work build/linux/far2l-measure [--sizes 100 100000]
    [--jumps 20]

For each size the store is filled with that many waymarks (g{i % 100}/p{i:06d}-site, as
bench/peers.py names them) by farhost with the Linux plugin, one script of `cd::` lines, and far2l
is started on it. Each jump is typed, then Enter is pressed and the screen read until the panel
shows the folder; the folder is left again with far2l's own cd before the next jump. The first jump
of each kind (the plugin's load, the store's open) is not counted. far2l's own `cd` to the same
folder is timed alike, for what the panel's change costs without the plugin. Enter goes and the
screen is read through one tmux control-mode client, without a process per reading; the time
between two readings (printed) bounds the resolution.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.append(os.path.join(SOURCE, "tests", "realhost"))
from driver import Far2l  # noqa: E402
from run import MODULE, fetch_far2l  # noqa: E402
from tmuxhost import JourneyFailed, Screen  # noqa: E402

GROUPS = 100
# The time between two readings of the screen while a jump was waited for.
READINGS = []


def name_of(i):
    return f"g{i % GROUPS}/p{i:06d}-site"


def fill(host, farhost, plugin, size, target, folders):
    """Stores `size` waymarks, all in `folders["other"]` but the target; seconds taken."""
    script = os.path.join(host.work, f"fill-{size}.farhost")
    with open(script, "w") as out:
        out.write(f"cd {folders['other']}\n")
        out.writelines(f"cd::{name_of(i)}\n" for i in range(size) if i != target)
        out.write(f"cd {folders['target']}\ncd::{name_of(target)}\n")
    env = dict(host.env, FARHOST_REGISTRY=host.store)
    began = time.perf_counter()
    subprocess.run([farhost, "--plugin", plugin, "--script", script], env=env, check=True,
                   stdout=subprocess.DEVNULL, cwd=folders["start"])
    return time.perf_counter() - began


class Control:
    """A tmux control-mode client of the host's server: commands and their output over one pipe,
    so that the screen is read in a fraction of a millisecond and not a process's start."""

    def __init__(self, host):
        self.process = subprocess.Popen(["tmux", "-S", host.socket, "-C", "attach"], env=host.env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        # The attach answers with a block of its own: read up to the answer to a mark of ours.
        self.send("display-message -p ready")
        while self.block() != ["ready"]:
            pass

    def send(self, line):
        self.process.stdin.write(line.encode() + b"\n")
        self.process.stdin.flush()

    def block(self):
        """The next command's output: the lines between its %begin and %end."""
        lines = None
        while True:
            text = self.process.stdout.readline()
            if not text:
                raise RuntimeError("tmux's control client ended")
            text = text.decode("utf-8", "replace").rstrip("\n")
            if text.startswith("%begin"):
                lines = []
            elif text.startswith(("%end", "%error")) and lines is not None:
                return lines
            elif lines is not None:
                lines.append(text)

    def command(self, line):
        self.send(line)
        return self.block()

    def capture(self):
        return Screen("\n".join(self.command("capture-pane -p")))

    def close(self):
        self.process.stdin.close()
        self.process.wait()


def jump(host, control, command, start, target):
    """Seconds from Enter on `command` until the left panel shows `target`, and the readings of
    the screen that took."""
    host.wait(lambda s: s.command_line() == host.prompt(start), "an empty command line")
    host.type(command)
    host.wait(lambda s: s.command_line().endswith(command), "the command typed")
    began = time.perf_counter()
    control.command("send-keys Enter")
    readings = 0
    while True:
        screen = control.capture()
        readings += 1
        if screen.panel_title("left") == host.path(target) and screen.command_line() == host.prompt(target):
            return time.perf_counter() - began, readings
        if time.perf_counter() - began > 30:
            raise JourneyFailed(f"timed out waiting for the left panel to show {target}", screen)


def measure(host, args, size, kinds):
    root = os.path.join(host.work, "tree")
    folders = {name: os.path.join(root, name) for name in ("start", "other", "target", "right")}
    for folder in folders.values():
        os.makedirs(folder, exist_ok=True)
    target = size * 7 // 10 + 3
    host.prepare()
    seconds = fill(host, args.farhost, args.plugin, size, target, folders)
    print(f"{size:,} waymarks stored in {seconds:.1f} s", flush=True)
    host.run(folders["start"], folders["right"], host.package)
    results = {}
    try:
        control = Control(host)
        for kind, command in kinds(name_of(target), folders["target"]):
            times = []
            for attempt in range(args.jumps + 1):
                taken, readings = jump(host, control, command, folders["start"], folders["target"])
                if attempt:
                    times.append(taken)
                    READINGS.append(taken / readings)
                host.cd("left", folders["start"])
            results[kind] = times
        control.close()
        host.quit()
    finally:
        host.stop()
    # The 100,000 take some 70 MB.
    shutil.rmtree(host.identity)
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--package", default=os.path.join(SOURCE, "dist", "far2l", "Waymarks"))
    parser.add_argument("--work", default=os.path.join(SOURCE, "build", "linux", "far2l-measure"))
    parser.add_argument("--host", default=os.path.join(SOURCE, "build", "far2l-host"))
    parser.add_argument("--farhost", default=os.path.join(SOURCE, "build", "linux", "farhost", "farhost"))
    parser.add_argument("--plugin", default=os.path.join(SOURCE, "dist", "linux", "Waymarks", "Waymarks.so"),
                        help="the Linux plugin that farhost stores the waymarks with")
    parser.add_argument("--sizes", type=int, nargs="+", default=[100, 100_000])
    parser.add_argument("--jumps", type=int, default=20)
    args = parser.parse_args()

    program = fetch_far2l(os.path.abspath(args.host))
    if program is None:
        return 0
    for path in (os.path.join(args.package, MODULE), args.farhost, args.plugin):
        if not os.path.isfile(path):
            print(f"far2l timing: {path} is missing; build the linux preset first", file=sys.stderr)
            return 1

    def kinds(name, folder):
        return (("far2l's cd", f"cd {folder}"), ("exact name", f"cd:{name}"), ("prefix", f"cd:{name[:-3]}"))

    rows = []
    for size in args.sizes:
        host = Far2l(program, args.package, os.path.join(args.work, str(size)), args.farhost)
        for kind, times in measure(host, args, size, kinds).items():
            rows.append((size, kind, times))
    print(f"\nms from Enter to the panel showing the folder, {args.jumps} jumps each; the screen was read "
          f"every {statistics.median(READINGS) * 1000:.2f} ms")
    print(f"{'waymarks':>9}  {'jump':<11} {'median':>7} {'min':>7} {'max':>7}")
    for size, kind, times in rows:
        ms = [t * 1000 for t in times]
        print(f"{size:>9,}  {kind:<11} {statistics.median(ms):7.1f} {min(ms):7.1f} {max(ms):7.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
