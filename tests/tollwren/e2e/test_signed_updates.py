"""What tollwren.exe checks before it starts anything, driven from outside
under Wine: a copy branded with a publisher's keys ("keys.pem") installs
only a newer release of its own product whose PAD file that publisher
signed and whose installer matches the PAD's size and digest, and stays
signed when its own file cannot be read; every copy skips what is no
installer, never replaces a file beside itself (a download of such a name
goes to a private folder that the next run removes), refuses a PAD that
would read differently once stored, leaves no file behind a refusal or an
interrupted download, and gives up on a PAD that never finishes arriving.
Keys and signatures are made with the openssl command-line tool, as a
publisher would make them.
"""

import glob
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from wintest import WIN_BUILD, Desktop, wait_until, winpath  # noqa: E402
from updater_scene import (ABORTED, CHECKING, CLOSE, DOWNLOADED, DOWNLOADING, ENDING, FAILED,  # noqa: E402
                           INSTALLER, INSTALLER_STARTED, NEWER, NO, PROBE, PROGRESS, STARTED, STATUS, TOLLWREN, YES,
                           PublisherKey, Release as ServedRelease, UpdaterWindow, WebServer, access_list, pad_text,
                           product_folder, rebrand, write)

WORK = os.path.join(WIN_BUILD, "e2e", "tollwren-signed-work")
REFUSED = "The update for Sample Notes could not be verified and was not installed."
TEXT_REFRESH = 0x400 + 11  # WM_USER + 11


def setUpModule():
    global SERVER, WEB, KEY, OTHER_KEY, SIGNED, TWO_KEYS
    shutil.rmtree(WORK, ignore_errors=True)
    WEB = os.path.join(WORK, "web")
    os.makedirs(WEB)
    SERVER = WebServer(WEB)
    keys = os.path.join(WORK, "keys")
    KEY = PublisherKey(keys, "publisher")
    OTHER_KEY = PublisherKey(keys, "other")
    SIGNED = rebrand(TOLLWREN, os.path.join(WORK, "signed.exe"), {"keys.pem": KEY.public})
    # A key rotation: the release is signed with the second key of the file.
    both = os.path.join(keys, "both.pem")
    write(both, read(OTHER_KEY.public).decode() + read(KEY.public).decode())
    TWO_KEYS = rebrand(TOLLWREN, os.path.join(WORK, "two-keys.exe"), {"keys.pem": both})


def tearDownModule():
    SERVER.stop()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def Release(downloads, key=None, **options):
    return ServedRelease(SERVER, downloads, key, **options)


def temp_folders(desktop):
    """The download folders of their own under the prefix's TEMP."""
    return glob.glob(os.path.join(desktop.folder, "wineprefix", "drive_c", "users", "*", "Temp", "tollwren-*"))


