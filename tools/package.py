#!/usr/bin/env python3
"""Builds the release packages from the built modules: package.py [--out DIR] [--work DIR]

Reads dist/windows/Waymarks/ (the windows preset's target Waymarks) and dist/far2l/Waymarks/plug/
(the linux preset's Waymarks_far2l) and writes into --out (default dist/):

  Waymarks-VERSION-far2-x64.zip        Waymarks/: the stripped DLL, language and help files,
                                       LICENSE, README.txt (CRLF)
  Waymarks.dll.debug                   the DLL's debug information, named by its .gnu_debuglink
  Waymarks-VERSION-far2l-x86_64.tar.gz Waymarks/plug/: the stripped module, language and help
                                       files, LICENSE, README.txt
  waymarks-far2l_VERSION_amd64.deb     the module in /usr/lib/far2l/Plugins/waymarks/plug/
  SHA256SUMS                           of the three archives

The same tree gives the same bytes: every time is SOURCE_DATE_EPOCH (else the last commit's
time), entries are sorted, owned by root with fixed modes, and gzip stores no name or time. The
built modules are only read; stripping works on copies in --work (default build/package).
"""

import argparse
import gzip
import hashlib
import io
import os
import re
import shutil
import stat
import subprocess
import sys
import tarfile
import time
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LANG_FILES = ["WaymarksEng.lng", "WaymarksRus.lng", "WaymarksEng.hlf", "WaymarksRus.hlf"]
MODULE = "Waymarks.far-plug-wide"
DEB_NAME = "waymarks-far2l"
DEB_PLUG = "usr/lib/far2l/Plugins/waymarks/plug"
DEB_DOC = f"usr/share/doc/{DEB_NAME}"
MAINTAINER = "Waymarks developers <waymarks@example.org>"
MINGW = "x86_64-w64-mingw32-"

README_HEAD = """\
{title}
{rule}

Waymarks keeps a tree of named directory shortcuts, waymarks. Type a name on
the command line and the active panel goes to the waymark's directory.
Waymarks sort into groups: "work/site" is the waymark "site" in the group
"work".

Installing
----------
"""

README_FAR2_INSTALL = """\
Copy the folder Waymarks into the Plugins folder of FAR Manager 2, so that the
DLL is Plugins\\Waymarks\\Waymarks.dll beside Far.exe, and restart FAR. Waymarks
then shows in the plugins menu (F11), the drive menu and the plugin
configuration menu. The DLL needs only Windows system DLLs.
"""

README_FAR2L_INSTALL = """\
far2l loads every *.far-plug-wide below its Plugins folder and below the
personal plugins path. Either

- for yourself: copy the folder Waymarks into a folder of your own, such as
  ~/.local/lib/far2l-plugins/, enter that folder as the personal plugins path
  (Options, Plugins configuration, "Personal plugins path") and restart far2l;
- for everyone: sudo cp -r Waymarks /usr/lib/far2l/Plugins/waymarks, or
  install the Debian package waymarks-far2l_{version}_amd64.deb.

Waymarks then shows in the plugins menu (F11), the drive menu and the plugin
configuration menu. The module needs libsqlite3 and the C++ runtime; it is
checked with far2l 2.6.5.
"""

README_USE = """
The command line
----------------
  cd:name      go to the waymark's directory in the active panel; the first
               letters of a name are enough, and several matches give a menu
  cd::name     store the active panel's directory as the waymark "name"
  cd:-         go back to where the last jump started
  cd:          open the waymarks panel

The waymarks panel
------------------
  Enter        go to the waymark; on a group, open it
  Shift+Enter  go to the waymark's directory in the other panel
  F4           edit the waymark or group under the cursor
  Shift+F4     add a waymark to the current group (the other panel's directory)
  F5, F6       copy, move the selected waymarks to exchange files (.wmk)
  F7           create a group
  F8           delete the selected waymarks and groups

Copying .wmk files from a file panel into the waymarks panel imports them.
F1 in any of the plugin's windows opens its help.

Settings
--------
"""

README_FAR2_SETTINGS = """\
The options (plugin configuration menu) are kept in the registry under
HKCU\\Software\\Far2\\Plugins\\Waymarks, the waymarks under
HKCU\\Software\\Far2\\Plugins\\Waymarksfolders.
"""

