"""The in-place editors of marlpane.exe, used as a person uses them: each
kind opened by a double click and by Enter over its cell, a value entered
through every kind of editor (the popups and the system's choosers) and
saved, and the ways of leaving a popup."""

import hashlib
import os
import re
import unittest

from editor_suite import AS_SETTINGS, EditorSuite, wait_text
from marlpane_app import (SAMPLES, open_editor, popup_controls, read, replaced,
                          value_cell, wait_chooser, wait_chooser_closed, wait_popup,
                          wait_popup_closed, wait_until, wait_value, wintest)


class EditorsTest(EditorSuite):
    DESKTOP = "marlpane_editors"

    def test_every_popup_opens_over_its_cell_by_double_click_and_by_enter(self):
        editor = self.start("placement")
        original = self.settings()
        # label: (the popup's height from the cell's, its controls by class)
        popups = {
            "User name": (lambda h: h, {"edit": 1}),
            "Welcome text": (lambda h: max(h, 100), {"edit": 1, "button": 2}),
            "Update interval (days)": (lambda h: h + 15, {"edit": 1, "scrollbar": 1}),
            "Opacity (%)": (lambda h: h + 15, {"edit": 1, "scrollbar": 1}),
            "Password": (lambda h: h + 20, {"edit": 1, "static": 1}),
            "Language": (None, {"combobox": 1}),
            "Target window": (None, {"combobox": 1}),
            "Installed on": (lambda h: max(h, 25), {"sysdatetimepick32": 1}),
            "Backup time": (lambda h: max(h, 25), {"sysdatetimepick32": 1}),
        }
        for label, (height, controls) in popups.items():
            for by in ("double-click", "enter"):
                with self.subTest(label, by=by), self.closing_popup(editor):
                    row = open_editor(editor, label, by)
                    popup = wait_popup(editor)
                    left, top, right, bottom = value_cell(editor, row)
                    # Over the label part of the value cell (after the type icon).
                    self.assertEqual((top, right), (popup.y, popup.x + popup.width))
                    self.assertTrue(left <= popup.x <= left + 20, (left, popup.x))
                    if height:
                        self.assertEqual(height(bottom - top), popup.height)
                    else:  # as high as the closed drop-down box, its list open below
                        box = popup_controls(editor, popup)["combobox"][0]
                        self.assertEqual((box.y, box.height), (popup.y, popup.height))
                        self.assertTrue(any(w.visible and w.cls == "ComboLBox"
                                            for w in editor.top_windows()))
                    found = {cls: len(ws) for cls, ws in popup_controls(editor, popup).items()}
                    self.assertEqual(controls, found)
                    self.assertFalse(editor.window().enabled)  # the main window waits
                    self.shot("placement-%s-%s" % (label.split()[0].lower(), by), popup)
                    shown = editor.rows()[row].value
                    self.desktop.key("Escape")
                    wait_popup_closed(editor)
                    wait_until(lambda: editor.window().enabled, 10, "the main window enabled")
                    self.assertEqual(shown, editor.rows()[row].value)
        # A toggle flips at once, by either way.
        row = open_editor(editor, "Start minimized", "double-click")
        wait_value(editor, row, "yes")
        self.desktop.key("Return")
        wait_value(editor, row, "no")
        self.save(editor)
        # Flipped twice: back to its loaded value, so nothing is written.
        self.assertEqual(original, self.settings())

    def test_a_value_entered_in_every_kind_of_editor_is_saved_and_nothing_else_changes(self):
        editor = self.start("every_kind")
        data = os.path.join(self.folder, "data")
        os.makedirs(os.path.join(data, "logs"))
        with open(os.path.join(data, "stock.db"), "w") as f:
            f.write("stock")
        desktop = self.desktop
        ways = iter(["double-click", "enter"] * 20)

        def popup(label, *keys, text=None, then=("Return",)):
            row = open_editor(editor, label, next(ways))
            wait_popup(editor)
            desktop.key(*keys) if keys else None
            if text is not None:
                desktop.type(text)
            desktop.key(*then)
            wait_popup_closed(editor)
            return row

        def chooser(label, *steps):
            row = open_editor(editor, label, next(ways))
            box = wait_chooser(editor)
            for step in steps:
                step(box)
            wait_chooser_closed(editor)
            return row

        row = popup("User name", "ctrl+a", text="Robin Example")
        wait_value(editor, row, "Robin Example")
        row = popup("Language", "End")  # the sorted list's last item
        wait_value(editor, row, "fr-FR")
        row = popup("Update interval (days)", "ctrl+a", text="30")
        wait_value(editor, row, "30")
        row = popup("Installed on", "Right", "Right", "Up")  # the day field, one day on
        wait_value(editor, row, "2025-03-15")
        row = popup("Opacity (%)", "ctrl+a", text="50.5")
        wait_value(editor, row, "050.5")  # three whole digits, one decimal
        row = popup("Welcome text", "ctrl+End", "Return", text="See you.", then=("Tab", "Return"))
        wait_value(editor, row, "Welcome back!\u00abHave a good day.\u00abSee you.")
        row = popup("Theme", "Down")
        wait_value(editor, row, "High contrast")
        row = popup("Password", "ctrl+a", text="hunter22")
        # The password rows open with their password: the stored one, the
        # hexadecimal one decoded, none for the digests.
        for label, shown, entry in (("Sync password", "secret", "pass"), ("MD5 password", "", "m1"),
                                    ("SHA-1 password", "", "s1"), ("SHA-256 password", "", "s256"),
                                    ("SHA-384 password", "", "s384"),
                                    ("SHA-512 password", "", "s512")):
            open_editor(editor, label, next(ways))
            wait_text(editor, "edit", shown)
            desktop.key("ctrl+a")
            desktop.type(entry)
            desktop.key("Return")
            wait_popup_closed(editor)
        row = popup("Target window", "Home")  # the only window with a title: the editor's
        wait_value(editor, row, "Marlpane")
        row = popup("Backup time", "Right", "Up")  # the hour field
        wait_value(editor, row, "03:30:00")

        def choose_colour(box):
            for key, value in (("alt+r", "18"), ("alt+g", "52"), ("alt+b", "86")):
                desktop.key(key)
                desktop.type(value)
            desktop.key("Return")
        row = chooser("Highlight", choose_colour)
        wait_value(editor, row, "#123456")

        def type_name(name):
            def step(box):
                desktop.key("ctrl+a")
                desktop.type(name)
                desktop.key("Return")
            return step
        row = chooser("Data file", type_name(wintest.winpath(os.path.join(data, "stock.db"))))
        wait_value(editor, row, wintest.winpath(os.path.join(data, "stock.db")))
        row = chooser("Report file", type_name(wintest.winpath(os.path.join(data, "exported"))))
        wait_value(editor, row, wintest.winpath(os.path.join(data, "exported.csv")))
        # The folder chooser confirms its placeholder name inside the folder.
        row = chooser("Log folder",
                      type_name(wintest.winpath(os.path.join(data, "logs")) + "\\[Folders]"))
        wait_value(editor, row, wintest.winpath(os.path.join(data, "logs")))

        def font_size(box):
            desktop.key("alt+s", "ctrl+a")
            desktop.type("12")
            desktop.key("Return")
        row = chooser("Font", font_size)
        wait_value(editor, row, "Tahoma, 12")
        row = open_editor(editor, "Start minimized", next(ways))
        wait_value(editor, row, "yes")

        self.save(editor)
        digest = lambda name, text: hashlib.new(name, text.encode()).hexdigest().encode()  # noqa: E731
        path = lambda p: wintest.winpath(p).encode()  # noqa: E731
        expected = replaced(
            read(os.path.join(SAMPLES, "settings.ini")),
            (b"UserName=Dana Whitfield", b"UserName=Robin Example"),
            (b"Language=en-GB", b"Language=fr-FR"),
            (b"StartMinimized=no", b"StartMinimized=yes"),
            (b"UpdateIntervalDays=7", b"UpdateIntervalDays=30"),
            (b"InstallDate=2025-03-14", b"InstallDate=2025-03-15"),
            (b"LogFolder=C:\\ProgramData\\Product\\Logs", b"LogFolder=" + path(os.path.join(data, "logs"))),
            (b"Opacity=95", b"Opacity=050.5"),
            (b"Highlight=#FF8000", b"Highlight=#123456"),
            (b"DataFile=D:\\Data\\inventory.db", b"DataFile=" + path(os.path.join(data, "stock.db"))),
            (b"Font=Tahoma;10;1;0;0;0", b"Font=Tahoma;12;1;0;0;0"),
            (b"Welcome=Welcome back!\\nHave a good day.", b"Welcome=Welcome back!\\nHave a good day.\\nSee you."),
            (b"Theme=1", b"Theme=2"),
            (b"Password=secret", b"Password=hunter22"),
            (b"SyncPassword=730065006300720065007400", b"SyncPassword=7000610073007300"),
            (b"Md5Password=5EBE2294ECD0E0F08EAB7690D2A6EE69", b"Md5Password=" + digest("md5", "m1")),
            (b"Sha1Password=E5E9FA1BA31ECD1AE84F75CAAA474F3A663F05F4", b"Sha1Password=" + digest("sha1", "s1")),
            (re.search(rb"Sha256Password=\w+", read(os.path.join(SAMPLES, "settings.ini"))).group(0),
             b"Sha256Password=" + digest("sha256", "s256")),
            (re.search(rb"Sha384Password=\w+", read(os.path.join(SAMPLES, "settings.ini"))).group(0),
             b"Sha384Password=" + digest("sha384", "s384")),
            (re.search(rb"Sha512Password=\w+", read(os.path.join(SAMPLES, "settings.ini"))).group(0),
             b"Sha512Password=" + digest("sha512", "s512")),
            (b"TargetWindow=0;Product;ProductMainWindow", b"TargetWindow=%d;Marlpane;#32770" % editor.dialog),
            (b"BackupTime=02:30:00", b"BackupTime=03:30:00"),
            (b"ReportFile=D:\\Data\\report.csv", b"ReportFile=" + path(os.path.join(data, "exported.csv"))),
        )
        self.assertEqual(expected.decode("latin-1").splitlines(), self.settings().decode("latin-1").splitlines())
        self.assertEqual(expected, self.settings())

    def test_leaving_a_popup_commits_escape_discards_and_enter_commits(self):
        # Another program's window to pick, started first so that the
        # editor has the keyboard.
        notepad = self.desktop.launch(os.path.join(self.desktop.folder, "wineprefix", "drive_c",
                                                   "windows", "notepad.exe"), notify=False)
        self.addCleanup(notepad.close)
        other = wait_until(lambda: self.desktop.find("Notepad"), 30, "Notepad's window")[0].text
        editor = self.start("leaving", samples=("editors.ini", "editors.ITP"), rename=AS_SETTINGS)
        # label, then for Escape, a click elsewhere and Enter in turn: the
        # keys that change the entry and the value shown afterwards
        cases = [
            ("Note", [("x1", "first note"), ("second", "second"), ("third", "third")]),
            ("Level", [("1", "0"), ("2", "2"), ("3", "3")]),
            ("Ratio", [("0.5", "0.25"), ("0.75", "0.75"), ("1.5", "1.50")]),
            # moves through the open list: Slow, Normal, Fast
            ("Speed", [("key:Down", "Normal"), ("key:Down", "Fast"), ("key:Up", "Normal")]),
            # sorted by title: the editor's own window, then Notepad's
            ("Target window", [("key:Down", "Marlpane"), ("key:Down", other), ("key:Up", "Marlpane")]),
        ]
        for label, entries in cases:
            for leave, (keys, shown) in zip(("Escape", "click", "Return"), entries):
                with self.subTest(label, leave=leave), self.closing_popup(editor):
                    row = open_editor(editor, label)
                    wait_popup(editor)
                    if keys.startswith("key:"):
                        self.desktop.key(keys[4:])
                    else:
                        self.desktop.key("ctrl+a")
                        self.desktop.type(keys)
                    if leave == "click":  # on another row of the (disabled) main window
                        self.desktop.click(*editor.row_centre(row - 1))
                    else:
                        self.desktop.key(leave)
                    wait_popup_closed(editor)
                    wait_until(lambda: editor.window().enabled, 10, "the main window enabled")
                    self.assertEqual(shown, editor.rows()[row].value)


if __name__ == "__main__":
    unittest.main()
