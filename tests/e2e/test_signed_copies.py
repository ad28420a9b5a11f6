"""Copies of both programs branded, then signed with Authenticode by
osslsigncode with a certificate made for the run, as a publisher ships them.
The signed copies start under Wine and show their skin or banner (PNG
entries, drawn as the same images in BMP entries are), their texts and
flags; the signature verifies, and fails once one byte of the archive
changes; respack reads a signed copy, refuses to brand it, and reads a copy
whose security directory is damaged as one without a signature.
"""

import os
import shutil
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tollwren", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "marlpane", "e2e"))

from wintest import ROOT, WIN_BUILD, Desktop, wait_until  # noqa: E402
from updater_scene import (ENDING, INSTALLER, LANGUAGE, NEWER, NO, RESPACK, STATUS, TOLLWREN,  # noqa: E402
                           PublisherKey, Release, UpdaterWindow, WebServer, pad_text, product_folder, rebrand)
from marlpane_app import BANNER, MARLPANE, Editor, branded_copy, copy_samples, work_folder  # noqa: E402

WORK = os.path.join(WIN_BUILD, "e2e", "signed-copies-work")
REFUSAL = "respack: sign after branding: the signature would no longer match\n"
SECURITY_DIRECTORY = 4


def run(*command):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def sign(source, target):
    """What a publisher does last: osslsigncode with the run's certificate."""
    signed = run("osslsigncode", "sign", "-certs", CERTIFICATE, "-key", CERTIFICATE_KEY, "-h", "sha256",
                 "-n", "Test Product", "-in", source, "-out", target)
    if signed.returncode != 0:
        raise AssertionError("osslsigncode sign: " + signed.stdout + signed.stderr)
    return target


def signature_verifies(path):
    return run("osslsigncode", "verify", "-CAfile", CERTIFICATE, "-in", path).returncode == 0


def as_bmp(png, bmp):
    """The same picture as a 24-bit uncompressed BMP (ImageMagick)."""
    subprocess.run(["convert", png, "-type", "TrueColor", "BMP3:" + bmp], check=True)
    return bmp


def security_directory_offset(data):
    """Where data directory 4 of a PE32+ file stands."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return pe + 24 + 112 + SECURITY_DIRECTORY * 8


def setUpModule():
    global CERTIFICATE, CERTIFICATE_KEY, KEY, UPDATER, SIGNED_UPDATER, BMP_UPDATER, SIGNED_EDITOR
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    CERTIFICATE = os.path.join(WORK, "certificate.pem")
    CERTIFICATE_KEY = os.path.join(WORK, "certificate-key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                    "/CN=Test Publisher", "-keyout", CERTIFICATE_KEY, "-out", CERTIFICATE], check=True,
                   capture_output=True)
    KEY = PublisherKey(os.path.join(WORK, "keys"), "publisher")
    UPDATER = rebrand(TOLLWREN, os.path.join(WORK, "tollwren-branded.exe"), {"keys.pem": KEY.public})
    SIGNED_UPDATER = sign(UPDATER, os.path.join(WORK, "tollwren-signed.exe"))
    assets = os.path.join(ROOT, "assets", "tollwren")
    BMP_UPDATER = rebrand(TOLLWREN, os.path.join(WORK, "tollwren-bmp.exe"), {
        "keys.pem": KEY.public,
        "bmk": as_bmp(os.path.join(assets, "bmk.png"), os.path.join(WORK, "bmk.bmp")),
        "bmk@2x": as_bmp(os.path.join(assets, "bmk@2x.png"), os.path.join(WORK, "bmk@2x.bmp"))})
    SIGNED_EDITOR = sign(MARLPANE, os.path.join(WORK, "marlpane-signed.exe"))


class SignedFiles(unittest.TestCase):
    def test_signature_covers_the_archive(self):
        self.assertTrue(signature_verifies(SIGNED_UPDATER))
        self.assertTrue(signature_verifies(SIGNED_EDITOR))
        # keys.pem is the last entry of the branded copy: its last byte stands
        # before the 4-byte trailer, where signing left it.
        changed = bytearray(read(SIGNED_UPDATER))
        changed[os.path.getsize(UPDATER) - 5] ^= 0x01
        path = os.path.join(WORK, "changed-keys.exe")
        with open(path, "wb") as f:
            f.write(changed)
        self.assertFalse(signature_verifies(path))

    def test_respack_reads_a_signed_copy_and_refuses_to_brand_it(self):
        listed = run(RESPACK, "list", "--key", "tollwren", SIGNED_UPDATER)
        self.assertEqual(listed.returncode, 0, listed.stderr)
        kinds = {line.split("\t")[0]: line.split("\t")[2:] for line in listed.stdout.splitlines()}
        self.assertEqual(kinds["bmk"], ["png", "ok"])
        self.assertEqual(kinds["bmc"], ["bitmap", "ok"])
        self.assertEqual(kinds["keys.pem"], ["other", "ok"])
        extracted = os.path.join(WORK, "keys-extracted.pem")
        self.assertEqual(run(RESPACK, "extract", "--key", "tollwren", SIGNED_UPDATER, "keys.pem", extracted)
                         .returncode, 0)
        self.assertEqual(read(extracted), read(KEY.public))

        out = os.path.join(WORK, "rebranded.exe")
        refused = run(RESPACK, "append", os.path.join(ROOT, "assets", "tollwren", "manifest.ini"), SIGNED_UPDATER,
                      out)
        self.assertEqual((refused.returncode, refused.stderr), (1, REFUSAL))
        self.assertFalse(os.path.exists(out))

    def test_a_damaged_security_directory_reads_as_no_signature(self):
        data = bytearray(read(SIGNED_UPDATER))
        at = security_directory_offset(data)
        table, length = struct.unpack_from("<II", data, at)
        self.assertEqual(table + length, len(data))
        damaged = os.path.join(WORK, "past-the-end.exe")
        struct.pack_into("<II", data, at, table, length + 8)
        with open(damaged, "wb") as f:
            f.write(data)
        listed = run(RESPACK, "list", "--key", "tollwren", damaged)
        self.assertEqual(listed.returncode, 1)
        self.assertIn("carries no archive", listed.stderr)
        # Unsigned, it may be branded: the new archive ends the file.
        out = os.path.join(WORK, "branded-again.exe")
        self.assertEqual(run(RESPACK, "append", os.path.join(ROOT, "assets", "tollwren", "manifest.ini"), damaged,
                             out).returncode, 0)
        self.assertEqual(run(RESPACK, "list", "--key", "tollwren", out).returncode, 0)


def grab(desktop, x, y, width, height):
    """The screen's pixels in a rectangle, 3 bytes each, row by row."""
    return subprocess.run(["import", "-display", desktop.display, "-window", "root", "-crop",
                           "%dx%d+%d+%d" % (width, height, x, y), "+repage", "-depth", "8", "rgb:-"],
                          env=desktop.env, stdout=subprocess.PIPE, check=True).stdout