README_FAR2L_SETTINGS = """\
The options (plugin configuration menu) and the waymarks are kept in far2l's
profile, in ~/.config/far2l/plugins/waymarks/waymarks.sqlite3, under the keys
Software\\Far2\\Plugins\\Waymarks and ...\\Waymarksfolders as in FAR 2's registry.
"""

README_TAIL = """
License: BSD 3-Clause, see LICENSE.
"""

DEB_DESCRIPTION = """\
directory shortcuts for far2l
 Waymarks is a plugin for far2l that keeps a tree of named directory shortcuts,
 waymarks. Type cd:name on the command line to jump to a waymark, cd::name to
 store the current directory under a name, and cd:- to go back; browse, edit,
 export and import the waymarks in the plugin's panel.
 .
 The options and waymarks are kept in far2l's profile, in
 ~/.config/far2l/plugins/waymarks/waymarks.sqlite3."""


def fail(message):
    sys.exit(f"package: {message}")


def run(command, **kwargs):
    process = subprocess.run(command, capture_output=True, text=True, **kwargs)
    if process.returncode != 0:
        fail(f"{' '.join(command)} failed ({process.returncode}):\n{process.stderr.strip()}")
    return process.stdout


def project_version(source):
    with open(os.path.join(source, "CMakeLists.txt"), encoding="utf-8") as file:
        match = re.search(r"project\(\s*Waymarks\s+VERSION\s+([0-9.]+)", file.read())
    if not match:
        fail("no project(Waymarks VERSION ...) in CMakeLists.txt")
    return match.group(1)


def source_date_epoch(source):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    process = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"], capture_output=True,
                             text=True)
    if process.returncode != 0 or not process.stdout.strip():
        fail("no commit to take the packages' time from: set SOURCE_DATE_EPOCH")
    return int(process.stdout)


def readme(version, host, install, settings, newline):
    title = f"Waymarks {version}: directory shortcuts for {host}"
    head = README_HEAD.format(title=title, rule="=" * len(title))
    text = head + install.format(version=version) + README_USE + settings + README_TAIL
    return text.replace("\n", newline).encode("utf-8")


def read(path):
    with open(path, "rb") as file:
        return file.read()


def with_folders(files):
    """{name: (bytes, mode)} with an entry (None, 0o755) for every folder above the files,
    sorted by name."""
    entries = dict(files)
    for name in files:
        parts = name.split("/")[:-1]
        for depth in range(1, len(parts) + 1):
            entries.setdefault("/".join(parts[:depth]) + "/", (None, 0o755))
    return sorted(entries.items())


def write_zip(path, files, epoch):
    stamp = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))
    with zipfile.ZipFile(path, "w") as archive:
        for name, (data, mode) in with_folders(files):
            info = zipfile.ZipInfo(name, stamp)
            info.create_system = 3  # Unix, so that the modes below count
            if data is None:
                info.external_attr = ((stat.S_IFDIR | mode) << 16) | 0x10
                archive.writestr(info, b"")
            else:
                info.external_attr = (stat.S_IFREG | mode) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data, compresslevel=9)


def gzip_bytes(data):
    out = io.BytesIO()
    with gzip.GzipFile(filename="", mode="wb", fileobj=out, compresslevel=9, mtime=0) as file:
        file.write(data)
    return out.getvalue()


def write_tar_gz(path, files, epoch):
    raw = io.BytesIO()
    with tarfile.open(fileobj=raw, mode="w", format=tarfile.USTAR_FORMAT) as archive:
        for name, (data, mode) in with_folders(files):
            info = tarfile.TarInfo(name.rstrip("/"))
            info.mtime, info.mode = epoch, mode
            info.uid = info.gid = 0
            info.uname = info.gname = "root"
            if data is None:
                info.type = tarfile.DIRTYPE
                archive.addfile(info)
            else:
                info.size = len(data)
                archive.addfile(info, io.BytesIO(data))
    with open(path, "wb") as file:
        file.write(gzip_bytes(raw.getvalue()))


def strip_dll(dll, stage, debug, epoch):
    """The DLL without debug information, linked to `debug` (which gets that information) by
    name and CRC. -p keeps the image's header time, which the link leaves at zero."""
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    stripped = os.path.join(stage, "Waymarks.dll")
    run([MINGW + "objcopy", "-p", "--only-keep-debug", dll, debug], env=env)
    run([MINGW + "strip", "-p", "--strip-all", "-o", stripped, dll], env=env)
    run([MINGW + "objcopy", "-p", "--add-gnu-debuglink=" + debug, stripped], env=env)
    return read(stripped)


