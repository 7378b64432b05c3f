"""What a user does with Waymarks in a real host, one journey per function; each host's driver
says how it names its folders (`path`, `prompt`) and its own menus and dialogs (`text`)."""

import os
import shutil
import time

from tmuxhost import WIDTH, JourneyFailed

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


def current_name(screen, side):
    return screen.panel_current(side).split()[0]


def wait_listing(host, side, names, current=None, group=None):
    """Waits for the plugin panel on `side`, with no box over it, to list `names` (and to have
    the cursor on `current`, and to show `group`); the panel's title names the group shown."""
    def shown(s):
        title = s.panel_title(side)
        return (s.box() is None and title.startswith("Waymarks: /")
                and (group is None or title == "Waymarks: " + group)
                and [row[0] for row in s.panel_rows(side)] == names
                and (current is None or current_name(s, side) == current))
    return host.wait(shown, f"the {side} plugin panel listing {names}"
                     + (f" with the cursor on {current!r}" if current else ""))


def choose_plugin(host, keys, title, msg):
    """Chooses the plugin in the menu that `keys` open."""
    host.keys(*keys)
    choose_in_menu(host, title, msg)


def choose_in_menu(host, title, msg):
    """Chooses the plugin's line in the menu titled `title`: from the top (Home does not reach
    every host's menus through the terminal) down to it."""
    menu = host.wait_box(title)
    line = next((i for i, text in enumerate(menu.lines) if text.endswith(msg(0))), None)
    check(line is not None, f"{msg(0)!r} in the menu {title!r}", host)
    host.keys("PPage", *["Down"] * line, "Enter")


def open_panel(host, msg, names, current=None):
    choose_plugin(host, ["F11"], host.text("plugins"), msg)
    screen = wait_listing(host, "left", names, current)
    # Under load wine may split the key's escape sequence and type its tail ("[23~") into the
    # command line; Esc clears it, as it does any typed text.
    if not screen.command_line().endswith(">"):
        host.keys("Escape")
        screen = host.wait(lambda s: s.command_line().endswith(">"), "an empty command line")
    return screen


def store(host, folder, *names):
    for name in names:
        host.command("cd::" + name)
        host.wait_panel("left", folder)


@journey
def menus_list_the_plugin(host, files, msg):
    a, b = files("a"), files("b")
    host.start(a, b)
    plugins, drive = host.text("plugins"), host.text("drive")
    for keys, title in ((["F11"], plugins), (["M-F1"], drive), (["M-F2"], drive)):
        host.keys(*keys)
        box = host.wait_box(title)
        check(any(line.endswith(msg(0)) for line in box.lines), f"{msg(0)!r} in the menu {title!r}", host)
        host.keys("Escape")
        host.wait_no_box()

    # Each menu opens the panel on its side; Enter on the waymark leaves it for the folder. The
    # right panel opened from Alt+F2 is not made active: the host's doing.
    store(host, a, "home")
    host.cd("left", b)
    for keys, title, side in ((["F11"], plugins, "left"), (["M-F1"], drive, "left"), (["M-F2"], drive, "right")):
        choose_plugin(host, keys, title, msg)
        wait_listing(host, side, ["home"])
        if side == "right":
            host.wait(lambda s: s.command_line() == host.prompt(b), "the left panel still active")
            host.keys("Tab")
        host.keys("Enter")
        host.wait_panel(side, a)
        if side == "left":
            host.cd("left", b)

    host.keys("F9")
    host.wait(lambda s: "Options" in s.rows[0] and s.box() is None, "the host's menu bar")
    host.keys("o")
    host.wait(lambda s: s.box() and any(line.startswith(host.text("configuration")) for line in s.box().lines),
              "the Options menu")
    host.keys("u")  # its hot key: Pl&ugins configuration
    box = host.wait_box(host.text("configuration"))
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
    check(entries.get("tools/build", {}).get("Directory") == host.path(a), f"tools/build stored as {a}", host)
    check(entries.get("tools", {}).get("Flags") == 0x10, "tools stored as a group", host)

    host.keys("Tab")
    host.wait(lambda s: s.command_line() == host.prompt(b), "the right panel to be active")
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
def a_prefix_finds_the_waymarks_it_starts_while_the_option_is_on(host, files, msg):
    build, bin_, elsewhere = files("build"), files("bin"), files("b")
    host.start(build, elsewhere, {"AllowFuzzySearch": 0})
    store(host, build, "tools/build")
    host.cd("left", elsewhere)
    host.command("cd:tools/bu")
    dismiss(host, msg(0), msg(6))
    host.wait_panel("left", elsewhere)
    host.quit()

    host.start(build, elsewhere)  # on by default
    store(host, build, "tools/build")
    host.cd("left", bin_)
    store(host, bin_, "tools/bin")
    host.cd("left", elsewhere)
    host.command("cd:tools/bu")
    host.wait_panel("left", build)
    host.command("cd:tools/b")
    menu = host.wait_box(msg(20))
    shown = sorted(line.split()[0] for line in menu.lines)
    check(shown == ["tools/bin", "tools/build"], f"both waymarks that start tools/b offered: {shown}", host)
    host.keys("Escape")
    dismiss(host, msg(0), msg(6))
    host.wait_panel("left", build)


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
    for line in (msg(7), host.path(deep), msg(36)):
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
    host.wait(lambda s: s.box() and any(line.startswith(host.text("configuration")) for line in s.box().lines),
              "the Options menu")
    host.keys("u")  # its hot key: Pl&ugins configuration
    return choose_in_plugins_configuration(host, msg)


