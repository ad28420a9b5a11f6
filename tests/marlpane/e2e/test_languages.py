"""The editor speaks the language chosen at start (the Language option, else
the user's interface language, else English) in every text of its own, per
key over English; right to left it mirrors its window; a screen reader
learns each row's label and value, and its popup editor by the row."""

import os
import unittest

from editor_suite import SHOTS, EditorSuite
from marlpane_app import (ASSETS, CANCEL, SAMPLES, SAVE, Editor, branded_copy, copy_samples, read, wait_until,
                          work_folder)

WS_EX_LAYOUTRTL = 0x00400000
LANGUAGE_FILES = {name[:-4]: read(os.path.join(ASSETS, name)) for name in os.listdir(ASSETS) if name.endswith(".lng")}


def texts_of(data):
    """The texts a language file gives, by key, as the editor shows them."""
    lines = data.decode("utf-16-le", errors="replace").lstrip("\ufeff").splitlines()
    values = dict(line.split("=", 1) for line in lines if "=" in line)
    marks = ("\u202b", "\u202c") if values.get("RTL") == "1" else ("", "")
    return {key: marks[0] + value + marks[1] for key, value in values.items() if value}


def without_marks(text):
    return "".join(c for c in text if not "\u202a" <= c <= "\u202e")


ENGLISH = texts_of(LANGUAGE_FILES["English"])
FIND_FIELD, FIND_COUNT, FIND_LABEL = 1021, 1022, 1023


def partial_german():
    """A damaged German file: two keys gone, one empty, a stray byte at its end."""
    text = LANGUAGE_FILES["German"].decode("utf-16-le")
    text = "\n".join(line for line in text.split("\n") if not line.startswith(("cancel=", "find_no_match=")))
    return text.replace("row_copy_line=&Zeile kopieren", "row_copy_line=").encode("utf-16-le") + b"A"


# name, option Language (None: none), the program's locale, its language file, mirrored
CASES = [
    ("German by option", "German", None, LANGUAGE_FILES["German"], False),
    ("Arabic by option", "Arabic", None, LANGUAGE_FILES["Arabic"], True),
    ("Japanese of the interface", None, "ja_JP.UTF-8", LANGUAGE_FILES["Japanese"], False),
    ("option naming no language", "Klingon", None, LANGUAGE_FILES["English"], False),
    ("German file with keys missing", "German", None, partial_german(), False),
]


class LanguageTest(EditorSuite):
    DESKTOP = "marlpane_languages"
    LOCALE = "en_US.UTF-8"

    def open(self, name, language, locale, file):
        # A case that failed leaves nothing open (a menu would take the next one's clicks).
        for tool in self.desktop.tools:
            tool.close()
        self.folder = work_folder(self.desktop, name.replace(" ", "_"))
        copy_samples(self.folder, "settings.ini", "settings.ITP")
        options = read(os.path.join(ASSETS, "options.ini")).decode("latin-1")
        if language:
            options += "\r\nLanguage=%s\r\n" % language
        entries = {n + ".lng": data for n, data in LANGUAGE_FILES.items()}
        if language in LANGUAGE_FILES:
            entries[language + ".lng"] = file
        exe = branded_copy(self.folder, options=options, extra=entries)
        editor = Editor(self.desktop, self.folder, exe=exe, locale=locale)
        editor.wait_rows()
        return editor

    def open_menu(self, editor, x, y):
        self.desktop.click(x, y, button=3)
        return wait_until(lambda: next((w for w in editor.top_windows() if w.visible and w.cls == "#32768"), None),
                          20, "the row menu")

    def test_each_language_in_every_text(self):
        for name, language, locale, file, mirrored in CASES:
            with self.subTest(name):
                given = texts_of(file)
                def text(key):
                    return given.get(key, ENGLISH[key]) if key else ""
                editor = self.open(name, language, locale, file)
                self.assertEqual((text("save"), text("cancel")),
                                 (editor.control(SAVE).text, editor.control(CANCEL).text))
                self.assertEqual(mirrored, bool(self.desktop.styles(editor.dialog)[1] & WS_EX_LAYOUTRTL))

                # A screen reader: the list by its name, each row by its label and value.
                rows = editor.rows()
                read_out = self.desktop.accessible(editor.list, len(rows))
                self.assertEqual(text("option_list"), read_out[0][1])
                for row, (_, label, value) in zip(rows, read_out[1:]):
                    if row.label:
                        self.assertEqual((without_marks(row.label), without_marks(row.value)), (label, value))
                    else:
                        self.assertEqual((without_marks(row.value), ""), (label, value))

                user = editor.row_of("User name")
                menu = self.open_menu(editor, *editor.row_centre(user))
                self.assertEqual([text(k) for k in ("row_edit", "row_undo", "", "row_copy_value", "row_copy_line")],
                                 [item.split("\t")[0] for item in self.desktop.menu(menu.hwnd)])
                window = editor.window()
                self.desktop.screenshot(os.path.join(SHOTS, "language_%s.png" % name.replace(" ", "_")),
                                        crop=(window.x, window.y, window.width, window.height + 120))
                self.desktop.key("Escape")
                wait_until(lambda: not any(w.visible and w.cls == "#32768" for w in editor.top_windows()), 20,
                           "the menu to close")

                # The find field, named by its label.
                self.desktop.key("ctrl+f")
                field = wait_until(lambda: editor.control(FIND_FIELD).visible and editor.control(FIND_FIELD), 20,
                                   "the find field")
                self.assertEqual(text("find_label"), editor.control(FIND_LABEL).text)
                self.assertEqual(text("find_label"), self.desktop.accessible(field.hwnd, 0)[0][1])
                self.desktop.type("zzzz")
                wait_until(lambda: editor.control(FIND_COUNT).text == text("find_no_match"), 20, "no match")
                self.desktop.key("Escape")

                # A changed row, then Escape: the close question.
                editor.select_row(user)
                self.desktop.key("Return")
                popup = wait_until(editor.editor_window, 20, "the edit box")
                self.assertEqual("User name", self.desktop.accessible(popup.hwnd, 0)[0][1])
                self.desktop.key("ctrl+a")
                self.desktop.type("Robin")
                self.desktop.key("Return")
                wait_until(lambda: without_marks(editor.rows()[user].value) == "Robin", 20, "the new name")
                self.desktop.key("Escape")
                box, shown = editor.message_box()
                question = text("close_question").replace("<File_Name>", "settings.ini")
                self.assertCountEqual([question] + [text(k) for k in ("answer_yes", "answer_no", "answer_cancel")],
                                      shown)
                no = next(w for w in self.desktop.tree(box.hwnd) if w.text == text("answer_no"))
                self.desktop.click(*no.centre())
                editor.wait_closed()
                self.assertEqual(read(os.path.join(self.folder, "settings.ini")),
                                 read(os.path.join(SAMPLES, "settings.ini")))


if __name__ == "__main__":
    unittest.main()