def strip_module(module, stage):
    """The far2l module as Debian strips shared objects."""
    stripped = os.path.join(stage, MODULE)
    run(["strip", "--strip-unneeded", "--remove-section=.comment", "--remove-section=.note",
         "-o", stripped, module])
    return read(stripped)


def shlib_depends(module, work):
    """The packages of the shared libraries the module needs, from dpkg-shlibdeps run on a
    throw-away debian/ folder."""
    folder = os.path.join(work, "shlibdeps")
    shutil.rmtree(folder, ignore_errors=True)
    installed = os.path.join(folder, "debian", DEB_NAME, DEB_PLUG)
    os.makedirs(installed)
    with open(os.path.join(folder, "debian", "control"), "w") as file:
        file.write(f"Source: {DEB_NAME}\n\nPackage: {DEB_NAME}\nArchitecture: amd64\n")
    with open(os.path.join(installed, MODULE), "wb") as file:
        file.write(module)
    output = run(["dpkg-shlibdeps", "-O", "-e" + os.path.join("debian", DEB_NAME, DEB_PLUG, MODULE)],
                 cwd=folder)
    match = re.search(r"^shlibs:Depends=(.*)$", output, re.MULTILINE)
    if not match:
        fail(f"dpkg-shlibdeps gave no shlibs:Depends: {output!r}")
    return match.group(1).strip()


def debian_date(epoch):
    days = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]
    months = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
    t = time.gmtime(epoch)
    return (f"{days[t.tm_wday]}, {t.tm_mday:02d} {months[t.tm_mon - 1]} {t.tm_year} "
            f"{t.tm_hour:02d}:{t.tm_min:02d}:{t.tm_sec:02d} +0000")


def debian_copyright(license_text):
    """The LICENSE in the machine-readable copyright format."""
    lines = license_text.splitlines()
    holders = [line.split("Copyright (c)", 1)[1].strip() for line in lines
               if line.startswith("Copyright (c)")]
    if not holders:
        fail("no 'Copyright (c)' line in LICENSE")
    # The terms: everything after "All rights reserved.", blank lines as " .".
    start = next((i + 1 for i, line in enumerate(lines) if line.strip() == "All rights reserved."), 0)
    terms = "\n".join(lines[start:]).strip("\n").splitlines()
    body = "\n".join(" " + line if line.strip() else " ." for line in terms)
    return ("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
            "Upstream-Name: Waymarks\n\n"
            "Files: *\n"
            f"Copyright: {holders[0]}\n"
            "License: BSD-3-Clause\n\n"
            "License: BSD-3-Clause\n"
            f"{body}\n").encode("utf-8")


