#!/usr/bin/env python3
"""One jump of Waymarks beside the same jump of two directory jumpers, zoxide and autojump.

For each size N the same N generated directories go into the three stores: zoxide's database
(imported from a z-format file), autojump's data file, and our registry (stored with cd:: by
farhost, as a user would). Then each kind of jump runs as a whole process, every tool in turn,
RUNS times, and the medians of wall time and peak memory are printed with the ratios.

  bench/peers.py --farhost build/linux/farhost/farhost --plugin dist/linux/Waymarks/Waymarks.so

With --wine-farhost and --wine-plugin the Windows farhost and DLL also run under wine against the
real registry of a throw-away prefix (sizes up to --wine-max).
"""
import argparse
import contextlib
import fcntl
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

GROUPS = 100
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
OPTIONS_KEY = "HKCU\\Software\\Far2\\Plugins\\Waymarks"


def install_peers():
    if all(os.path.exists(p) for p in ("/usr/bin/zoxide", "/usr/share/autojump/autojump",
                                       "/usr/bin/time")):
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    # time: GNU time, for the peak memory of each run.
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get", "install", "-y", "zoxide", "autojump", "time"], check=True, env=env)


def name_of(i):
    return f"g{i % GROUPS}/p{i:06d}-site"


def timed(command, env, cwd=None):
    """Wall seconds and peak resident MiB of one whole process; fails on a non-zero exit. GNU
    time reports the peak: a child of this interpreter would count the interpreter's pages.
    Errors go to a file: wine's servers, started by the first run, would hold a pipe open."""
    peak_file = os.path.join(env.get("HOME", "/tmp"), ".peak")
    with tempfile.TemporaryFile() as errors:
        start = time.perf_counter()
        process = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak_file] + command,
                                 env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=errors)
        wall = time.perf_counter() - start
        if process.returncode != 0:
            errors.seek(0)
            sys.exit(f"failed ({process.returncode}): {' '.join(command)}\n"
                     f"{errors.read().decode(errors='replace')}")
    with open(peak_file) as peak:
        return wall, int(peak.read().split()[-1]) / 1024


class Store:
    """The N directories and the three stores filled with them."""

    def __init__(self, work, size, target):
        self.root = os.path.join(work, str(size))
        self.size = size
        self.target = target
        self.tree = os.path.join(self.root, "tree")
        # Where every timed process starts: farhost's panels show it, and it is empty.
        self.cwd = os.path.join(self.root, "cwd")
        self.paths = [os.path.join(self.tree, name_of(i)) for i in range(size)]
        # autojump keeps its file right in $XDG_DATA_HOME when that is set.
        self.env = dict(os.environ, HOME=self.root, XDG_DATA_HOME=os.path.join(self.root, "data"),
                        _ZO_DATA_DIR=os.path.join(self.root, "zoxide"), AUTOJUMP_SOURCED="1")

    def fill_peers(self):
        os.makedirs(self.cwd, exist_ok=True)
        for path in self.paths:
            os.makedirs(path, exist_ok=True)
        now = int(time.time())
        z_file = os.path.join(self.root, "z.txt")
        with open(z_file, "w") as out:
            out.writelines(f"{path}|10|{now}\n" for path in self.paths)
        os.makedirs(self.env["_ZO_DATA_DIR"], exist_ok=True)
        subprocess.run(["zoxide", "import", "--merge", z_file], env=self.env, check=True,
                       stdout=subprocess.DEVNULL)
        os.makedirs(self.env["XDG_DATA_HOME"], exist_ok=True)
        with open(os.path.join(self.env["XDG_DATA_HOME"], "autojump.txt"), "w") as out:
            out.writelines(f"10.0\t{path}\n" for path in self.paths)