def choose_in_plugins_configuration(host, msg):
    choose_in_menu(host, host.text("configuration"), msg)
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
    host.wait_box(host.text("configuration"))
    check(host.options() == {}, "nothing stored after Esc", host)

    choose_in_plugins_configuration(host, msg)
    host.keys("Space")
    host.wait(lambda s: s.box() and s.box().inside[0].startswith(" [x] "), "the first box checked")
    host.keys("Enter")
    host.wait_box(host.text("configuration"))
    options = host.options()
    expected = {"SaveLastPanelDir": 1, "UseSubstEngines": 0, "UseSubstEngine_Known": 0,
                "UseSubstEngines_Env": 0, "UseSubstEngines_BatchEnv": 0, "UseSubstEngines_Reg": 0,
                "AllowPathSuffix": 0, "AllowPluginCalls": 0, "AllowFuzzySearch": 1,
                "AllowSearchOverDir": 0, "LastPanelDir": "LastPanelDir"}  # its default text
    check(options == expected, f"the eleven options stored, got {options}", host)
    host.keys("Escape")
    host.wait_no_box()


@journey
def the_panel_walks_the_groups(host, files, msg):
    a = files("a")
    host.start(a, files("b"))
    store(host, a, "apps/edit", "tools/build", "tools/run", "top")
    open_panel(host, msg, ["apps", "tools", "top"], "apps")
    host.keys("Down", "Enter")
    wait_listing(host, "left", ["..", "build", "run"], "..")
    host.keys("Enter")
    wait_listing(host, "left", ["apps", "tools", "top"], "tools")


