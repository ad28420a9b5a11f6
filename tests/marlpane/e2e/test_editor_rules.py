"""The rules of marlpane's in-place editors, tried through the real program:
the scroll bars' bounds, reals on whole-number bars, sorted choices, the
date picker's calendar, the length rules of passwords, multi-line values of
any length, detected times and values longer than a cell."""

import os
import unittest

from editor_suite import AS_SETTINGS, EditorSuite, bar_points, text_of, wait_text
from marlpane_app import (SAMPLES, open_editor, popup_controls, popup_window, read, replaced,
                          wait_popup, wait_popup_closed, wait_until, wait_value)


class EditorRulesTest(EditorSuite):
    DESKTOP = "marlpane_editor_rules"

    def test_the_integer_bar_stays_in_its_bounds_and_cancelling_keeps_the_value(self):
        editor = self.start("integer_bar", samples=("editors.ini", "editors.ITP"), rename=AS_SETTINGS)
        desktop = self.desktop
        row = open_editor(editor, "Level")  # -5 to 5, at 0
        wait_text(editor, "edit", "0")
        points = bar_points(editor)
        for step in range(1, 8):  # the right arrow stops at 5
            desktop.click(*points["right"])
            wait_text(editor, "edit", str(min(step, 5)))
        desktop.click(*points["first"])  # a page request beside the thumb: nothing
        desktop.click(*points["left"])
        wait_text(editor, "edit", "4")
        for step in range(1, 12):  # the left arrow stops at -5
            desktop.click(*points["left"])
            wait_text(editor, "edit", str(max(4 - step, -5)))
        desktop.click(*points["last"])  # page request: nothing
        desktop.click(*points["right"])
        wait_text(editor, "edit", "-4")
        self.shot("integer-bar", wait_popup(editor))
        desktop.key("Escape")  # the bar moved, the value did not
        wait_popup_closed(editor)
        self.assertEqual("0", editor.rows()[row].value)
        # Dragging the thumb shows each position; typing beyond the bounds
        # gives the bound.
        open_editor(editor, "Level")
        points = bar_points(editor)
        desktop.xdotool("mousemove", "--sync", *points["middle"])
        desktop.xdotool("mousedown", 1)
        seen = set()
        for x in range(points["middle"][0], points["to"] + 10, 6):
            desktop.xdotool("mousemove", "--sync", x, points["y"])
            seen.add(text_of(editor, "edit"))
        desktop.xdotool("mouseup", 1)
        self.assertEqual({"0", "1", "2", "3", "4", "5"}, seen)
        desktop.key("ctrl+a")
        desktop.type("99")
        desktop.key("Return")
        wait_value(editor, row, "5")
        # A bar over a range beyond 16 bits follows its thumb to the end.
        row = open_editor(editor, "Cache size (KB)")
        points = bar_points(editor)
        wait_text(editor, "edit", "50000")
        desktop.drag(points["middle"][0], points["y"], points["to"] + 20, points["y"])
        wait_text(editor, "edit", "100000")
        desktop.key("Return")
        wait_value(editor, row, "100000")

    def test_the_real_bar_runs_over_the_whole_numbers_within_the_bounds(self):
        editor = self.start("real_bar", samples=("editors.ini", "editors.ITP"), rename=AS_SETTINGS)
        desktop = self.desktop
        row = open_editor(editor, "Zoom")  # 0.5 to 2.5, at 1.5: a bar from 1 to 2, at 2
        wait_text(editor, "edit", "1.5000")
        points = bar_points(editor)
        # The thumb stands at the right end: dragging it to the left end gives 1.
        desktop.drag(points["last"][0], points["y"], points["from"] - 5, points["y"])
        wait_text(editor, "edit", "1")
        desktop.click(*points["left"])
        desktop.click(*points["right"])
        wait_text(editor, "edit", "2")
        desktop.click(*points["right"])
        wait_text(editor, "edit", "2")
        desktop.key("Return")
        wait_value(editor, row, "2.0")
        # Entered values are clamped to the real bounds.
        open_editor(editor, "Zoom")
        wait_popup(editor)
        desktop.key("ctrl+a")
        desktop.type("0.1")
        desktop.key("Return")
        wait_value(editor, row, "0.5")
        self.save(editor)
        self.assertIn(b"\nZoom=0.5\n", self.settings())

    def test_a_sorted_choice_shows_its_items_sorted_and_stores_the_slot(self):
        editor = self.start("sorted_choice", samples=("editors.ini", "editors.ITP"), rename=AS_SETTINGS)
        row = open_editor(editor, "Fruit", "double-click")
        wait_popup(editor)
        lists = [w for w in editor.top_windows() if w.visible and w.cls == "ComboLBox"]
        self.assertEqual(1, len(lists))
        self.assertEqual("Zebra", text_of(editor, "combobox"))
        self.shot("choice-sorted", lists[0])
        self.desktop.key("Home", "Return")  # the first shown: Apple, slot 1
        wait_popup_closed(editor)
        wait_value(editor, row, "Apple")
        # A click on an item of the open list picks it.
        open_editor(editor, "Fruit")
        wait_popup(editor)
        box = wait_until(lambda: next((w for w in editor.top_windows()
                                       if w.visible and w.cls == "ComboLBox"), None), 10, "the list")
        self.desktop.click(box.x + 20, box.y + box.height * 3 // 6)  # the middle one: Mango
        wait_popup_closed(editor)
        wait_value(editor, row, "Mango")
        self.save(editor)
        self.assertIn(b"\nFruit=2\n", self.settings())

    def test_a_date_popup_stays_open_while_its_calendar_is_open(self):
        editor = self.start("calendar", samples=("editors.ini", "editors.ITP"), rename=AS_SETTINGS)
        row = open_editor(editor, "Due date")
        popup = wait_popup(editor)
        self.desktop.click(popup.x + popup.width - 8, popup.y + popup.height // 2)  # the drop-down button
        calendar = wait_until(lambda: next((w for w in editor.top_windows()
                                            if w.visible and w.cls == "SysMonthCal32"), None),
                              20, "the calendar")
        self.shot("date-calendar", calendar)
        self.assertTrue(popup_window(editor))
        # Escape closes only the calendar.
        self.desktop.key("Escape")
        wait_until(lambda: not any(w.visible and w.cls == "SysMonthCal32" for w in editor.top_windows()),
                   20, "the calendar to close")
        self.assertTrue(popup_window(editor))
        self.desktop.click(popup.x + popup.width - 8, popup.y + popup.height // 2)
        calendar = wait_until(lambda: next((w for w in editor.top_windows()
                                            if w.visible and w.cls == "SysMonthCal32"), None),
                              20, "the calendar again")
        # A day of the calendar's second week: the calendar closes, the
        # popup stays with the picked date, Enter commits it.
        self.desktop.click(calendar.x + calendar.width // 2, calendar.y + calendar.height * 45 // 100)
        wait_until(lambda: not any(w.visible and w.cls == "SysMonthCal32" for w in editor.top_windows()),
                   20, "the calendar to close")
        self.assertTrue(popup_window(editor))
        month, day, year = (int(n) for n in text_of(editor, "sysdatetimepick32").split("/"))
        self.assertEqual((year, month), (2026, 5))
        self.desktop.key("Return")
        wait_value(editor, row, "%04d-%02d-%02d" % (year, month, day))

    def test_a_password_shorter_than_its_minimum_keeps_the_popup_until_escape(self):
        editor = self.start("password", samples=("editors.ini", "editors.ITP"), rename=AS_SETTINGS)
        original = self.settings()
        desktop = self.desktop
        row = open_editor(editor, "PIN", "double-click")  # 4 to 8 characters
        wait_text(editor, "static", "4 to 8 chars")
        self.assertEqual("******", editor.rows()[row].value)
        desktop.key("ctrl+a")
        desktop.type("abc")
        desktop.key("Return")
        wait_text(editor, "static", "4 chars minimum (Esc discards)")
        self.shot("password-too-short", wait_popup(editor))
        desktop.click(*editor.row_centre(0))  # leaving is OK too: refused the same way
        wait_text(editor, "static", "4 chars minimum (Esc discards)")
        self.assertEqual("abc", text_of(editor, "edit"))
        desktop.key("Escape")
        wait_popup_closed(editor)
        # The maximum stops typing; an entry within the rules is taken.
        open_editor(editor, "PIN")
        wait_text(editor, "edit", "abcd")
        desktop.key("ctrl+a")
        desktop.type("abcdefghijk")
        wait_text(editor, "edit", "abcdefgh")
        desktop.key("Return")
        wait_popup_closed(editor)
        # Without length rules the status line is empty and any entry goes.
        open_editor(editor, "Code")
        wait_text(editor, "static", "")
        desktop.key("ctrl+a", "BackSpace", "Return")
        wait_popup_closed(editor)
        # The hexadecimal password 4800 opens as the one character H.
        open_editor(editor, "Token")
        wait_text(editor, "edit", "H")
        desktop.key("Escape")
        wait_popup_closed(editor)
        self.save(editor)
        # The untouched multi-line row keeps its "|" separators.
        self.assertEqual(replaced(original, (b"Pin=abcd", b"Pin=abcdefgh"), (b"Code=x", b"Code=")),
                         self.settings())

    def test_a_multi_line_value_round_trips_unchanged_however_long(self):
        # 1667 items: 4999 characters stored, 6665 in the box once each
        # separator is a line break.
        items = ["a"] + ["ab"] * 1666
        long_value = "|".join(items)
        self.assertEqual(4999, len(long_value))
        editor = self.start("multi_line", samples=("editors.ITP",), rename=AS_SETTINGS, files={
            "settings.ini": read(os.path.join(SAMPLES, "editors.ini")).replace(
                b"Lines=one|two|three", b"Lines=" + long_value.encode())})
        original = self.settings()
        row = open_editor(editor, "Lines", "double-click")
        wait_popup(editor)
        self.assertEqual("\r\n".join(items), text_of(editor, "edit"))
        ok = popup_controls(editor, wait_popup(editor))["button"][0]
        self.assertEqual("Ok", ok.text)
        self.desktop.click(*ok.centre())
        wait_popup_closed(editor)
        self.assertEqual("\u00ab".join(items), editor.rows()[row].value)
        # The box takes no more than the cell holds: a line added to the full
        # value is refused, not cut on OK.
        open_editor(editor, "Lines")
        wait_popup(editor)
        self.desktop.key("ctrl+End", "Return")
        self.desktop.type("cd")
        self.assertEqual("\r\n".join(items), text_of(editor, "edit"))
        self.desktop.key("Tab", "Tab", "Return")  # Enter on the focused Cancel cancels
        wait_popup_closed(editor)
        self.assertEqual("\u00ab".join(items), editor.rows()[row].value)
        self.save(editor)
        # Joined with the row's own separator.
        self.assertEqual(replaced(original, (long_value.encode(), "|".join(items).encode())),
                         self.settings())

    def test_a_detected_time_opens_at_the_stored_time(self):
        editor = self.start("detected_time", samples=("detect.ini",), rename={"detect.ini": "settings.ini"})
        row = open_editor(editor, "Backup:")
        wait_text(editor, "sysdatetimepick32", "2:30:00 AM")
        self.desktop.key("Return")
        wait_popup_closed(editor)
        self.assertEqual("02:30:00", editor.rows()[row].value)
        self.save(editor)
        # The time picked is the stored one: nothing changed, every byte stays.
        self.assertEqual(read(os.path.join(SAMPLES, "detect.ini")), self.settings())

    def test_an_unchanged_save_keeps_a_value_longer_than_the_editor_holds(self):
        long_value = b"x" * 6000
        editor = self.start("long_value", samples=(), files={
            "settings.ini": b"[S]\r\nLong=" + long_value + b"\r\nShort=abc\r\n",
            "settings.ITP": b"[S]\r\nLong=STRING;Long\r\nShort=STRING;Short\r\n"})
        self.assertEqual(4999, len(editor.rows()[editor.row_of("Long")].value))
        row = open_editor(editor, "Short")
        wait_popup(editor)
        self.desktop.type("d")
        self.desktop.key("Return")
        wait_value(editor, row, "abcd")
        self.save(editor)
        self.assertEqual(b"[S]\r\nLong=" + long_value + b"\r\nShort=abcd\r\n", self.settings())


if __name__ == "__main__":
    unittest.main()
