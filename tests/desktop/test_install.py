#!/usr/bin/python3
"""What `cmake --install` puts on a desktop, checked as a desktop and its own tools see
it: the program, its desktop entry, its icon at the theme's sizes and its AppStream
metainfo; and the Debian package that cpack makes of the build.

Usage: test_install.py BUILD_DIR SOURCE_DIR APP_ID
"""

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
# Reserved for examples (RFC 2606), reverse-DNS.
EXAMPLE_DOMAINS = ("org.example", "com.example", "net.example")
# The additional categories that freedesktop.org's desktop menus register under Game.
GAME_CATEGORIES = {"ActionGame", "AdventureGame", "ArcadeGame", "BoardGame", "BlocksGame", "CardGame",
                   "KidsGame", "LogicGame", "RolePlaying", "Shooter", "Simulation", "SportsGame",
                   "StrategyGame", "Amusement"}


def run(*command, cwd=None):
    return subprocess.run(command, cwd=cwd, capture_output=True, text=True)


def about_box_texts():
    """The About box's label texts by control name, as the player reads them."""
    form = ET.parse(os.path.join(SOURCE, "about", "frmAbout.ui")).getroot()
    texts = {}
    for widget in form.iter("widget"):
        for prop in widget.findall("property"):
            if prop.get("name") == "text":
                texts[widget.get("name")] = prop.findtext("string") or ""
    return texts


def program_version():
    """Major.minor.revision as the About box shows it."""
    project = pathlib.Path(SOURCE, "app", "Project.h").read_text(encoding="utf-8")
    m = re.search(r'App\{"[^"]*",\s*(\d+),\s*(\d+),\s*(\d+)\}', project)
    return ".".join(m.groups())


def desktop_entry(path):
    """The [Desktop Entry] group of a desktop file as a dict."""
    entry, group = {}, None
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if line.startswith("["):
            group = line
        elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
            key, value = line.split("=", 1)
            entry[key] = value
    return entry


