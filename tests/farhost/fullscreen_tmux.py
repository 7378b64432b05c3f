#!/usr/bin/env python3
"""Journeys through farhost's full screen in a private tmux server: keys sent with send-keys,
the screen read with capture-pane. A failing journey prints the screen it saw.
Usage: fullscreen_tmux.py FARHOST MODULE [JOURNEY...]"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "realhost"))
from tmuxhost import JourneyFailed, wait_for  # noqa: E402  (the real-host suites' tmux helpers)

WIDTH, HEIGHT = 100, 30


class Screen:
    def __init__(self, text):
        self.rows = [row.ljust(WIDTH) for row in (text.split("\n") + [""] * HEIGHT)[:HEIGHT]]

    def __str__(self):
        return "\n".join(row.rstrip() for row in self.rows)

    def half(self, row, side):
        return self.rows[row][: WIDTH // 2] if side == "left" else self.rows[row][WIDTH // 2 :]

    def title(self, side):
        return self.half(0, side).replace("╤", "═").strip("╔╗═").strip()

    def current(self, side):
        """The info line under the panel: the current item's name, and what it is."""
        return self.half(HEIGHT - 4, side).strip("║ ")

    def columns(self, side):
        """Each listed row's columns (the name, and the description where the panel has one)."""
        cells = [[cell.strip() for cell in self.half(row, side).strip("║").split("│")]
                 for row in range(2, HEIGHT - 5)]
        return [row for row in cells if any(row)]

    def names(self, side):
        return [row[0] for row in self.columns(side)]

    def command_line(self):
        return self.rows[HEIGHT - 2].rstrip()

    def text(self):
        return "\n".join(self.rows)


class FullScreen:
    """farhost in a private tmux server, on folders and a registry of its own."""

    def __init__(self, farhost, module):
        self.farhost, self.module = farhost, module
        self.work = tempfile.mkdtemp(prefix="farhost-tmux-")
        self.root = os.path.join(self.work, "files")
        for folder in ("alpha/inner", "beta", "out"):
            os.makedirs(os.path.join(self.root, folder))
        with open(os.path.join(self.root, "notes.txt"), "w") as file:
            file.write("twelve bytes")
        self.server = f"farhost-journeys-{os.getpid()}"
        self.screen = None

    def tmux(self, *args, check=True):
        return subprocess.run(["tmux", "-L", self.server, "-f", "/dev/null", *args],
                              capture_output=True, text=True, check=check).stdout

    def start(self):
        """farhost afresh, on an empty registry."""
        self.tmux("kill-server", check=False)
        registry = os.path.join(self.work, "registry.sqlite3")
        if os.path.exists(registry):
            os.unlink(registry)
        self.exit_file = os.path.join(self.work, "exit-code")
        if os.path.exists(self.exit_file):
            os.unlink(self.exit_file)
        env = {"HOME": self.work, "LANG": "C.UTF-8",
               "FARHOST_REGISTRY": os.path.join(self.work, "registry.sqlite3")}
        exports = " ".join(f"{name}='{value}'" for name, value in env.items())
        command = (f"cd '{self.root}' && env {exports} '{self.farhost}' --plugin '{self.module}';"
                   f" echo $? > '{self.exit_file}'; sleep 60")
        # A server just killed may hold its socket for a moment.
        deadline = time.monotonic() + 10
        while subprocess.run(["tmux", "-L", self.server, "-f", "/dev/null", "new-session", "-d",
                              "-x", str(WIDTH), "-y", str(HEIGHT), command],
                             capture_output=True).returncode != 0:
            if time.monotonic() > deadline:
                raise JourneyFailed("tmux could not start farhost", "")
            time.sleep(0.1)
        self.wait(lambda s: "1Help" in s.rows[HEIGHT - 1], "the key bar")

    def stop(self):
        self.tmux("kill-server", check=False)

    def capture(self):
        self.screen = Screen(self.tmux("capture-pane", "-p", check=False))
        return self.screen

    def wait(self, condition, what, timeout=20):
        return wait_for(self.capture, condition, what, timeout)

    def wait_text(self, text, timeout=20):
        return self.wait(lambda s: text in s.text(), repr(text), timeout)

    def keys(self, *keys):
        for key in keys:
            self.tmux("send-keys", key)
            # A key at a time, each drawn before the next: what a person sees.
            time.sleep(0.08)

    def type(self, text):
        self.tmux("send-keys", "-l", text)
        time.sleep(0.08)

    def command(self, text):
        self.wait(lambda s: s.command_line().endswith(">"), "an empty command line")
        self.type(text)
        self.wait(lambda s: s.command_line().endswith(text), f"{text!r} typed")
        self.keys("Enter")

    def exit_code(self, timeout=10):
        deadline = time.monotonic() + timeout
        while not os.path.exists(self.exit_file) or not open(self.exit_file).read().strip():
            if time.monotonic() > deadline:
                raise JourneyFailed("farhost did not end", self.capture())
            time.sleep(0.05)
        return int(open(self.exit_file).read())

    def right_panel_into(self, folder):
        """From the left panel: the right one enters `folder`, and the left is active again."""
        self.keys("Tab")
        self.cursor_to(folder, "right")
        self.keys("Enter")
        self.wait(lambda s: s.title("right").endswith("/" + folder), f"the right panel in {folder}")
        self.keys("Tab")

    def cursor_to(self, name, side="left"):
        """Down from the top until the info line shows `name`."""
        self.keys("Home")
        for _ in range(30):
            if self.capture().current(side).split("  ")[0] == name:
                return
            self.keys("Down")
        raise JourneyFailed(f"no {name!r} on the {side} panel", self.capture())


