"""How the editor starts: the files its command line picks, and a copy
whose appended archive is damaged."""

import os
import unittest

from marlpane_app import (ASSETS, CLOSING, DAMAGED_TEXT, Editor, STARTED, branded_copy, copy_samples,
                          read, unbranded_copy, wait_until, wintest, work_folder)


def write(folder, name, text):
    with open(os.path.join(folder, name), "w", encoding="latin-1", newline="") as f:
        f.write(text)


class StartupTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = wintest.Desktop("marlpane_startup")

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def open_and_read(self, folder, *arguments, notify=True):
        """Starts the editor, returns {label: (value, image)} of its rows and closes it."""
        editor = Editor(self.desktop, folder, *arguments, notify=notify)
        self.addCleanup(editor.tool.close)
        wait_until(lambda: editor.control(1005), 10, "the dialog's buttons")
        rows = {r.label: (r.value, r.image) for r in editor.rows()}
        self.desktop.key("Escape")
        editor.wait_closed()
        return rows

    def test_the_command_line_picks_the_settings_and_type_description_files(self):
        folder = work_folder(self.desktop, "command_line")
        spaced = os.path.join(folder, "with space")
        os.makedirs(spaced)
        write(folder, "settings.ini", "[Which]\r\nFile=beside the program\r\n")
        write(folder, "first.ini", "[Which]\r\nFile=named by /INI:\r\n")
        write(folder, "second.properties", "File=caf\\u00e9 named by /PROPERTIES:\r\n")
        write(folder, "labels.itp", "[Which]\r\nFile=STRING;Named file;From /ITP:\r\n")
        write(spaced, "bare.ini", "[Which]\r\nFile=the bare path\r\n")
        path = lambda *p: wintest.winpath(os.path.join(folder, *p))  # noqa: E731
        cases = [
            ("nothing: settings.ini beside the program", [], True, "beside the program"),
            ("/INI:", ["/INI:" + path("first.ini")], True, "named by /INI:"),
            ("/PROPERTIES:", ["/PROPERTIES:" + path("second.properties")], True,
             "caf\u00e9 named by /PROPERTIES:"),
            ("/INI: wins over /PROPERTIES:",
             ["/PROPERTIES:" + path("second.properties"), "/INI:" + path("first.ini")], True,
             "named by /INI:"),
            ("a bare path with a space", [path("with space", "bare.ini")], False, "the bare path"),
            ("a bare path beside a switch is not taken", [path("with space", "bare.ini"), "/NODETECT"],
             False, "beside the program"),
        ]
        for name, arguments, notify, value in cases:
            with self.subTest(name):
                rows = self.open_and_read(folder, *arguments, notify=notify)
                self.assertEqual(value, rows["File:"][0])
        rows = self.open_and_read(folder, "/ITP:" + path("labels.itp"))
        self.assertEqual("beside the program", rows["Named file"][0])

    def test_a_missing_ini_file_is_looked_for_as_properties(self):
        folder = work_folder(self.desktop, "properties_fallback")
        write(folder, "settings.properties", "Colour=#102030\r\n")
        rows = self.open_and_read(folder)
        self.assertEqual(("#102030", 6), rows["Colour:"])

    def test_nodetect_leaves_the_rows_of_a_file_without_type_description_untyped(self):
        folder = work_folder(self.desktop, "detection")
        copy_samples(folder, "detect.ini", rename={"detect.ini": "settings.ini"})
        detected = self.open_and_read(folder)
        self.assertEqual(("#1A2B3C", 6), detected["Fore:"])
        self.assertEqual(("2025-03-14", 9), detected["Installed:"])
        plain = self.open_and_read(folder, "/NODETECT")
        self.assertEqual(set(detected), set(plain))
        self.assertEqual({-1}, {image for _, image in plain.values()})
        self.assertEqual("#1A2B3C", plain["Fore:"][0])

    def test_a_damaged_archive_shows_the_message_and_ends(self):
        settings = read(os.path.join(wintest.ROOT, "assets", "marlpane", "settings"))
        cases = [
            ("no archive", unbranded_copy),
            ("a settings record one byte short", lambda f: branded_copy(f, settings=settings[:83])),
            ("a settings record one byte long", lambda f: branded_copy(f, settings=settings + b"\0")),
            ("no banner", lambda f: branded_copy(f, banner=False)),
            ("a banner that is not a bitmap", lambda f: branded_copy(f, banner=b"BM" + bytes(60))),
            ("a PNG banner cut short", lambda f: branded_copy(f, banner=read(os.path.join(ASSETS, "banner.png"))[:900])),
        ]
        for name, make in cases:
            with self.subTest(name):
                folder = work_folder(self.desktop, "damaged")
                copy_samples(folder, "settings.ini", "settings.ITP")
                editor = Editor(self.desktop, folder, exe=make(folder))
                self.addCleanup(editor.tool.close)
                box, texts = editor.message_box()
                self.assertEqual("Marlpane", box.text)
                self.assertIn(DAMAGED_TEXT, texts)
                self.desktop.key("Return")
                editor.wait_closed()
                self.assertEqual([STARTED, CLOSING], editor.tool.codes())


if __name__ == "__main__":
    unittest.main()
