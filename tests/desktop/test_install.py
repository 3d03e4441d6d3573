#!/usr/bin/python3
"""What `cmake --install` puts on a desktop, checked as a desktop and its own tools see
it; and the Debian package that cpack makes of the build, judged as Debian judges its own
(lintian, hardening-check, the manual page's lint).

Usage: test_install.py BUILD_DIR SOURCE_DIR APP_ID
"""

import configparser
import gzip
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

from PIL import Image, ImageChops, ImageStat

BUILD, SOURCE, APP_ID = sys.argv[1:4]
del sys.argv[1:4]

THEME_SIZES = (16, 24, 32, 48, 64, 128, 256)
# A player's home may hold blanks, and a path anything the desktop entry's Exec key
# reserves: the installation goes into such a folder.
AWKWARD_FOLDER = 'my "games" $HOME 100%'


def run(*command, must=False):
    done = subprocess.run(command, capture_output=True, text=True)
    if must and done.returncode != 0:
        raise RuntimeError("%s failed:\n%s%s" % (command[0], done.stdout, done.stderr))
    return done


def program_version():
    """Major.minor.revision as the About box shows it."""
    project = pathlib.Path(SOURCE, "app", "Project.h").read_text(encoding="utf-8")
    m = re.search(r'App\{"[^"]*",\s*(\d+),\s*(\d+),\s*(\d+)\}', project)
    return ".".join(m.groups())


def desktop_entry(path):
    """The [Desktop Entry] group of a desktop file, its keys as written."""
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    return entry["Desktop Entry"]


