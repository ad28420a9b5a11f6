"""The editor at 96, 144 and 192 DPI: the layout's figures scaled, rows as
high as their text, the tip line's two lines whole, no control over another
or outside the window, and a banner@2x entry that is not what it claims."""

import os
import unittest

from marlpane_app import (BANNER, CANCEL, OPTION_LIST, SAVE, TIP_LINE, Editor, branded_copy, read,
                          wait_until, wintest, work_folder)

BANNER_SIZE = (600, 64)
DIALOG_FONT = ("MS Sans Serif", 8)  # the main dialog's font, in points
ROWS = 12


def scaled(value, dpi):
    """value * dpi / 96 rounded half away from zero, as MulDiv rounds."""
    magnitude = (abs(value) * dpi + 48) // 96
    return -magnitude if value < 0 else magnitude


def longest_sample_tip():
    """The longest tip of the samples' type descriptions (key=KEYWORD;label;tip;...)."""
    tips = []
    for name in os.listdir(os.path.join(wintest.ROOT, "samples")):
        if name.endswith(".ITP"):
            for line in read(os.path.join(wintest.ROOT, "samples", name)).decode("latin-1").splitlines():
                fields = line.split(";")
                if "=" in fields[0] and not line.startswith((";", "[")) and len(fields) > 2:
                    tips.append(fields[2])
    return max(tips, key=len)


def rows_with_the_longest_tip(folder):
    """Twelve options, the first with the longest tip of the samples."""
    with open(os.path.join(folder, "settings.ini"), "w", newline="") as f:
        f.write("".join("Option_%d=value %d\r\n" % (i, i) for i in range(ROWS)))
    with open(os.path.join(folder, "settings.ITP"), "w", newline="") as f:
        f.write("Option_0=STRING;;%s\r\nOption_1=INTEGER;;;0;100\r\nOption_2=COLOR\r\n" % longest_sample_tip())


def overlap(a, b):
    return a.x < b.x + b.width and b.x < a.x + a.width and a.y < b.y + b.height and b.y < a.y + a.height


class DpiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # One prefix for the three DPIs: the display is made for the largest,
        # and wine-run rewrites the prefix's DPI whenever it changes.
        cls.desktop = wintest.Desktop("marlpane_dpi", dpi=192)

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def use_dpi(self, dpi):
        self.desktop.dpi = dpi
        self.desktop.env["WINE_RUN_DPI"] = str(dpi)

    def start(self, name, dpi, exe=None):
        self.use_dpi(dpi)
        folder = work_folder(self.desktop, name)
        rows_with_the_longest_tip(folder)
        editor = Editor(self.desktop, folder, exe=exe(folder) if exe else None)
        self.addCleanup(editor.tool.close)
        wait_until(lambda: len(editor.rows()) == ROWS, 30, "the rows")
        return editor

    def text_fit(self, hwnd, dpi):
        """(line height, height of the control's text wrapped at its width) in
        the dialog's font at dpi."""
        fields = self.desktop.probe("textinfont", str(hwnd), DIALOG_FONT[0], str(DIALOG_FONT[1]),
                                    str(dpi)).split("\t")
        self.assertEqual(3, len(fields), "the text of window %d" % hwnd)
        return int(fields[0]), int(fields[1])

    def check_layout(self, editor, dpi):
        """The controls where the layout puts them at dpi, rows as high as
        their text, the longest tip whole, nothing over another control or
        outside the client area."""
        s = lambda value: scaled(value, dpi)  # noqa: E731
        cx, cy, width, height = editor.client()

        # The layout: the figures of 96 DPI scaled, the tip line as high as
        # two lines of its font where 30 scaled pixels are less.
        line, _ = self.text_fit(editor.control(TIP_LINE).hwnd, dpi)
        growth = max(0, 2 * line - s(30))
        margin = s(35)
        usable = 0 if width - margin < margin else width - 2 * margin
        unit = width // 12
        button_top = 0 if height < s(45) else height - s(45)
        banner = (s(BANNER_SIZE[0]), s(BANNER_SIZE[1]))
        expected = {
            OPTION_LIST: (margin, s(110) + growth, usable, max(0, height - s(170) - growth)),
            TIP_LINE: (margin, s(78), usable, s(30) + growth),
            SAVE: (3 * unit, button_top, 2 * unit, s(25)),
            CANCEL: (7 * unit, button_top, 2 * unit, s(25)),
            BANNER: (0 if banner[0] > width else (width - banner[0]) // 2, s(10)) + banner,
        }
        for control_id, box in expected.items():
            c = editor.control(control_id)
            self.assertEqual(box, (c.x - cx, c.y - cy, c.width, c.height),
                             "control %d at %d DPI in a client of %d x %d" % (control_id, dpi, width, height))
        # Every row at least as high as its text.
        list_line, _ = self.text_fit(editor.list, dpi)
        rects = self.desktop.item_rects(editor.list)
        self.assertEqual(ROWS, len(rects))
        for row, rect in enumerate(rects):
            self.assertGreaterEqual(rect[3], list_line, "row %d at %d DPI" % (row, dpi))

        # The longest tip: its lines wrapped at the tip line's width need no
        # more than two lines and fit the tip line.
        editor.select_row(0)
        wait_until(lambda: editor.tip() == longest_sample_tip().replace("\\n", "\r\n"), 20,
                   "the tip (shows %r)" % editor.tip())
        tip = editor.control(TIP_LINE)
        tip_line, needed = self.text_fit(tip.hwnd, dpi)
        self.assertLessEqual(needed, 2 * tip_line, "the longest tip at %d DPI" % dpi)
        self.assertLessEqual(needed, tip.height, "the longest tip at %d DPI" % dpi)

        # No visible control over another, none beyond the client area.
        controls = [w for w in editor.desktop.tree(editor.dialog)[1:] if w.parent == editor.dialog and w.visible]
        self.assertEqual(5, len(controls))
        for i, a in enumerate(controls):
            self.assertTrue(cx <= a.x and cy <= a.y and a.x + a.width <= cx + width and
                            a.y + a.height <= cy + height, "control %d outside at %d DPI" % (a.id, dpi))
            for b in controls[i + 1:]:
                self.assertFalse(overlap(a, b), "controls %d and %d overlap at %d DPI" % (a.id, b.id, dpi))

    def check_editor_at(self, dpi):
        editor = self.start("at_%d" % dpi, dpi)
        s = lambda value: scaled(value, dpi)  # noqa: E731
        # The window as high as its rows ask (20 pixels a row, 200 for the rest).
        self.assertEqual(s(20) * ROWS + s(200), editor.window().height)
        # The label column: 8 pixels a character of the widest label ("Option 10:").
        self.assertEqual(len("Option 10:") * s(8), self.desktop.columns(editor.list)[0])
        self.check_layout(editor, dpi)
        window = editor.window()
        self.desktop.screenshot(os.path.join(self.desktop.folder, "screens", "editor_%d.png" % dpi),
                                crop=(window.x, window.y, window.width, window.height))
        self.desktop.key("Escape")
        editor.wait_closed()

    def test_the_editor_at_96_dpi(self):
        self.check_editor_at(96)

    def test_the_editor_at_144_dpi(self):
        self.check_editor_at(144)

    def test_the_editor_at_192_dpi(self):
        self.check_editor_at(192)

    def test_a_move_to_a_monitor_of_144_dpi_lays_the_window_out_again(self):
        """WM_DPICHANGED as the system sends it: the window takes the
        suggested rectangle, and fonts, icons, banner and layout follow."""
        editor = self.start("dpi_changed", 96)
        window = editor.window()
        suggested = (window.x, window.y, scaled(window.width, 144), scaled(window.height, 144))
        self.desktop.probe("dpichanged", str(editor.dialog), "144", *[str(v) for v in suggested])
        wait_until(lambda: (editor.window().width, editor.window().height) == suggested[2:], 20,
                   "the suggested size")
        self.check_layout(editor, 144)
        self.assertEqual(len("Option 10:") * 12, self.desktop.columns(editor.list)[0])
        window = editor.window()
        self.desktop.screenshot(os.path.join(self.desktop.folder, "screens", "dpi_changed_to_144.png"),
                                crop=(window.x, window.y, window.width, window.height))
        self.desktop.key("Escape")
        editor.wait_closed()

    def test_a_banner_at_2x_that_is_not_twice_the_banner_is_ignored(self):
        """A banner@2x entry of another size, or cut short, leaves the banner
        scaled from banner.bmp; the editor runs on."""
        full = read(os.path.join(wintest.ROOT, "assets", "marlpane", "banner@2x.png"))
        small = read(os.path.join(wintest.ROOT, "assets", "marlpane", "banner.png"))
        for name, entry in (("wrong_size", small), ("cut_short", full[:len(full) // 2]),
                            ("header_only", full[:54])):
            with self.subTest(name):
                editor = self.start("banner_" + name, 144,
                                    exe=lambda folder: branded_copy(folder, extra={"banner@2x.bmp": entry}))
                banner = editor.control(BANNER)
                self.assertEqual((900, 96), (banner.width, banner.height))
                self.assertTrue(editor.tool.running())
                self.desktop.key("Escape")
                editor.wait_closed()


if __name__ == "__main__":
    unittest.main()