class Ours:
    """farhost with the plugin, on a registry of its own per option set."""

    def __init__(self, farhost, plugin, store, wine_run=None):
        self.farhost, self.plugin, self.store, self.wine_run = farhost, plugin, store, wine_run
        self.label = "waymarks (wine)" if wine_run else "waymarks"
        self.env = dict(store.env)
        if wine_run:
            self.env.update(WINEPREFIX=os.path.join(store.root, "wineprefix"), WINEDEBUG="-all")
            subprocess.run([wine_run, "--init"], env=self.env, check=True)
            # A server that stays makes every later start a plain process start.
            subprocess.run([WINESERVER, "-p"], env=self.env, check=True)
        else:
            self.env["FARHOST_REGISTRY"] = os.path.join(store.root, "registry.sqlite3")

    def path_of(self, path):
        return "Z:" + path.replace("/", "\\") if self.wine_run else path

    def command(self, *args):
        return ([self.wine_run] if self.wine_run else []) + [self.farhost] + list(args)

    def script(self, name, lines):
        path = os.path.join(self.store.root, ("wine-" if self.wine_run else "") + name)
        with open(path, "w") as out:
            out.write("".join(line + "\n" for line in lines))
        return self.path_of(path)

    def fill(self):
        lines = []
        for i, path in enumerate(self.store.paths):
            lines += [f"cd {self.path_of(path)}", f"cd::{name_of(i)}"]
        script = self.script("fill.farhost", lines)
        wall, _ = timed(self.command("--plugin", self.plugin, "--script", script), self.env,
                        self.store.cwd)
        return wall

    def set_option(self, name, on):
        timed(self.command("reg", "add", OPTIONS_KEY, "/v", name, "/t", "REG_QWORD", "/d",
                           "1" if on else "0", "/f"), self.env)

    def jump(self, kind, typed):
        expected = self.path_of(self.store.paths[self.store.target])
        script = self.script(f"jump-{kind}.farhost",
                             [f"cd:{typed}", f"expect panel active {expected}"])
        return self.command("--plugin", self.plugin, "--script", script)


def median_run(commands, env_of, runs, cwd):
    """Runs every command in turn, `runs` rounds; medians of wall ms and peak MiB per label."""
    samples = {label: [] for label, _ in commands}
    for _ in range(runs):
        for label, command in commands:
            samples[label].append(timed(command, env_of(label), cwd))
    return {label: (statistics.median(w for w, _ in s) * 1000, statistics.median(m for _, m in s))
            for label, s in samples.items()}


