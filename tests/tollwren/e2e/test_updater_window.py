"""tollwren.exe driven from outside under Wine, as a user and a host program
see it: a product folder with the updater beside its pad.xml, the test web
server with a newer version and an installer, notifyhost receiving the
codes, real mouse and keyboard input through the X server.
"""

import os
import shutil
import struct
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from wintest import WIN_BUILD, Desktop, wait_until, winpath  # noqa: E402
from updater_scene import (ABORTED, CHECKING, CLOSE, DOWNLOADED, DOWNLOADING, ENDING, INSTALLER_STARTED,  # noqa: E402
                           LANGUAGE, NEWER, NEWS, NO, PROGRESS, SETUP, STARTED, STATUS, TOLLWREN, YES,
                           UpdaterWindow, WebServer, pad_text, product_folder, rebrand, serve_installer, wine, write)

WS_EX_RTLREADING = 0x2000
INSTALLER = "SampleNotesSetup-2.0.exe"
WORK = os.path.join(WIN_BUILD, "e2e", "tollwren-work")


def setUpModule():
    global SERVER, WEB
    shutil.rmtree(WORK, ignore_errors=True)
    WEB = os.path.join(WORK, "web")
    os.makedirs(WEB)
    SERVER = WebServer(WEB)
    # 1.5 MB in 16 KB pieces every 40 ms: about 4 s of download.
    serve_installer(os.path.join(WEB, "notes"), INSTALLER, padding=1500000)


def tearDownModule():
    SERVER.stop()


def newer_pad(site="http://example.invalid/notes/", slow=True, answer_after_ms=0, piece=16384):
    """The remote 2.0 in the served folder; returns its address and text.
    A slow download sends piece bytes every 40 ms; answer_after_ms holds the
    server's answer to the PAD request back that long."""
    folder = tempfile.mkdtemp(prefix="remote-", dir=WEB)
    name = os.path.basename(folder)
    download = SERVER.url(("__slow/40/%d/notes/" % piece if slow else "notes/") + INSTALLER)
    text = pad_text("2.0", SERVER.url(name + "/pad.xml"), [download], site=site, change="Folders for notes.")
    write(os.path.join(folder, "pad.xml"), text)
    address = name + "/pad.xml"
    if answer_after_ms:
        address = "__slow/%d/1000000/%s" % (answer_after_ms, address)
    return SERVER.url(address), text


def product(remote_url, program=TOLLWREN, site="http://example.invalid/notes/"):
    return product_folder(WORK, pad_text("1.4", remote_url, site=site), program)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class UpdaterCase(unittest.TestCase):
    locale = "en_US.UTF-8"

    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop("tollwren-" + cls.locale.split(".")[0], locale=cls.locale)

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, folder, *arguments):
        tool = self.desktop.launch(os.path.join(folder, "tollwren.exe"), *arguments)
        self.addCleanup(tool.close)
        return tool, UpdaterWindow(self.desktop, tool)

    def ask(self, site="http://example.invalid/notes/", slow=True, piece=16384):
        """Starts the updater against a newer version and waits for the question."""
        remote, text = newer_pad(site, slow, piece=piece)
        folder = product(remote, site=site)
        tool, window = self.start(folder)
        tool.wait_code(NEWER, 60)
        window.wait_visible(YES)
        return folder, text, tool, window

    def gap(self, tool, first, second):
        return tool.event(second).time - tool.event(first).time


