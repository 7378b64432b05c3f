"""Drives far2l, the FAR 2 host of Linux, inside a private tmux server and reads its screen;
reads and changes the plugin's store with farhost's reg commands."""

import os
import shutil
import signal
import subprocess
import time

from tmuxhost import TmuxHost

OPTIONS_KEY = r"HKEY_CURRENT_USER\Software\Far2\Plugins\Waymarks"
ENTRIES_KEY = OPTIONS_KEY + "folders"
# The plugin's store below the profile (far2l's settings folder).
STORE = os.path.join("plugins", "waymarks", "waymarks.sqlite3")
# Without its extensions far2l reads the terminal's plain sequences, where Shift+Enter is Enter.
# Its input also takes the win32-input-mode sequences (Vk;Sc;Uc;Kd;Cs;Rc_) of any key, which tmux
# passes on as bytes: Shift down, Enter down and up with Shift held, Shift up.
SHIFT_PRESSED = 0x10
SHIFT_ENTER = [f"\x1b[16;42;0;1;{SHIFT_PRESSED};1_", f"\x1b[13;28;13;1;{SHIFT_PRESSED};1_",
               f"\x1b[13;28;13;0;{SHIFT_PRESSED};1_", "\x1b[16;42;0;0;0;1_"]
# A lone Esc is told from the start of a sequence by a pause (far2l waits 100 ms).
ESCAPE_PAUSE = 0.25


