"""The updater at 96, 144 and 192 DPI in every delivered language, driven
from outside under Wine: in the question and during the download, every
status and news text, measured with the control's own font, fits its
control, and no visible control overlaps another or leaves the client area.
One desktop per DPI; the languages are picked one after another through the
language menu's commands (the menu itself is tested in
test_updater_window.py).
"""

import os
import re
import shutil
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from wintest import ROOT, WIN_BUILD, Desktop, wait_until  # noqa: E402
from updater_scene import (CLOSE, LANGUAGE, NEWER, NEWS, PROGRESS, STATUS, TOLLWREN, YES,  # noqa: E402
                           UpdaterWindow, WebServer, pad_text, product_folder, rebrand, serve_installer, write)

WORK = os.path.join(WIN_BUILD, "e2e", "tollwren-dpi-work")
ASSETS = os.path.join(ROOT, "assets", "tollwren")
INSTALLER = "SampleNotesSetup-2.0.exe"
WM_COMMAND, WM_DPICHANGED = 0x0111, 0x02E0
FIRST_LANGUAGE_COMMAND = 200
TEXT_LINES = (STATUS, NEWS)
ROW = (YES, 1014, 1015, PROGRESS)
# Free pixels (at 96 DPI) at least between the status text and the buttons or bar.
TEXT_GAP = 8
LAID_OUT = (STATUS, NEWS, YES, 1014, 1015, PROGRESS, LANGUAGE, CLOSE)


def delivered_languages():
    """The language list of the default record, in menu order, with each
    language's texts."""
    with open(os.path.join(ASSETS, "stn.ini"), encoding="utf-8") as f:
        names = [line.split("=", 1)[1].strip() for line in f if line.startswith("language=")]
    languages = []
    for name in names:
        with open(os.path.join(ASSETS, name + ".lng"), encoding="utf-16") as f:
            texts = dict(line.rstrip("\r\n").split("=", 1) for line in f if "=" in line)
        languages.append((name, texts))
    return languages


def fragments(template):
    """The literal pieces of a message template: what any rendering shows."""
    pieces = re.split(r"<[A-Za-z_0-9]+>", template.replace("\\n", "\n"))
    return [p.strip() for p in pieces if len(p.strip()) > 1]


def setUpModule():
    global SERVER, REMOTE_URL
    shutil.rmtree(WORK, ignore_errors=True)
    web = os.path.join(WORK, "web")
    os.makedirs(web)
    SERVER = WebServer(web)
    # 3 MB at 2 KB every 40 ms: a download of about a minute, time for
    # every language while it runs.
    serve_installer(os.path.join(web, "notes"), INSTALLER, padding=3000000)
    download = SERVER.url("__slow/40/2048/notes/" + INSTALLER)
    REMOTE_URL = SERVER.url("remote/pad.xml")
    write(os.path.join(web, "remote", "pad.xml"),
          pad_text("2.0", REMOTE_URL, [download], change="Folders for notes, tags and a search that finds them."))


def tearDownModule():
    SERVER.stop()


def overlap(a, b):
    return a.x < b.x + b.width and b.x < a.x + a.width and a.y < b.y + b.height and b.y < a.y + a.height