def browse_both_panels(fs):
    root = fs.root
    fs.wait(lambda s: s.title("left") == root and s.title("right") == root, "both panels on the root")
    fs.wait(lambda s: s.names("left") == ["..", "alpha", "beta", "out", "notes.txt"], "the listing")
    fs.cursor_to("notes.txt")
    fs.wait(lambda s: s.current("left").endswith("12"), "the file's size on the info line")
    fs.cursor_to("alpha")
    fs.keys("Enter")
    fs.wait(lambda s: s.title("left").endswith("/alpha") and s.names("left") == ["..", "inner"],
            "the left panel in alpha")
    fs.wait(lambda s: s.command_line().endswith("/alpha>"), "the folder as the prompt")
    fs.keys("Tab")
    fs.cursor_to("beta", "right")
    fs.keys("Enter")
    fs.wait(lambda s: s.title("right").endswith("/beta"), "the right panel in beta")
    fs.keys("Enter")  # ".." back up, the cursor on the folder left
    fs.wait(lambda s: s.title("right") == root and s.current("right").startswith("beta"),
            "the right panel back on the root")
    fs.keys("C-o")
    fs.wait(lambda s: "╔" not in s.rows[0], "the panels hidden")
    fs.keys("C-o")
    fs.wait(lambda s: "╔" in s.rows[0], "the panels back")


def store_and_jump(fs):
    fs.cursor_to("alpha")
    fs.keys("Enter")
    fs.command("cd::work/alpha")
    fs.keys("Home", "Enter")  # back up to the root
    fs.wait(lambda s: s.title("left") == fs.root, "the root again")
    fs.command("cd:work/alpha")
    fs.wait(lambda s: s.title("left").endswith("/alpha"), "the jump to alpha")
    # The history brings the store back: Ctrl+E twice is the line before the jump.
    fs.keys("C-e", "C-e")
    fs.wait(lambda s: s.command_line().endswith("cd::work/alpha"), "the earlier line")
    fs.keys("C-y")


def plugin_panel_group_edit_export(fs):
    fs.cursor_to("beta")
    fs.keys("Enter")
    fs.command("cd::work/beta")
    fs.command("cd::top")
    fs.keys("F11")
    box = fs.wait_text("Waymarks")
    fs.keys("Enter")
    fs.wait(lambda s: s.names("left") == ["work", "top"], "the plugin's panel with its groups")
    # Each waymark's directory is in sight, under the panel's own column titles.
    screen = fs.capture()
    shown = screen.columns("left")[1][-1]
    if len(shown) < 10 or not os.path.join(fs.root, "beta").startswith(shown) \
            or "Directory" not in screen.half(1, "left"):
        raise JourneyFailed("the directory column of top", screen)
    fs.cursor_to("work")
    fs.keys("Enter")
    fs.wait(lambda s: s.names("left") == ["..", "beta"], "the group's waymarks")
    fs.cursor_to("beta")
    # F4: the waymark's dialog; a description typed into it, then OK.
    fs.keys("F4")
    fs.wait_text("Description")
    fs.wait_text("beta")
    fs.keys("Down", "Down")
    fs.type("the beta folder")
    fs.wait_text("the beta folder")
    fs.keys("Enter")
    fs.wait(lambda s: "Description" not in s.text(), "the dialog closed")
    result = subprocess.run([fs.farhost, "reg", "query",
                             "HKCU\\Software\\Far2\\Plugins\\Waymarksfolders\\work/beta", "/s"],
                            capture_output=True, text=True,
                            env={**os.environ, "FARHOST_REGISTRY": os.path.join(fs.work, "registry.sqlite3")})
    if "the beta folder" not in result.stdout:
        raise JourneyFailed("the description was not stored:\n" + result.stdout, fs.capture())
    # Back to the top level; F5 exports the group to the other panel's folder.
    fs.cursor_to("..")
    fs.keys("Enter")
    fs.wait(lambda s: s.names("left") == ["work", "top"], "the top level")
    fs.right_panel_into("out")
    fs.cursor_to("work")
    fs.keys("F5")
    fs.wait(lambda s: "work" in s.names("right"), "the exported group on the right")
    fs.keys("Tab")
    fs.cursor_to("work", "right")
    fs.keys("Enter")
    fs.wait(lambda s: s.names("right") == ["..", "alpha.wmk", "beta.wmk"] or
            s.names("right") == ["..", "beta.wmk"], "the exported files")


