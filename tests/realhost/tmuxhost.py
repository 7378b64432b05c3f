"""What the real-host suites share: a host inside a private tmux server, its screen read as
panels and boxes, waiting for what it shows, and the loop that runs the journeys."""

import os
import shutil
import subprocess
import tempfile
import time
import unicodedata

WIDTH, HEIGHT = 140, 40


class JourneyFailed(Exception):
    """A condition the journey waited for did not come; carries the last screen seen."""

    def __init__(self, what, screen):
        super().__init__(f"{what}\n--- screen ---\n{screen}\n--- end of screen ---")


class HostDidNotStart(JourneyFailed):
    """The host showed nothing of itself in time."""


def wait_for(capture, condition, what, timeout=20):
    """Captures the screen until `condition(screen)` holds; fails with the last screen seen."""
    deadline = time.monotonic() + timeout
    while True:
        screen = capture()
        try:
            if condition(screen):
                return screen
        except (IndexError, AttributeError):
            pass
        if time.monotonic() > deadline:
            raise JourneyFailed(f"timed out waiting for {what}", screen)
        time.sleep(0.05)


class Box:
    """A framed box drawn over the panels: a message, a menu or a dialog."""

    def __init__(self, title, lines, frame=None, inside=None):
        self.title = title
        self.lines = lines
        # (left, top, right, bottom) of the frame, and the rows inside it as drawn.
        self.frame = frame
        self.inside = inside or []

    def __repr__(self):
        return f"Box({self.title!r}, {self.lines!r})"


# Follows a character that takes two cells, so that a row's index is its cell's column.
WIDE = "\0"


def to_cells(row):
    return "".join(char + WIDE if unicodedata.east_asian_width(char) in "WF" else char for char in row)


def from_cells(cells):
    return cells.replace(WIDE, "")