@contextlib.contextmanager
def held(lock_path):
    if not lock_path:
        yield
        return
    with open(lock_path, "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(lock, fcntl.LOCK_UN)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--farhost", required=True)
    parser.add_argument("--plugin", required=True)
    parser.add_argument("--wine-farhost")
    parser.add_argument("--wine-plugin")
    parser.add_argument("--wine-run", default=os.path.join(os.path.dirname(
        os.path.abspath(__file__)), "..", "tools", "wine-run.sh"))
    parser.add_argument("--wine-max", type=int, default=10000)
    parser.add_argument("--sizes", default="1000,10000,100000")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--work", default="/tmp/waymarks-peers")
    parser.add_argument("--lock", help="a lock file held while storing and timing (not while "
                        "making directories), so that builds sharing the machine wait")
    args = parser.parse_args()
    install_peers()
    shutil.rmtree(args.work, ignore_errors=True)

    rows, per_waymark = [], {}
    for size in (int(s) for s in args.sizes.split(",")):
        target = size * 7 // 10 + 3
        store = Store(args.work, size, target)
        store.fill_peers()
        ours = [Ours(os.path.abspath(args.farhost), os.path.abspath(args.plugin), store)]
        if args.wine_farhost and size <= args.wine_max:
            ours.append(Ours(os.path.abspath(args.wine_farhost), "Z:" + os.path.abspath(
                args.wine_plugin).replace("/", "\\"), store, wine_run=args.wine_run))
        for tool in ours:
            with held(args.lock):
                seconds = tool.fill()
            per_waymark[(tool.label, size)] = seconds / size
            print(f"{tool.label}: {size} waymarks stored in {seconds:.1f} s "
                  f"({seconds / size * 1e6:.0f} us each)", flush=True)

        leaf = os.path.basename(store.paths[target])
        kinds = [("exact name", name_of(target), leaf, False),
                 ("last component", leaf, leaf, True),
                 ("prefix walk", name_of(target)[:-3], leaf[:-3], False)]
        for kind, typed, keyword, over_dir in kinds:
            for tool in ours:
                tool.set_option("AllowSearchOverDir", over_dir)
            commands = [(tool.label, tool.jump(kind.split()[0], typed)) for tool in ours]
            peers = [("zoxide", ["zoxide", "query", keyword]),
                     ("autojump", ["/usr/share/autojump/autojump", keyword])]
            for label, command in peers:
                found = subprocess.run(command, env=store.env, capture_output=True, text=True)
                if found.stdout.strip() != store.paths[target]:
                    sys.exit(f"{label} found {found.stdout.strip()!r} for {keyword}")
            commands += peers
            envs = {tool.label: tool.env for tool in ours}
            with held(args.lock):
                result = median_run(commands, lambda label: envs.get(label, store.env),
                                    args.runs, store.cwd)
            rows.append((size, kind, result))
            print_row(size, kind, result, [tool.label for tool in ours], flush=True)
        for tool in ours:
            if tool.wine_run:
                subprocess.run([WINESERVER, "-k"], env=tool.env)

    print("\n| waymarks | jump | " + " | ".join(
        f"{label} ms, MiB" for label in rows[0][2]) + " | ours / zoxide | autojump / ours |")
    print("|---" * (4 + len(rows[0][2])) + "|")
    for size, kind, result in rows:
        print_row(size, kind, result, [l for l in result if l.startswith("waymarks")],
                  markdown=True)
    # The walk's own cost: the prefix walk less the exact jump, which lists nothing.
    by_size = {}
    for size, kind, result in rows:
        by_size.setdefault(size, {})[kind] = result
    for label in [l for l in rows[0][2] if l.startswith("waymarks")]:
        costs = {size: (kinds["prefix walk"][label][0] - kinds["exact name"][label][0]) / size
                 for size, kinds in by_size.items() if label in kinds["prefix walk"]}
        text = ", ".join(f"{size}: {cost * 1e6:.0f} ns" for size, cost in sorted(costs.items()))
        positive = [c for c in costs.values() if c > 0]
        flat = f"{max(positive) / min(positive):.2f}" if len(positive) > 1 else "-"
        print(f"\n{label}, walk per stored waymark: {text}; largest / smallest {flat}")
    for label in sorted({label for label, _ in per_waymark}):
        costs = {size: cost for (l, size), cost in per_waymark.items() if l == label}
        text = ", ".join(f"{size}: {cost * 1e6:.0f} us" for size, cost in sorted(costs.items()))
        flat = max(costs.values()) / min(costs.values())
        print(f"\n{label}, one store (cd::) per waymark: {text}; largest / smallest {flat:.2f}")


def print_row(size, kind, result, ours_labels, markdown=False, flush=False):
    cells = [f"{ms:.1f}, {mib:.1f}" for ms, mib in result.values()]
    ratios = []
    for label in ours_labels:
        ms = result[label][0]
        ratios.append(f"{ms / result['zoxide'][0]:.2f}×")
        ratios.append(f"{result['autojump'][0] / ms:.1f}×")
    if markdown:
        print(f"| {size:,} | {kind} | " + " | ".join(cells) + " | " +
              " / ".join(ratios[0::2]) + " | " + " / ".join(ratios[1::2]) + " |")
    else:
        print(f"{size:>7} {kind:<15} " + "  ".join(
            f"{label} {cell}" for label, cell in zip(result, cells)) + "  " + " ".join(ratios),
            flush=flush)


if __name__ == "__main__":
    main()
