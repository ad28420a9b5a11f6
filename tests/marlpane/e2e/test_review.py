"""Finding, reviewing and keeping changes in the editor: find by typing,
changed-row marks, undo and redo, the row menu with its copy entries, the
question before changes are lost, comment tips, files written as
"key = value", and what another program writes to the file while the
editor is open."""

import os
import unittest

from marlpane_app import (CANCEL, CANCELLED, CHANGED_MARK, CLOSING, SAVE, SAVED, STARTED, TIP_LINE,
                          Editor, branded_copy, copy_samples, hold_file, open_editor, read, replaced,
                          wait_popup, wait_popup_closed, wait_until, wait_value, wintest,
                          work_folder)

FIND_FIELD = 1021
FIND_COUNT = 1022
MARK = CHANGED_MARK
QUESTION = "Save changes to settings.ini?"
CONFLICT_TITLE = "Settings changed by another program"
CONFLICT_LIST = 1202
SAVE_ERROR = "Error: Can't save the settings file:\n%s\n\nDrive may be full or write-protected."
# What another program writes while the editor is open: a key added, one
# changed, one removed, and the line of User name, which the tests edit too.
OTHER_WRITER = ((b"Opacity=95\r\n", b"Opacity=95\r\nMaximized=yes\r\n"),
                (b"Height=768", b"Height=600"), (b"Top=80\r\n", b""))
SHOTS = os.path.join(wintest.WIN_BUILD, "e2e", "marlpane_review_shots")


