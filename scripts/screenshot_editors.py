#!/usr/bin/env python3
"""Pictures of marlpane's in-place editors for the README: marlpane.exe on a
copy of samples/settings.ini under its own Xvfb, each editor opened over its
row through real input, photographed and closed with Escape.
Usage: scripts/screenshot_editors.py WORK_FOLDER OUT_FOLDER
WORK_FOLDER holds marlpane.exe and the sample (scripts/screenshot-editors)."""
import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "marlpane", "e2e"))
from marlpane_app import (Editor, popup_controls, wait_chooser, wait_chooser_closed,  # noqa: E402
                          wait_popup, wait_popup_closed, wait_until, wintest)

# picture name, row label, what else to open before the picture
POPUPS = [
    ("text", "User name", None),
    ("multi-line", "Welcome text", None),
    ("integer", "Update interval (days)", None),
    ("real", "Opacity (%)", None),
    ("password", "Password", None),
    ("choice", "Language", None),
    ("window", "Target window", None),
    ("date", "Installed on", "calendar"),
    ("time", "Backup time", None),
]
CHOOSERS = [
    ("colour", "Highlight"),
    ("open-file", "Data file"),
    ("save-file", "Report file"),
    ("folder", "Log folder"),
    ("font", "Font"),
]


def open_in_view(editor, label):
    """Opens the row's editor with Enter, the row scrolled well into the
    list (the keyboard leaves a row it moves to at the bottom edge)."""
    row = editor.row_of(label)
    below = min(row + 8, len(editor.rows()) - 1)
    editor.select_row(below)
    if below > row:
        editor.desktop.key(*["Up"] * (below - row))
    wait_until(lambda: editor.rows()[row].selected, 20, "row %d to be selected" % row)
    editor.desktop.key("Return")
    return row


def extra_windows(editor, classes):
    return [w for w in editor.top_windows() if w.visible and w.cls in classes]


def main():
    work, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    desktop = wintest.Desktop("screenshot-editors")
    try:
        editor = Editor(desktop, work, exe=os.path.join(work, "marlpane.exe"))
        editor.wait_rows()
        box = desktop.client(editor.list)
        for name, label, extra in POPUPS:
            row = open_in_view(editor, label)
            popup = wait_popup(editor)
            if extra == "calendar":
                desktop.click(popup.x + popup.width - 8, popup.y + popup.height // 2)
                wait_until(lambda: extra_windows(editor, ("SysMonthCal32",)), 20, "the calendar")
            popup = wait_popup(editor)
            parts = [popup] + extra_windows(editor, ("ComboLBox", "SysMonthCal32"))
            row_height = editor.desktop.item_rects(editor.list)[row][3]
            top = popup.y - 2 * row_height
            bottom = max(w.y + w.height for w in parts) + row_height
            path = desktop.screenshot(os.path.join(out, name + ".png"),
                                      crop=(box[0], top, box[2], bottom - top))
            print(os.path.relpath(path, ROOT))
            desktop.key("Escape")
            if extra == "calendar":
                wait_until(lambda: not extra_windows(editor, ("SysMonthCal32",)), 20, "the calendar to close")
                if popup_controls(editor, popup):
                    desktop.key("Escape")
            wait_popup_closed(editor)
        for name, label in CHOOSERS:
            open_in_view(editor, label)
            chooser = wait_chooser(editor)
            path = desktop.screenshot(os.path.join(out, name + ".png"),
                                      crop=(chooser.x, chooser.y, chooser.width, chooser.height))
            print(os.path.relpath(path, ROOT))
            desktop.key("Escape")
            wait_chooser_closed(editor)
        desktop.key("Escape")
        editor.wait_closed()
    finally:
        desktop.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
