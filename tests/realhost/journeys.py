"""What a user does with Waymarks in the real host, one journey per function."""

import os
import shutil

from driver import WIDTH, JourneyFailed, host_path

JOURNEYS = []


def journey(function):
    JOURNEYS.append(function)
    return function


def check(condition, what, host):
    if not condition:
        raise JourneyFailed(what, host.capture())


def dismiss(host, box_title, *lines):
    """Waits for a box with these lines, closes it with Enter and waits for it to go."""
    box = host.wait(lambda s: s.box() and s.box().title == box_title
                    and all(line in s.box().lines for line in lines),
                    f"a box {box_title!r} with {lines!r}").box()
    host.keys("Enter")
    host.wait_no_box()
    return box


def round_trip(host):
    """Opens and closes the plugins menu: whatever the host did before is on the screen now."""
    host.keys("F11")
    host.wait_box("Plugin commands")
    host.keys("Escape")
    host.wait_no_box()


@journey
def menus_list_the_plugin(host, files, msg):
    a, b = files("a"), files("b")
    host.start(a, b)
    for keys, title in ((["F11"], "Plugin commands"), (["M-F1"], "Drive"), (["M-F2"], "Drive")):
        host.keys(*keys)
        box = host.wait_box(title)
        check(any(line.endswith(msg(0)) for line in box.lines), f"{msg(0)!r} in the menu {title!r}", host)
        host.keys("Escape")
        host.wait_no_box()

    # Choosing the plugin in a menu opens no panel yet. A drive menu whose plugin opens nothing
    # leaves its panel on the active panel's folder: the host's own doing.
    for keys, title, right in ((["F11"], "Plugin commands", b), (["M-F1"], "Drive", b), (["M-F2"], "Drive", a)):
        host.keys(*keys)
        host.wait_box(title)
        host.keys("End", "Enter")
        host.wait_no_box()
        round_trip(host)
        screen = host.capture()
        check(screen.panel_title("left") == host_path(a) and screen.panel_title("right") == host_path(right),
              f"the panels on {a} and {right} after choosing {msg(0)!r} in {title!r}", host)

    host.keys("F9")
    host.wait(lambda s: "Options" in s.rows[0] and s.box() is None, "the host's menu bar")
    host.keys("o")
    host.wait(lambda s: s.box() and "Plugins configuration" in s.box().lines, "the Options menu")
    host.keys("u")  # its hot key: Pl&ugins configuration
    box = host.wait_box("Plugins configuration")
    check(msg(0) in box.lines, f"{msg(0)!r} among the plugins to configure", host)
    host.keys("Escape")
    host.wait_no_box()


@journey
def store_then_jump_back_and_forth(host, files, msg):
    a, b = files("a"), files("b")
    host.start(a, b, {"AllowSearchOverDir": 1})
    host.command("cd:-")
    dismiss(host, msg(0), msg(58))

    host.command("cd::tools/build")
    host.wait_panel("left", a)
    entries = host.entries()
    check(entries.get("tools/build", {}).get("Directory") == host_path(a), f"tools/build stored as {a}", host)
    check(entries.get("tools", {}).get("Flags") == 0x10, "tools stored as a group", host)

    host.keys("Tab")
    host.wait(lambda s: s.command_line() == host_path(b) + ">", "the right panel to be active")
    host.command("cd:build")
    host.wait_panel("right", a)
    host.command("cd:-")
    host.wait_panel("right", b)
    host.command("cd:-")
    host.wait_panel("right", a)
    host.cd("right", b)
    host.command("cd:tools/build")
    host.wait_panel("right", a)


@journey
def a_menu_chooses_among_matching_names(host, files, msg):
    work, home, elsewhere = files("work/src"), files("home/src"), files("b")
    host.start(work, elsewhere, {"AllowSearchOverDir": 1})
    host.command("cd::work/src")
    host.wait_panel("left", work)
    host.cd("left", home)
    host.command("cd::home/src")
    host.wait_panel("left", home)
    stored = [name for name in host.entries() if name.endswith("/src")]

    host.cd("left", elsewhere)
    host.command("cd:src")
    menu = host.wait_box(msg(20))
    shown = [line.split()[0] for line in menu.lines]
    check(shown == stored, f"the menu's lines {shown} in the store's order {stored}", host)
    host.keys("Enter")
    host.wait_panel("left", files(stored[0]))

    host.command("cd:src")
    host.wait_box(msg(20))
    host.keys("Escape")
    dismiss(host, msg(0), msg(6))
    host.wait_panel("left", files(stored[0]))


