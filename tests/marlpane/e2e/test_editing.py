"""The editor on the sample: the rows it shows, an edit saved into the file,
and the ways of closing with their notification codes."""

import os
import unittest

from marlpane_app import (CANCEL, CANCELLED, CLOSING, Editor, SAMPLES, SAVE, SAVED, STARTED,
                          copy_samples, read, wait_until, wintest, work_folder)

# The type icon (image of the value column) of each row descriptor keyword.
ICON_OF_KEYWORD = {
    "FOLDER": 3, "IMAGEFILE": 4, "COLOR": 6, "TOGGLEINDEX": 8, "DATE": 9, "TIME": 11,
    "MULTILINE": 12, "FILE": 13, "FILESAVE": 13, "DRIVE": 14, "FIXEDDRIVE": 14,
    "REMOTEDRIVE": 14, "RAMDRIVE": 14, "REMOVABLEDRIVE": 15, "CDROMDRIVE": 16, "FONT": 17,
    "WINDOW": 18, "SELECTSTRING": 5, "SELECTINDEX": 5, "SELECTINDEXSTRING": 5, "SELECTFIRST": 5,
    "SELECTEXEC": 5,
}
KEYWORDS = set(ICON_OF_KEYWORD) | {
    "READONLY", "TITLE", "STRING", "EMAIL", "STRINGHEX", "PASSWORD", "HEXPASSWORD", "MD5PASSWORD",
    "SHA160PASSWORD", "SHA256PASSWORD", "SHA384PASSWORD", "SHA512PASSWORD", "INTEGER", "REAL"}
# Keywords whose rows show the stored text as it is.
SHOWN_AS_STORED = {"READONLY", "TITLE", "STRING", "EMAIL", "INTEGER", "REAL", "FILE", "FILESAVE",
                   "IMAGEFILE", "FOLDER"}


def sections(path):
    """[(section, [(key, value), ...]), ...] of a simple INI file, in file order."""
    out = [("", [])]
    with open(path, encoding="latin-1") as f:
        for line in f.read().splitlines():
            if line.startswith(("[",)):
                out.append((line[1:line.index("]")], []))
            elif "=" in line and not line.startswith((";", "#")):
                key, value = line.split("=", 1)
                out[-1][1].append((key, value))
    return out


def expected_rows():
    """(label, image, value or None, tip) for every row the sample gives."""
    descriptors = {}
    for section, keys in sections(os.path.join(SAMPLES, "settings.ITP")):
        for key, descriptor in keys:
            descriptors[(section, key)] = descriptor.split(";")
    rows = []
    for index, (section, keys) in enumerate(sections(os.path.join(SAMPLES, "settings.ini"))):
        if index > 0:
            rows.append(("", -1, section.replace("_", " "), ""))
        for key, value in keys:
            fields = descriptors[(section, key)]
            keyword = fields[0]
            known = keyword in KEYWORDS
            label = fields[1] if known and len(fields) > 1 and fields[1] else key.replace("_", " ") + ":"
            if keyword == "TITLE":
                label = ""
            tip = fields[2].replace("\\n", "\r\n") if known and len(fields) > 2 else ""
            shown = value if keyword in SHOWN_AS_STORED or not known else None
            rows.append((label, ICON_OF_KEYWORD.get(keyword, -1), shown, tip))
    return rows


class EditingTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = wintest.Desktop("marlpane_editing")

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, name, *arguments, samples=("settings.ini", "settings.ITP")):
        self.folder = work_folder(self.desktop, name)
        copy_samples(self.folder, *samples)
        editor = Editor(self.desktop, self.folder, *arguments)
        self.addCleanup(editor.tool.close)
        return editor

    def test_the_sample_shows_one_row_per_key_line_with_section_titles_icons_and_tips(self):
        editor = self.start("sample_rows")
        self.assertEqual("Click an item to see a tip\r\nDouble-click to edit", editor.tip())
        rows = editor.wait_rows()
        expected = expected_rows()
        self.assertEqual([(e[0], e[1]) for e in expected], [(r.label, r.image) for r in rows])
        for row, (label, _, value, _) in zip(rows, expected):
            if value is not None:
                self.assertEqual(value, row.value, label)
        shown = {r.label: r.value for r in rows}
        self.assertEqual("#C0C0C0", shown["Grid lines"])
        self.assertEqual("Tahoma, 10", shown["Font"])
        self.assertEqual("******", shown["Password"])
        self.assertEqual("On", shown["Check for updates"])
        self.assertEqual("Reports", shown["Start page"])
        # Selecting a row shows its tip; a row without one empties the line.
        for index in (editor.row_of("Check for updates"), editor.row_of("Start minimized"),
                      editor.row_of("Welcome text")):
            editor.select_row(index)
            wait_until(lambda: editor.tip() == expected[index][3], 10,
                       "the tip of row %d (shows %r)" % (index, editor.tip()))
        editor.desktop.key("Escape")
        editor.wait_closed()
        self.assertEqual([STARTED, CLOSING], editor.tool.codes())

    def test_edits_in_the_edit_box_are_saved_and_change_only_their_values(self):
        # A copy whose values all stand in the form Save writes, so that
        # every other byte must stay.
        folder = work_folder(self.desktop, "edit_and_save")
        copy_samples(folder, "settings.ITP")
        original = read(os.path.join(SAMPLES, "settings.ini"))
        original = original.replace(b"GridLines=0xC0C0C0", b"GridLines=#C0C0C0")
        original = original.replace(b"Footer=Product Ltd.|All", b"Footer=Product Ltd.\\nAll")
        with open(os.path.join(folder, "settings.ini"), "wb") as f:
            f.write(original)
        editor = Editor(self.desktop, folder)
        self.addCleanup(editor.tool.close)
        # By keyboard: select, Enter, type, Enter.
        editor.select_row(editor.row_of("User name"))
        editor.edit_selected("Robin Example")
        # By mouse: a double click on the label opens the value's edit box.
        row = editor.row_of("Proxy host")
        editor.select_row(row)
        editor.desktop.double_click(*editor.row_centre(row))
        wait_until(editor.editor_window, 20, "the edit box")
        editor.desktop.key("ctrl+a")
        editor.desktop.type("cache.example.org")
        editor.desktop.key("Return")
        wait_until(lambda: editor.rows()[row].value == "cache.example.org", 20, "the new proxy host")
        self.assertEqual(original, read(os.path.join(folder, "settings.ini")))  # nothing written yet
        editor.click(SAVE)
        editor.wait_closed()
        self.assertEqual([STARTED, SAVED, CLOSING], editor.tool.codes())
        self.assertEqual(original.replace(b"UserName=Dana Whitfield", b"UserName=Robin Example")
                         .replace(b"ProxyHost=proxy.example.net", b"ProxyHost=cache.example.org"),
                         read(os.path.join(folder, "settings.ini")))

    def test_cancel_and_escape_close_without_saving(self):
        def escape_then_no(editor):
            # With a changed row Escape asks first; No closes without saving.
            editor.desktop.key("Escape")
            editor.message_box()
            editor.desktop.key("n")

        for name, close, codes in (("cancel", lambda e: e.click(CANCEL), [STARTED, CANCELLED, CLOSING]),
                                   ("escape", escape_then_no, [STARTED, CLOSING])):
            with self.subTest(name):
                editor = self.start(name)
                editor.select_row(editor.row_of("User name"))
                editor.edit_selected("Not kept")
                close(editor)
                editor.wait_closed()
                self.assertEqual(codes, editor.tool.codes())
                self.assertEqual(read(os.path.join(SAMPLES, "settings.ini")),
                                 read(os.path.join(self.folder, "settings.ini")))

    def test_a_read_only_file_shows_the_save_error_and_keeps_the_dialog_and_its_edits(self):
        editor = self.start("read_only")
        path = os.path.join(self.folder, "settings.ini")
        os.chmod(path, 0o444)
        self.addCleanup(os.chmod, path, 0o644)
        row = editor.row_of("User name")
        editor.select_row(row)
        editor.edit_selected("Robin Example")
        editor.click(SAVE)
        box, texts = editor.message_box()
        self.assertEqual("ERROR", box.text)
        self.assertIn("Error: Can't save the settings file:\n%s\n\nDrive may be full or write-protected."
                      % wintest.winpath(path), texts)
        editor.desktop.key("Return")
        wait_until(lambda: not any(w.text == "ERROR" for w in editor.top_windows()), 20,
                   "the message box to close")
        self.assertTrue(editor.tool.running())
        self.assertEqual("Robin Example", editor.rows()[row].value)
        self.assertEqual(read(os.path.join(SAMPLES, "settings.ini")), read(path))
        self.assertEqual([STARTED], editor.tool.codes())
        editor.click(CANCEL)
        editor.wait_closed()
        self.assertEqual([STARTED, CANCELLED, CLOSING], editor.tool.codes())

    def test_without_a_settings_file_the_list_is_empty_and_save_creates_nothing(self):
        editor = self.start("no_settings", samples=())
        wait_until(lambda: editor.control(SAVE), 10, "the dialog's buttons")
        self.assertEqual([], editor.rows())
        editor.click(SAVE)
        box, texts = editor.message_box()
        # The last name tried is the one the error names.
        expected = wintest.winpath(os.path.join(self.folder, "settings.properties"))
        self.assertTrue(any(expected in t for t in texts), texts)
        editor.desktop.key("Return")
        editor.click(CANCEL)
        editor.wait_closed()
        self.assertEqual(["marlpane.exe"], sorted(os.listdir(self.folder)))


if __name__ == "__main__":
    unittest.main()