class SignedPrograms(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop("signed-copies")
        cls.screens = os.path.join(cls.desktop.folder, "screens")

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def asking_updater(self, program, server, release, name):
        """program asking for the release: its window's pixels, texts and size."""
        folder = product_folder(WORK, pad_text("1.4", release.pad_url), program)
        tool = self.desktop.launch(os.path.join(folder, "tollwren.exe"))
        self.addCleanup(tool.close)
        window = UpdaterWindow(self.desktop, tool)
        tool.wait_code(NEWER, 60)
        window.wait_visible(NO)
        box = window.window()
        self.desktop.screenshot(os.path.join(self.screens, name + ".png"), crop=(box.x, box.y, box.width, box.height))
        seen = {"size": (box.width, box.height), "status": window.text(STATUS),
                "pixels": grab(self.desktop, box.x, box.y, box.width, box.height),
                "flag": window.control(LANGUAGE)}
        window.click(NO)
        self.assertEqual(tool.wait_exit(30), 0)
        self.assertEqual(tool.codes()[-1], ENDING)
        return seen

    def test_signed_updater_shows_its_png_skin_flag_and_texts(self):
        web = os.path.join(WORK, "web")
        os.makedirs(web, exist_ok=True)
        server = WebServer(web)
        self.addCleanup(server.stop)
        release = Release(server, [INSTALLER], KEY)
        bmp = self.asking_updater(BMP_UPDATER, server, release, "updater-bmp")
        png = self.asking_updater(SIGNED_UPDATER, server, release, "updater-signed-png")
        self.assertEqual(png["size"], (600, 300))
        self.assertEqual(png["size"], bmp["size"])
        self.assertIn("Sample Notes", png["status"])
        self.assertEqual(png["status"], bmp["status"])
        # The same picture on the screen: skin, close button, flag and texts.
        self.assertEqual(len(png["pixels"]), 600 * 300 * 3)
        self.assertEqual(png["pixels"], bmp["pixels"])
        flag = png["flag"]
        self.assertEqual((flag.width, flag.height), (24, 16))

    def test_signed_editor_shows_its_png_banner(self):
        folder = work_folder(self.desktop, "bmp-banner")
        copy_samples(folder, "settings.ini", "settings.ITP")
        png = os.path.join(ROOT, "assets", "marlpane", "banner.png")
        bmp_copy = branded_copy(folder, banner=read(as_bmp(png, os.path.join(folder, "banner.bmp"))))
        seen = []
        for name, exe in (("editor-bmp", bmp_copy), ("editor-signed-png", SIGNED_EDITOR)):
            folder = work_folder(self.desktop, name)
            copy_samples(folder, "settings.ini", "settings.ITP")
            editor = Editor(self.desktop, folder, exe=shutil.copy(exe, os.path.join(folder, "marlpane.exe")))
            self.addCleanup(editor.tool.close)
            banner = wait_until(lambda: editor.control(BANNER), 20, "the banner")
            window = editor.window()
            self.desktop.screenshot(os.path.join(self.screens, name + ".png"),
                                    crop=(window.x, window.y, window.width, window.height))
            seen.append(((banner.width, banner.height), len(editor.wait_rows()),
                         grab(self.desktop, banner.x, banner.y, banner.width, banner.height)))
            self.desktop.key("Escape")
            editor.wait_closed()
        (bmp_size, bmp_rows, bmp_pixels), (png_size, png_rows, png_pixels) = seen
        self.assertEqual(png_size, (600, 64))
        self.assertEqual(png_size, bmp_size)
        self.assertGreater(png_rows, 10)
        self.assertEqual(png_rows, bmp_rows)
        self.assertEqual(png_pixels, bmp_pixels)


if __name__ == "__main__":
    unittest.main(verbosity=2)
