"""What the window tests of marlpane's in-place editors share: a desktop
per suite, work folders with copies of the samples, and readers of the open
popup's controls and scroll bar."""

import contextlib
import os
import unittest

from marlpane_app import (SAVE, Editor, copy_samples, popup_controls, popup_window, read,
                          wait_popup, wait_until, wintest, work_folder)

# editors.ini and its type description opened as settings.ini
AS_SETTINGS = {"editors.ini": "settings.ini", "editors.ITP": "settings.ITP"}
SHOTS = os.path.join(wintest.WIN_BUILD, "e2e", "marlpane_editor_shots")


def text_of(editor, cls):
    """The text of the open popup's control of that class."""
    return popup_controls(editor, wait_popup(editor))[cls][0].text


def wait_text(editor, cls, text, what=None):
    return wait_until(lambda: popup_window(editor) and text_of(editor, cls) == text, 20,
                      what or "the popup's %s to show %r" % (cls, text))


def bar_points(editor):
    """Screen points of the open popup's scroll bar: its arrows, the trough
    beside the left arrow and beside the right arrow, and its ends."""
    bar = popup_controls(editor, wait_popup(editor))["scrollbar"][0]
    y = bar.y + bar.height // 2
    arrow = bar.height  # square arrow buttons
    return {
        "left": (bar.x + arrow // 2, y), "right": (bar.x + bar.width - arrow // 2 - 1, y),
        "first": (bar.x + arrow + 3, y), "last": (bar.x + bar.width - arrow - 4, y),
        "middle": (bar.x + bar.width // 2, y), "y": y,
        "from": bar.x + arrow, "to": bar.x + bar.width - arrow,
    }


class EditorSuite(unittest.TestCase):
    """One desktop for the suite (DESKTOP names it, LOCALE may set its
    locale); start() opens the editor on copies of samples in a fresh
    folder."""

    DESKTOP = None
    LOCALE = None  # the desktop's Unix locale, when the suite needs one

    @classmethod
    def setUpClass(cls):
        cls.desktop = wintest.Desktop(cls.DESKTOP, locale=cls.LOCALE)

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, name, samples=("settings.ini", "settings.ITP"), rename=None, files=None):
        self.folder = work_folder(self.desktop, name)
        copy_samples(self.folder, *samples, rename=rename)
        for file_name, data in (files or {}).items():
            with open(os.path.join(self.folder, file_name), "wb") as f:
                f.write(data)
        editor = Editor(self.desktop, self.folder)
        self.addCleanup(editor.tool.close)
        editor.wait_rows()
        return editor

    @contextlib.contextmanager
    def closing_popup(self, editor):
        """A case that fails leaves no popup open for the next one."""
        try:
            yield
        except BaseException:
            if popup_window(editor):
                self.desktop.key("Escape")
            raise

    def settings(self):
        return read(os.path.join(self.folder, "settings.ini"))

    def save(self, editor):
        editor.click(SAVE)
        editor.wait_closed()

    def shot(self, name, window):
        x, y = max(0, window.x - 60), max(0, window.y - 40)
        return self.desktop.screenshot(os.path.join(SHOTS, name + ".png"),
                                       crop=(x, y, window.width + 120, window.height + 160))
