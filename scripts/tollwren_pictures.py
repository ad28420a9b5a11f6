"""Scenes of the updater for the demo and the README's screenshots: the
sample product (samples/tollwren) beside tollwren.exe, its newer version on
the test web server (signed with padsign when asked), pictures of the window
taken under Xvfb.
"""

import os
import shutil
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path[:0] = [os.path.join(ROOT, "tests", "e2e"), os.path.join(ROOT, "tests", "tollwren", "e2e")]

from wintest import wait_until  # noqa: E402
import updater_scene as scene  # noqa: E402

INSTALLER = "SampleNotesSetup-2.0.exe"
PADSIGN = os.path.join(ROOT, "build", "host", "tools", "padsign", "padsign")


class SampleWorld:
    """The web server with Sample Notes 2.0 and a product folder with 1.4."""

    def __init__(self, work):
        shutil.rmtree(work, ignore_errors=True)
        self.work = work
        web = os.path.join(work, "web")
        self.release = os.path.join(web, "sample-notes")
        os.makedirs(self.release)
        self.server = scene.WebServer(web)
        remote = scene.sample_pad("web/pad.xml", self.server.address)
        # The download goes at about 200 KB/s, so that its progress can be seen.
        remote = remote.replace("/sample-notes/" + INSTALLER, "/__slow/40/8192/sample-notes/" + INSTALLER)
        self.remote_pad = remote
        self.published_pad = os.path.join(self.release, "pad.xml")
        scene.write(self.published_pad, remote)
        size = int(remote.split("<File_Size_Bytes>")[1].split("<")[0])
        self.installer = scene.serve_installer(self.release, INSTALLER,
                                               padding=max(0, size - os.path.getsize(scene.SETUP)))
        self.count = 0

    def product(self, program=scene.TOLLWREN, pad=True):
        self.count += 1
        folder = os.path.join(self.work, "Sample Notes %d" % self.count)
        os.makedirs(folder)
        shutil.copyfile(program, os.path.join(folder, "tollwren.exe"))
        if pad:
            scene.write(os.path.join(folder, "pad.xml"), scene.sample_pad("pad.xml", self.server.address))
        return folder

    def make_key(self):
        """A new key pair made by padsign keygen: (private, public)."""
        keys = os.path.join(self.work, "keys")
        padsign("keygen", keys)
        return os.path.join(keys, "private.pem"), os.path.join(keys, "public.pem")

    def sign_release(self, private):
        """Signs the published release as its publisher would: padsign release
        of the PAD (with the addresses the updater uses) and the installer as
        served, into the release folder (pad.xml and pad.xml.sig)."""
        draft = os.path.join(self.work, "draft", "pad.xml")
        os.makedirs(os.path.dirname(draft), exist_ok=True)
        shutil.move(self.published_pad, draft)
        padsign("release", draft, self.installer, private, self.release)
        return self.published_pad, self.published_pad + ".sig"

    def signed_updater(self, public):
        """A copy of tollwren.exe branded with the publisher's key (keys.pem)."""
        return scene.rebrand(scene.TOLLWREN, os.path.join(self.work, "tollwren-signed.exe"), {"keys.pem": public})

    def tamper_installer(self):
        """Changes one byte of the served installer, as a hijacked mirror or
        a changed transfer would: (offset, old byte, new byte)."""
        offset = os.path.getsize(scene.SETUP) // 2  # inside the program, not its padding
        with open(self.installer, "r+b") as f:
            f.seek(offset)
            old = f.read(1)[0]
            f.seek(offset)
            f.write(bytes([old ^ 0x01]))
        return offset, old, old ^ 0x01

    def stop(self):
        self.server.stop()


def padsign(*arguments):
    if not os.path.exists(PADSIGN):
        sys.exit("build the host tree first (%s is missing)" % PADSIGN)
    subprocess.run([PADSIGN] + list(arguments), check=True, stdout=subprocess.DEVNULL)


def window_picture(desktop, window, path, margin=8):
    frame = window.window()
    return desktop.screenshot(path, crop=(frame.x - margin, frame.y - margin, frame.width + 2 * margin,
                                          frame.height + 2 * margin))


def area_picture(desktop, path, windows, margin=8):
    """One picture holding every window of the list."""
    left = min(w.x for w in windows) - margin
    top = min(w.y for w in windows) - margin
    right = max(w.x + w.width for w in windows) + margin
    bottom = max(w.y + w.height for w in windows) + margin
    return desktop.screenshot(path, crop=(left, top, right - left, bottom - top))


def start(desktop, folder, *arguments):
    tool = desktop.launch(os.path.join(folder, "tollwren.exe"), *arguments)
    return tool, scene.UpdaterWindow(desktop, tool)


def wait_question(tool, window):
    tool.wait_code(scene.NEWER, 60)
    window.wait_visible(scene.YES)
    window.wait_text(scene.STATUS, lambda t: "2.0" in t, 10, "the question")


def wait_progress(window, of=" KB of "):
    """Waits until the status line counts kilobytes; of: what stands between
    the two numbers in the window's language."""
    window.wait_visible(scene.PROGRESS)
    window.wait_text(scene.STATUS, lambda t: of in t and not t.split("\n")[-1].startswith("0 "), 20,
                     "the download under way")


def wait_menu(window):
    return wait_until(lambda: next((w for w in window.tool.top_windows() if w.cls == "#32768" and w.visible), None),
                      10, "a menu")