def exec_arguments(value):
    """The command line an Exec value stands for: its string escapes undone, then its
    quoting (a backslash in double quotes escapes the next character), then %%."""
    line = re.sub(r"\\(.)", lambda m: {"s": " ", "n": "\n", "t": "\t", "r": "\r"}.get(m[1], m[1]), value)
    words = re.findall(r'"((?:[^"\\]|\\.)*)"|([^\s"]+)', line)
    return [(re.sub(r"\\(.)", r"\1", quoted) if quoted else plain).replace("%%", "%") for quoted, plain in words]


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="tarvonix-install-")
        cls.addClassCleanup(shutil.rmtree, cls.work, ignore_errors=True)
        cls.prefix = os.path.join(cls.work, AWKWARD_FOLDER)
        run("cmake", "--install", BUILD, "--prefix", cls.prefix, must=True)
        cls.program = os.path.join(cls.prefix, "games", "tarvonix")
        cls.share = os.path.join(cls.prefix, "share")
        cls.desktop = os.path.join(cls.share, "applications", APP_ID + ".desktop")
        cls.metainfo = os.path.join(cls.share, "metainfo", APP_ID + ".metainfo.xml")
        cls.svg = os.path.join(cls.share, "icons", "hicolor", "scalable", "apps", APP_ID + ".svg")

    def test_everything_lands_in_its_place(self):
        self.assertTrue(os.access(self.program, os.X_OK), self.program)
        for path in [self.desktop, self.metainfo, self.svg, os.path.join(self.share, "man", "man6", "tarvonix.6.gz"),
                     os.path.join(self.share, "doc", "tarvonix", "changelog.gz"),
                     os.path.join(self.share, "doc", "tarvonix", "copyright")]:
            self.assertTrue(os.path.isfile(path), path)

    def test_desktop_entry_is_valid_and_starts_the_installed_program(self):
        checked = run("desktop-file-validate", self.desktop)
        self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""), "the validator's remarks")
        entry = desktop_entry(self.desktop)
        # By its full path, which need not be on the PATH; with no arguments.
        self.assertEqual(exec_arguments(entry["Exec"]), [self.program])
        self.assertEqual(entry["Icon"], APP_ID)
        self.assertEqual(entry["Categories"].split(";")[0], "Game", "listed among the desktop's games")

    def test_metainfo_passes_pedantic_validation(self):
        # --no-net: its web addresses are the fictional maker's and are not fetched.
        checked = run("appstreamcli", "validate", "--pedantic", "--no-net", "--no-color", self.metainfo)
        remarks = [line for line in checked.stdout.splitlines() if re.match(r"^[EWIP]: ", line)]
        self.assertEqual((checked.returncode, remarks), (0, []), checked.stdout + checked.stderr)

    def test_metainfo_names_what_is_installed_and_this_release(self):
        root = ET.parse(self.metainfo).getroot()
        self.assertEqual(root.findtext("launchable"), os.path.basename(self.desktop))
        self.assertEqual(root.find("provides").findtext("binary"), os.path.basename(self.program))
        self.assertEqual([r.get("version") for r in root.find("releases")][0], program_version())

    def test_icons_have_their_sizes_and_the_scalable_one_draws_the_same_flag(self):
        png = lambda size: os.path.join(self.share, "icons", "hicolor", f"{size}x{size}", "apps", APP_ID + ".png")
        for size in THEME_SIZES:
            with Image.open(png(size)) as icon:
                self.assertEqual(icon.size, (size, size))
        drawn = os.path.join(self.work, "svg.png")
        done = run("rsvg-convert", "-w", "256", "-h", "256", "-o", drawn, self.svg)
        self.assertEqual(done.returncode, 0, done.stderr)
        with Image.open(drawn) as svg, Image.open(png(256)) as icon:
            difference = ImageChops.difference(svg.convert("RGBA"), icon.convert("RGBA"))
        self.assertLess(max(ImageStat.Stat(difference).mean), 3.0, "per channel, out of 255")


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="tarvonix-deb-")
        cls.addClassCleanup(shutil.rmtree, cls.out, ignore_errors=True)
        run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", cls.out, must=True)
        cls.deb = os.path.join(cls.out, next(f for f in os.listdir(cls.out) if f.endswith(".deb")))
        cls.root = os.path.join(cls.out, "root")
        run("dpkg-deb", "-x", cls.deb, cls.root, must=True)

    def field(self, name):
        return run("dpkg-deb", "-f", self.deb, name).stdout.rstrip("\n")

    def test_lintian_has_nothing_to_say(self):
        # Every tag, down to the informational and pedantic ones.
        judged = run("lintian", "-I", "-E", "--pedantic", self.deb)
        self.assertEqual((judged.returncode, judged.stdout), (0, ""), judged.stderr)

    def test_program_is_hardened(self):
        # Two of its checks cannot speak for a C++ program built on Debian 12: no executable
        # linked here is marked for control flow integrity (the C library's start files are
        # not), and only memcpy, memmove and memset go unfortified, copies into containers
        # of no size known when compiling, which lintian's own fortify check rules out.
        checked = run("hardening-check", "--nocfprotection", "--nofortify",
                      os.path.join(self.root, "usr", "games", "tarvonix"))
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)

    def unpacked(self, *path):
        return gzip.decompress(pathlib.Path(self.root, "usr", "share", *path).read_bytes())

    def test_manual_page_is_clean(self):
        linted = subprocess.run(["groff", "-man", "-ww", "-z"], input=self.unpacked("man", "man6", "tarvonix.6.gz"),
                                capture_output=True)
        self.assertEqual((linted.returncode, linted.stderr), (0, b""))

    def test_versions_agree(self):
        changelog = self.unpacked("doc", "tarvonix", "changelog.gz")
        self.assertRegex(changelog.decode().splitlines()[0], r"^tarvonix \(" + re.escape(program_version()) + r"\) ")
        self.assertEqual(self.field("Version"), program_version())
        self.assertRegex(os.path.basename(self.deb), r"^tarvonix_" + re.escape(program_version()) + r"_\w+\.deb$")

    def test_it_depends_on_the_libraries_it_uses(self):
        # Computed from the binary, and the sound library that the program loads at run
        # time, with its sound-server backend.
        depends = {d.split()[0] for d in self.field("Depends").split(",")}
        self.assertLessEqual({"libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libcanberra0",
                              "libcanberra-pulse"}, depends)

    def test_its_desktop_entry_starts_the_game_from_the_games_folder(self):
        entry = desktop_entry(os.path.join(self.root, "usr", "share", "applications", APP_ID + ".desktop"))
        self.assertEqual(entry["Exec"], "/usr/games/tarvonix")
        self.assertTrue(os.access(os.path.join(self.root, "usr", "games", "tarvonix"), os.X_OK))


if __name__ == "__main__":
    unittest.main(verbosity=2)