class EnglishUpdater(UpdaterCase):
    def test_yes_downloads_installs_and_replaces_pad_xml(self):
        # About 15 s of download, long enough to read the status a few times
        # however busy the machine is (each look through winprobe starts a
        # Wine program).
        folder, remote_text, tool, window = self.ask(piece=4096)
        self.assertIn("Sample Notes 2.0 is available (you have 1.4)", window.text(STATUS))
        self.assertEqual(window.text(NEWS), "What's new in 2.0: Folders for notes.")
        self.assertEqual(window.text(NO), "&Not now")
        window.click(YES)
        tool.wait_code(DOWNLOADING, 10)
        window.wait_visible(PROGRESS)
        self.assertFalse(window.control(YES).visible)
        # The status counts the kilobytes as they arrive.
        seen = set()
        while not tool.event(DOWNLOADED):
            text = window.text(STATUS) or ""
            if " KB of " in text:
                seen.add(text)
            time.sleep(0.1)
        self.assertGreaterEqual(len(seen), 2, seen)
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, DOWNLOADING, DOWNLOADED, INSTALLER_STARTED, ENDING])
        self.assertLess(self.gap(tool, INSTALLER_STARTED, ENDING), 1.5)  # ends at once
        wait_until(lambda: os.path.exists(os.path.join(folder, INSTALLER + ".ran")), 20, "the installer to run")
        self.assertEqual(read(os.path.join(folder, "pad.xml")), remote_text.encode())

    def test_no_ends_seven_seconds_later(self):
        folder, _, tool, window = self.ask()
        before = read(os.path.join(folder, "pad.xml"))
        window.click(NO)
        window.wait_text(STATUS, lambda t: t == "The update was cancelled.")
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, ABORTED, ENDING])
        self.assertGreater(self.gap(tool, ABORTED, ENDING), 6.5)
        self.assertEqual(read(os.path.join(folder, "pad.xml")), before)

    def test_close_button_during_the_download(self):
        folder, _, tool, window = self.ask(piece=2048)
        before = read(os.path.join(folder, "pad.xml"))
        window.click(YES)
        window.wait_visible(PROGRESS)
        window.wait_text(STATUS, lambda t: " KB of " in t)
        window.click(CLOSE)
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, DOWNLOADING, ABORTED, ENDING])
        self.assertLess(self.gap(tool, ABORTED, ENDING), 1.5)
        self.assertFalse(os.path.exists(os.path.join(folder, INSTALLER)))
        self.assertEqual(read(os.path.join(folder, "pad.xml")), before)

    def flag_corner(self, window):
        button = window.control(LANGUAGE)
        return self.desktop.pixel(button.x + 4, button.y + 3)

    def button_names(self, window):
        """What a screen reader calls the two image buttons."""
        return [self.desktop.accessible(window.control(c).hwnd, 0)[0][1] for c in (LANGUAGE, CLOSE)]

    def pick_language(self, window, downs):
        window.click(LANGUAGE)
        wait_until(lambda: any(w.cls == "#32768" and w.visible for w in window.tool.top_windows()), 10,
                   "the language menu")
        self.desktop.key(*(["Down"] * downs), "Return")

    def test_language_menu_changes_texts_and_flag_at_once(self):
        _, _, tool, window = self.ask(slow=False)
        english = window.text(STATUS)
        self.assertEqual(["Language", "Close"], self.button_names(window))
        self.pick_language(window, 2)  # English, German, ...
        window.wait_text(STATUS, lambda t: "ist verfügbar" in t, 10, "the German question")
        self.assertEqual(window.text(YES), "&Aktualisieren")
        self.assertEqual(window.text(NO), "&Später")
        self.assertEqual(window.text(NEWS), "Neu in 2.0: Folders for notes.")
        wait_until(lambda: max(self.flag_corner(window)) < 40, 5, "the German flag (black stripe on top)")
        self.assertEqual(["Sprache", "Schließen"], self.button_names(window))
        self.pick_language(window, 1)  # back to English
        window.wait_text(STATUS, lambda t: t == english, 10, "the English question")
        self.assertEqual(window.text(YES), "&Update now")
        window.click(NO)
        tool.wait_exit(30)

    def open_context_entry(self, window, downs):
        window.click_body(button=3)
        wait_until(lambda: any(w.cls == "#32768" and w.visible for w in window.tool.top_windows()), 10,
                   "the context menu")
        self.desktop.key(*(["Down"] * downs), "Return")

    def about_box(self, tool, title):
        return wait_until(lambda: next((w for w in tool.top_windows() if w.text == title and w.visible), None), 10,
                          "the about box %r" % title)

    def close_box(self, tool, box):
        ok = next(w for w in self.desktop.tree(box.hwnd)[1:] if w.cls == "Button" and w.id == 1)
        self.desktop.click(*ok.centre())
        wait_until(lambda: not any(w.hwnd == box.hwnd and w.visible for w in tool.top_windows()), 10,
                   "the about box to close")

    def address_handler(self):
        """A stand-in for the browser as the prefix's handler of http
        addresses, for the rest of the test; its mark file."""
        browser = os.path.join(WORK, "browser.exe")
        shutil.copyfile(SETUP, browser)
        key = "HKLM\\Software\\Classes\\http\\shell\\open\\command"
        wine(self.desktop, "reg", "add", key, "/ve", "/d", '"%s" /quiet "%%1"' % winpath(browser), "/f")
        self.addCleanup(wine, self.desktop, "reg", "add", key, "/ve", "/d",
                        '"C:\\windows\\system32\\winebrowser.exe" "%1"', "/f")
        return browser + ".ran"

    def test_context_menu_with_and_without_web_site(self):
        opened = self.address_handler()
        for site, updater_entry in (("http://example.invalid/notes/", 3), ("", 2)):
            with self.subTest(site=site):
                folder, _, tool, window = self.ask(site=site, slow=False)
                # A program of the browser's old name in the current folder is never started.
                shutil.copyfile(SETUP, os.path.join(folder, "iexplore.exe"))
                self.open_context_entry(window, 1)
                box = self.about_box(tool, "About Sample Notes")
                body = next(w for w in self.desktop.tree(box.hwnd)[1:] if w.id == 1000)
                self.assertTrue(body.text.startswith("Sample Notes 2.0\r\nFernwick Software"), body.text)
                self.close_box(tool, box)
                # The updater's own about box comes after the visit entry, when there is one.
                self.open_context_entry(window, updater_entry)
                box = self.about_box(tool, "About Tollwren")
                self.close_box(tool, box)
                if site:
                    self.open_context_entry(window, 2)
                    wait_until(lambda: os.path.exists(opened), 20, "the address's own handler")
                    self.assertIn('"http://example.invalid/notes"', read(opened).decode("utf-16-le"))
                    self.assertFalse(os.path.exists(os.path.join(folder, "iexplore.exe.ran")))
                window.click(NO)
                tool.wait_exit(30)

    def test_hide_shows_no_window_until_the_question(self):
        remote, _ = newer_pad(answer_after_ms=3000)
        tool, window = self.start(product(remote), "/HIDE")
        tool.wait_code(CHECKING, 60)
        self.assertFalse(window.window().visible)
        tool.wait_code(NEWER, 30)
        wait_until(lambda: window.window().visible, 10, "the window to show for the question")
        window.click(NO)
        tool.wait_exit(30)

    def test_missing_pad_xml_says_so_and_ends(self):
        folder = product_folder(WORK, None)
        tool, window = self.start(folder)
        # One look: the program ends 7 s after it started.
        shown = window.wait_text(STATUS, lambda t: t.startswith("The version information file is missing:"))
        self.assertIn("pad.xml", shown)
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes(), [STARTED, ENDING])

    def test_copy_without_settings_record_reports_damage(self):
        program = rebrand(TOLLWREN, os.path.join(WORK, "no-stn.exe"), {"stn": None})
        tool = self.desktop.launch(os.path.join(product_folder(WORK, None, program), "tollwren.exe"))
        self.addCleanup(tool.close)
        box = wait_until(lambda: next((w for w in tool.top_windows() if w.text == "Tollwren" and w.visible), None),
                         30, "the message box")
        texts = [w.text for w in self.desktop.tree(box.hwnd)[1:]]
        self.assertIn("Error: File is damaged. Please download or generate it again.", texts)
        ok = next(w for w in self.desktop.tree(box.hwnd)[1:] if w.cls == "Button")
        self.desktop.click(*ok.centre())
        self.assertEqual(tool.wait_exit(30), 1)
        self.assertEqual(tool.codes(), [])

    def test_layout_follows_the_background(self):
        for width, news in ((400, (10, 380)), (600, (60, 480))):
            with self.subTest(width=width):
                image = os.path.join(WORK, "bmk-%d.bmp" % width)
                write_plain_bmp(image, width, 300)
                program = rebrand(TOLLWREN, os.path.join(WORK, "bmk-%d.exe" % width), {"bmk": image})
                tool, window = self.start(product_folder(WORK, None, program))
                window.wait_visible(STATUS)
                frame = window.window()
                self.assertEqual((frame.width, frame.height), (width, 300))
                controls = window.controls()

                def box(control_id):
                    c = controls[control_id]
                    return (c.x - frame.x, c.y - frame.y, c.width, c.height)
                quarter, a = width // 4, width // 12
                # The missing pad.xml's path needs more lines than 65 pixels
                # hold in the narrow skin: the buttons, bar and news line
                # move down by what the status line grew.
                self.assertEqual(box(STATUS)[:3], (quarter, 85, 2 * quarter))
                self.assertGreaterEqual(box(STATUS)[3], 65)
                row = max(150, 85 + box(STATUS)[3])
                self.assertEqual(box(NEWS), (news[0], row + 40, news[1], 70))
                self.assertEqual([box(i)[0] for i in (1013, 1014, 1015)], [3 * a, 5 * a, 7 * a])
                self.assertEqual(box(1013)[1:], (row, 2 * a, 30))
                self.assertEqual(box(PROGRESS), (2 * a, row, 8 * a, 30))
                self.assertEqual(box(CLOSE), (width - 26, 10, 16, 16))
                self.assertEqual(box(LANGUAGE), (width - 26 - 24 - 10, 10, 24, 16))
                tool.close()