class UpdaterAtDpi:
    dpi = 96

    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop("tollwren-dpi-%d" % cls.dpi, locale="en_US.UTF-8", dpi=cls.dpi)
        cls.languages = delivered_languages()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, program=TOLLWREN):
        folder = product_folder(WORK, pad_text("1.4", REMOTE_URL), program)
        tool = self.desktop.launch(os.path.join(folder, "tollwren.exe"))
        self.addCleanup(tool.close)
        window = UpdaterWindow(self.desktop, tool)
        tool.wait_code(NEWER, 60)
        window.wait_visible(YES)
        return tool, window

    def pick(self, window, index, key):
        """Picks language index and waits until the status line shows its text
        for key; returns the controls then."""
        self.desktop.probe("post", str(window.hwnd), str(WM_COMMAND), str(FIRST_LANGUAGE_COMMAND + index), "0")
        wanted = fragments(self.languages[index][1][key])

        def shown():
            controls = {w.id: w for w in self.desktop.tree(window.hwnd)[1:]}
            status = controls.get(STATUS)
            text = status.text.replace("\r\n", "\n") if status else ""
            return controls if status and all(piece in text for piece in wanted) else None
        return wait_until(shown, 20, "the %s text of %s (%r; the status line shows %r)" %
                          (key, self.languages[index][0], wanted, window.text(STATUS)))

    def check_layout(self, window, controls, what):
        x, y, width, height = self.desktop.client(window.hwnd)
        shown = [controls[i] for i in LAID_OUT if i in controls and controls[i].visible]
        for c in shown:
            self.assertTrue(x <= c.x and y <= c.y and c.x + c.width <= x + width and c.y + c.height <= y + height,
                            "%s: control %d at %s leaves the client area %s" %
                            (what, c.id, (c.x, c.y, c.width, c.height), (x, y, width, height)))
        for i, a in enumerate(shown):
            for b in shown[i + 1:]:
                self.assertFalse(overlap(a, b), "%s: controls %d and %d overlap" % (what, a.id, b.id))
        fits = {}
        for line in self.desktop.probe("textfit", str(window.hwnd)).splitlines():
            f = [int(v) for v in line.split("\t")]
            fits[f[0]] = f
        for control_id in TEXT_LINES:
            if control_id in controls and controls[control_id].visible and controls[control_id].text:
                _, _, w, h, text_w, text_h, _ = fits[control_id]
                self.assertLessEqual(text_w, w, "%s: the text of %d is wider than its line" % (what, control_id))
                self.assertLessEqual(text_h, h, "%s: the text of %d is taller than its line (%r)" %
                                     (what, control_id, controls[control_id].text))
        status = controls[STATUS]
        text_bottom = status.y + fits[STATUS][5]
        for c in shown:
            if c.id in ROW:
                self.assertLessEqual(text_bottom + TEXT_GAP * self.dpi // 96, c.y,
                                     "%s: the status text runs into control %d" % (what, c.id))

    def every_language(self, window, key):
        for index, (name, _) in enumerate(self.languages):
            controls = self.pick(window, index, key)
            self.check_layout(window, controls, "%d DPI, %s, %s" % (self.dpi, name, key))

    def test_question_and_download_in_every_language(self):
        tool, window = self.start()
        x, y, width, height = self.desktop.client(window.hwnd)
        # The window follows the background, scaled.
        self.assertEqual((width, height), (600 * self.dpi // 96, 300 * self.dpi // 96))
        self.every_language(window, "web_version_newer")
        # Back to English for the click: the first choice downloads.
        self.pick(window, 0, "web_version_newer")
        window.click(YES)
        window.wait_visible(PROGRESS)
        self.every_language(window, "download_progress")


class At96(UpdaterAtDpi, unittest.TestCase):
    dpi = 96

    def test_moved_to_a_monitor_at_150_percent(self):
        # WM_DPICHANGED from another program: a DPI beyond 1000 % is ignored;
        # a suggested rectangle at an address nobody owns is not taken, and
        # the skin, fonts and layout go to 144 DPI where the window is.
        tool, window = self.start()
        self.desktop.probe("post", str(window.hwnd), str(WM_DPICHANGED), str(5000 | 5000 << 16), "0")
        self.desktop.probe("post", str(window.hwnd), str(WM_DPICHANGED), str(144 | 144 << 16), "1")
        wait_until(lambda: self.desktop.client(window.hwnd)[2:] == (900, 450), 20, "the window at 150 %")
        controls = wait_until(lambda: (lambda c: c if c[STATUS].height >= 97 else None)(window.controls()), 20,
                              "the status line at 150 %")
        self.check_layout(window, controls, "moved to 144 DPI")


class At144(UpdaterAtDpi, unittest.TestCase):
    dpi = 144

    def test_twice_as_large_entries_of_the_wrong_size_or_not_bitmaps(self):
        # A background "@2x" that is not twice the size, and a close button
        # "@2x" that is no bitmap: the images as held, scaled.
        junk = os.path.join(WORK, "junk.bmp")
        with open(junk, "wb") as f:
            f.write(b"BM" + struct.pack("<I", 0xFFFFFFFF) + bytes(60))
        copy = rebrand(TOLLWREN, os.path.join(tempfile.mkdtemp(dir=WORK), "tollwren.exe"),
                       {"bmk@2x": os.path.join(ASSETS, "bmk.png"), "bmc@2x": junk})
        tool, window = self.start(copy)
        self.assertEqual(self.desktop.client(window.hwnd)[2:], (900, 450))
        self.assertEqual((window.control(CLOSE).width, window.control(CLOSE).height), (24, 24))


class At192(UpdaterAtDpi, unittest.TestCase):
    dpi = 192


if __name__ == "__main__":
    unittest.main(verbosity=2)
