#!/usr/bin/env python3
"""Headless part of scripts/demo-marlpane: marlpane.exe under its own Xvfb,
driven through the X server as a person would (tests/marlpane/e2e).
Usage: scripts/demo_marlpane.py WORK_FOLDER [--screenshot PATH] [--dpi DPI] [--locale LOCALE]
WORK_FOLDER holds marlpane.exe and the sample. With --screenshot the picture
of the window goes to PATH; at 96 DPI beside it the pictures of a row found
by typing, of changed rows, of the question when another program changed an
edited option meanwhile and of the question on closing with changes. The
editor is then closed without saving (the README's screenshots:
scripts/screenshot-marlpane). --dpi runs the display at that DPI (96 when
not given), --locale the editor in that Unix locale (so in its language;
only the window's picture, with a row's menu open), each in a Wine prefix of its own."""
import os
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "marlpane", "e2e"))
from marlpane_app import (SAVE, SAVED, Editor, open_editor, wait_popup,  # noqa: E402
                          wait_popup_closed, wait_until, wait_value, wintest)

FIND_FIELD = 1021
FIND_COUNT = 1022


def find_row(editor, text):
    """Ctrl+F, the text typed, Escape: the first row holding it is selected."""
    editor.desktop.key("ctrl+f")
    wait_until(lambda: editor.control(FIND_FIELD).visible, 20, "the find field")
    editor.desktop.type(text)
    wait_until(lambda: editor.control(FIND_COUNT).text.startswith("1 of"), 20, "a found row")
    return next(r.index for r in editor.rows() if r.selected)


def pictures(editor, desktop, picture):
    """The found row, changed rows, the question about an option another
    program changed too and the close question, beside picture."""
    folder = os.path.dirname(picture)
    window = editor.window()
    crop = (window.x, window.y, window.width, window.height)
    find_row(editor, "interval")
    desktop.screenshot(os.path.join(folder, "marlpane-find.png"), crop=crop)
    desktop.key("Escape")
    editor.select_row(editor.row_of("User name"))
    editor.edit_selected("Robin Example")
    row = open_editor(editor, "Start minimized")
    wait_value(editor, row, "yes")
    wait_until(lambda: editor.rows()[row].label.startswith("\u2022"), 10, "the changed mark")
    desktop.screenshot(os.path.join(folder, "marlpane-changed.png"), crop=crop)
    settings = os.path.join(editor.folder, "settings.ini")
    with open(settings, "rb") as f:
        data = f.read()
    with open(settings, "wb") as f:
        f.write(data.replace(b"UserName=Dana Whitfield", b"UserName=Kim Lee"))
    desktop.key("ctrl+s")
    box, _ = editor.message_box()
    desktop.screenshot(os.path.join(folder, "marlpane-conflict-question.png"),
                       crop=(box.x - 40, box.y - 40, box.width + 80, box.height + 80))
    desktop.key("Escape")
    wait_until(lambda: editor.window().enabled, 20, "the question gone")
    desktop.key("Escape")
    box, _ = editor.message_box()
    desktop.screenshot(os.path.join(folder, "marlpane-close-question.png"),
                       crop=(box.x - 40, box.y - 40, box.width + 80, box.height + 80))
    desktop.key("n")


def main():
    work = sys.argv[1]
    options = dict(zip(sys.argv[2::2], sys.argv[3::2]))
    picture = options.get("--screenshot")
    dpi = int(options.get("--dpi", 96))
    locale = options.get("--locale")
    name = "demo_" + locale.split(".")[0] if locale else "demo" if dpi == 96 else "demo_dpi%d" % dpi
    desktop = wintest.Desktop(name, dpi=None if dpi == 96 else dpi, locale=locale)
    try:
        editor = Editor(desktop, work, exe=os.path.join(work, "marlpane.exe"))
        rows = editor.wait_rows()
        print("== marlpane.exe opened samples/settings.ini: %d rows, for example" % len(rows))
        for row in rows[:8]:
            print("   %-24s %s" % (row.label, row.value))
        editor.select_row(editor.row_of("Check for updates"))
        wait_until(lambda: editor.tip().startswith("Look for"), 10, "the row's tip")
        window = editor.window()
        if locale:  # with the row menu open
            desktop.click(*editor.row_centre(editor.row_of("User name")), button=3)
            wait_until(lambda: any(w.visible and w.cls == "#32768" for w in editor.top_windows()), 20,
                       "the row menu")
        shot = desktop.screenshot(picture or os.path.join(work, "marlpane.png"),
                                  crop=(window.x, window.y, window.width, window.height))
        print("== Screenshot of the window: %s" % shot)
        if picture:
            if dpi == 96 and not locale:
                pictures(editor, desktop, picture)
            else:
                desktop.key("Escape", *(["Escape"] if locale else []))
            editor.wait_closed()
            return 0

        print("== Finding the user name by typing (Ctrl+F, \"user\", Escape)")
        row = find_row(editor, "user")
        print("   found: %s" % editor.rows()[row].label)
        desktop.key("Escape")
        print("== Typing a new user name into its text box (Enter, text, Enter)")
        editor.edit_selected("Robin Example")
        print("== A new update interval in its number box, a picture of it, then Enter")
        row = open_editor(editor, "Update interval (days)", "double-click")
        wait_popup(editor)
        desktop.key("ctrl+a")
        desktop.type("30")
        shot = desktop.screenshot(os.path.join(work, "marlpane-number.png"),
                                  crop=(window.x, window.y, window.width, window.height))
        print("   %s" % shot)
        desktop.key("Return")
        wait_popup_closed(editor)
        wait_value(editor, row, "30")
        print("== The last language of its drop-down list (Enter, End, Enter), then clicking Save")
        row = open_editor(editor, "Language")
        wait_popup(editor)
        desktop.key("End", "Return")
        wait_popup_closed(editor)
        wait_value(editor, row, "fr-FR")
        editor.click(SAVE)
        editor.tool.wait_code(SAVED)
        editor.wait_closed()
        print("== Notification codes the host window received: %s" % editor.tool.codes())
    finally:
        desktop.stop()
    print("== Every line Save changed (only the edited values; every other line keeps its bytes):")
    subprocess.run(["diff", os.path.join(ROOT, "samples", "settings.ini"), os.path.join(work, "settings.ini")])
    return 0


if __name__ == "__main__":
    sys.exit(main())
