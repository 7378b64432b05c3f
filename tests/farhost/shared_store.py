#!/usr/bin/env python3
"""farhost processes sharing one registry file: two that store and jump at once lose nothing
and show no message, and one killed again and again in the middle of its stores leaves no
entry half written.

usage: shared_store.py FARHOST MODULE
"""
import os
import random
import re
import subprocess
import sys
import tempfile
import time

FOLDERS = "HKCU\\Software\\Far2\\Plugins\\Waymarksfolders"
# What a stored plain directory has: every value, the directory last.
ENTRY_VALUES = ["Param", "HostFile", "Description", "Flags", "Directory"]


def farhost(args, env, **kwargs):
    return subprocess.run([FARHOST] + args, env=env, capture_output=True, text=True, **kwargs)


def store_and_jump_script(folder, tag, count):
    """Stores `count` waymarks in five shared groups and jumps to each right after."""
    lines = []
    for i in range(count):
        directory = os.path.join(folder, f"{tag}{i}")
        os.makedirs(directory, exist_ok=True)
        name = f"g{i % 5}/{tag}{i}"
        lines += [f"cd {directory}", f"cd::{name}", "cd /", f"cd:{name}",
                  f"expect panel active {directory}"]
    return "".join(line + "\n" for line in lines)


def run_script(text, env, folder, name):
    path = os.path.join(folder, name)
    with open(path, "w") as out:
        out.write(text)
    return subprocess.Popen([FARHOST, "--plugin", MODULE, "--script", path], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def stored_entries(env):
    """Every key below the entries' key with the names of its values, from `reg query /s`."""
    result = farhost(["reg", "query", FOLDERS, "/s"], env)
    if result.returncode != 0:
        # Killed before its first store: the key is not there yet.
        check("does not exist" in result.stdout + result.stderr,
              f"reg query failed:\n{result.stdout}{result.stderr}")
        return {}
    listing = result.stdout
    entries, current = {}, None
    for line in listing.splitlines():
        if line.startswith("HKEY_CURRENT_USER\\"):
            key = line.split("\\Waymarksfolders", 1)[1]
            current = entries.setdefault(key.lstrip("\\"), []) if key else None
        elif current is not None and line.startswith("    "):
            current.append(re.split(r"\s{4}", line.strip())[0])
    return entries


def check(condition, message):
    if not condition:
        sys.exit("FAILED: " + message)


def two_processes_at_once(folder):
    env = dict(os.environ, FARHOST_REGISTRY=os.path.join(folder, "shared.sqlite3"))
    count = 60
    runs = [run_script(store_and_jump_script(folder, tag, count), env, folder, f"{tag}.farhost")
            for tag in ("a", "b")]
    for tag, run in zip("ab", runs):
        output, _ = run.communicate(timeout=120)
        check(run.returncode == 0, f"process {tag} failed:\n{output}")
        # A message box of the plugin's (a busy store, a failed store) is drawn with "+--".
        check("+--" not in output, f"process {tag} showed a message:\n{output}")
    entries = stored_entries(env)
    for tag in "ab":
        for i in range(count):
            name = f"g{i % 5}/{tag}{i}"
            check(entries.get(name) == ENTRY_VALUES, f"{name} is {entries.get(name)}")


def killed_in_the_middle(folder):
    env = dict(os.environ, FARHOST_REGISTRY=os.path.join(folder, "killed.sqlite3"))
    lines = []
    for i in range(400):
        directory = os.path.join(folder, f"k{i}")
        os.makedirs(directory, exist_ok=True)
        lines.append(f"cd {directory}")
        # From the second round on, each store overwrites and asks first: yes.
        if i >= 20:
            lines.append("answer message 0")
        lines.append(f"cd::g{i % 3}/k{i % 20}")
    script = "".join(line + "\n" for line in lines)
    # Kills land after the start of farhost and the plugin (slow in a sanitizer build), among
    # the stores.
    start = time.monotonic()
    farhost(["--plugin", MODULE, "--script", os.devnull], env, check=True)
    started = time.monotonic() - start
    deadline = time.monotonic() + 8 + 20 * started
    kills = 0
    while kills < 20 and time.monotonic() < deadline:
        run = run_script(script, env, folder, "killed.farhost")
        time.sleep(started + random.uniform(0.01, 0.12))
        run.kill()
        run.communicate()
        kills += 1
        # Groups as well as waymarks: every value or none.
        for name, values in stored_entries(env).items():
            check(values == ENTRY_VALUES, f"after kill {kills}: {name} holds {values}")
    check(kills >= 5, f"only {kills} kills in the time")
    check(stored_entries(env), "nothing was stored before the kills")


FARHOST, MODULE = sys.argv[1], sys.argv[2]
with tempfile.TemporaryDirectory(prefix="wm-shared-store-") as work:
    two_processes_at_once(work)
    killed_in_the_middle(work)
print("shared store: ok")
