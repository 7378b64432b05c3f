"""Drives the real host under wine64 inside a private tmux server and reads its screen."""

import os
import shutil
import subprocess
import tempfile
import time

WIDTH, HEIGHT = 140, 40
HOST_KEY = r"HKEY_CURRENT_USER\Software\Far2"
OPTIONS_KEY = HOST_KEY + r"\Plugins\Waymarks"
ENTRIES_KEY = OPTIONS_KEY + "folders"
# The terminal has no way to send Shift+Enter to wine's console: a host macro on this key plays it.
SHIFT_ENTER_KEY, SHIFT_ENTER_MACRO = "C-S-F12", "CtrlShiftF12"


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


def host_path(path):
    """A Linux path as the host sees it: "/" is drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def find_wine(name):
    for candidate in (name, f"/usr/lib/wine/{name}"):
        found = shutil.which(candidate)
        if found:
            return found
    raise RuntimeError(f"{name} is not installed")


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


class Screen:
    def __init__(self, text):
        self.rows = (text.split("\n") + [""] * HEIGHT)[:HEIGHT]
        self.rows = [row.ljust(WIDTH) for row in self.rows]

    def __str__(self):
        return "\n".join(row.rstrip() for row in self.rows)

    def panel_title(self, side):
        half = self.rows[0][: WIDTH // 2] if side == "left" else self.rows[0][WIDTH // 2 :]
        # The clock may take the right end of the top line; a column's edge may cross it.
        return half.replace("╤", "═").strip("╔").lstrip("═").split("═")[0].strip()

    def panel_current(self, side):
        """The name under the panel's cursor, as the status line below the panel shows it."""
        row = self.rows[HEIGHT - 4]
        half = row[: WIDTH // 2] if side == "left" else row[WIDTH // 2 :]
        return half.strip("║ ")

    def panel_names(self, side):
        """The names a panel lists, column by column, as far as its columns show them."""
        offset = 0 if side == "left" else WIDTH // 2
        header = self.rows[1][offset : offset + WIDTH // 2]
        edges = [0] + [i for i, char in enumerate(header) if char == "│"] + [WIDTH // 2 - 1]
        names = []
        for left, right in zip(edges, edges[1:]):
            for row in self.rows[2 : HEIGHT - 5]:
                name = row[offset + left + 1 : offset + right].strip()
                if name:
                    names.append(name)
        return names

    def panel_rows(self, side):
        """A panel's rows, each as the texts of its columns, for a panel whose columns are the
        name and what belongs to it (not several columns of names)."""
        offset = 0 if side == "left" else WIDTH // 2
        rows = []
        for row in self.rows[2 : HEIGHT - 5]:
            cells = [cell.strip() for cell in row[offset + 1 : offset + WIDTH // 2 - 1].split("│")]
            if any(cells):
                rows.append(cells)
        return rows

    def command_line(self):
        # The last column holds the host's scroll mark.
        return self.rows[HEIGHT - 2][: WIDTH - 1].rstrip()

    def key_bar(self):
        return self.rows[HEIGHT - 1]

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
                        title = row[left + 1 : right].strip("═ ")
                        lines = [line.strip() for line in inside if line.strip() and line[0] != "─"]
                        return Box(title, lines, (left, top, right, bottom), inside)
                    inside.append(below[left + 1 : right] if below[left] != "╟" else "─")
        return None


class RealHost:
    """One run of the host: its run folder, wine prefix and tmux server live under `work`."""

    def __init__(self, far_dir, package_dir, work):
        self.work = os.path.abspath(work)
        self.run_dir = os.path.join(self.work, "run")
        self.env = dict(os.environ, WINEPREFIX=os.path.join(self.work, "prefix"), WINEDEBUG="-all")
        for name in ("DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)
        self.wine = find_wine("wine64")
        self.wineserver = find_wine("wineserver64") if shutil.which("/usr/lib/wine/wineserver64") \
            else find_wine("wineserver")
        self.socket = os.path.join(self.work, "tmux.socket")
        self.screen = None
        self._prepare(far_dir, package_dir)

    # --- setting up and tearing down ---

    def _prepare(self, far_dir, package_dir):
        shutil.rmtree(self.work, ignore_errors=True)
        plugin_dir = os.path.join(self.run_dir, "Plugins", "Waymarks")
        os.makedirs(plugin_dir)
        for name in os.listdir(far_dir):
            if name == "Far.exe" or name == "LICENSE" or name.endswith((".lng", ".hlf")):
                shutil.copy(os.path.join(far_dir, name), self.run_dir)
        for name in os.listdir(package_dir):
            shutil.copy(os.path.join(package_dir, name), plugin_dir)
        # One server for the whole suite spares every wine process the server's start.
        os.makedirs(self.env["WINEPREFIX"])
        subprocess.run([self.wineserver, "-p"], env=self.env, check=True)
        subprocess.run([self.wine, "wineboot", "--init"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(os.path.join(self.work, "tmux.conf"), "w") as conf:
            conf.write("set -g status off\nset -g history-limit 0\n")

    def close(self):
        self._tmux("kill-server", check=False)
        subprocess.run([self.wineserver, "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _tmux(self, *args, check=True):
        return subprocess.run(["tmux", "-S", self.socket, "-f", os.path.join(self.work, "tmux.conf"),
                               *args], capture_output=True, text=True, check=check).stdout

    # --- the registry ---

    def reset_registry(self, options=None, language="English"):
        """Removes everything the plugin stored, sets the given options (name: 0 or 1) and the
        host's interface language."""
        lines = ["Windows Registry Editor Version 5.00", "", f"[-{ENTRIES_KEY}]", f"[-{OPTIONS_KEY}]", "",
                 f"[{HOST_KEY}\\Language]", f'"Main"="{language}"', "",
                 # The host's completion would add text of its own to a typed command line.
                 f"[{HOST_KEY}\\Cmdline]", '"AutoComplete"=dword:00000000', "",
                 f"[{HOST_KEY}\\Interface\\Completion]", '"ShowList"=dword:00000000',
                 '"Append"=dword:00000000', "",
                 f"[{HOST_KEY}\\KeyMacros\\Shell\\{SHIFT_ENTER_MACRO}]", '"Sequence"="ShiftEnter"', ""]
        if options:
            lines.append(f"[{OPTIONS_KEY}]")
            lines += [f'"{name}"=dword:{int(value):08x}' for name, value in options.items()]
        self._import("\r\n".join(lines) + "\r\n")

    def store_elsewhere(self, name, folder):
        """Stores a waymark as another program would, behind the host's back."""
        directory = host_path(folder).replace("\\", "\\\\")
        self._import("\r\n".join(["Windows Registry Editor Version 5.00", "",
                                  f"[{ENTRIES_KEY}\\{name}]", f'"Directory"="{directory}"', ""]) + "\r\n")

    def _import(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".reg", dir=self.work, delete=False,
                                         encoding="utf-16") as file:
            file.write(text)
        try:
            self._wine("reg", "import", file.name)
        finally:
            os.unlink(file.name)

    def _wine(self, *args):
        return subprocess.run([self.wine, *args], env=self.env, capture_output=True, check=True)

    def entries(self):
        """The stored waymarks: {name with "/" between components: {value name: value}}."""
        return {name: values for name, values in self._export(ENTRIES_KEY).items() if name}

    def options(self):
        """The stored options: {value name: value}."""
        return self._export(OPTIONS_KEY).get("", {})

    def dialog_history(self, name):
        """The host's saved history of the dialog edits called `name`: {value name: value}."""
        return self._export(HOST_KEY + "\\SavedDialogHistory\\" + name).get("", {})

    def _export(self, key):
        """The key and every key below it: {path below the key, "/" between components: values}."""
        path = os.path.join(self.work, "export.reg")
        try:
            self._wine("reg", "export", key.replace("HKEY_CURRENT_USER", "HKCU"), path, "/y")
        except subprocess.CalledProcessError:
            return {}
        with open(path, encoding="utf-16") as file:
            text = file.read().replace("\\\r\n  ", "").replace("\\\n  ", "")
        os.unlink(path)
        result, current = {}, None
        for line in text.splitlines():
            if line.startswith("[") and line.endswith("]"):
                name = line[1:-1][len(key) + 1 :]
                current = result.setdefault(name.replace("\\", "/"), {})
            elif current is not None and line.startswith('"'):
                name, _, value = line[1:].partition('"=')
                current[name] = _parse_reg_value(value)
        return result

    # --- the host ---

    def start(self, left, right, options=None, language="English"):
        self.reset_registry(options, language)
        self._tmux("kill-server", check=False)
        # The shell keeps the host's exit code; tmux does not always learn it from wine.
        self.exit_file = os.path.join(self.work, "exit-code")
        if os.path.exists(self.exit_file):
            os.unlink(self.exit_file)
        command = (f"cd '{self.run_dir}' && '{self.wine}' Far.exe '{host_path(left)}' '{host_path(right)}';"
                   f" echo $? > '{self.exit_file}.new' && mv '{self.exit_file}.new' '{self.exit_file}'")
        env_args = []
        for name in ("WINEPREFIX", "WINEDEBUG"):
            env_args += ["-e", f"{name}={self.env[name]}"]
        # A server that was just killed may still hold the socket for a moment.
        deadline = time.monotonic() + 10
        while self._tmux("new-session", "-d", "-x", str(WIDTH), "-y", str(HEIGHT), *env_args,
                         command, check=False) is None or not self._has_session():
            if time.monotonic() > deadline:
                raise JourneyFailed("tmux could not start the host", self.capture())
            time.sleep(0.1)
        # "1Help" in English, "1Помощь" in Russian.
        try:
            self.wait(lambda s: s.key_bar().startswith("1") and s.key_bar()[1].isalpha(),
                      "the host's key bar", timeout=60)
        except JourneyFailed as failure:
            raise HostDidNotStart("the host's key bar", self.screen) from failure

    def _has_session(self):
        return subprocess.run(["tmux", "-S", self.socket, "has-session"], capture_output=True).returncode == 0

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

    def shift_enter(self):
        self.keys(SHIFT_ENTER_KEY)

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
        title = host_path(folder)
        return self.wait(lambda s: s.panel_title(side) == title and s.command_line() == title + ">"
                         and s.box() is None, f"the {side} panel to show {title}")

    def cd(self, side, folder):
        """The host's own cd on the command line: the active panel, on `side`, goes to `folder`."""
        self.command(f"cd {host_path(folder)}")
        return self.wait_panel(side, folder)

    def quit(self):
        self.keys("F10")
        questions = ("Do you want to quit FAR?", "Вы хотите завершить работу в FAR?")
        self.wait(lambda s: s.box() and any(q in s.box().lines for q in questions),
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


def _parse_reg_value(text):
    if text.startswith('"'):
        return text[1:-1].replace('\\"', '"').replace("\\\\", "\\")
    if text.startswith("dword:"):
        return int(text[6:], 16)
    kind, _, data = text.partition(":")
    octets = bytes(int(octet, 16) for octet in data.split(",") if octet)
    if kind == "hex(b)":
        return int.from_bytes(octets, "little")
    return octets