class Screen:
    def __init__(self, text):
        self.rows = (text.split("\n") + [""] * HEIGHT)[:HEIGHT]
        self.rows = [to_cells(row).ljust(WIDTH) for row in self.rows]

    def __str__(self):
        return "\n".join(from_cells(row).rstrip() for row in self.rows)

    def panel_title(self, side):
        half = self.rows[0][: WIDTH // 2] if side == "left" else self.rows[0][WIDTH // 2 :]
        # The clock may take the right end of the top line; a column's edge may cross it.
        return from_cells(half).replace("╤", "═").strip("╔").lstrip("═").split("═")[0].strip()

    def panel_current(self, side):
        """The name under the panel's cursor, as the status line below the panel shows it."""
        row = self.rows[HEIGHT - 4]
        half = row[: WIDTH // 2] if side == "left" else row[WIDTH // 2 :]
        return from_cells(half).strip("║ ")

    def panel_names(self, side):
        """The names a panel lists, column by column, as far as its columns show them."""
        offset = 0 if side == "left" else WIDTH // 2
        header = self.rows[1][offset : offset + WIDTH // 2]
        edges = [0] + [i for i, char in enumerate(header) if char == "│"] + [WIDTH // 2 - 1]
        names = []
        for left, right in zip(edges, edges[1:]):
            for row in self.rows[2 : HEIGHT - 5]:
                name = from_cells(row[offset + left + 1 : offset + right]).strip()
                if name:
                    names.append(name)
        return names

    def panel_rows(self, side):
        """A panel's rows, each as the texts of its columns, for a panel whose columns are the
        name and what belongs to it (not several columns of names)."""
        offset = 0 if side == "left" else WIDTH // 2
        rows = []
        for row in self.rows[2 : HEIGHT - 5]:
            columns = [from_cells(cell).strip() for cell in row[offset + 1 : offset + WIDTH // 2 - 1].split("│")]
            if any(columns):
                rows.append(columns)
        return rows

    def command_line(self):
        # The last column holds the host's scroll mark.
        return from_cells(self.rows[HEIGHT - 2][: WIDTH - 1]).rstrip()

    def key_bar(self):
        return from_cells(self.rows[HEIGHT - 1])

    def box(self):
        """The topmost box that is not a panel frame, or None."""
        panel_columns = (0, WIDTH // 2)
        for top, row in enumerate(self.rows[: HEIGHT - 2]):
            for left, char in enumerate(row):
                if char != "╔" or (left in panel_columns and top == 0):
                    continue
                right = row.find("╗", left + 1)
                if right < 0:
                    continue
                if left in panel_columns and right in (WIDTH // 2 - 1, WIDTH - 1):
                    continue
                inside = []
                for bottom, below in enumerate(self.rows[top + 1 : HEIGHT - 2], top + 1):
                    if below[left] == "╚":
                        title = from_cells(row[left + 1 : right]).strip("═ ")
                        lines = [line.strip() for line in inside if line.strip() and line[0] != "─"]
                        return Box(title, lines, (left, top, right, bottom), inside)
                    inside.append(from_cells(below[left + 1 : right]) if below[left] != "╟" else "─")
        return None


class TmuxHost:
    """A host run in a private tmux server at WIDTH x HEIGHT, the server's files under `work`.
    A host names its own texts in TEXTS (the menus' titles, the copy dialog, the question on
    quitting) and says how it shows a folder in `path`."""

    TEXTS = {}
    # The environment of the tmux server, and so of the host; None: this process's.
    tmux_env = None

    def __init__(self, work):
        self.work = os.path.abspath(work)
        self.socket = os.path.join(self.work, "tmux.socket")
        self.screen = None
        self.exit_file = os.path.join(self.work, "exit-code")

    def text(self, name):
        return self.TEXTS[name]

    def path(self, folder):
        """A folder as the host shows it in panel titles, prompts and its own dialogs."""
        raise NotImplementedError

    def _write_tmux_conf(self):
        with open(os.path.join(self.work, "tmux.conf"), "w") as conf:
            conf.write("set -g status off\nset -g history-limit 0\n")

    def _tmux(self, *args, check=True):
        return subprocess.run(["tmux", "-S", self.socket, "-f", os.path.join(self.work, "tmux.conf"),
                               *args], capture_output=True, text=True, check=check, env=self.tmux_env).stdout

    def _has_session(self):
        return subprocess.run(["tmux", "-S", self.socket, "has-session"], capture_output=True).returncode == 0

    def close(self):
        self._tmux("kill-server", check=False)

    def launch(self, command, env=None):
        """Runs the shell command `command` in a new tmux server; its exit code goes to
        exit_file. `env` are variables for the command."""
        self._tmux("kill-server", check=False)
        # The shell keeps the host's exit code; tmux does not always learn it.
        if os.path.exists(self.exit_file):
            os.unlink(self.exit_file)
        command = (f"{command}; echo $? > '{self.exit_file}.new' && mv '{self.exit_file}.new' '{self.exit_file}'")
        env_args = []
        for name, value in (env or {}).items():
            env_args += ["-e", f"{name}={value}"]
        # A server that was just killed may still hold the socket for a moment.
        deadline = time.monotonic() + 10
        while self._tmux("new-session", "-d", "-x", str(WIDTH), "-y", str(HEIGHT), *env_args,
                         command, check=False) is None or not self._has_session():
            if time.monotonic() > deadline:
                raise JourneyFailed("tmux could not start the host", self.capture())
            time.sleep(0.1)

    def wait_started(self, timeout=60):
        """Waits for the key bar: "1Help" in English, "1Помощь" in Russian."""
        try:
            self.wait(lambda s: s.key_bar().startswith("1") and s.key_bar()[1].isalpha(),
                      "the host's key bar", timeout=timeout)
        except JourneyFailed as failure:
            raise HostDidNotStart("the host's key bar", self.screen) from failure

    def capture(self):
        self.screen = Screen(self._tmux("capture-pane", "-p", check=False))
        return self.screen

    def wait(self, condition, what, timeout=20):
        """Polls the screen until `condition(screen)` holds; fails with the last screen seen."""
        return wait_for(self.capture, condition, what, timeout)

    def keys(self, *keys):
        self._tmux("send-keys", *keys)

    def type(self, text):
        """Types text as it is, into whatever has the focus."""
        self._tmux("send-keys", "-l", text)

    def prompt(self, folder):
        """The command line's prompt while a file panel shows `folder`."""
        return self.path(folder) + ">"

    def command(self, text):
        """Types a command line and runs it."""
        self.wait(lambda s: s.command_line().endswith(">"), "an empty command line")
        self._tmux("send-keys", "-l", text)
        self.wait(lambda s: s.command_line().endswith(text), f"the command line to show {text!r}")
        self.keys("Enter")

    def wait_box(self, title, what=None, timeout=20):
        return self.wait(lambda s: s.box() and s.box().title == title,
                         what or f"a box titled {title!r}", timeout).box()

    def wait_no_box(self):
        return self.wait(lambda s: s.box() is None, "no box over the panels")

    def wait_panel(self, side, folder):
        """Waits for the active panel, on `side`, to be a file panel showing `folder` with no box
        over it: its title and the command line's prompt both name the folder."""
        title = self.path(folder)
        return self.wait(lambda s: s.panel_title(side) == title and s.command_line() == self.prompt(folder)
                         and s.box() is None, f"the {side} panel to show {title}")

    def cd(self, side, folder):
        """The host's own cd on the command line: the active panel, on `side`, goes to `folder`."""
        self.command(f"cd {self.path(folder)}")
        return self.wait_panel(side, folder)

    def quit(self):
        self.keys("F10")
        self.wait(lambda s: s.box() and any(q in s.box().lines for q in self.text("quit")),
                  "the question whether to quit")
        self.keys("Enter")
        deadline = time.monotonic() + 20
        while not os.path.exists(self.exit_file):
            if time.monotonic() > deadline:
                raise JourneyFailed("the host did not end after the question", self.capture())
            time.sleep(0.05)
        with open(self.exit_file) as file:
            code = file.read().strip()
        if code != "0":
            raise JourneyFailed(f"the host ended with exit code {code}", self.capture())


def language_file(folder, name):
    """Message n of a language file, hot-key marks removed."""
    with open(os.path.join(folder, name), encoding="utf-8-sig") as file:
        texts = [line.strip()[1:-1] for line in file if line.startswith('"')]
    return lambda n: texts[n].replace("&", "").replace("\\\\", "\\")


def messages(folder):
    """The plugin's English messages by number (`msg(n)`), the Russian ones as `msg.russian(n)`,
    from the language files in `folder`."""
    msg = language_file(folder, "WaymarksEng.lng")
    msg.russian = language_file(folder, "WaymarksRus.lng")
    return msg


def run_journeys(suite, host, journeys, msg, chosen_names=(), about=""):
    """Runs the chosen journeys (all when none is named), each on a fresh folder tree and
    ending with the host's quit; prints one line a journey and a summary. The exit code."""
    chosen = [j for j in journeys if not chosen_names or j.__name__ in chosen_names]
    started = time.monotonic()
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
                    # A host under load now and then shows nothing for a minute: once more.
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
    print(f"{suite}: {len(chosen) - failures} of {len(chosen)} journeys passed "
          f"in {time.monotonic() - started:.0f} s{about}")
    return 1 if failures else 0
