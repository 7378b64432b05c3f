#!/usr/bin/env python3
"""Checks the release packages: run.py --work DIR [unittest arguments]

Runs tools/package.py twice into DIR/first and DIR/second (the same bytes both times), unpacks
the archives, checks their files, the modules in them, the .deb with lintian, and runs the far2l
journeys once on the files the .deb installs (unpacked with dpkg-deb -x into DIR/root)."""

import argparse
import gzip
import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import tarfile
import time
import unittest
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
from binaries import Elf, Pe  # noqa: E402

LANG_FILES = ["WaymarksEng.hlf", "WaymarksEng.lng", "WaymarksRus.hlf", "WaymarksRus.lng"]
DEB_PLUG = "usr/lib/far2l/Plugins/waymarks/plug"
DEB_DOC = "usr/share/doc/waymarks-far2l"
WINDOWS = os.path.join(SOURCE, "dist", "windows", "Waymarks")
FAR2L = os.path.join(SOURCE, "dist", "far2l", "Waymarks", "plug")
WORK = None  # set by main()


def read(path):
    with open(path, "rb") as file:
        return file.read()


def digest(data):
    """Compared instead of the bytes, so that a failure prints two lines."""
    return hashlib.sha256(data).hexdigest()


def file_digest(*path):
    return digest(read(os.path.join(*path)))


def cmake_version():
    """The version the Windows build was configured with."""
    cache = read(os.path.join(SOURCE, "build", "windows", "CMakeCache.txt")).decode()
    return re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.*)$", cache, re.MULTILINE).group(1)