class SignedUpdates(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop("tollwren-signed")

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, release, program=None, *arguments):
        folder = product_folder(WORK, pad_text("1.4", release.pad_url), program or SIGNED)
        tool = self.desktop.launch(os.path.join(folder, "tollwren.exe"), *arguments)
        self.addCleanup(tool.close)
        return folder, tool, UpdaterWindow(self.desktop, tool)

    def answer_yes(self, tool, window):
        tool.wait_code(NEWER, 60)
        window.click(YES)

    def assert_refused(self, tool, window, folder, pad_before, asked=True):
        window.wait_text(STATUS, lambda t: t.startswith(REFUSED), 60, "the refusal")
        self.assertEqual(tool.wait_exit(60), 0)
        expected = [STARTED, CHECKING] + ([NEWER, DOWNLOADING] if asked else []) + [FAILED, ENDING]
        self.assertEqual(tool.codes(), expected)
        # The message stays readable before the end.
        self.assertGreater(tool.event(ENDING).time - tool.event(FAILED).time, 6.5)
        self.assertEqual(read(os.path.join(folder, "pad.xml")), pad_before)
        self.assertEqual(sorted(os.listdir(folder)), ["pad.xml", "tollwren.exe"])
        self.assertFalse(glob.glob(os.path.join(WEB, "**", "*.ran"), recursive=True))

    def test_signed_release_installs_and_pad_xml_holds_its_bytes(self):
        release = Release([INSTALLER], KEY)
        folder, tool, window = self.start(release)
        self.answer_yes(tool, window)
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, DOWNLOADING, DOWNLOADED, INSTALLER_STARTED,
                                        ENDING])
        wait_until(lambda: os.path.exists(os.path.join(folder, INSTALLER + ".ran")), 20, "the installer to run")
        self.assertEqual(read(os.path.join(folder, INSTALLER)), read(release.installer))
        self.assertEqual(read(os.path.join(folder, "pad.xml")), read(release.pad))
        self.assertEqual(len(release.requested("pad.xml.sig")), 1)

    def test_changed_installer_byte_is_never_started(self):
        release = Release(["bad/" + INSTALLER], KEY)
        folder, tool, window = self.start(release)
        before = read(os.path.join(folder, "pad.xml"))
        self.answer_yes(tool, window)
        self.assert_refused(tool, window, folder, before)
        self.assertEqual(len(release.requested("bad/" + INSTALLER)), 1)

    def test_bad_copy_at_the_first_address_good_one_at_the_second(self):
        release = Release(["bad/" + INSTALLER, INSTALLER], KEY)
        folder, tool, window = self.start(release)
        self.answer_yes(tool, window)
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertEqual(tool.codes()[-3:], [DOWNLOADED, INSTALLER_STARTED, ENDING])
        wait_until(lambda: os.path.exists(os.path.join(folder, INSTALLER + ".ran")), 20, "the installer to run")
        self.assertEqual(read(os.path.join(folder, INSTALLER)), read(release.installer))

    def test_pad_without_a_good_signature_asks_nothing_and_fetches_nothing(self):
        def other_key(release):
            OTHER_KEY.sign(release.pad)

        def changed_after_signing(release):
            KEY.sign(release.pad)
            write(release.pad, release.text.replace("Folders for notes.", "Folders for notes!"))

        def signature_of_another_file(release):
            KEY.sign(release.installer, release.pad + ".sig")

        for sign in (None, other_key, changed_after_signing, signature_of_another_file):
            with self.subTest(sign=sign.__name__ if sign else "no signature"):
                release = Release([INSTALLER])
                if sign:
                    sign(release)
                folder, tool, window = self.start(release)
                before = read(os.path.join(folder, "pad.xml"))
                self.assert_refused(tool, window, folder, before, asked=False)
                self.assertEqual(release.requested(INSTALLER), [])

    def test_release_signed_with_the_second_key_of_two(self):
        release = Release([INSTALLER], KEY)
        folder, tool, window = self.start(release, TWO_KEYS)
        self.answer_yes(tool, window)
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertIn(INSTALLER_STARTED, tool.codes())
        wait_until(lambda: os.path.exists(os.path.join(folder, INSTALLER + ".ran")), 20, "the installer to run")

    def test_unsigned_copy_with_a_digest_refuses_a_transfer_cut_short(self):
        # No Content-Length, and the connection closes after 20000 bytes: the
        # transfer itself looks complete.
        release = Release([INSTALLER + "?nolength=1&cut=20000&f=" + INSTALLER])
        folder, tool, window = self.start(release, TOLLWREN)
        before = read(os.path.join(folder, "pad.xml"))
        self.answer_yes(tool, window)
        self.assert_refused(tool, window, folder, before)

    def test_only_installers_are_fetched(self):
        release = Release(["setup.hta", "NUL.exe", "notes.js", INSTALLER], KEY)
        for name in ("setup.hta", "NUL.exe", "notes.js"):
            shutil.copyfile(release.installer, os.path.join(release.folder, name))
        folder, tool, window = self.start(release)
        self.answer_yes(tool, window)
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertIn(INSTALLER_STARTED, tool.codes())
        self.assertEqual(release.requested(), [r for r in release.requested() if INSTALLER in r or "pad.xml" in r])
        self.assertEqual(len(release.requested(INSTALLER)), 1)

    def test_name_of_a_file_beside_the_updater_goes_to_a_private_folder_that_the_next_run_removes(self):
        release = Release(["tollwren.exe"], KEY, silent_arguments="/quiet")
        shutil.copyfile(release.installer, os.path.join(release.folder, "tollwren.exe"))
        before = set(temp_folders(self.desktop))
        folder, tool, _ = self.start(release, None, "/SILENT")
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertIn(INSTALLER_STARTED, tool.codes())
        self.assertEqual(read(os.path.join(folder, "tollwren.exe")), read(SIGNED))
        made = set(temp_folders(self.desktop)) - before
        self.assertEqual(len(made), 1, made)
        private = made.pop()
        self.assertRegex(os.path.basename(private), "^tollwren-[0-9a-f]{32}$")
        wait_until(lambda: os.path.exists(os.path.join(private, "tollwren.exe.ran")), 20, "the installer to run")
        # Owned by the user, and no entry for anyone else (Wine keeps what
        # Unix modes can say: the owner, the user and SYSTEM).
        acl = access_list(self.desktop, private)
        self.assertEqual(acl["owner"], acl["user"])
        trustees = {ace.rstrip(")").split(";")[-1] for ace in acl["dacl"].split("(")[1:]}
        self.assertLessEqual(trustees, {acl["user"], "SY", "BA"}, acl["dacl"])
        # The next run, whatever it finds, removes the folder and its installer.
        nothing_newer = Release([INSTALLER], KEY, version="1.4")
        _, tool, _ = self.start(nothing_newer, None, "/SILENT")
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertFalse(os.path.exists(private))

    def test_copy_whose_file_is_held_against_reading_stays_signed(self):
        # An unsigned release: a copy that took itself for one without keys
        # would install it.
        release = Release([INSTALLER])
        folder = product_folder(WORK, pad_text("1.4", release.pad_url), SIGNED)
        tool = self.desktop.launch(PROBE, "lockedstart", winpath(os.path.join(folder, "tollwren.exe")), "/SILENT")
        self.addCleanup(tool.close)
        self.assertEqual(tool.wait_exit(60), 1)  # a damaged file
        self.assertEqual(tool.codes(), [])
        self.assertEqual(release.requested(), [])

    def test_signed_copy_offers_only_newer_versions_of_its_own_product(self):
        quiet, refused = [STARTED, CHECKING, ENDING], [STARTED, CHECKING, FAILED, ENDING]
        installed = [STARTED, CHECKING, NEWER, DOWNLOADING, DOWNLOADED, INSTALLER_STARTED, ENDING]
        moved = SERVER.url("moved/pad.xml")
        cases = [
            # what, installed version, served PAD, switch, codes, exit status
            ("an older version", "1.4", dict(version="1.3"), None, quiet, 0),
            ("a pre-release of the version installed", "3.2", dict(version="3.2-beta"), "/SILENT", quiet, 0),
            ("another product", "1.4", dict(name="Other Notes", own_url=moved), "/SILENT", refused, 2),
            ("a carriage return inside Program_Version", "1.4", dict(version="2.0\r"), "/SILENT", refused, 2),
            ("a PAD starting with FF FE", "1.4", dict(edit=lambda b: b"\xff\xfe" + b), "/SILENT", refused, 2),
            ("1.2.4 over 1.2.3, at a new address", "1.2.3", dict(version="1.2.4", own_url=moved), "/SILENT",
             installed, 0),
        ]
        for what, local, served, switch, codes, status in cases:
            with self.subTest(what):
                edit = served.pop("edit", None)
                release = Release([INSTALLER], silent_arguments="/quiet", **served)
                if edit:
                    write_bytes(release.pad, edit(read(release.pad)))
                KEY.sign(release.pad)
                folder = product_folder(WORK, pad_text(local, release.pad_url), SIGNED)
                tool = self.desktop.launch(os.path.join(folder, "tollwren.exe"), *([switch] if switch else []))
                self.addCleanup(tool.close)
                if not switch:
                    UpdaterWindow(self.desktop, tool).wait_text(STATUS, lambda t: t.startswith("Your version 1.4"))
                self.assertEqual(tool.wait_exit(60), status)
                self.assertEqual(tool.codes(), codes)
                self.assertEqual(len(release.requested(INSTALLER)), 1 if codes is installed else 0)

    def download_under_way(self, release):
        folder, tool, window = self.start(release)
        self.answer_yes(tool, window)
        window.wait_visible(PROGRESS)
        window.wait_text(STATUS, lambda t: " KB of " in t)
        wait_until(lambda: os.path.exists(os.path.join(folder, INSTALLER)), 10, "the download's file")
        return folder, tool, window

    def test_closing_or_ending_during_a_download_leaves_no_file(self):
        for how in ("close button", "process ended"):
            with self.subTest(how=how):
                release = Release([INSTALLER], KEY, padding=1500000, slow=True)
                folder, tool, window = self.download_under_way(release)
                before = read(os.path.join(folder, "pad.xml"))
                if how == "close button":
                    window.click(CLOSE)
                    self.assertEqual(tool.wait_exit(30), 0)
                    self.assertEqual(tool.codes()[-2:], [ABORTED, ENDING])
                    self.assertLess(tool.event(ENDING).time - tool.event(ABORTED).time, 1.5)
                else:
                    self.desktop.probe("kill", str(tool.pid))
                    tool.wait_exit(30)
                wait_until(lambda: not os.path.exists(os.path.join(folder, INSTALLER)), 10, "the file to go")
                self.assertEqual(read(os.path.join(folder, "pad.xml")), before)

    def test_pad_that_trickles_in_ends_the_check_within_its_deadline(self):
        release = Release([INSTALLER], KEY)
        # One byte every two seconds: the whole file would take about an hour.
        release.pad_url = SERVER.url("__slow/2000/1/%s/pad.xml" % release.name)
        folder, tool, window = self.start(release)
        tool.wait_code(CHECKING, 60)
        self.assertEqual(tool.wait_exit(120), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, ENDING])
        waited = tool.event(ENDING).time - tool.event(CHECKING).time
        self.assertGreater(waited, 60)
        self.assertLess(waited, 60 + 7 + 5)

    def test_text_refresh_posted_by_another_program_changes_nothing(self):
        release = Release([INSTALLER], KEY)
        folder, tool, window = self.start(release)
        tool.wait_code(NEWER, 60)
        window.wait_visible(YES)
        question = window.text(STATUS)
        for value in ("0", "1", "126", "18446744073709551615", str(0x7FFE0000)):
            self.desktop.probe("post", str(window.hwnd), str(TEXT_REFRESH), "900", value)
            self.desktop.probe("post", str(window.hwnd), str(TEXT_REFRESH), "901", value)
        window.wait_visible(NO)
        self.assertEqual(window.text(STATUS), question)
        window.click(NO)
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, ABORTED, ENDING])


if __name__ == "__main__":
    unittest.main(verbosity=2)