def write_deb(path, files, control, work, epoch):
    """A binary package of `files` ({path below /: (bytes, mode)}) built with dpkg-deb."""
    root = os.path.join(work, "deb")
    shutil.rmtree(root, ignore_errors=True)
    entries = with_folders(files)
    # What dpkg-gencontrol counts: a KiB (rounded up) per file, one per folder.
    size = sum(1 if data is None else (len(data) + 1023) // 1024 for _, (data, _) in entries)
    md5sums = "".join(f"{hashlib.md5(data).hexdigest()}  {name}\n"
                      for name, (data, _) in entries if data is not None)
    control = control.replace("@SIZE@", str(size))
    entries += with_folders({"DEBIAN/control": (control.encode("utf-8"), 0o644),
                             "DEBIAN/md5sums": (md5sums.encode("utf-8"), 0o644)})
    os.makedirs(root)
    # A folder "P/" sorts before every name it starts.
    for name, (data, mode) in sorted(entries):
        target = os.path.join(root, name)
        if data is None:
            os.makedirs(target, exist_ok=True)
        else:
            with open(target, "wb") as file:
                file.write(data)
        os.chmod(target, mode)
    for folder, folders, names in os.walk(root, topdown=False):
        for name in names + folders:
            os.utime(os.path.join(folder, name), (epoch, epoch), follow_symlinks=False)
    os.utime(root, (epoch, epoch))
    run(["dpkg-deb", "--root-owner-group", "-Zxz", "--threads-max=1", "--build", root, path],
        env=dict(os.environ, SOURCE_DATE_EPOCH=str(epoch)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", default=SOURCE, help="the source tree, holding dist/")
    parser.add_argument("--out", default=None, help="where the packages go (default SOURCE/dist)")
    parser.add_argument("--work", default=None, help="a scratch folder (default SOURCE/build/package)")
    args = parser.parse_args()
    source = os.path.abspath(args.source)
    out = os.path.abspath(args.out or os.path.join(source, "dist"))
    work = os.path.abspath(args.work or os.path.join(source, "build", "package"))

    windows = os.path.join(source, "dist", "windows", "Waymarks")
    far2l = os.path.join(source, "dist", "far2l", "Waymarks", "plug")
    for folder, target in ((windows, "--preset windows --target Waymarks"),
                           (far2l, "--preset linux --target Waymarks_far2l")):
        for name in ["Waymarks.dll" if folder == windows else MODULE] + LANG_FILES:
            if not os.path.isfile(os.path.join(folder, name)):
                fail(f"no {name} in {folder}: build it with `cmake --build {target}`")

    version = project_version(source)
    epoch = source_date_epoch(source)
    license_bytes = read(os.path.join(source, "LICENSE"))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.makedirs(out, exist_ok=True)
    lang = {name: (read(os.path.join(windows, name)), 0o644) for name in LANG_FILES}
    far2l_lang = {name: (read(os.path.join(far2l, name)), 0o644) for name in LANG_FILES}

    # FAR 2: the stripped DLL in the archive, its debug information beside it.
    debug = os.path.join(out, "Waymarks.dll.debug")
    dll = strip_dll(os.path.join(windows, "Waymarks.dll"), work, debug, epoch)
    os.utime(debug, (epoch, epoch))
    files = {"Waymarks.dll": (dll, 0o644), "LICENSE": (license_bytes, 0o644),
             "README.txt": (readme(version, "FAR Manager 2 (64-bit Windows)", README_FAR2_INSTALL,
                                   README_FAR2_SETTINGS, "\r\n"), 0o644)}
    files.update(lang)
    zip_name = f"Waymarks-{version}-far2-x64.zip"
    write_zip(os.path.join(out, zip_name), {"Waymarks/" + k: v for k, v in files.items()}, epoch)

    # far2l: the same layout as dist/far2l, the module stripped.
    module = strip_module(os.path.join(far2l, MODULE), work)
    files = {MODULE: (module, 0o644), "LICENSE": (license_bytes, 0o644),
             "README.txt": (readme(version, "far2l", README_FAR2L_INSTALL,
                                   README_FAR2L_SETTINGS, "\n"), 0o644)}
    files.update(far2l_lang)
    tar_name = f"Waymarks-{version}-far2l-x86_64.tar.gz"
    write_tar_gz(os.path.join(out, tar_name), {"Waymarks/plug/" + k: v for k, v in files.items()},
                 epoch)

    # The Debian package: far2l finds the language and help files beside the module.
    changelog = (f"{DEB_NAME} ({version}) unstable; urgency=medium\n\n"
                 f"  * Waymarks {version} for far2l.\n\n"
                 f" -- {MAINTAINER}  {debian_date(epoch)}\n")
    files = {f"{DEB_PLUG}/{name}": value for name, value in far2l_lang.items()}
    files[f"{DEB_PLUG}/{MODULE}"] = (module, 0o644)
    files[f"{DEB_DOC}/copyright"] = (debian_copyright(license_bytes.decode("utf-8")), 0o644)
    files[f"{DEB_DOC}/changelog.gz"] = (gzip_bytes(changelog.encode("utf-8")), 0o644)
    control = (f"Package: {DEB_NAME}\n"
               f"Version: {version}\n"
               "Architecture: amd64\n"
               f"Maintainer: {MAINTAINER}\n"
               "Installed-Size: @SIZE@\n"
               f"Depends: far2l (>= 2.6), {shlib_depends(module, work)}\n"
               "Section: utils\n"
               "Priority: optional\n"
               f"Description: {DEB_DESCRIPTION}\n")
    deb_name = f"{DEB_NAME}_{version}_amd64.deb"
    write_deb(os.path.join(out, deb_name), files, control, work, epoch)

    names = sorted([zip_name, tar_name, deb_name])
    with open(os.path.join(out, "SHA256SUMS"), "w") as sums:
        for name in names:
            sums.write(f"{hashlib.sha256(read(os.path.join(out, name))).hexdigest()}  {name}\n")
    for name in names + ["Waymarks.dll.debug", "SHA256SUMS"]:
        print(f"{os.path.join(out, name)} ({os.path.getsize(os.path.join(out, name)):,} bytes)")


if __name__ == "__main__":
    main()