def generated_options(count=22000, per_section=50):
    lines = []
    for option in range(count):
        if option % per_section == 0:
            lines.append("[Section_%d]" % (option // per_section))
        lines.append("Option_%d=value %d" % (option, option))
    return ("\r\n".join(lines) + "\r\n").encode()


class ReviewTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = wintest.Desktop("marlpane_review")

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, name, samples=("settings.ini", "settings.ITP"), files=None):
        self.folder = work_folder(self.desktop, name)
        copy_samples(self.folder, *samples)
        for file_name, data in (files or {}).items():
            with open(os.path.join(self.folder, file_name), "wb") as f:
                f.write(data)
        editor = Editor(self.desktop, self.folder)
        self.addCleanup(editor.tool.close)
        editor.wait_rows(60)
        return editor

    def settings(self):
        return read(os.path.join(self.folder, "settings.ini"))

    def selected(self, editor):
        return next((r.index for r in editor.rows() if r.selected), None)

    def wait_selected(self, editor, row):
        wait_until(lambda: self.selected(editor) == row, 20,
                   "row %r to be selected (is %r)" % (row, self.selected(editor)))

    def wait_count(self, editor, text):
        wait_until(lambda: editor.control(FIND_COUNT).text == text, 20,
                   "the find count %r (shows %r)" % (text, editor.control(FIND_COUNT).text))

    def label(self, editor, row):
        return editor.rows()[row].label

    def test_find_first_next_previous_wrap_no_match_and_escape(self):
        editor = self.start("find")
        editor.select_row(0)
        editor.desktop.key("ctrl+f")
        wait_until(lambda: editor.control(FIND_FIELD).visible and not editor.control(TIP_LINE).visible,
                   20, "the find field in the tip line's place")
        tip = editor.control(TIP_LINE)
        field = editor.control(FIND_FIELD)
        self.assertTrue(tip.x <= field.x and field.x + field.width <= tip.x + tip.width)
        self.assertTrue(tip.y <= field.y and field.y + field.height <= tip.y + tip.height)
        editor.desktop.type("PORT")
        wait_until(lambda: editor.control(FIND_COUNT).text.startswith("1 of "), 20, "the first match")
        total = int(editor.control(FIND_COUNT).text.split(" of ")[1])
        self.assertGreaterEqual(total, 3)
        first = self.selected(editor)
        self.assertIn("port", (editor.rows()[first].label + editor.rows()[first].value).lower())
        self.shot(editor, "found_row")
        # Enter and F3 go down through every match, in list order, and wrap.
        found = [first]
        for ordinal in range(2, total + 1):
            editor.desktop.key("Return" if ordinal % 2 else "F3")
            self.wait_count(editor, "%d of %d" % (ordinal, total))
            found.append(self.selected(editor))
        self.assertEqual(sorted(found), found)
        editor.desktop.key("Return")
        self.wait_count(editor, "1 of %d" % total)
        self.wait_selected(editor, first)
        # Shift+Enter and Shift+F3 go up, wrapping to the last.
        editor.desktop.key("shift+Return")
        self.wait_selected(editor, found[-1])
        self.wait_count(editor, "%d of %d" % (total, total))
        editor.desktop.key("shift+F3")
        self.wait_selected(editor, found[-2])
        editor.desktop.key("F3", "F3")
        self.wait_selected(editor, first)
        editor.desktop.type("zzz")
        self.wait_count(editor, "no match")
        self.assertEqual(first, self.selected(editor))
        editor.desktop.key("Escape")
        wait_until(lambda: editor.control(TIP_LINE).visible and not editor.control(FIND_FIELD).visible,
                   20, "the tip line back")
        self.assertTrue(editor.tool.running())
        self.assertEqual([STARTED], editor.tool.codes())
        # F3 with no find open opens it with the last text.
        editor.desktop.key("F3")
        wait_until(lambda: editor.control(FIND_FIELD).visible, 20, "the find field")
        editor.desktop.key("Escape", "Escape")
        editor.wait_closed()
        self.assertEqual([STARTED, CLOSING], editor.tool.codes())

    def test_find_on_22000_options(self):
        editor = self.start("find_many", samples=(), files={"settings.ini": generated_options()})
        editor.select_row(0)
        editor.desktop.key("ctrl+f")
        wait_until(lambda: editor.control(FIND_FIELD).visible, 20, "the find field")
        # Near the end of the rows the list holds (22 000, section titles
        # among them).
        editor.desktop.type("option_20987")
        row = 20987 + 20987 // 50 + 1
        self.wait_selected(editor, row)
        self.wait_count(editor, "1 of 1")

    def test_marks_undo_redo_and_the_saved_bytes(self):
        editor = self.start("undo")
        original = self.settings()
        name = editor.row_of("User name")
        editor.select_row(name)
        editor.edit_selected("Robin")
        wait_until(lambda: self.label(editor, name) == MARK + "User name", 20, "the changed mark")
        self.shot(editor, "changed_row")
        # Number: the popup's edit box takes the typed value.
        width = open_editor(editor, "Width")
        wait_popup(editor)
        editor.desktop.key("ctrl+a")
        editor.desktop.type("1280")
        editor.desktop.key("Return")
        wait_popup_closed(editor)
        wait_value(editor, width, "1280")
        # Choice: the next item.
        language = open_editor(editor, "Language")
        wait_popup(editor)
        editor.desktop.key("Down", "Return")
        wait_popup_closed(editor)
        wait_until(lambda: editor.rows()[language].value != "en-GB", 20, "a new language")
        chosen = editor.rows()[language].value
        changed = {name: "Robin", width: "1280", language: chosen}
        for row in changed:
            self.assertTrue(self.label(editor, row).startswith(MARK))

        loaded = {name: "Dana Whitfield", width: "1024", language: "en-GB"}
        for row in (language, width, name):
            editor.desktop.key("ctrl+z")
            wait_value(editor, row, loaded[row])
            wait_until(lambda: not self.label(editor, row).startswith(MARK), 20, "the mark gone")
        for row in (name, width, language):
            editor.desktop.key("ctrl+y")
            wait_value(editor, row, changed[row])
        # Typed back to the loaded value: no mark, nothing written for it.
        editor.select_row(name)
        editor.edit_selected("Dana Whitfield")
        wait_until(lambda: self.label(editor, name) == "User name", 20, "the mark gone")
        editor.desktop.key("ctrl+s")
        editor.wait_closed()
        self.assertEqual([STARTED, SAVED, CLOSING], editor.tool.codes())
        expected = original.replace(b"Width=1024", b"Width=1280").replace(
            b"Language=en-GB", b"Language=" + chosen.encode())
        self.assertEqual(expected, self.settings())

    def test_row_menu_undo_changes_and_copies(self):
        editor = self.start("row_menu")
        name = editor.row_of("User name")
        editor.select_row(name)
        editor.edit_selected("Robin")
        # By mouse: a right click on the row.
        editor.desktop.click(*editor.row_centre(name), button=3)
        menu = wait_until(lambda: next((w for w in editor.top_windows()
                                        if w.visible and w.cls == "#32768"), None), 20, "the row menu")
        self.shot(editor, "row_menu", menu)
        editor.desktop.key("l")  # Copy line
        wait_until(lambda: self.desktop.probe("clipboard").rstrip("\n") == "UserName=Robin", 20,
                   "the line on the clipboard")
        # By keyboard: the menu key, then Shift+F10.
        editor.desktop.key("Menu", "v")
        wait_until(lambda: self.desktop.probe("clipboard").rstrip("\n") == "Robin", 20,
                   "the value on the clipboard")
        editor.desktop.key("shift+F10", "u")
        wait_value(editor, name, "Dana Whitfield")
        self.assertEqual("User name", self.label(editor, name))
        # F2 edits like Enter.
        editor.desktop.key("F2")
        wait_until(editor.editor_window, 20, "the edit box")
        editor.desktop.key("Escape")
        editor.click(CANCEL)
        editor.wait_closed()
        self.assertEqual([STARTED, CANCELLED, CLOSING], editor.tool.codes())

    def close_with(self, editor, how):
        if how == "escape":
            editor.desktop.key("Escape")
        elif how == "alt+f4":
            editor.desktop.key("alt+F4")
        else:  # the close box at the caption's right end
            w = editor.window()
            editor.desktop.click(w.x + w.width - 13, w.y + 13)

    def test_the_close_question_with_each_answer(self):
        for how, answer, codes, saved in (
                ("escape", "y", [STARTED, SAVED, CLOSING], True),
                ("close box", "n", [STARTED, CLOSING], False),
                ("alt+f4", "Escape", None, False)):
            with self.subTest(how=how, answer=answer):
                editor = self.start("close_" + how.replace(" ", "_"))
                original = self.settings()
                editor.select_row(editor.row_of("User name"))
                editor.edit_selected("Robin")
                self.close_with(editor, how)
                box, texts = editor.message_box()
                self.assertIn(QUESTION, texts)
                self.assertFalse(editor.window().enabled)  # the box is the window's own
                if how == "escape":
                    self.shot(editor, "close_question", box)
                editor.desktop.key(answer)
                if codes is None:  # Cancel: the window stays with its edit
                    wait_until(lambda: not any(w.visible and w.text == "Marlpane" and w.hwnd != editor.dialog
                                               for w in editor.top_windows()), 20, "the question gone")
                    self.assertTrue(editor.tool.running())
                    self.assertEqual([STARTED], editor.tool.codes())
                    self.assertEqual("Robin", editor.rows()[editor.row_of(MARK + "User name")].value)
                    editor.click(CANCEL)  # asks nothing
                    codes = [STARTED, CANCELLED, CLOSING]
                editor.wait_closed()
                self.assertEqual(codes, editor.tool.codes())
                self.assertEqual(saved, self.settings() != original)
                if saved:
                    self.assertIn(b"UserName=Robin", self.settings())

    def test_no_question_without_changes(self):
        for how in ("escape", "close box", "alt+f4"):
            with self.subTest(how=how):
                editor = self.start("no_question_" + how.replace(" ", "_"))
                self.close_with(editor, how)
                editor.wait_closed()
                self.assertEqual([STARTED, CLOSING], editor.tool.codes())

    def test_untouched_colour_and_multiline_rows_keep_their_bytes(self):
        editor = self.start("keep_bytes")
        original = self.settings()
        self.assertIn(b"GridLines=0xC0C0C0", original)
        self.assertIn(b"Footer=Product Ltd.|All rights reserved", original)
        name = editor.row_of("User name")
        editor.select_row(name)
        editor.edit_selected("Robin")
        # An edited MULTILINE row is joined with its own separator.
        footer = next(r.index for r in editor.rows() if r.value.startswith("Product Ltd."))
        editor.select_row(footer)
        editor.desktop.key("Return")
        wait_popup(editor)
        editor.desktop.key("ctrl+End", "Return")
        editor.desktop.type("Line three")
        editor.desktop.key("Tab", "Return")
        wait_popup_closed(editor)
        wait_until(lambda: editor.rows()[footer].value.endswith("Line three"), 20, "the new line")
        editor.click(SAVE)
        editor.wait_closed()
        expected = original.replace(b"UserName=Dana Whitfield", b"UserName=Robin").replace(
            b"Footer=Product Ltd.|All rights reserved", b"Footer=Product Ltd.|All rights reserved|Line three")
        self.assertEqual(expected, self.settings())

    def test_key_equals_value_files_and_comment_tips(self):
        text = (b"port = 8080\r\n"
                b"; A server configuration in the usual style.\r\n"
                b"\r\n"
                b"[limits]\r\n"
                b"; The most memory a request may take.\r\n"
                b"; Counted in bytes, or with K, M or G.\r\n"
                b"memory_limit = 128M   \r\n"
                b"\r\n"
                b"; Not this key's comment.\r\n"
                b"\r\n"
                b";max_requests = 100\r\n"
                b"max_requests = 250 ; requests at once\r\n"
                b"timeout\t=\t30\r\n")
        editor = self.start("key_value", samples=(), files={"settings.ini": text})
        rows = {r.label: r for r in editor.rows()}
        self.assertEqual("8080", rows["port:"].value)
        self.assertEqual("128M", rows["memory limit:"].value)
        # A number with blanks around it gets the number editor, which
        # refuses a text.
        timeout = open_editor(editor, "timeout:")
        wait_popup(editor)
        editor.desktop.key("ctrl+a")
        editor.desktop.type("soon")
        editor.desktop.key("Return")
        wait_popup_closed(editor)
        self.assertEqual("30", editor.rows()[timeout].value)
        tips = {"port:": "", "memory limit:": "The most memory a request may take.\r\nCounted in bytes, or with K, M or G.",
                "max requests:": "max_requests = 100", "timeout:": ""}
        for label, tip in tips.items():
            editor.select_row(rows[label].index)
            wait_until(lambda: editor.tip() == tip, 20, "the tip of %s (%r)" % (label, editor.tip()))
        editor.select_row(rows["memory limit:"].index)
        editor.edit_selected("256M")
        editor.click(SAVE)
        editor.wait_closed()
        self.assertEqual(text.replace(b"memory_limit = 128M   ", b"memory_limit = 256M   "), self.settings())

    def write_settings(self, *pairs):
        """Another program's change: the file with each (old, new) replaced."""
        data = replaced(self.settings(), *pairs)
        with open(os.path.join(self.folder, "settings.ini"), "wb") as f:
            f.write(data)
        return data

    def edit_row(self, editor, label, text):
        editor.select_row(editor.row_of(label))
        editor.edit_selected(text)

    def conflict_box(self, editor):
        """The question about options both changed: its texts and its list's rows."""
        box, texts = editor.message_box()
        self.assertEqual(CONFLICT_TITLE, box.text)
        listed = next(w for w in self.desktop.tree(box.hwnd) if w.id == CONFLICT_LIST)
        rows = [line.split("\t")[2:] for line in self.desktop.probe("list", str(listed.hwnd)).splitlines()]
        return box, texts, [(r[0], r[2], r[3]) for r in rows]

    def test_the_question_about_keys_both_changed_and_each_answer(self):
        # Cancel first leaves everything as it was, so that Save can ask again.
        for answers, user_name in ((("Escape", "f"), b"Kim"), (("m",), b"Robin")):
            with self.subTest(answers=answers):
                editor = self.start("conflict_" + answers[-1])
                self.edit_row(editor, "User name", "Robin")
                self.edit_row(editor, "Proxy host", "proxy.robin.example")
                other = self.write_settings(*OTHER_WRITER, (b"=Dana Whitfield", b"=Kim"))
                for answer in answers:
                    editor.desktop.key("ctrl+s")
                    box, texts, listed = self.conflict_box(editor)
                    self.assertIn("settings.ini was changed by another program while you were editing "
                                  "it.\r\nThese options were changed there and here, to different values:",
                                  texts)
                    self.assertEqual([("User name", "Kim", "Robin")], listed)
                    self.assertFalse(editor.window().enabled)  # the box is the window's own
                    editor.desktop.key(answer)
                    if answer == "Escape":
                        wait_until(lambda: editor.window().enabled, 20, "the question gone")
                        self.assertEqual(other, self.settings())
                        self.assertEqual([STARTED], editor.tool.codes())
                        self.assertEqual("Robin", editor.rows()[editor.row_of(MARK + "User name")].value)
                editor.wait_closed()
                self.assertEqual([STARTED, SAVED, CLOSING], editor.tool.codes())
                self.assertEqual(replaced(other, (b"=Kim", b"=" + user_name),
                                          (b"=proxy.example.net", b"=proxy.robin.example")), self.settings())

    def test_a_file_held_or_spoilt_meanwhile(self):
        editor = self.start("held_or_spoilt")
        path = os.path.join(self.folder, "settings.ini")
        self.edit_row(editor, "User name", "Robin")
        original = self.settings()
        # Each shows the save error and leaves the file and the edit as they are.
        for case in ("a NUL byte", "removed", "held for ten seconds"):
            with self.subTest(case=case):
                if case == "a NUL byte":
                    self.write_settings((b"Height=768", b"Height=\x00"))
                elif case == "removed":
                    os.remove(path)
                else:
                    holder, pid = hold_file(self.desktop, path, 10000)
                before = os.path.exists(path) and self.settings()
                editor.desktop.key("ctrl+s")
                box, texts = editor.message_box()
                self.assertIn(SAVE_ERROR % wintest.winpath(path), texts)
                editor.desktop.key("Return")
                wait_until(lambda: editor.window().enabled, 20, "the message box to close")
                self.assertEqual(before, os.path.exists(path) and self.settings())
                self.assertEqual("Robin", editor.rows()[editor.row_of(MARK + "User name")].value)
                self.assertEqual([STARTED], editor.tool.codes())
                if case.startswith("held"):
                    self.desktop.probe("kill", pid)
                    holder.wait(30)
                    holder.stdout.close()
                else:
                    with open(path, "wb") as f:
                        f.write(original)
        # Held for a second: Save waits for it.
        holder, _ = hold_file(self.desktop, path, 1000)
        editor.desktop.key("ctrl+s")
        editor.wait_closed()
        holder.wait(30)
        holder.stdout.close()
        self.assertEqual(replaced(original, (b"=Dana Whitfield", b"=Robin")), self.settings())

    def test_activation_shows_the_file_again_and_two_editors_keep_each_others_rows(self):
        self.folder = work_folder(self.desktop, "two_editors")
        copy_samples(self.folder, "settings.ini", "settings.ITP")
        # The first editor small in the corner, the second in the middle.
        small = branded_copy(self.folder, "small.exe", options="[Options]\r\nMainWindowX=0\r\n"
                             "MainWindowY=0\r\nMainWindowWidth=420\r\nMainWindowHeight=360\r\n")
        first = Editor(self.desktop, self.folder, exe=small)
        second = Editor(self.desktop, self.folder)
        for editor in (first, second):
            self.addCleanup(editor.tool.close)
            editor.wait_rows()
        corner, middle = first.window(), second.window()
        self.desktop.click(corner.x + corner.width // 2, corner.y + 10)
        opacity = first.row_of("Opacity (%)")
        first.select_row(opacity)
        place = self.desktop.item_rects(first.list)[opacity]
        # Another program changes the file while the second editor is active.
        self.desktop.click(middle.x + middle.width // 2, middle.y + 10)
        self.write_settings(*OTHER_WRITER[:2], (b"Left=120\r\n", b"Left=120\r\nRight=900\r\n"))
        self.desktop.click(corner.x + corner.width // 2, corner.y + 10)
        wait_until(lambda: "Right:" in [r.label for r in first.rows()], 20, "the file shown again")
        # Right came in above the selected row, which stays where it was.
        self.assertEqual(opacity + 1, self.selected(first))
        self.assertEqual(place, self.desktop.item_rects(first.list)[opacity + 1])
        self.assertEqual("600", first.rows()[first.row_of("Height")].value)
        # Each edits a row; the second saves first, then the first.
        self.edit_row(first, "User name", "Robin")
        self.desktop.click(middle.x + middle.width // 2, middle.y + 10)
        self.edit_row(second, "Proxy host", "proxy.robin.example")
        other = self.settings()
        second.desktop.key("ctrl+s")
        second.wait_closed()
        self.desktop.click(corner.x + corner.width // 2, corner.y + 10)
        first.desktop.key("ctrl+s")
        first.wait_closed()
        self.assertEqual(replaced(other, (b"=Dana Whitfield", b"=Robin"),
                                  (b"=proxy.example.net", b"=proxy.robin.example")), self.settings())

    def shot(self, editor, name, extra=None):
        w = editor.window()
        right = max(w.x + w.width, extra.x + extra.width if extra else 0)
        bottom = max(w.y + w.height, extra.y + extra.height if extra else 0)
        self.desktop.screenshot(os.path.join(SHOTS, name + ".png"),
                                crop=(w.x, w.y, right - w.x, bottom - w.y))


if __name__ == "__main__":
    unittest.main()