def rgba(path):
    return Image.open(path).convert("RGBA")


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="tarvonix-install-")
        done = run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        if done.returncode != 0:
            raise RuntimeError("cmake --install failed:\n" + done.stdout + done.stderr)
        cls.share = os.path.join(cls.prefix, "share")
        cls.desktop = os.path.join(cls.share, "applications", APP_ID + ".desktop")
        cls.metainfo = os.path.join(cls.share, "metainfo", APP_ID + ".metainfo.xml")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def icon(self, size):
        return os.path.join(self.share, "icons", "hicolor", f"{size}x{size}", "apps", APP_ID + ".png")

    def test_everything_lands_in_its_place(self):
        program = os.path.join(self.prefix, "bin", "tarvonix")
        self.assertTrue(os.access(program, os.X_OK), program)
        for path in [self.desktop, self.metainfo,
                     os.path.join(self.share, "icons", "hicolor", "scalable", "apps", APP_ID + ".svg"),
                     os.path.join(self.share, "doc", "tarvonix", "copyright")] + [self.icon(s) for s in THEME_SIZES]:
            self.assertTrue(os.path.isfile(path), path)

    def test_desktop_entry_is_valid_and_starts_the_program_without_arguments(self):
        checked = run("desktop-file-validate", self.desktop)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertEqual(checked.stdout + checked.stderr, "", "the validator has remarks")
        entry = desktop_entry(self.desktop)
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name"], "TARVONIX")
        self.assertTrue(entry["Comment"].strip())
        self.assertEqual(entry["Exec"], "tarvonix", "the program takes no command line")
        self.assertTrue(os.access(os.path.join(self.prefix, "bin", entry["Exec"]), os.X_OK))
        self.assertEqual(entry["Icon"], APP_ID)
        self.assertEqual(entry.get("Terminal"), "false")
        categories = [c for c in entry["Categories"].split(";") if c]
        self.assertEqual(categories[0], "Game")
        self.assertTrue(GAME_CATEGORIES & set(categories), categories)

    def test_metainfo_passes_pedantic_validation(self):
        # --no-net: its web addresses are the fictional maker's and are not fetched.
        checked = run("appstreamcli", "validate", "--pedantic", "--no-net", "--no-color", self.metainfo)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        remarks = [l for l in checked.stdout.splitlines() if re.match(r"^[EWIP]: ", l)]
        self.assertEqual(remarks, [])

    def test_metainfo_names_this_program_and_its_maker(self):
        root = ET.parse(self.metainfo).getroot()
        self.assertEqual(root.get("type"), "desktop-application")
        self.assertEqual(root.findtext("id"), APP_ID)
        self.assertTrue(APP_ID.startswith(tuple(d + "." for d in EXAMPLE_DOMAINS)), APP_ID)
        self.assertEqual(root.findtext("name"), "TARVONIX")
        self.assertTrue(root.findtext("summary"))
        self.assertGreaterEqual(len(root.find("description")), 2)
        launchable = root.find("launchable")
        self.assertEqual((launchable.get("type"), launchable.text), ("desktop-id", os.path.basename(self.desktop)))
        self.assertEqual(root.find("provides").findtext("binary"), desktop_entry(self.desktop)["Exec"])
        # The maker is the About box's: its name, and its web address in the homepage and id.
        about = about_box_texts()
        self.assertEqual(root.findtext("developer_name"), about["Label2"])
        site = about["Label6"].split("url : ", 1)[1]
        homepage = [u.text for u in root.findall("url") if u.get("type") == "homepage"]
        self.assertEqual(homepage, [f"https://{site}/"])
        domain = ".".join(reversed(site.removeprefix("www.").split(".")))
        self.assertTrue(APP_ID.startswith(domain + "."), (APP_ID, site))
        releases = [r.get("version") for r in root.find("releases")]
        self.assertEqual(releases[0], program_version())
        self.assertEqual(root.find("content_rating").get("type"), "oars-1.1")
        shots = root.find("screenshots")
        self.assertEqual([s.get("type") for s in shots].count("default"), 1)
        for shot in shots:
            self.assertTrue(shot.findtext("caption"))
            self.assertTrue(shot.findtext("image").startswith("https://"))

    def test_icons_are_drawn_for_each_size_and_sharp(self):
        design = rgba(os.path.join(SOURCE, "resources", "pictures", "tarvonix.png"))
        # Down a column left of the wheel the design has only the bands' own colours and
        # the outline: no colour made by blending two of them.
        column = {design.getpixel((4, y)) for y in range(design.height)}
        red, white, green = (design.getpixel((4, y)) for y in (5, 15, 25))
        blue = design.getpixel((15, 15))
        for size in THEME_SIZES:
            with self.subTest(size=size):
                icon = rgba(self.icon(size))
                self.assertEqual(icon.size, (size, size))
                x = max(1, size * 4 // 32)
                stray = {icon.getpixel((x, y)) for y in range(size)} - column
                self.assertEqual(stray, set(), "blended colours: the icon was scaled, not drawn")
                self.assertEqual(icon.getpixel((x, size * 5 // 32)), red)
                self.assertEqual(icon.getpixel((x, size * 15 // 32)), white)
                self.assertEqual(icon.getpixel((x, size * 25 // 32)), green)
                cx = round(size * 15.5 / 32 - 0.5)
                self.assertEqual(icon.getpixel((cx, cx)), blue, "the wheel's hub")
        # The window's own icon is the design's, and the 64-pixel one its 2x rendering.
        pictures = os.path.join(SOURCE, "resources", "pictures")
        for size, picture in ((32, "tarvonix"), (64, "tarvonix@2x")):
            installed = pathlib.Path(self.icon(size))
            self.assertEqual(installed.read_bytes(), pathlib.Path(pictures, picture + ".png").read_bytes())
            # The program carries the same picture, pixel for pixel, as a bitmap.
            carried = rgba(os.path.join(pictures, picture + ".bmp"))
            self.assertEqual(list(carried.getdata()), list(rgba(str(installed)).getdata()))

    def test_scalable_icon_draws_the_same_flag(self):
        svg = os.path.join(self.share, "icons", "hicolor", "scalable", "apps", APP_ID + ".svg")
        with tempfile.TemporaryDirectory() as work:
            drawn = os.path.join(work, "svg.png")
            done = run("rsvg-convert", "-w", "256", "-h", "256", "-o", drawn, svg)
            self.assertEqual(done.returncode, 0, done.stderr)
            difference = ImageChops.difference(rgba(drawn), rgba(self.icon(256)))
            self.assertLess(max(ImageStat.Stat(difference).mean), 3.0, "per channel, out of 255")


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="tarvonix-deb-")
        made = run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", cls.out)
        if made.returncode != 0:
            raise RuntimeError("cpack failed:\n" + made.stdout + made.stderr)
        debs = [f for f in os.listdir(cls.out) if f.endswith(".deb")]
        cls.deb = os.path.join(cls.out, debs[0])

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, ignore_errors=True)

    def field(self, name):
        return run("dpkg-deb", "-f", self.deb, name).stdout.rstrip("\n")

    def test_control_fields(self):
        self.assertRegex(os.path.basename(self.deb), r"^tarvonix_" + re.escape(program_version()) + r"_\w+\.deb$")
        self.assertEqual(self.field("Package"), "tarvonix")
        self.assertEqual(self.field("Version"), program_version())
        self.assertEqual(self.field("Section"), "games")
        # Computed from the binary: the C library and Qt's widgets are among them; and the
        # sound library that the program loads at run time, with its sound-server backend.
        depends = [d.strip().split(" ")[0] for d in self.field("Depends").split(",")]
        for library in ("libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libcanberra0", "libcanberra-pulse"):
            self.assertIn(library, depends)
        synopsis, *long_lines = self.field("Description").split("\n")
        self.assertTrue(synopsis and not synopsis.endswith("."))
        self.assertGreaterEqual(len(long_lines), 3, "a real long description")
        self.assertTrue(all(l.startswith(" ") for l in long_lines))
        self.assertIn("example.org", self.field("Maintainer"))

    def test_contents_install_under_usr(self):
        listing = run("dpkg-deb", "-c", self.deb).stdout
        for path in ["./usr/bin/tarvonix", f"./usr/share/applications/{APP_ID}.desktop",
                     f"./usr/share/metainfo/{APP_ID}.metainfo.xml", "./usr/share/doc/tarvonix/copyright",
                     f"./usr/share/icons/hicolor/scalable/apps/{APP_ID}.svg"] + \
                    [f"./usr/share/icons/hicolor/{s}x{s}/apps/{APP_ID}.png" for s in THEME_SIZES]:
            self.assertIn(" " + path + "\n", listing)


if __name__ == "__main__":
    unittest.main(verbosity=2)