def windows_path(path):
    """The path as wine's drive Z: shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def plugin_exports():
    lines = read(os.path.join(SOURCE, "lang", "Waymarks.def")).decode().splitlines()
    return {line.strip() for line in lines[lines.index("EXPORTS") + 1:] if line.strip()}


def epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    return int(subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], check=True,
                              capture_output=True, text=True).stdout)


VERSION = cmake_version()
ZIP = f"Waymarks-{VERSION}-far2-x64.zip"
TAR = f"Waymarks-{VERSION}-far2l-x86_64.tar.gz"
DEB = f"waymarks-far2l_{VERSION}_amd64.deb"
OUTPUTS = [ZIP, TAR, DEB, "Waymarks.dll.debug", "SHA256SUMS"]


def package(name):
    out = os.path.join(WORK, name)
    subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "package.py"), "--out", out,
                    "--work", os.path.join(WORK, name + "-stage")], check=True, stdout=subprocess.DEVNULL)
    return out


def setUpModule():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    global FIRST, SECOND, ROOT
    FIRST = package("first")
    SECOND = package("second")
    ROOT = os.path.join(WORK, "root")
    subprocess.run(["dpkg-deb", "-x", os.path.join(FIRST, DEB), ROOT], check=True)


class Reproducibility(unittest.TestCase):
    def test_packaging_twice_gives_the_same_bytes(self):
        for name in OUTPUTS:
            with self.subTest(name):
                self.assertEqual(file_digest(FIRST, name), file_digest(SECOND, name))

    def test_sums_cover_the_three_archives(self):
        lines = read(os.path.join(FIRST, "SHA256SUMS")).decode().splitlines()
        self.assertEqual([line.split("  ")[1] for line in lines], sorted([ZIP, TAR, DEB]))
        for line in lines:
            expected, name = line.split("  ")
            self.assertEqual(file_digest(FIRST, name), expected, name)

    def test_entries_carry_the_commit_time_and_root(self):
        when = epoch()
        with zipfile.ZipFile(os.path.join(FIRST, ZIP)) as archive:
            stamp = max(time.gmtime(when)[:6], (1980, 1, 1, 0, 0, 0))
            stamp = stamp[:5] + (stamp[5] // 2 * 2,)  # DOS times count two seconds
            self.assertEqual({info.date_time for info in archive.infolist()}, {stamp})
        raw = read(os.path.join(FIRST, TAR))
        self.assertEqual(raw[3] & 0x08, 0, "the gzip header names a file")
        self.assertEqual(raw[4:8], b"\0\0\0\0", "the gzip header has a time")
        with tarfile.open(os.path.join(FIRST, TAR)) as archive:
            self.assertEqual({(m.mtime, m.uid, m.gid, m.uname) for m in archive.getmembers()},
                             {(when, 0, 0, "root")})
        listing = subprocess.run(["dpkg-deb", "--ctrl-tarfile", os.path.join(FIRST, DEB)], check=True,
                                 capture_output=True).stdout
        with tarfile.open(fileobj=io.BytesIO(listing)) as control:
            self.assertEqual({(m.mtime, m.uid, m.gid) for m in control.getmembers()}, {(when, 0, 0)})
        data = subprocess.run(["dpkg-deb", "--fsys-tarfile", os.path.join(FIRST, DEB)], check=True,
                              capture_output=True).stdout
        with tarfile.open(fileobj=io.BytesIO(data)) as files:
            self.assertEqual({(m.mtime, m.uid, m.gid) for m in files.getmembers()}, {(when, 0, 0)})


class Far2Zip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with zipfile.ZipFile(os.path.join(FIRST, ZIP)) as archive:
            cls.names = archive.namelist()
            cls.files = {name: archive.read(name) for name in cls.names}
        cls.dll = Pe(cls.files["Waymarks/Waymarks.dll"])

    def test_holds_the_folder_with_the_dll_language_help_and_user_files(self):
        self.assertEqual(self.names, ["Waymarks/", "Waymarks/LICENSE", "Waymarks/README.txt",
                                      "Waymarks/Waymarks.dll"] + ["Waymarks/" + n for n in LANG_FILES])
        for name in LANG_FILES:
            self.assertEqual(digest(self.files["Waymarks/" + name]), file_digest(WINDOWS, name), name)
        self.assertEqual(digest(self.files["Waymarks/LICENSE"]), file_digest(SOURCE, "LICENSE"))

    def test_dll_is_small_without_debug_information_and_keeps_the_built_code(self):
        self.assertLess(len(self.files["Waymarks/Waymarks.dll"]), 2 * 1024 * 1024)
        self.assertEqual([s for s in self.dll.sections if s.startswith(".debug")], [])
        self.assertEqual(self.dll.symbol_count, 0)
        built = Pe(read(os.path.join(WINDOWS, "Waymarks.dll")))
        loaded = [s for s in built.sections if not s.startswith(".debug")]
        self.assertEqual([s for s in self.dll.sections if s != ".gnu_debuglink"], loaded)
        for name in loaded:
            self.assertEqual(self.dll.sections[name][:2], built.sections[name][:2], name)
            self.assertEqual(digest(self.dll.section(name)), digest(built.section(name)), name)

    def test_debug_link_names_the_debug_file_beside_the_archive_and_its_crc(self):
        debug = read(os.path.join(FIRST, "Waymarks.dll.debug"))
        self.assertEqual(self.dll.debug_link(), ("Waymarks.dll.debug", zlib.crc32(debug)))
        self.assertIn(".debug_info", Pe(debug).sections)

    def test_dll_exports_the_plugin_interface_and_has_no_link_time(self):
        self.assertEqual(self.dll.exports(), plugin_exports())
        self.assertEqual((self.dll.timestamp, self.dll.export_timestamp()), (0, 0))

    def test_version_resource_is_the_project_version(self):
        numbers = tuple(int(part) for part in VERSION.split(".")) + (0,) * (4 - VERSION.count(".") - 1)
        file_version, product_version, strings = self.dll.version_info()
        self.assertEqual((file_version, product_version), (numbers, numbers))
        self.assertEqual((strings["FileVersion"], strings["ProductVersion"]), (VERSION, VERSION))

    def test_readme_is_crlf_and_tells_the_commands_keys_and_settings(self):
        text = self.files["Waymarks/README.txt"].decode("utf-8")
        self.assertNotIn("\n", text.replace("\r\n", ""))
        for term in [VERSION, "Plugins\\Waymarks\\Waymarks.dll", "cd:name", "cd::name", "cd:-",
                     "Shift+Enter", "Shift+F4", "F5", "F6", "F7", "F8",
                     "HKCU\\Software\\Far2\\Plugins\\Waymarks,",
                     "HKCU\\Software\\Far2\\Plugins\\Waymarksfolders"]:
            self.assertIn(term, text)

    def test_stripped_dll_runs_a_session_under_wine(self):
        farhost = os.path.join(SOURCE, "build", "windows", "farhost", "farhost.exe")
        wine = any(map(shutil.which, ["wine64", "/usr/lib/wine/wine64", "wine"]))
        if not os.path.isfile(farhost) or not wine:
            self.skipTest("no Windows farhost or wine")
        folder = os.path.join(WORK, "far2")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Waymarks.dll"), "wb") as file:
            file.write(self.files["Waymarks/Waymarks.dll"])
        env = dict(os.environ)
        prefix = os.path.join(SOURCE, "build", "windows", "wineprefix")
        if os.path.isdir(prefix):
            env["WINEPREFIX"] = prefix
        process = subprocess.run(
            [os.path.join(SOURCE, "tools", "wine-run.sh"), farhost, "--plugin",
             windows_path(os.path.join(folder, "Waymarks.dll")), "--sandbox", "--script",
             windows_path(os.path.join(SOURCE, "tests", "scenarios", "readme.farhost"))],
            env=env, capture_output=True, text=True, timeout=300)
        self.assertEqual(process.returncode, 0, process.stdout + process.stderr)
        self.assertIn("all lines succeeded", process.stdout)


class Far2lTarball(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tarfile.open(os.path.join(FIRST, TAR)) as archive:
            cls.members = archive.getmembers()
            cls.files = {m.name: archive.extractfile(m).read() for m in cls.members if m.isfile()}

    def test_holds_the_plug_folder_with_the_module_language_help_and_user_files(self):
        plug = "Waymarks/plug/"
        self.assertEqual([m.name for m in self.members],
                         ["Waymarks", "Waymarks/plug", plug + "LICENSE", plug + "README.txt",
                          plug + "Waymarks.far-plug-wide"] + [plug + n for n in LANG_FILES])
        self.assertEqual({(m.name, m.mode) for m in self.members if m.isdir()},
                         {("Waymarks", 0o755), ("Waymarks/plug", 0o755)})
        self.assertEqual({m.mode for m in self.members if m.isfile()}, {0o644})
        for name in LANG_FILES:
            self.assertEqual(digest(self.files[plug + name]), file_digest(FAR2L, name), name)

    def test_module_is_stripped_exports_the_interface_and_is_the_debs(self):
        module = self.files["Waymarks/plug/Waymarks.far-plug-wide"]
        elf = Elf(module)
        self.assertEqual([s for s in elf.section_names() if s.startswith(".debug") or s == ".symtab"], [])
        self.assertEqual(elf.dynamic_exports(), plugin_exports())
        self.assertLess(len(module), len(read(os.path.join(FAR2L, "Waymarks.far-plug-wide"))) // 4)
        self.assertEqual(digest(module), file_digest(ROOT, DEB_PLUG, "Waymarks.far-plug-wide"))

    def test_readme_is_lf_and_tells_where_to_install_and_the_store(self):
        text = self.files["Waymarks/plug/README.txt"].decode("utf-8")
        self.assertNotIn("\r", text)
        for term in [VERSION, "/usr/lib/far2l/Plugins/waymarks", "Personal plugins path", "cd:name",
                     "cd::name", "cd:-", "Shift+Enter", "~/.config/far2l/plugins/waymarks/waymarks.sqlite3"]:
            self.assertIn(term, text)


class DebianPackage(unittest.TestCase):
    def field(self, name):
        return subprocess.run(["dpkg-deb", "-f", os.path.join(FIRST, DEB), name], check=True,
                              capture_output=True, text=True).stdout.strip()

    def test_installs_the_module_beside_its_language_files_and_the_docs(self):
        found = sorted(os.path.relpath(os.path.join(folder, name), ROOT)
                       for folder, _, names in os.walk(ROOT) for name in names)
        self.assertEqual(found, sorted([f"{DEB_PLUG}/Waymarks.far-plug-wide", f"{DEB_DOC}/changelog.gz",
                                        f"{DEB_DOC}/copyright"] + [f"{DEB_PLUG}/{n}" for n in LANG_FILES]))
        for name in LANG_FILES:
            self.assertEqual(file_digest(ROOT, DEB_PLUG, name), file_digest(FAR2L, name), name)

    def test_control_names_the_version_and_what_the_module_needs(self):
        self.assertEqual((self.field("Package"), self.field("Version"), self.field("Architecture")),
                         ("waymarks-far2l", VERSION, "amd64"))
        depends = [d.strip() for d in self.field("Depends").split(",")]
        self.assertIn("far2l (>= 2.6)", depends)
        self.assertEqual({d.split()[0] for d in depends},
                         {"far2l", "libc6", "libgcc-s1", "libsqlite3-0", "libstdc++6"})
        control = os.path.join(WORK, "control")
        subprocess.run(["dpkg-deb", "-e", os.path.join(FIRST, DEB), control], check=True)
        for line in read(os.path.join(control, "md5sums")).decode().splitlines():
            expected, name = line.split("  ")
            self.assertEqual(hashlib.md5(read(os.path.join(ROOT, name))).hexdigest(), expected, name)

    def test_copyright_and_changelog_are_debians_formats(self):
        copyright = read(os.path.join(ROOT, DEB_DOC, "copyright")).decode()
        self.assertTrue(copyright.startswith(
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"))
        self.assertIn("\nFiles: *\nCopyright: ", copyright)
        # The stand-alone license paragraph holds LICENSE's terms, continuation lines indented.
        terms = copyright.split("\nLicense: BSD-3-Clause\n")[-1]
        unfolded = "\n".join("" if line == " ." else line[1:] for line in terms.splitlines())
        self.assertIn(unfolded.strip(), read(os.path.join(SOURCE, "LICENSE")).decode())
        self.assertIn("OF THIS SOFTWARE, EVEN IF ADVISED OF THE POSSIBILITY OF SUCH DAMAGE.", unfolded)
        changelog = gzip.decompress(read(os.path.join(ROOT, DEB_DOC, "changelog.gz"))).decode()
        self.assertTrue(changelog.startswith(f"waymarks-far2l ({VERSION}) unstable; urgency="), changelog)
        self.assertRegex(changelog.splitlines()[-1],
                         r"^ -- .+ <.+@.+>  \w{3}, \d\d \w{3} \d{4} [\d:]{8} \+0000$")

    def test_lintian_reports_no_errors(self):
        if not shutil.which("lintian"):
            self.fail("lintian is not installed (make deps installs it)")
        process = subprocess.run(["lintian", "--fail-on", "error", os.path.join(FIRST, DEB)],
                                 capture_output=True, text=True)
        tags = [line for line in process.stdout.splitlines() if re.match(r"^[EW]: ", line)]
        if tags:
            print("\nlintian: " + "\nlintian: ".join(tags), file=sys.stderr)
        self.assertEqual([t for t in tags if t.startswith("E:")], [])
        self.assertEqual(process.returncode, 0, process.stderr)

    def test_far2l_journeys_pass_on_the_installed_files(self):
        # The suite says itself when it is skipped (no far2l archive) and then passes.
        process = subprocess.run(
            [sys.executable, os.path.join(SOURCE, "tests", "far2l", "run.py"), "--package",
             os.path.join(ROOT, os.path.dirname(DEB_PLUG)), "--work",
             os.path.join(SOURCE, "build", "linux", "far2l-deb-journeys")])
        self.assertEqual(process.returncode, 0)


def main():
    global WORK
    parser = argparse.ArgumentParser()
    parser.add_argument("--work", default=os.path.join(SOURCE, "build", "package-test"))
    args, rest = parser.parse_known_args()
    WORK = os.path.abspath(args.work)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