def drive_menu_add_delete_configure(fs):
    fs.keys("M-F1")
    fs.wait_text("Change drive: left")
    fs.keys("End", "Enter")
    fs.wait(lambda s: s.title("left") == "Waymarks: /" and s.names("left") == [], "the plugin's empty panel")
    # Shift+F4 adds a waymark for the other panel's folder under the name typed.
    fs.keys("S-F4")
    fs.wait_text("Name")
    fs.type("home")
    fs.wait_text("home")
    fs.keys("Enter")
    fs.wait(lambda s: s.names("left") == ["home"], "the new waymark")
    fs.keys("F8")
    fs.wait_text("Delete")
    fs.keys("Enter")
    fs.wait(lambda s: s.names("left") == [], "the waymark deleted")
    fs.keys("F9")
    fs.wait_text("Plugins configuration")
    fs.keys("Enter")
    fs.wait_text("[x] Find names by their first letters")
    fs.keys("Escape")
    fs.wait(lambda s: "first letters" not in s.text(), "the options dialog closed")


def resize_redraws(fs):
    fs.tmux("resize-window", "-x", "120", "-y", "35")
    deadline = time.monotonic() + 20
    while True:
        rows = fs.tmux("capture-pane", "-p", check=False).split("\n")
        if len(rows) >= 35 and rows[0].rstrip().endswith("╗") and len(rows[0].rstrip()) == 120 \
                and "11Plugin" in rows[34]:
            break
        if time.monotonic() > deadline:
            raise JourneyFailed("no redraw at 120 x 35", "\n".join(rows))
        time.sleep(0.05)
    # A box drawn after the resize is centred on the new size.
    fs.keys("F11")
    deadline = time.monotonic() + 20
    while True:
        rows = fs.tmux("capture-pane", "-p", check=False).split("\n")
        box = [row for row in rows if "Plugin commands" in row]
        if box and abs(box[0].index("Plugin commands") - 60) < 12:
            break
        if time.monotonic() > deadline:
            raise JourneyFailed("the menu is not centred at 120 x 35", "\n".join(rows))
        time.sleep(0.05)
    fs.keys("Escape")


def file_keys(fs):
    root = fs.root
    # F7 makes a folder; the cursor goes to it.
    fs.keys("F7")
    fs.wait_text("Make folder")
    fs.type("made")
    fs.wait_text("made")
    fs.keys("Enter")
    fs.wait(lambda s: s.current("left").startswith("made"), "the cursor on the new folder")
    if not os.path.isdir(os.path.join(root, "made")):
        raise JourneyFailed("no folder made", fs.capture())
    # F3 shows a file's text; Esc closes the viewer.
    fs.cursor_to("notes.txt")
    fs.keys("F3")
    fs.wait(lambda s: s.rows[1].startswith("twelve bytes"), "the viewer")
    fs.keys("Escape")
    fs.wait(lambda s: "1Help" in s.rows[HEIGHT - 1], "the panels again")
    # F5 copies the file to the other panel's folder after the copy dialog.
    fs.right_panel_into("out")
    fs.cursor_to("notes.txt")
    fs.keys("F5")
    fs.wait_text('Copy "notes.txt" to:')
    fs.keys("Enter")
    fs.wait(lambda s: "notes.txt" in s.names("right"), "the copy on the right")
    if open(os.path.join(root, "out", "notes.txt")).read() != "twelve bytes":
        raise JourneyFailed("the copy differs", fs.capture())
    # F8 deletes it there after the question.
    fs.keys("Tab")
    fs.cursor_to("notes.txt", "right")
    fs.keys("F8")
    fs.wait_text("Do you wish to delete the file")
    fs.keys("Enter")
    fs.wait(lambda s: "notes.txt" not in s.names("right"), "the copy deleted")
    if not os.path.exists(os.path.join(root, "notes.txt")):
        raise JourneyFailed("the original went too", fs.capture())


def quit_with_f10(fs):
    fs.keys("F10")
    code = fs.exit_code()
    if code != 0:
        raise JourneyFailed(f"farhost ended with {code}", fs.capture())


JOURNEYS = [browse_both_panels, store_and_jump, plugin_panel_group_edit_export,
            drive_menu_add_delete_configure, file_keys, resize_redraws, quit_with_f10]


def main():
    farhost, module = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    chosen = sys.argv[3:]
    if not shutil.which("tmux"):
        print("tmux is not installed")
        return 1
    fs = FullScreen(farhost, module)
    passed = failed = 0
    try:
        for journey in JOURNEYS:
            if chosen and journey.__name__ not in chosen:
                continue
            try:
                fs.start()
                journey(fs)
                passed += 1
                print(f"ok   {journey.__name__}", flush=True)
            except JourneyFailed as failure:
                failed += 1
                print(f"FAIL {journey.__name__}: {failure}", flush=True)
    finally:
        fs.stop()
        shutil.rmtree(fs.work, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
