"""The editor's window: where it is placed, the layout of its controls at
several sizes, its colours, and the system menu's about box."""

import os
import unittest

from marlpane_app import (BANNER, CANCEL, OPTION_LIST, SAVE, TIP_LINE, Editor, branded_copy, read,
                          wait_until, wintest, work_folder)

DESKTOP_WIDTH, DESKTOP_HEIGHT = 1280, 1024  # the Xvfb screen of wine-run
BANNER_SIZE = (600, 64)
DEFAULT_OPTIONS = read(os.path.join(wintest.ROOT, "assets", "marlpane", "options.ini")).decode("latin-1")


def options_with(**values):
    """The default options.ini with some values replaced."""
    lines = []
    for line in DEFAULT_OPTIONS.splitlines():
        key = line.split("=", 1)[0]
        lines.append("%s=%s" % (key, values[key]) if key in values else line)
    return "\r\n".join(lines) + "\r\n"


def ten_rows(folder):
    with open(os.path.join(folder, "settings.ini"), "w", newline="") as f:
        f.write("".join("Option_%d=value %d\r\n" % (i, i) for i in range(10)))


class WindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = wintest.Desktop("marlpane_window")

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, name, options=None):
        folder = work_folder(self.desktop, name)
        ten_rows(folder)
        exe = branded_copy(folder, options=options) if options else None
        editor = Editor(self.desktop, folder, exe=exe)
        self.addCleanup(editor.tool.close)
        wait_until(lambda: len(editor.rows()) == 10, 20, "the ten rows")
        return editor

    def assertLayout(self, editor, margin):
        """The controls stand where the layout puts them for the client size."""
        cx, cy, width, height = editor.client()
        usable = 0 if width - margin < margin else width - 2 * margin
        unit = width // 12
        button_top = 0 if height <= 44 else height - 45
        banner_x = 0 if BANNER_SIZE[0] > width else (width - BANNER_SIZE[0]) // 2
        expected = {
            OPTION_LIST: (margin, 110, usable, height - 170 if height >= 170 else 0),
            TIP_LINE: (margin, 78, usable, 30),
            SAVE: (3 * unit, button_top, 2 * unit, 25),
            CANCEL: (7 * unit, button_top, 2 * unit, 25),
            BANNER: (banner_x, 10) + BANNER_SIZE,
        }
        for control_id, box in expected.items():
            c = editor.control(control_id)
            self.assertEqual(box, (c.x - cx, c.y - cy, c.width, c.height),
                             "control %d in a client of %d x %d" % (control_id, width, height))
        # The value column fills what the label column leaves of the list.
        columns = self.desktop.columns(editor.list)
        list_width = self.desktop.client(editor.list)[2]
        if list_width > 0:
            rest = list_width - columns[0]
            self.assertEqual(max(10, rest - 10 if rest > 10 else rest), columns[1])
        return width, height

    def test_auto_resize_makes_ten_rows_400_pixels_high_and_centres_the_window(self):
        editor = self.start("auto_resize")
        window = editor.window()
        self.assertEqual(400, window.height)
        self.assertEqual(((DESKTOP_WIDTH - window.width) // 2, (DESKTOP_HEIGHT - 400) // 2),
                         (window.x, window.y))
        self.assertLayout(editor, 35)
        # The label column is as wide as the widest label at 8 pixels a character.
        self.assertEqual(len("Option 0:") * 8, self.desktop.columns(editor.list)[0])
        editor.desktop.screenshot(os.path.join(self.desktop.folder, "screens", "ten_rows.png"))
        self.desktop.key("Escape")
        editor.wait_closed()

    def test_the_options_place_the_window_and_a_drag_resizes_its_layout(self):
        options = options_with(MainWindowWidth=520, MainWindowHeight=360, MainWindowX=40, MainWindowY=30,
                               MainWindowSideMargin=20, FirstColumnWidth=150, ListGridLines=1)
        editor = self.start("placed", options)
        window = editor.window()
        self.assertEqual((40, 30, 520, 360), (window.x, window.y, window.width, window.height))
        self.assertEqual(150, self.desktop.columns(editor.list)[0])
        self.assertLayout(editor, 20)
        self.desktop.screenshot(os.path.join(self.desktop.folder, "screens", "placed.png"))
        # Drag the lower right corner up and left: the list goes, the buttons follow.
        corner = (window.x + window.width - 2, window.y + window.height - 2)
        self.desktop.drag(corner[0], corner[1], corner[0] - 60, corner[1] - 200)
        wait_until(lambda: editor.window().height < 200, 20, "the smaller window")
        width, height = self.assertLayout(editor, 20)
        self.assertLess(height, 170)
        self.assertEqual(0, editor.control(OPTION_LIST).height)
        self.desktop.screenshot(os.path.join(self.desktop.folder, "screens", "resized.png"))
        self.desktop.key("Escape")
        editor.wait_closed()

    def test_the_colours_come_from_the_options(self):
        for name, background in (("default_colours", (230, 230, 220)), ("own_colours", (200, 40, 60))):
            with self.subTest(name):
                options = None if name.startswith("default") else options_with(BackgroundColor="#C8283C")
                editor = self.start(name, options)
                cx, cy, width, height = editor.client()
                tip = editor.control(TIP_LINE)
                # The dialog itself, and the transparent tip line over it.
                self.assertEqual(background, self.desktop.pixel(cx + 5, cy + height - 5))
                self.assertEqual(background, self.desktop.pixel(tip.x + 2, tip.y + 2))
                self.desktop.key("Escape")
                editor.wait_closed()

    def test_the_system_menu_opens_the_about_box(self):
        editor = self.start("about")
        self.desktop.key("alt+space")
        wait_until(lambda: any(w.visible and w.cls == "#32768" for w in editor.top_windows()), 20,
                   "the system menu")
        self.desktop.screenshot(os.path.join(self.desktop.folder, "screens", "system_menu.png"))
        self.desktop.key("a")
        about = wait_until(lambda: next((w for w in editor.top_windows()
                                         if w.visible and w.text == "About Marlpane"), None), 20,
                           "the about box")
        texts = [c.text for c in self.desktop.tree(about.hwnd)[1:]]
        self.assertIn("Marlpane settings editor", texts)
        self.assertIn("Version 1.0.0", texts)
        self.assertFalse(editor.window().enabled)  # the about box is modal
        self.desktop.screenshot(os.path.join(self.desktop.folder, "screens", "about.png"))
        self.desktop.key("Return")
        wait_until(lambda: editor.window().enabled, 20, "the about box to close")
        self.assertTrue(editor.tool.running())
        self.desktop.key("Escape")
        editor.wait_closed()


if __name__ == "__main__":
    unittest.main()
