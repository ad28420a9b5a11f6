"""What every window test of marlpane needs: a working folder with copies of
the samples, branded copies of the program, and the running editor with its
dialog, list and controls, driven by real keys and clicks (wintest).

    desktop = wintest.Desktop("marlpane_editing")
    folder = work_folder(desktop, "edit_and_save")
    copy_samples(folder, "settings.ini", "settings.ITP")
    editor = Editor(desktop, folder)          # marlpane.exe copied beside them
    editor.select_row(editor.row_of("User name"))
    editor.edit_selected("Robin Example")
    editor.click(SAVE)
    editor.tool.wait_code(317)
"""

import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
import wintest  # noqa: E402
from wintest import ROOT, WIN_BUILD, wait_until, winpath  # noqa: E402,F401

MARLPANE = os.path.join(WIN_BUILD, "marlpane", "marlpane.exe")
SAMPLES = os.path.join(ROOT, "samples")
ASSETS = os.path.join(ROOT, "assets", "marlpane")
RESPACK = os.environ.get("RESPACK", os.path.join(ROOT, "build", "host", "tools", "respack", "respack"))

# Control ids of the main dialog.
TIP_LINE = 1001
OPTION_LIST = 1002
SAVE = 1005
CANCEL = 1006
BANNER = 1007

# Notification codes.
STARTED, SAVED, CANCELLED, CLOSING = 300, 317, 319, 390

# Before the label of a row whose value differs from the loaded one.
CHANGED_MARK = "\u2022 "

DAMAGED_TEXT = "Error: File is damaged. Please download it again."


def work_folder(desktop, name):
    """A fresh, empty folder for one test inside the desktop's folder."""
    folder = os.path.join(desktop.folder, "work", name)
    if os.path.isdir(folder):
        subprocess.run(["chmod", "-R", "u+w", folder], check=False)
        shutil.rmtree(folder)
    os.makedirs(folder)
    return folder