@journey
def the_panel_names_its_group_shows_the_directories_and_goes_up_a_group_at_a_time(host, files, msg):
    a = files("a")
    host.start(a, files("b"))
    store(host, a, "proj/alpha", "proj/deep/inner/x", "top")
    open_panel(host, msg, ["proj", "top"], "proj")
    screen = host.capture()
    check(screen.panel_rows("left")[1] == ["top", host.path(a)], "top's directory in its row", host)
    header = screen.rows[1][: WIDTH // 2]
    check(msg(59) in header and msg(60) in header, "the column titles", host)
    for label in (f"4{msg(61)}", f"5{msg(62)}", f"6{msg(63)}", f"7{msg(64)}", f"8{msg(65)}"):
        check(label in screen.key_bar(), f"{label!r} in the key bar", host)

    # The title and the prompt follow the group; each member shows under its own name.
    host.keys("Enter")
    wait_listing(host, "left", ["..", "deep", "alpha"], "..", "/proj")
    host.keys("Down", "Enter")
    wait_listing(host, "left", ["..", "inner"], "..", "/proj/deep")
    host.keys("Down", "Enter")
    wait_listing(host, "left", ["..", "x"], "..", "/proj/deep/inner")
    check(host.capture().command_line() == "proj/deep/inner>", "the group as the prompt", host)

    # ".." and Ctrl+PgUp go up one group, the cursor on the group left; at the top Ctrl+PgUp
    # leaves the panel.
    host.keys("Enter")
    wait_listing(host, "left", ["..", "inner"], "inner", "/proj/deep")
    host.keys("C-PageUp")
    wait_listing(host, "left", ["..", "deep", "alpha"], "deep", "/proj")
    host.keys("C-PageUp")
    wait_listing(host, "left", ["proj", "top"], "proj", "/")
    check(host.capture().command_line() == ">", "an empty prompt at the top", host)
    host.keys("C-PageUp")
    host.wait_panel("left", a)


@journey
def a_waymark_stored_elsewhere_shows_in_the_open_panel(host, files, msg):
    a, b = files("a"), files("b")
    host.start(a, b)
    store(host, a, "top")
    host.command("cd:")  # the prefix alone opens the panel too
    wait_listing(host, "left", ["top"], "top", "/")
    # From the other panel's command line: the panel shows it at once.
    host.keys("Tab")
    host.wait(lambda s: s.command_line() == host.prompt(b), "the right panel active")
    host.command("cd::beside")
    wait_listing(host, "left", ["beside", "top"])
    # By another program: the host's next reading shows it (Ctrl+R), the cursor kept.
    host.keys("Tab")
    host.wait(lambda s: s.command_line() == ">", "the plugin panel active")
    host.keys("Down")
    wait_listing(host, "left", ["beside", "top"], "top")
    host.store_elsewhere("elsewhere", a)
    host.keys("C-r")
    wait_listing(host, "left", ["beside", "elsewhere", "top"], "top")


@journey
def the_panel_speaks_russian_with_the_host(host, files, msg):
    a = files("a")
    host.start(a, files("b"), language="Russian")
    store(host, a, "top")
    choose_plugin(host, ["F11"], "Команды внешних модулей", msg)
    screen = wait_listing(host, "left", ["top"], "top", "/")
    header = screen.rows[1][: WIDTH // 2]
    check("Имя" in header and "Папка" in header, "the Russian column titles", host)
    check("4Правка" in screen.key_bar(), "the Russian key bar", host)


@journey
def the_plugin_speaks_russian_in_its_messages(host, files, msg):
    ru = msg.russian
    a = files("a")
    host.start(a, files("b"), language="Russian")
    host.command("cd:-")
    dismiss(host, ru(0), ru(58))
    store(host, a, "top")
    host.command("cd:nothing")
    dismiss(host, ru(0), ru(6))
    choose_plugin(host, ["F11"], "Команды внешних модулей", msg)
    wait_listing(host, "left", ["top"], "top", "/")
    host.keys("F8")
    question = host.wait_box(ru(0))
    check(question.lines[0] == ru(12) and ru(3) in question.lines[-1] and ru(4) in question.lines[-1],
          f"the question {ru(12)!r} with {ru(3)!r} and {ru(4)!r}", host)
    host.keys("Escape")
    wait_listing(host, "left", ["top"], "top")
    check("top" in host.entries(), "top kept after Esc", host)


@journey
def enter_jumps_this_panel_and_shift_enter_the_other(host, files, msg):
    a, b, c, d = files("a"), files("b"), files("c"), files("d")
    host.start(c, b)
    store(host, c, "tools/build")
    host.cd("left", d)
    store(host, d, "top")
    host.cd("left", a)
    open_panel(host, msg, ["tools", "top"])
    host.keys("Down")
    wait_listing(host, "left", ["tools", "top"], "top")
    host.shift_enter()
    host.wait(lambda s: s.panel_title("right") == host.path(d), f"the right panel to show {d}")
    wait_listing(host, "left", ["tools", "top"], "top")

    host.keys("Up", "Enter")
    wait_listing(host, "left", ["..", "build"], "..")
    host.keys("Down", "Enter")
    host.wait_panel("left", c)
    check(host.capture().panel_title("right") == host.path(d), f"the right panel still on {d}", host)


def exchange_file(name, directory, description=None):
    """The bytes the plugin writes for one waymark."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<waymarks>", "  <item>", f"    <name>{name}</name>"]
    if description is not None:
        lines.append(f"    <description>{description}</description>")
    lines += [f"    <directory>{directory}</directory>", "  </item>", "</waymarks>", ""]
    return "\r\n".join(lines).encode()


def file_bytes(path):
    with open(path, "rb") as file:
        return file.read()


def wait_files(host, expected):
    """Waits for the files {path: bytes} to be on disk as expected."""
    def written(_):
        return all(os.path.isfile(path) and file_bytes(path) == data for path, data in expected.items())
    try:
        host.wait(written, "the exchange files")
    except JourneyFailed:
        found = {path: file_bytes(path) if os.path.isfile(path) else None for path in expected}
        raise JourneyFailed(f"the files {expected}, found {found}", host.capture())


@journey
def copy_and_move_export_a_group_to_files(host, files, msg):
    a, b = files("a"), files("b")
    host.start(a, b)
    store(host, a, "tools/build", "tools/run", "top")
    open_panel(host, msg, ["tools", "top"], "tools")
    host.keys("Enter")
    wait_listing(host, "left", ["..", "build", "run"], "..")
    host.keys("Down", "F4")
    host.wait(lambda s: s.box() and s.box().title == msg(0) and "build" in s.box().lines[1],
              "the edit dialog on build")
    host.keys("Tab")
    host.type("Build & test")
    host.wait(lambda s: s.box() and s.box().lines[3].startswith("Build & test"), "the description typed")
    host.keys("Enter")
    wait_listing(host, "left", ["..", "build", "run"], "build")
    check(host.entries()["tools/build"]["Description"] == "Build & test", "the description stored", host)
    # The panel shows it at once, in place of the directory.
    host.wait(lambda s: s.panel_rows("left")[1] == ["build", "Build & test"], "the description in the panel")
    host.keys("Up", "Enter")
    wait_listing(host, "left", ["tools", "top"], "tools")

    # The host asks nothing before a copy out of the plugin panel.
    host.keys("F5")
    folder = os.path.join(b, "tools")
    expected = {os.path.join(folder, "build.wmk"): exchange_file("build", host.path(a), "Build &amp; test"),
                os.path.join(folder, "run.wmk"): exchange_file("run", host.path(a))}
    wait_files(host, expected)
    host.wait(lambda s: s.box() is None and s.panel_names("right") == ["..", "tools"], "the copy in the right panel")
    check(sorted(os.listdir(folder)) == ["build.wmk", "run.wmk"], "only the group's two files", host)
    check({"tools", "tools/build", "tools/run", "top"} == set(host.entries()), "a copy keeps the entries", host)

    # A move over the files asks about the first one; "for all" answers for the second too.
    host.keys("F6")
    question = host.wait_box(msg(0))
    on_disk = host.path(os.path.join(folder, "build.wmk"))
    # The file on disk is the one that exists (message 26), not a new one.
    check(question.lines[0] == msg(32) and question.lines[1].startswith(f"{msg(26)} {on_disk} "),
          f"the question whether to overwrite {on_disk}", host)
    host.keys("M-a")
    host.wait(lambda s: s.box() and f"[x] {msg(28)}" in s.box().lines, "the box for all checked")
    host.keys("Enter")
    wait_listing(host, "left", ["top"])
    check(set(host.entries()) == {"top"}, "the moved group and its members gone from the store", host)
    wait_files(host, expected)


def write_file(path, data):
    with open(path, "wb") as file:
        file.write(data)


def directories(host):
    return {name: values["Directory"] for name, values in host.entries().items() if not values["Flags"]}


def wait_directories(host, expected):
    """Waits for the stored waymarks and their folders to be `expected`, with no box shown."""
    try:
        host.wait(lambda s: s.box() is None and directories(host) == expected, f"the waymarks {expected}")
    except JourneyFailed:
        raise JourneyFailed(f"the waymarks {expected}, stored {directories(host)}", host.capture())


def copy_in(host, what):
    """F5 on the file panel and Enter in the host's copy dialog."""
    host.keys("F5")
    dialog = host.wait_box(host.text("copy"))
    check(dialog.lines[0] == f"Copy {what} to:", f"the host's dialog to copy {what}", host)
    host.keys("Enter")


def copy_two_items_in(host, msg, a, b):
    """Starts the host on the folders `a` and `b` with the plugin panel on the left, and copies
    the first two items of `b` into it."""
    host.start(a, b)
    open_panel(host, msg, [])
    host.keys("Tab")
    host.wait(lambda s: s.command_line() == host.prompt(b), "the right panel active")
    host.keys("Down", "Insert", "Insert")
    copy_in(host, "2 items")


@journey
def copy_imports_files_and_asks_before_overwriting(host, files, msg):
    a, b, tools = files("a"), files("b"), files("b/tools")
    write_file(os.path.join(b, "extra.wmk"), exchange_file("extra", host.path(a)))
    for name in ("build", "run"):
        write_file(os.path.join(tools, name + ".wmk"), exchange_file(name, host.path(a)))
    copy_two_items_in(host, msg, a, b)
    wait_listing(host, "left", ["tools", "extra"])
    wait_directories(host, {"extra": host.path(a), "tools/build": host.path(a), "tools/run": host.path(a)})
    check(host.entries()["tools"]["Flags"] == 0x10, "the directory stored as a group", host)

    # The same name again asks: Skip keeps the stored waymark, Overwrite takes the file's.
    write_file(os.path.join(b, "extra.wmk"), exchange_file("extra", host.path(b)))
    check(current_name(host.capture(), "right") == "extra.wmk", "the cursor on extra.wmk", host)
    for answer, folder in (("M-s", a), ("Enter", b)):
        copy_in(host, "extra.wmk")
        question = host.wait_box(msg(0))
        expected = [msg(32), f"{msg(26)} extra: {host.path(a)}",
                    f"{msg(27)} extra: {host.path(b)}", f"[ ] {msg(28)}"]
        check(question.lines[:4] == expected, f"the question {expected}", host)
        host.keys(answer)
        wait_directories(host, {"extra": host.path(folder), "tools/build": host.path(a),
                                "tools/run": host.path(a)})

    # One answer for all: the second waymark of the directory is not asked about.
    for name in ("build", "run"):
        write_file(os.path.join(tools, name + ".wmk"), exchange_file(name, host.path(b)))
    host.keys("Up")
    for answer, folder in (("M-s", a), ("Enter", b)):
        copy_in(host, "tools")
        question = host.wait_box(msg(0))
        check(question.lines[1] == f"{msg(26)} tools/build: {host.path(a)}", "the question about tools/build", host)
        host.keys("M-a")
        host.wait(lambda s: s.box() and f"[x] {msg(28)}" in s.box().lines, "the box for all checked")
        host.keys(answer)
        wait_directories(host, {"extra": host.path(b), "tools/build": host.path(folder),
                                "tools/run": host.path(folder)})


def edit_dialog(host, msg, name):
    """Waits for the plugin's edit dialog on `name`; returns its lines."""
    return host.wait(lambda s: s.box() and s.box().title == msg(0) and s.box().lines[0] == msg(14)
                     and s.box().lines[1].split()[0:1] == ([name] if name else ["↓"]),
                     f"the edit dialog on {name!r}").box().lines


@journey
def delete_make_groups_add_and_edit_in_the_panel(host, files, msg):
    a, b = files("a"), files("b")
    host.start(a, b)
    store(host, a, "tools/build", "tools/run", "top")
    open_panel(host, msg, ["tools", "top"], "tools")

    # F8 asks the plugin's question once and takes the group with its members.
    host.keys("F8")
    question = host.wait_box(msg(0))
    check(question.lines[0] == msg(12), f"the question {msg(12)!r}", host)
    host.keys("Enter")
    wait_listing(host, "left", ["top"])
    check(set(host.entries()) == {"top"}, "tools and its members deleted", host)

    host.keys("F7")
    host.wait(lambda s: s.box() and s.box().title == msg(0) and s.box().lines[0] == "↓", "the group name dialog")
    host.type("docs")
    host.wait(lambda s: s.box() and s.box().lines[0].startswith("docs "), "the name typed")
    host.keys("Enter")
    wait_listing(host, "left", ["docs", "top"])
    check(host.entries()["docs"]["Flags"] == 0x10, "docs stored as a group", host)

    # Shift+F4 in a group offers the other panel's folder and stores the waymark in the group.
    host.keys("PPage", "Enter")
    wait_listing(host, "left", [".."], "..")
    host.keys("S-F4")
    lines = edit_dialog(host, msg, None)
    check(lines[5].split()[0] == host.path(b), f"the directory {host.path(b)} offered", host)
    host.type("web")
    edit_dialog(host, msg, "web")
    host.keys("Enter")
    wait_listing(host, "left", ["..", "web"])
    check(directories(host) == {"top": host.path(a), "docs/web": host.path(b)}, "docs/web stored", host)

    # F4 edits the waymark under the cursor.
    host.keys("Enter")
    wait_listing(host, "left", ["docs", "top"], "docs")
    host.keys("Down", "F4")
    lines = edit_dialog(host, msg, "top")
    check(lines[5].split()[0] == host.path(a), f"the directory {host.path(a)} shown", host)
    host.keys("Tab")
    host.type("The top")
    host.wait(lambda s: s.box() and s.box().lines[3].startswith("The top"), "the description typed")
    host.keys("Enter")
    wait_listing(host, "left", ["docs", "top"], "top")
    top = host.entries()["top"]
    check((top["Description"], top["Directory"]) == ("The top", host.path(a)), "the description stored", host)


@journey
def a_rename_that_changes_only_the_letter_case_keeps_the_entries(host, files, msg):
    a = files("a")
    host.start(a, files("b"))
    store(host, a, "tools/build", "top")
    open_panel(host, msg, ["tools", "top"], "tools")
    host.keys("Enter")
    wait_listing(host, "left", ["..", "build"], "..")

    def rename(old, new):
        host.keys("F4")
        edit_dialog(host, msg, old)
        host.keys("End", *["BSpace"] * len(old))
        host.type(new)
        edit_dialog(host, msg, new)
        host.keys("Enter")

    host.keys("Down")
    rename("build", "Build")
    wait_listing(host, "left", ["..", "Build"])
    stored = host.entries()
    check(stored.get("tools/Build", {}).get("Directory") == host.path(a), f"tools/Build stored, not {stored}", host)

    # A group's new spelling goes to everything below it.
    host.keys("Up", "Enter")
    wait_listing(host, "left", ["tools", "top"], "tools")
    rename("tools", "Tools")
    wait_listing(host, "left", ["Tools", "top"])
    check(set(host.entries()) == {"Tools", "Tools/Build", "top"}, f"the new spelling stored: {host.entries()}", host)


@journey
def members_stored_in_another_letter_case_belong_to_their_group(host, files, msg):
    a = files("a")
    host.start(a, files("b"))
    store(host, a, "Tools/x", "tools/y", "TOOLS/a/d")
    stored = set(host.entries())
    check(stored == {"Tools", "Tools/x", "Tools/y", "Tools/a", "Tools/a/d"}, f"one spelling of the group: {stored}", host)
    # As an earlier version stored it.
    host.store_elsewhere("tools/old", a)
    open_panel(host, msg, ["Tools"], "Tools")
    host.keys("Enter")
    wait_listing(host, "left", ["..", "a", "old", "x", "y"], "..", "/Tools")
    host.keys("Enter")
    wait_listing(host, "left", ["Tools"], "Tools")
    host.keys("F8")
    question = host.wait_box(msg(0))
    check(question.lines[0] == msg(12), f"the question {msg(12)!r}", host)
    host.keys("Enter")
    wait_listing(host, "left", [])
    check(host.entries() == {}, f"every member deleted with the group: {host.entries()}", host)


@journey
def an_identifier_that_is_no_guid_brings_the_dialog_back_as_typed(host, files, msg):
    a = files("a")
    host.start(a, files("b"))
    store(host, a, "w")
    open_panel(host, msg, ["w"], "w")
    host.keys("F4")
    lines = edit_dialog(host, msg, "w")
    check(lines[6] == msg(17) and not lines[7].startswith("{"), f"an empty identifier field: {lines}", host)
    host.keys("Tab", "Tab", "Tab")
    host.type("{0123")
    host.wait(lambda s: s.box() and s.box().lines[7].startswith("{0123"), "the identifier typed")
    host.keys("Enter")
    host.wait(lambda s: s.box() and s.box().lines[:2] == [msg(69), "{0123"], "the message on the identifier")
    host.keys("Enter")
    lines = edit_dialog(host, msg, "w")
    check(lines[7].startswith("{0123"), f"the identifier as typed: {lines}", host)
    guid = "{01234567-89ab-cdef-0123-456789abcdef}"
    host.type(guid[len("{0123"):])
    host.wait(lambda s: s.box() and s.box().lines[7].startswith(guid), "the whole identifier typed")
    host.keys("Enter")
    wait_listing(host, "left", ["w"], "w")
    check(host.entries()["w"].get("PluginID") == guid.upper(), f"the identifier stored: {host.entries()}", host)
    history = host.dialog_history("Waymarks_PluginID")
    check(guid in history, f"the identifier in its own history: {history}", host)


@journey
def a_folder_import_reads_its_exchange_files_passes_links_by_and_says_one_thing(host, files, msg):
    a, b, pack = files("a"), files("b"), files("b/pack")
    nameless = b"<item><directory>Z:\\nowhere</directory></item>"
    write_file(os.path.join(pack, "one.wmk"), exchange_file("one", host.path(a)).replace(b"</waymarks>", nameless + b"</waymarks>"))
    for other in ("README.txt", "logo.png", "desktop.ini"):
        write_file(os.path.join(pack, other), b"not a waymark")
    os.symlink("..", os.path.join(pack, "back"))
    os.symlink(".", os.path.join(pack, "self"))
    files("b/empty")
    write_file(os.path.join(b, "empty", "notes.txt"), b"nothing to import")
    copy_two_items_in(host, msg, a, b)
    report = host.wait_box(msg(0))
    check(report.lines[:2] == [msg(71), host.path(os.path.join(pack, "one.wmk"))], f"one report on one.wmk: {report.lines}", host)
    host.keys("Enter")
    wait_listing(host, "left", ["pack"])
    check(directories(host) == {"pack/one": host.path(a)}, f"one waymark imported: {host.entries()}", host)
    check(set(host.entries()) == {"pack", "pack/one"}, f"no group for the empty folder: {host.entries()}", host)
    time.sleep(1)
    check(host.capture().box() is None, "no second box", host)
