"""tollwren.exe for managed machines, driven from outside under Wine: an
unattended run ("/SILENT") that installs a signed release with its silent
installer arguments (a package through the system's msiexec.exe) and says
in its exit status what happened, downloads that resume where a broken
connection left them and give up at their deadline, and a version the user
chose to skip.
"""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from wintest import WIN_BUILD, Desktop, wait_until, winpath  # noqa: E402
from updater_scene import (ABORTED, CHECKING, DOWNLOADED, DOWNLOADING, ENDING, FAILED, INSTALLER,  # noqa: E402
                           INSTALLER_STARTED, NEWER, SETUP, STARTED, STATUS, TOLLWREN, YES, PublisherKey, Release,
                           UpdaterWindow, WebServer, pad_text, product_folder, rebrand, wine)

WORK = os.path.join(WIN_BUILD, "e2e", "tollwren-unattended-work")
ARGUMENTS = dict(arguments="/norestart", silent_arguments="/quiet /norestart")


def setUpModule():
    global SERVER, KEY, SIGNED
    shutil.rmtree(WORK, ignore_errors=True)
    web = os.path.join(WORK, "web")
    os.makedirs(web)
    SERVER = WebServer(web)
    KEY = PublisherKey(os.path.join(WORK, "keys"), "publisher")
    SIGNED = rebrand(TOLLWREN, os.path.join(WORK, "signed.exe"), {"keys.pem": KEY.public})