class Far2l(TmuxHost):
    """One run of far2l at a time: its profile and tmux server live under `work`; the plugin is
    loaded from `package_dir` as a personal plugin."""

    TEXTS = {"plugins": "Plugin commands", "drive": "Location", "configuration": "Plugins configuration",
             "copy": "Copy", "quit": ("Do you want to quit FAR?", "Вы хотите завершить работу в FAR?")}

    def __init__(self, far2l, package_dir, work, farhost, probe_dir=None):
        super().__init__(work)
        self.far2l = os.path.abspath(far2l)
        self.farhost = os.path.abspath(farhost) if farhost else None
        # `far2l -u DIR` keeps its settings in DIR/.config.
        self.identity = os.path.join(self.work, "profile")
        self.profile = os.path.join(self.identity, ".config")
        self.store = os.path.join(self.profile, STORE)
        self.env = dict(os.environ)
        # The plugin finds its store through far2l alone.
        for name in ("FARHOST_REGISTRY", "FARSETTINGS", "DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)
        self.tmux_env = self.env
        self.host_pid = None
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self._write_tmux_conf()
        # A copy, so that a build going on beside the suite changes nothing under far2l.
        self.package = self.probe = None
        if package_dir:
            self.package = os.path.join(self.work, "package")
            shutil.copytree(package_dir, self.package)
        # The far2l probe module (tests/probe), which reports what far2l hands over.
        if probe_dir:
            self.probe = os.path.join(self.work, "probe")
            shutil.copytree(probe_dir, self.probe)

    def path(self, folder):
        return os.path.abspath(folder)

    # --- the profile and the store ---

    def seed_profile(self, language="English"):
        """A fresh profile: far2l's first-start windows (a help page, a question about the
        clipboard) come only without settings/config.ini; the rest makes the screen plain."""
        shutil.rmtree(self.identity, ignore_errors=True)
        settings = os.path.join(self.profile, "settings")
        os.makedirs(settings)
        write_ini(os.path.join(settings, "config.ini"), {
            "Language": {"Main": language, "Help": language},
            # Nothing over the right panel's title.
            "Screen": {"Clock": 0},
            # The prompt FAR 2 shows; completion would add text of its own to a typed command.
            "Cmdline": {"UsePromptFormat": 1, "PromptFormat": "$p>", "AutoComplete": 0},
            "Interface/Completion": {"ShowList": 0, "Append": 0},
        })
        # Names as they are, without a mark before folders.
        write_ini(os.path.join(settings, "panel.ini"), {"Panel": {"ShowFilenameMarks": 0}})

    def reg(self, *args, check=True):
        """farhost's reg command on the plugin's store; its output."""
        if not self.farhost:
            raise RuntimeError("no farhost to read the plugin's store")
        env = dict(self.env, FARHOST_REGISTRY=self.store)
        process = subprocess.run([self.farhost, "reg", *args], env=env, capture_output=True, text=True)
        if check and process.returncode != 0:
            raise subprocess.CalledProcessError(process.returncode, ["reg", *args], process.stdout, process.stderr)
        return process.stdout

    def set_options(self, options):
        for name, value in options.items():
            self.reg("add", OPTIONS_KEY, "/v", name, "/t", "REG_QWORD", "/d", str(int(value)), "/f")

    def store_elsewhere(self, name, folder):
        """Stores a waymark as another program would, behind the host's back."""
        self.reg("add", ENTRIES_KEY + "\\" + name, "/v", "Directory", "/d", self.path(folder), "/f")

    def entries(self):
        """The stored waymarks: {name with "/" between components: {value name: value}}."""
        return {name: values for name, values in self._query(ENTRIES_KEY).items() if name}

    def options(self):
        """The stored options: {value name: value}."""
        return self._query(OPTIONS_KEY).get("", {})

    def _query(self, key):
        """The key and every key below it: {path below the key, "/" between components: values}."""
        if not os.path.exists(self.store):
            return {}
        try:
            return parse_query(self.reg("query", key, "/s"), key)
        except subprocess.CalledProcessError as failure:
            if "does not exist" in failure.output:
                return {}
            raise

    def dialog_history(self, name):
        """The lines far2l keeps in the history of the dialog edits called `name`."""
        path = os.path.join(self.profile, "history", "dialogs.hst")
        section = read_ini(path).get("SavedDialogHistory/" + name, {})
        return history_lines(section)

    # --- the host ---

    def start(self, left, right, options=None, language="English", plugin=True, plugins=None):
        """far2l on a fresh profile with the package as its personal plugins (or the folder
        `plugins`; none without `plugin`)."""
        self.prepare(options, language)
        self.run(left, right, (plugins or self.package) if plugin else None)

    def prepare(self, options=None, language="English"):
        """Ends the last run and makes a fresh profile with these options of the plugin."""
        self.stop()
        self.seed_profile(language)
        if options:
            self.set_options(options)

    def run(self, left, right, plugins=None):
        """Starts far2l on the profile as it is, the active panel on the left, with the personal
        plugins in `plugins`."""
        command = [self.far2l, "--tty", "--nodetect", "--mortal", "-u", self.identity]
        if plugins:
            command.append(f"-set:System.PersonalPluginsPath={plugins}")
        command += ["-cd", self.path(left), "-cd", self.path(right)]
        self.launch(" ".join(shell_quote(part) for part in command), {"TERM": "xterm-256color"})
        self.host_pid = self._pane_pid()
        self.wait_started()

    def _pane_pid(self):
        text = self._tmux("display-message", "-p", "#{pane_pid}", check=False).strip()
        return int(text) if text.isdigit() else None

    def stop(self):
        """Ends the tmux server and waits for far2l to be gone, so that nothing of the last run
        writes into the next one's profile."""
        children = self._far2l_pids()
        self._tmux("kill-server", check=False)
        deadline = time.monotonic() + 5
        while children and time.monotonic() < deadline:
            children = [pid for pid in children if os.path.exists(f"/proc/{pid}")]
            time.sleep(0.05)
        for pid in children:
            os.kill(pid, signal.SIGKILL)
        self.host_pid = None

    def _far2l_pids(self):
        """far2l's process, the child of the shell in the pane."""
        if self.host_pid is None:
            return []
        try:
            with open(f"/proc/{self.host_pid}/task/{self.host_pid}/children") as file:
                return [int(pid) for pid in file.read().split()]
        except OSError:
            return []

    def close(self):
        self.stop()

    def keys(self, *keys):
        # Esc on its own, then the pause that makes it Esc and not the start of the next key.
        pending = []
        for key in keys:
            if key == "Escape":
                if pending:
                    self._tmux("send-keys", *pending)
                    pending = []
                self._tmux("send-keys", "Escape")
                time.sleep(ESCAPE_PAUSE)
            else:
                pending.append(key)
        if pending:
            self._tmux("send-keys", *pending)

    def send_bytes(self, data):
        self._tmux("send-keys", "-H", *[f"{byte:02x}" for byte in data.encode()])

    def shift_enter(self):
        self.send_bytes("".join(SHIFT_ENTER))

    def quit(self):
        super().quit()
        self.host_pid = None


def shell_quote(text):
    return "'" + text.replace("'", "'\\''") + "'"


def write_ini(path, sections):
    with open(path, "w", encoding="utf-8") as file:
        for section, values in sections.items():
            file.write(f"[{section}]\n")
            file.writelines(f"{name}={value}\n" for name, value in values.items())
            file.write("\n")


def read_ini(path):
    """{section: {name: value}} of far2l's ini files (its histories too); {} when missing."""
    sections, current = {}, None
    try:
        with open(path, encoding="utf-8", errors="replace") as file:
            for line in file:
                line = line.rstrip("\n")
                if line.startswith("[") and line.endswith("]"):
                    current = sections.setdefault(line[1:-1], {})
                elif current is not None and "=" in line:
                    name, _, value = line.partition("=")
                    current[unescape(name)] = unescape(value)
    except FileNotFoundError:
        pass
    return sections


def unescape(text):
    """A name or value of far2l's ini files: in quotes when it holds line breaks and the like."""
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        return text
    codes = {"r": "\r", "n": "\n", "t": "\t", "0": "\0", "\\": "\\", "E": "="}
    out, chars = [], iter(text[1:-1])
    for char in chars:
        out.append(codes.get(next(chars, ""), "") if char == "\\" else char)
    return "".join(out)


def history_lines(section):
    """The lines of one far2l history section, one a line break apart."""
    lines = section.get("Lines", "")
    return lines.split("\n") if lines else []


def parse_query(text, key):
    """farhost's `reg query KEY /s` output: {path below KEY, "/" between components: values}."""
    result, current = {}, None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            name = line[len(key) + 1 :] if line != key else ""
            current = result.setdefault(name.replace("\\", "/"), {})
        elif current is not None and line.startswith("    "):
            name, kind, data = (line[4:].split("    ", 2) + ["", ""])[:3]
            current[name] = parse_value(kind, data)
    return result


def parse_value(kind, data):
    if kind in ("REG_DWORD", "REG_QWORD"):
        return int(data, 16)
    if kind == "REG_BINARY":
        return bytes.fromhex(data)
    if kind == "REG_MULTI_SZ":
        return data.split("\\0")
    return data
