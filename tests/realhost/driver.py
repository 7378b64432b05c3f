"""Drives the real host under wine64 inside a private tmux server and reads its screen."""

import os
import shutil
import subprocess
import tempfile

from tmuxhost import TmuxHost

HOST_KEY = r"HKEY_CURRENT_USER\Software\Far2"
OPTIONS_KEY = HOST_KEY + r"\Plugins\Waymarks"
ENTRIES_KEY = OPTIONS_KEY + "folders"
# The terminal has no way to send Shift+Enter to wine's console: a host macro on this key plays it.
SHIFT_ENTER_KEY, SHIFT_ENTER_MACRO = "C-S-F12", "CtrlShiftF12"


def host_path(path):
    """A Linux path as the host sees it: "/" is drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def find_wine(name):
    for candidate in (name, f"/usr/lib/wine/{name}"):
        found = shutil.which(candidate)
        if found:
            return found
    raise RuntimeError(f"{name} is not installed")


class RealHost(TmuxHost):
    """One run of the host: its run folder, wine prefix and tmux server live under `work`."""

    TEXTS = {"plugins": "Plugin commands", "drive": "Drive", "configuration": "Plugins configuration",
             "copy": "Copy", "quit": ("Do you want to quit FAR?", "Вы хотите завершить работу в FAR?")}

    def __init__(self, far_dir, package_dir, work):
        super().__init__(work)
        self.run_dir = os.path.join(self.work, "run")
        self.env = dict(os.environ, WINEPREFIX=os.path.join(self.work, "prefix"), WINEDEBUG="-all")
        for name in ("DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)
        self.wine = find_wine("wine64")
        self.wineserver = find_wine("wineserver64") if shutil.which("/usr/lib/wine/wineserver64") \
            else find_wine("wineserver")
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
        self._write_tmux_conf()

    def close(self):
        super().close()
        subprocess.run([self.wineserver, "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def path(self, folder):
        return host_path(folder)

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
        """The lines the host keeps in the history of the dialog edits called `name`."""
        lines = self._export(HOST_KEY + "\\SavedDialogHistory\\" + name).get("", {}).get("Lines", b"")
        return lines.decode("utf-16-le").split("\0")

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
        command = f"cd '{self.run_dir}' && '{self.wine}' Far.exe '{host_path(left)}' '{host_path(right)}'"
        self.launch(command, {name: self.env[name] for name in ("WINEPREFIX", "WINEDEBUG")})
        self.wait_started()

    def shift_enter(self):
        self.keys(SHIFT_ENTER_KEY)


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