def write_plain_bmp(path, width, height):
    row = bytes((0xE0, 0xE8, 0xF0)) * width
    row += bytes((4 - len(row) % 4) % 4)
    data = row * height
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0))
        f.write(data)


class StartsInTheSystemLanguage:
    """Starts under the locale and reads the question in its language."""
    question = None
    yes = None
    right_to_left = False

    def test_starts_in_the_system_language(self):
        _, _, tool, window = self.ask(slow=False)
        window.wait_text(STATUS, lambda t: self.question in t, 10, "the question")
        self.assertEqual(window.text(YES), self.yes)
        for control_id in (STATUS, NEWS, YES, NO):
            control = window.control(control_id)
            extended = self.desktop.styles(control.hwnd)[1]
            self.assertEqual(bool(extended & WS_EX_RTLREADING), self.right_to_left, control_id)
        window.click(NO)
        tool.wait_exit(30)


class GermanUpdater(StartsInTheSystemLanguage, UpdaterCase):
    locale = "de_DE.UTF-8"
    question = "Sample Notes 2.0 ist verfügbar (installiert ist 1.4)."
    yes = "&Aktualisieren"


class JapaneseUpdater(StartsInTheSystemLanguage, UpdaterCase):
    locale = "ja_JP.UTF-8"
    question = "Sample Notes 2.0 を利用できます (現在のバージョン: 1.4)。"
    yes = "今すぐ更新(&U)"


class ArabicUpdater(StartsInTheSystemLanguage, UpdaterCase):
    locale = "ar_SA.UTF-8"
    question = "يتوفر الإصدار 2.0 من Sample Notes (لديك الإصدار 1.4)."
    yes = "&تحديث الآن"
    right_to_left = True


if __name__ == "__main__":
    unittest.main(verbosity=2)