def tearDownModule():
    SERVER.stop()


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Unattended(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop("tollwren-unattended")

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, release, *arguments, program=None, folder=None):
        folder = folder or product_folder(WORK, pad_text("1.4", release.pad_url), program or SIGNED)
        tool = self.desktop.launch(os.path.join(folder, "tollwren.exe"), *arguments)
        self.addCleanup(tool.close)
        return folder, tool

    def window(self, tool):
        return UpdaterWindow(self.desktop, tool)

    def visible_windows_until_the_end(self, tool, timeout=60):
        """Every window of the program seen shown while it ran."""
        seen = set()
        deadline = time.time() + timeout
        while tool.running() and time.time() < deadline:
            if tool.pid:
                seen.update(w.text for w in self.desktop.top(tool.pid) if w.visible)
            time.sleep(0.2)
        return seen

    def ran_with(self, folder):
        mark = os.path.join(folder, INSTALLER + ".ran")
        wait_until(lambda: os.path.exists(mark), 20, "the installer to run")
        return read(mark).decode("utf-16-le")  # its command line

    def test_silent_signed_run_installs_with_the_silent_arguments_and_no_window(self):
        release = Release(SERVER, [INSTALLER], KEY, **ARGUMENTS)
        folder, tool = self.start(release, "/SILENT")
        self.assertEqual(self.visible_windows_until_the_end(tool), set())
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, DOWNLOADING, DOWNLOADED, INSTALLER_STARTED,
                                        ENDING])
        self.assertIn("/quiet /norestart", self.ran_with(folder))
        self.assertEqual(read(os.path.join(folder, "pad.xml")), read(release.pad))

    def test_silent_run_says_failed_or_refused_in_its_exit_status(self):
        for downloads, status in ((["missing/" + INSTALLER], 1), (["bad/" + INSTALLER], 2)):
            with self.subTest(status=status):
                release = Release(SERVER, downloads, KEY, **ARGUMENTS)
                folder, tool = self.start(release, "/SILENT")
                before = read(os.path.join(folder, "pad.xml"))
                self.assertEqual(tool.wait_exit(60), status)
                self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, DOWNLOADING, FAILED, ENDING])
                self.assertEqual(read(os.path.join(folder, "pad.xml")), before)
                self.assertEqual(sorted(os.listdir(folder)), ["pad.xml", "tollwren.exe"])
        # No pad.xml: nothing to check, at once.
        folder = product_folder(WORK, None, SIGNED)
        tool = self.desktop.launch(os.path.join(folder, "tollwren.exe"), "/SILENT")
        self.addCleanup(tool.close)
        self.assertEqual(tool.wait_exit(30), 1)
        self.assertEqual(tool.codes(), [STARTED, ENDING])
        self.assertLess(tool.event(ENDING).time - tool.event(STARTED).time, 3)
        # Nothing newer is nothing to do.
        release = Release(SERVER, [INSTALLER], KEY, version="1.4")
        folder, tool = self.start(release, "/SILENT")
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, ENDING])

    def test_package_starts_through_the_system_msiexec_which_finds_it_held(self):
        # The prefix's msiexec.exe is the stand-in installer for this test.
        system = os.path.join(self.desktop.folder, "wineprefix", "drive_c", "windows", "system32")
        msiexec = os.path.join(system, "msiexec.exe")
        shutil.copyfile(msiexec, msiexec + ".wine")
        shutil.copyfile(SETUP, msiexec)
        overrides = "HKCU\\Software\\Wine\\DllOverrides"
        wine(self.desktop, "reg", "add", overrides, "/v", "msiexec.exe", "/d", "native", "/f")
        self.addCleanup(wine, self.desktop, "reg", "delete", overrides, "/v", "msiexec.exe", "/f")
        self.addCleanup(shutil.move, msiexec + ".wine", msiexec)
        package = "SampleNotesSetup-2.0.msi"
        release = Release(SERVER, [package], KEY, installer=package, **ARGUMENTS)
        folder, tool = self.start(release, "/SILENT")
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertEqual(tool.codes()[-2:], [INSTALLER_STARTED, ENDING])
        self.assertEqual(read(msiexec + ".ran").decode("utf-16-le"),
                         '"C:\\windows\\system32\\msiexec.exe" /i "%s" /quiet /norestart'
                         % winpath(os.path.join(folder, package)))
        self.assertEqual(read(msiexec + ".package").decode("utf-16-le"), "held")

    def test_installer_that_trickles_in_ends_at_its_deadline(self):
        # One byte every 3 s never trips a read's time-out; a file of this
        # size gets the minimum, 60 s.
        release = Release(SERVER, [INSTALLER], KEY, through="__slow/3000/1/")
        folder, tool = self.start(release, "/SILENT")
        self.assertEqual(tool.wait_exit(120), 1)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, DOWNLOADING, FAILED, ENDING])
        waited = tool.event(FAILED).time - tool.event(DOWNLOADING).time
        self.assertGreater(waited, 60)
        self.assertLess(waited, 65)
        self.assertEqual(sorted(os.listdir(folder)), ["pad.xml", "tollwren.exe"])

    def test_silent_without_a_publisher_key_asks(self):
        release = Release(SERVER, [INSTALLER], **ARGUMENTS)
        folder, tool = self.start(release, "/SILENT", program=TOLLWREN)
        window = self.window(tool)
        tool.wait_code(NEWER, 60)
        wait_until(lambda: window.window().visible, 10, "the question")
        window.click(YES)
        self.assertEqual(tool.wait_exit(60), 0)
        self.assertIn(INSTALLER_STARTED, tool.codes())
        # Asked, the installer gets the ordinary arguments.
        ran = self.ran_with(folder)
        self.assertIn("/norestart", ran)
        self.assertNotIn("/quiet", ran)

    def resumed(self, release, part, program=None):
        folder, tool = self.start(release, "/SILENT", program=program)
        self.assertEqual(tool.wait_exit(90), 0)
        self.assertEqual(tool.codes()[-3:], [DOWNLOADED, INSTALLER_STARTED, ENDING])
        self.ran_with(folder)
        self.assertEqual(read(os.path.join(folder, INSTALLER)), read(release.installer))
        return release.server.served(part)

    def test_download_broken_twice_resumes_where_it_broke(self):
        size = 1500000
        cuts = "?cuts=%d,%d&f=%s" % (size * 3 // 10, size * 7 // 10, INSTALLER)
        release = Release(SERVER, [INSTALLER + cuts], KEY, padding=size)
        served = self.resumed(release, INSTALLER + cuts)
        self.assertLessEqual(served, 1.1 * release.size)
        self.assertEqual(len(release.requested(INSTALLER + cuts)), 3)

    def test_server_that_ignores_ranges_starts_over(self):
        broken = "?cuts=500000&norange=1&f=" + INSTALLER
        release = Release(SERVER, [INSTALLER + broken], KEY, padding=1500000)
        served = self.resumed(release, INSTALLER + broken)
        self.assertEqual(served, 500000 + release.size)

    def test_resumed_download_that_does_not_match_is_refused(self):
        broken = "?cuts=600000&f=" + INSTALLER
        release = Release(SERVER, ["bad/" + INSTALLER + broken], KEY, padding=1500000)
        folder, tool = self.start(release, "/SILENT")
        self.assertEqual(tool.wait_exit(60), 2)
        self.assertEqual(len(release.requested("bad/" + INSTALLER + broken)), 2)  # resumed, then refused
        self.assertEqual(sorted(os.listdir(folder)), ["pad.xml", "tollwren.exe"])

    def skip_from_the_menu(self, release):
        folder, tool = self.start(release)
        window = self.window(tool)
        tool.wait_code(NEWER, 60)
        window.wait_visible(YES)
        window.click_body(button=3)
        wait_until(lambda: any(w.cls == "#32768" and w.visible for w in tool.top_windows()), 10, "the context menu")
        self.desktop.key("Up", "Return")  # the last entry
        window.wait_text(STATUS, lambda t: t == "The update was cancelled.", 10, "the answer")
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes(), [STARTED, CHECKING, NEWER, ABORTED, ENDING])
        return folder

    def test_skipped_version_is_not_offered_unasked_until_a_newer_one_comes(self):
        release = Release(SERVER, [INSTALLER], KEY)
        folder = self.skip_from_the_menu(release)
        self.assertEqual(read(os.path.join(folder, "skip.txt")).decode().strip(), "2.0")
        for switch in ("/HIDE", "/SILENT"):
            with self.subTest(switch=switch):
                _, tool = self.start(release, switch, folder=folder)
                self.assertEqual(self.visible_windows_until_the_end(tool), set())
                self.assertEqual(tool.wait_exit(30), 0)
                self.assertEqual(tool.codes(), [STARTED, CHECKING, ABORTED, ENDING])
                self.assertLess(tool.event(ENDING).time - tool.event(ABORTED).time, 1.5)
        # Started by hand, the skipped version is still offered.
        _, tool = self.start(release, folder=folder)
        window = self.window(tool)
        tool.wait_code(NEWER, 60)
        window.wait_visible(YES)
        tool.close()
        # A newer version is offered again, and forgets the one skipped.
        newer = Release(SERVER, [INSTALLER], KEY, version="2.1")
        with open(os.path.join(folder, "pad.xml"), "w", newline="") as f:
            f.write(pad_text("1.4", newer.pad_url))
        _, tool = self.start(newer, "/HIDE", folder=folder)
        window = self.window(tool)
        tool.wait_code(NEWER, 60)
        wait_until(lambda: window.window().visible, 10, "the question")
        self.assertFalse(os.path.exists(os.path.join(folder, "skip.txt")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