@journey
def a_suffix_goes_below_and_a_missing_folder_walks_up(host, files, msg):
    project, deep, elsewhere = files("proj"), files("x/y/z/w"), files("b")
    os.makedirs(os.path.join(project, "sub"))
    host.start(project, elsewhere, {"AllowPathSuffix": 1})
    host.command("cd::proj")
    host.wait_panel("left", project)
    host.cd("left", deep)
    host.command("cd::gone")
    host.wait_panel("left", deep)
    host.cd("left", elsewhere)

    host.command("cd:proj\\sub")
    host.wait_panel("left", os.path.join(project, "sub"))

    shutil.rmtree(files("x/y"))
    host.command("cd:gone")
    question = host.wait_box(msg(0))
    for line in (msg(7), host_path(deep), msg(36)):
        check(line in question.lines, f"{line!r} in the question", host)
    host.keys("Enter")
    host.wait_panel("left", files("x"))


@journey
def an_exception_is_reported_and_the_host_goes_on(host, files, msg):
    a = files("a")
    host.start(a, files("b"))
    host.command("cd::a:b")
    report = host.wait_box(msg(0))
    expected = [msg(5) % "OpenW", "EWaymarkError", *msg(11).split("\\n"), "{ OK }"]
    check(report.lines == expected, f"the report {report.lines}, expected {expected}", host)
    host.keys("Enter")
    host.wait_panel("left", a)
    check("a:b" not in host.entries(), "nothing stored", host)
    host.command("cd::c")
    host.wait_panel("left", a)
    check("c" in host.entries(), "a store after the report", host)


def open_options_dialog(host, msg):
    host.keys("F9")
    host.wait(lambda s: "Options" in s.rows[0] and s.box() is None, "the host's menu bar")
    host.keys("o")
    host.wait(lambda s: s.box() and "Plugins configuration" in s.box().lines, "the Options menu")
    host.keys("u")  # its hot key: Pl&ugins configuration
    return choose_in_plugins_configuration(host, msg)


def choose_in_plugins_configuration(host, msg):
    host.wait_box("Plugins configuration")
    host.keys("Enter")
    return host.wait(lambda s: s.box() and any(msg(40) in line for line in s.box().lines),
                     "the options dialog").box()


@journey
def the_options_dialog_saves_on_enter_and_nothing_on_esc(host, files, msg):
    host.start(files("a"), files("b"))
    dialog = open_options_dialog(host, msg)
    left, top, right, bottom = dialog.frame
    # As wide as the console less 4 (76 on 80 columns) and 16 rows high; the frame lies three
    # cells and one row inside the dialog.
    size = (right - left + 1 + 6, bottom - top + 1 + 2)
    check(size == (WIDTH - 4, 16), f"a {WIDTH - 4} x 16 dialog, not {size[0]} x {size[1]}", host)
    indents = [0, 0, 2, 2, 2, 2, 0, 0, 0, 0]
    for i, indent in enumerate(indents):
        mark = "[x]" if i == 8 else "[ ]"  # finding by first letters is on by default
        expected = " " * (1 + indent) + mark + " " + msg(40 + i)
        check(dialog.inside[i].startswith(expected), f"box {i + 1} reads {expected!r}", host)

    host.keys("Space")
    host.wait(lambda s: s.box() and s.box().inside[0].startswith(" [x] "), "the first box checked")
    host.keys("Escape")
    host.wait_box("Plugins configuration")
    check(host.options() == {}, "nothing stored after Esc", host)

    choose_in_plugins_configuration(host, msg)
    host.keys("Space")
    host.wait(lambda s: s.box() and s.box().inside[0].startswith(" [x] "), "the first box checked")
    host.keys("Enter")
    host.wait_box("Plugins configuration")
    options = host.options()
    expected = {"SaveLastPanelDir": 1, "UseSubstEngines": 0, "UseSubstEngine_Known": 0,
                "UseSubstEngines_Env": 0, "UseSubstEngines_BatchEnv": 0, "UseSubstEngines_Reg": 0,
                "AllowPathSuffix": 0, "AllowPluginCalls": 0, "AllowFuzzySearch": 1,
                "AllowSearchOverDir": 0, "LastPanelDir": "LastPanelDir"}  # its default text
    check(options == expected, f"the eleven options stored, got {options}", host)
    host.keys("Escape")
    host.wait_no_box()
