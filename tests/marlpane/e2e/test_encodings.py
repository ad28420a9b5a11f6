"""Settings files in every encoding and script: the rows show their characters
in fonts that have the glyphs, an edit saves exactly its own bytes, and a
value the file cannot store is refused where it is typed."""

import os
import re
import unittest

from editor_suite import SHOTS, EditorSuite
from marlpane_app import CANCEL, Editor, open_editor, wait_until, wait_value, work_folder

TYPED = "Zoë テ"
UNICODE_TEXT = "; Zoë's settings\r\n[Values]\r\nJapanese=テスト値です\r\nPlain=Dana\r\n"
EIGHT_BIT_TEXT = "[Values]\r\nName=René\r\nPlain=Dana\r\n"

# name, file bytes, how a text is encoded in it (None: 8-bit, which cannot
# store TYPED), the editor's switches.
FILES = [
    ("UTF-8 with mark", b"\xef\xbb\xbf" + UNICODE_TEXT.encode("utf-8"), "utf-8", ()),
    ("UTF-8 without mark", UNICODE_TEXT.encode("utf-8"), "utf-8", ()),
    ("UTF-16LE", b"\xff\xfe" + UNICODE_TEXT.encode("utf-16-le"), "utf-16-le", ()),
    ("ASCII", EIGHT_BIT_TEXT.replace("é", "e").encode("ascii"), None, ()),
    ("Latin-1", EIGHT_BIT_TEXT.encode("latin-1"), None, ()),
    ("Latin-1 without row types", EIGHT_BIT_TEXT.encode("latin-1"), None, ("/NODETECT",)),
]

SCRIPTS_TEXT = "[文字]\r\n日本語=テスト値です\r\n中文=中文字符测试\r\nРусский=Привет мир\r\nالعربية=مرحبا بالعالم\r\n"


def edit_box(editor):
    """The open editor: a popup, or the list's own edit box."""
    return next((w for w in editor.top_windows()
                 if w.visible and (w.cls.startswith("CGenericWindow-") or w.cls == "Edit")), None)


def refusal(editor):
    """The text of a visible window of the editor that says a value cannot be stored."""
    for top in editor.top_windows():
        if top.visible:
            for window in editor.desktop.tree(top.hwnd):
                if "can't store" in window.text:
                    return window.text
    return None


class EncodingTest(EditorSuite):
    DESKTOP = "marlpane_encodings"

    def open(self, name, data, switches=()):
        self.folder = work_folder(self.desktop, name)
        with open(os.path.join(self.folder, "settings.ini"), "wb") as f:
            f.write(data)
        editor = Editor(self.desktop, self.folder, *switches)
        self.addCleanup(editor.tool.close)
        editor.wait_rows()
        return editor

    def type_into(self, editor, label, text):
        row = open_editor(editor, label)
        box = wait_until(lambda: edit_box(editor), 20, "the editor")
        def box_shows(shown):
            return any(w.cls == "Edit" and w.text == shown for w in self.desktop.tree(box.hwnd))
        # The X server's keys and SendInput take different ways in: each
        # waits for the box to show the one before.
        self.desktop.key("ctrl+a", "BackSpace")
        wait_until(lambda: box_shows(""), 20, "the box emptied")
        self.desktop.send_text(text)
        wait_until(lambda: box_shows(text), 20, "%r typed" % text)
        self.desktop.key("Return")
        return row

    def test_each_encoding_shows_saves_or_refuses_a_typed_value(self):
        for name, data, encoding, switches in FILES:
            with self.subTest(name):
                editor = self.open(name.replace(" ", "_"), data, switches)
                text = data.decode(encoding or "latin-1").lstrip("\ufeff")
                shown = {r.label: r.value for r in editor.rows()}
                for line in text.splitlines():
                    if "=" in line and not line.startswith(";"):
                        key, value = line.split("=", 1)
                        self.assertEqual(value, shown[key + ":"])
                row = self.type_into(editor, "Plain:", TYPED)
                if encoding:
                    wait_value(editor, row, TYPED)
                    expected = data.replace("Plain=Dana".encode(encoding), ("Plain=" + TYPED).encode(encoding))
                else:
                    reason = wait_until(lambda: refusal(editor), 20, "the refusal")
                    self.assertIn('can\'t store "テ"', reason)
                    self.desktop.key("Escape")
                    wait_until(lambda: not refusal(editor), 20, "the refusal to go")
                    self.assertEqual("Dana", editor.rows()[row].value)
                    wait_value(editor, self.type_into(editor, "Name:", "Zoë"), "Zoë")
                    expected = re.sub(rb"Name=[^\r]*", b"Name=Zo\xeb", data, count=1)
                self.save(editor)
                self.assertEqual(expected, self.settings())

    def test_every_script_is_drawn_with_its_glyphs(self):
        editor = self.open("scripts", SCRIPTS_TEXT.encode("utf-8"))
        # A changed value is drawn bold: its font falls back as well.
        wait_value(editor, self.type_into(editor, "Русский:", "Зоя テ"), "Зоя テ")
        rows = editor.rows()
        cells = wait_until(lambda: (lambda got: len(got) == 2 * len(rows) and got)(self.desktop.glyphs(editor.list)),
                           20, "the cells as drawn")
        for row in rows:
            for column, text in ((0, row.label), (1, row.value)):
                face, missing, drawn = cells[(row.index, column)]
                self.assertEqual((text, 0), (drawn, missing), "row %d column %d in %s" % (row.index, column, face))
        window = editor.window()
        self.desktop.screenshot(os.path.join(SHOTS, "scripts.png"),
                                crop=(window.x, window.y, window.width, window.height))
        editor.click(CANCEL)
        editor.wait_closed()


if __name__ == "__main__":
    unittest.main()