def copy_samples(folder, *names, rename=None):
    """Copies sample files into folder; rename maps a sample name to the copy's name."""
    for name in names:
        shutil.copyfile(os.path.join(SAMPLES, name), os.path.join(folder, (rename or {}).get(name, name)))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def branded_copy(folder, name="marlpane.exe", options=None, settings=None, banner=None, extra=None):
    """A copy of the program whose archive holds the given entries instead of
    the default ones: options (text of options.ini), settings (the record's
    bytes), banner (BMP bytes). An entry given as False is left out. extra
    maps further entry names to their bytes."""
    brand = os.path.join(folder, "brand")
    os.makedirs(brand, exist_ok=True)
    entries = {
        "options.ini": options if options is not None else read(os.path.join(ASSETS, "options.ini")),
        "settings": settings if settings is not None else read(os.path.join(ASSETS, "settings")),
        "banner.bmp": banner if banner is not None else read(os.path.join(ASSETS, "banner.png")),
    }
    entries.update(extra or {})
    lines = ["[archive]", "key=marlpane", "", "[entries]"]
    for entry, content in entries.items():
        if content is False:
            continue
        with open(os.path.join(brand, entry), "wb") as f:
            f.write(content.encode("latin-1") if isinstance(content, str) else content)
        lines.append("%s=%s" % (entry, entry))
    manifest = os.path.join(brand, "manifest.ini")
    with open(manifest, "w") as f:
        f.write("\n".join(lines) + "\n")
    out = os.path.join(folder, name)
    packed = subprocess.run([RESPACK, "append", manifest, MARLPANE, out], stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    if packed.returncode != 0:
        raise AssertionError("respack: " + packed.stderr)
    return out


def unbranded_copy(folder, name="marlpane.exe"):
    """A copy of the program without its appended archive."""
    data = read(MARLPANE)
    length = int.from_bytes(data[-4:], "little")
    out = os.path.join(folder, name)
    with open(out, "wb") as f:
        f.write(data[:len(data) - length])
    return out


class Editor:
    """marlpane.exe started through notifyhost in folder (a copy of the
    program is put there unless exe names one), its dialog found from code
    300."""

    def __init__(self, desktop, folder, *arguments, exe=None, notify=True, started=True, locale=None):
        self.desktop = desktop
        self.folder = folder
        if exe is None:
            exe = os.path.join(folder, "marlpane.exe")
            shutil.copyfile(MARLPANE, exe)
        self.exe = exe
        self.notify = notify
        self.tool = desktop.launch(exe, *arguments, notify=notify, cwd=folder, locale=locale)
        self.dialog = None
        self.list = None
        if started:
            self.wait_started()

    def wait_started(self, timeout=60):
        """Finds the dialog: from code 300, or without a notification window
        as the program's visible window titled "Marlpane"."""
        if self.notify:
            self.dialog = self.tool.wait_code(STARTED, timeout).lparam
        else:
            def titled():
                return next((w.hwnd for w in self.top_windows()
                             if w.visible and w.cls == "#32770" and w.text == "Marlpane"), None)
            self.dialog = wait_until(titled, timeout, "the editor's window")
        self.list = wait_until(lambda: self.control(OPTION_LIST), 20, "the option list").hwnd
        return self.dialog

    # What the window shows.
    def control(self, control_id):
        return self.desktop.control(self.dialog, control_id)

    def window(self):
        return self.desktop.tree(self.dialog)[0]

    def client(self):
        return self.desktop.client(self.dialog)

    def rows(self):
        return self.desktop.rows(self.list)

    def wait_rows(self, timeout=30):
        """The rows, once the list holds some."""
        return wait_until(self.rows, timeout, "the rows of the option list")

    def row_of(self, label):
        """The row with that label, also when it carries the changed mark."""
        return next(r.index for r in self.wait_rows()
                    if label in (r.label, r.label[len(CHANGED_MARK):] if r.label.startswith(CHANGED_MARK) else None))

    def row_centre(self, index):
        """The middle of a row on the screen (the row must be in view)."""
        x, y, width, height = self.desktop.item_rects(self.list)[index]
        return x + width // 2, y + height // 2

    def tip(self):
        return self.control(TIP_LINE).text

    def top_windows(self):
        return self.tool.top_windows()

    def message_box(self, timeout=20):
        """A message box of the editor: (its window, the texts of its controls)."""
        def find():
            for w in self.top_windows():
                if w.visible and w.cls == "#32770" and w.hwnd != self.dialog:
                    texts = [c.text for c in self.desktop.tree(w.hwnd)[1:] if c.text]
                    if texts:
                        return w, texts
            return None
        return wait_until(find, timeout, "a message box")

    def editor_window(self):
        """The in-place popup editor that is open, or None."""
        return popup_window(self)

    # Input.
    def click(self, control_id):
        self.desktop.click(*self.control(control_id).centre())

    def select_row(self, index):
        """Selects a row with the keyboard (Home, then Down), the list having the focus."""
        self.desktop.key("Home", *["Down"] * index)
        wait_until(lambda: next((r.selected for r in self.rows() if r.index == index), False), 20,
                   "row %d to be selected" % index)

    def edit_selected(self, text):
        """Opens the selected row's editor with Enter, replaces its text and commits with Enter."""
        row = next(r.index for r in self.rows() if r.selected)
        self.desktop.key("Return")
        wait_until(self.editor_window, 20, "the edit box")
        self.desktop.key("ctrl+a")
        self.desktop.type(text)
        self.desktop.key("Return")
        wait_until(lambda: not self.editor_window() and self.rows()[row].value == text, 20,
                   "the row to show %r" % text)

    def wait_closed(self, timeout=30):
        return self.tool.wait_exit(timeout)


# The in-place editors: a popup of a generated class over the edited cell,
# or one of the system's choosers (a dialog of class #32770).
POPUP_CLASS_PREFIX = "CGenericWindow-"


def popup_window(editor):
    """The popup editor that is open, or None."""
    return next((w for w in editor.top_windows()
                 if w.visible and w.cls.startswith(POPUP_CLASS_PREFIX)), None)


def wait_popup(editor, timeout=20):
    return wait_until(lambda: popup_window(editor), timeout, "the popup editor")


def wait_popup_closed(editor, timeout=20):
    wait_until(lambda: not popup_window(editor), timeout, "the popup editor to close")


def popup_controls(editor, popup):
    """The popup's child controls by class (lower case): {class: [Window, ...]}."""
    controls = {}
    for w in editor.desktop.tree(popup.hwnd)[1:]:
        if w.parent == popup.hwnd:
            controls.setdefault(w.cls.lower(), []).append(w)
    return controls


def popup_control(editor, cls):
    """The one child control of that class (lower case) in the open popup."""
    popup = wait_popup(editor)
    return popup_controls(editor, popup)[cls][0]


def chooser_window(editor):
    """The system chooser (colour, file, folder or font) that is open, or None."""
    return next((w for w in editor.top_windows()
                 if w.visible and w.cls == "#32770" and w.hwnd != editor.dialog), None)


def wait_chooser(editor, timeout=20):
    return wait_until(lambda: chooser_window(editor), timeout, "the chooser")


def wait_chooser_closed(editor, timeout=20):
    wait_until(lambda: not chooser_window(editor), timeout, "the chooser to close")


def open_editor(editor, label, by="enter"):
    """Selects the row by keyboard and opens its editor with Enter or a double
    click on the row; returns the row index."""
    row = editor.row_of(label)
    editor.select_row(row)
    if by == "enter":
        editor.desktop.key("Return")
    else:
        editor.desktop.double_click(*editor.row_centre(row))
    return row


def value_cell(editor, row):
    """The value column of a row on the screen: (left, top, right, bottom).
    The editors cover its label part, which starts after the type icon."""
    x, y, width, height = editor.desktop.item_rects(editor.list)[row]
    columns = editor.desktop.columns(editor.list)
    return x + columns[0], y, x + columns[0] + columns[1], y + height


def wait_value(editor, row, value, timeout=20):
    return wait_until(lambda: editor.rows()[row].value == value, timeout,
                      "row %d to show %r (shows %r)" % (row, value, editor.rows()[row].value))


def hold_file(desktop, path, milliseconds):
    """A program of the desktop holding the file open without sharing, as one
    that writes it does, for that long: (its process, its pid) once it holds
    it. End it early with desktop.probe("kill", pid)."""
    holder = subprocess.Popen([wintest.WINE_RUN, wintest.WINPROBE, "hold", winpath(path), str(milliseconds)],
                              env=desktop.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    line = holder.stdout.readline().split()
    if line[:1] != ["held"]:
        holder.wait(30)
        raise AssertionError("the file could not be held: %r" % line)
    return holder, line[1]


def replaced(data, *pairs):
    """data with each (old, new) line text replaced once; fails when one is missing."""
    for old, new in pairs:
        if old not in data:
            raise AssertionError("%r is not in the file" % old)
        data = data.replace(old, new, 1)
    return data
