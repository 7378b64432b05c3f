"""Journeys that only far2l has: the host itself, where it keeps the plugin and its store, its
help, and what it hands over to a module. Every journey of the FAR 2 suite runs here too
(journeys.JOURNEYS)."""

import os
import pwd
import stat
import time

from driver import read_ini
from journeys import JOURNEYS as SHARED, check, store, wait_listing
from tmuxhost import language_file


def far2l_starts_lists_its_own_plugins_and_quits(host, files, msg):
    """far2l starts on the two folders with nothing over its panels, and its plugins menu lists
    its own plugins (and Waymarks, when loaded); quitting ends it with 0."""
    a, b = files("a"), files("b")
    os.makedirs(os.path.join(a, "sub"))
    host.start(a, b, plugin=msg is not None)
    screen = host.wait_panel("left", a)
    check(screen.panel_title("right") == host.path(b), f"the right panel on {b}", host)
    check(screen.panel_names("left")[:2] == ["..", "sub"], "the folder listed by its plain name", host)
    host.keys("F11")
    menu = host.wait_box(host.text("plugins"))
    check("Temporary panel" in menu.lines, f"far2l's own plugins in {menu.lines}", host)
    if msg is not None:
        check(any(line.endswith(msg(0)) for line in menu.lines), f"{msg(0)!r} in {menu.lines}", host)
    host.keys("Escape")
    host.wait_no_box()


def the_plugin_keeps_its_store_in_the_profile(host, files, msg):
    a = files("a")
    host.start(a, files("b"))
    store(host, a, "top")
    check(os.path.isfile(host.store), f"the store {host.store} made by the first waymark", host)
    check(host.entries().get("top", {}).get("Directory") == host.path(a), f"top stored in {host.store}", host)
    # far2l caches what the plugin told it: the menus' texts and the command prefix.
    states = [values for values in read_ini(os.path.join(host.profile, "plugins", "state.ini")).values()
              if values.get("Module", "").endswith("Waymarks.far-plug-wide")]
    check(len(states) == 1, f"one entry of the plugin in far2l's plugins/state.ini: {states}", host)
    state = states[0]
    for name, expected in (("PluginMenuString0", msg(0)), ("DiskMenuString0", msg(0)),
                           ("PluginConfigString0", msg(0)), ("CommandPrefix", "cd")):
        check(state.get(name) == expected, f"{name}={expected} in the plugin's state: {state}", host)
    # What another program stores shows at the panel's next reading.
    host.store_elsewhere("beside", files("c"))
    host.command("cd:")
    wait_listing(host, "left", ["beside", "top"], "beside", "/")


def help_contents(path):
    """The title of the help file's Contents topic and the start of its first line of text."""
    with open(path, encoding="utf-8-sig") as file:
        lines = file.read().split("@Contents\n", 1)[1].splitlines()
    return lines[0].strip("$^#"), lines[1].replace("#", "").strip()[:40]


def f1_on_the_panel_shows_the_plugins_help_in_the_hosts_language(host, files, msg):
    for language, name in (("English", "WaymarksEng.hlf"), ("Russian", "WaymarksRus.hlf")):
        title, text = help_contents(os.path.join(host.package, "plug", name))
        host.start(files("a"), files("b"), language=language)
        host.command("cd:")
        wait_listing(host, "left", [], None, "/")
        host.keys("F1")
        page = host.wait(lambda s: s.box() and s.box().title.endswith(" - " + msg(0)), "the help window").box()
        check(page.lines[0] == title and page.lines[1].startswith(text),
              f"the Contents topic of {name}: {title!r}, then {text!r}", host)
        host.keys("Escape")
        host.wait_no_box()
        if language == "English":
            host.quit()


def probe_report(host):
    """The probe's report: {name: [values in the order written]}."""
    report = {}
    with open(os.path.join(host.probe, "plug", "report.txt"), encoding="utf-8") as file:
        for line in file:
            name, _, value = line.rstrip("\n").partition(" ")
            report.setdefault(name, []).append(value)
    return report


# far2l's dialog key codes: extended keys at 0x00200000 with the Windows key code, Ctrl, Alt and
# Shift at 0x04000000, 0x08000000 and 0x10000000; Alt with a letter takes its capital.
PROBE_KEYS = (("F2", 0x00200071), ("C-Up", 0x04200026), ("a", ord("a")), ("S-F4", 0x10200073),
              ("M-x", 0x08000000 | ord("X")), ("Escape", 27))


def the_records_far2l_hands_over_are_as_declared(host, files, msg):
    """The probe module, written straight on the plugin interface as declared for far2l, says
    what far2l 2.6.5 hands over: record sizes, texts beyond the first plane both ways, the panel's
    information and items, and the dialogs' key codes."""
    folder = files("panel")
    item = os.path.join(folder, "a😀.txt")
    with open(item, "w") as file:
        file.write("hello")
    os.chmod(item, 0o644)
    report = os.path.join(host.probe, "plug", "report.txt")
    if os.path.exists(report):
        os.unlink(report)
    host.start(folder, files("b"), plugins=host.probe)
    host.command("f2probe:héllo😀")
    host.wait(lambda s: s.panel_title("left") == "Probe panel" and s.box() is None, "the probe's panel")
    report = probe_report(host)
    expected = {
        "startup.size": "260", "functions.size": "532", "startup.root": "Software/Far2/Plugins",
        "message": language_file(os.path.join(host.probe, "plug"), "Far2lProbeEng.lng")(0),
        "truncated": "…jklmnop/q", "command": "héllo😀", "panel.result": "1", "panel.plugin": "0",
        "panel.focus": "1", "panel.folder": folder, "panel.items": "2", "item1.name": "a😀.txt",
        "item1.size": "5", "item1.attributes": "32", "item1.mode": str(stat.S_IFREG | 0o644),
        "item1.owner": pwd.getpwuid(os.getuid()).pw_name, "openplugininfo.size": "112"}
    got = {name: report.get(name, [None])[0] for name in expected}
    check(got == expected, f"the probe's report {got}, expected {expected}", host)

    host.command("f2probe:dialog")
    host.wait_box("Keys")
    for key, _ in PROBE_KEYS:
        host.keys(key)
        time.sleep(0.2)
    host.wait_no_box()
    # Each modifier also comes alone, as a key of its own; those are left out.
    modifiers = {0, 0x04000000, 0x08000000, 0x10000000}
    codes = [int(code) for code in probe_report(host).get("key", []) if int(code) not in modifiers]
    check(codes == [code for _, code in PROBE_KEYS], f"the key codes {codes}", host)


HOST_ONLY = [far2l_starts_lists_its_own_plugins_and_quits]
PROBE = [the_records_far2l_hands_over_are_as_declared]
JOURNEYS = SHARED + [the_plugin_keeps_its_store_in_the_profile,
                     f1_on_the_panel_shows_the_plugins_help_in_the_hosts_language]
