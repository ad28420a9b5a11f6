"""The updater's world for window tests, the demo and the screenshots: the
test web server with a remote PAD file and an installer, a product folder
with tollwren.exe beside its pad.xml, and readers of the updater's window.
"""

import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.request

from wintest import ROOT, WINE_RUN, WIN_BUILD, wait_until, winpath

TOLLWREN = os.path.join(WIN_BUILD, "tollwren", "tollwren.exe")
SETUP = os.path.join(WIN_BUILD, "tests", "tollwren_sample_setup.exe")
PROBE = os.path.join(WIN_BUILD, "tests", "tollwren_updater_probe.exe")
RESPACK = os.path.join(ROOT, "build", "host", "tools", "respack", "respack")
SERVER = os.path.join(ROOT, "scripts", "test_http_server.py")
SAMPLES = os.path.join(ROOT, "samples", "tollwren")
SAMPLE_ADDRESS = "127.0.0.1:8080"

INSTALLER = "SampleNotesSetup-2.0.exe"

# Controls of the updater's window.
STATUS, NEWS, YES, NO, PROGRESS, LANGUAGE, CLOSE = 1008, 1007, 1013, 1015, 1016, 1017, 2
# Notification codes.
STARTED, CHECKING, NEWER, OLDER, DOWNLOADING, DOWNLOADED, INSTALLER_STARTED = 300, 311, 312, 313, 315, 317, 319
ABORTED, FAILED, ENDING = 370, 380, 390


class WebServer:
    """scripts/test_http_server.py on a free port, serving folder."""

    def __init__(self, folder):
        self.folder = folder
        port_file = os.path.join(folder, ".port")
        env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
        self._process = subprocess.Popen([sys.executable, SERVER, "--root", folder, "--port-file", port_file],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        wait_until(lambda: os.path.exists(port_file), 20, "the test web server")
        with open(port_file) as f:
            self.port = int(f.read())
        self.address = "127.0.0.1:%d" % self.port

    def url(self, path):
        return "http://%s/%s" % (self.address, path.lstrip("/"))

    def _get(self, path):
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        with opener.open(self.url(path), timeout=20) as answer:
            return json.load(answer)

    def requested(self, part):
        """The request targets so far that hold part."""
        return [r["target"] for r in self._get("__requests") if part in r["target"]]

    def served(self, part):
        """The body bytes sent so far for the targets that hold part."""
        return sum(n for target, n in self._get("__served").items() if part in target)

    def stop(self):
        self._process.kill()
        self._process.wait()


def sample_pad(name, address):
    """A sample PAD file (pad.xml or web/pad.xml) naming the server at address."""
    with open(os.path.join(SAMPLES, name), encoding="utf-8", newline="") as f:
        return f.read().replace(SAMPLE_ADDRESS, address)


def pad_text(version, pad_url, downloads=(), site="http://example.invalid/notes/", change="", size=0,
             name="Sample Notes", sha256=None, arguments=None, silent_arguments=None):
    """A PAD document with the fields the updater reads (and File_SHA256,
    Installer_Arguments and Installer_Silent_Arguments when given)."""
    file_info = "".join("<%s>%s</%s>" % (tag, value, tag) for tag, value in (
        ("File_SHA256", sha256), ("Installer_Arguments", arguments),
        ("Installer_Silent_Arguments", silent_arguments)) if value is not None)
    urls = list(downloads) + [""] * (4 - len(downloads))
    tags = ["Primary_Download_URL", "Secondary_Download_URL", "Additional_Download_URL_1",
            "Additional_Download_URL_2"]
    lines = ['<?xml version="1.0" encoding="UTF-8" ?>', "<XML_DIZ_INFO>", "<Company_Info>",
             "<Company_Name>Fernwick Software</Company_Name>",
             "<Company_WebSite_URL>%s</Company_WebSite_URL>" % site, "</Company_Info>", "<Program_Info>",
             "<Program_Name>%s</Program_Name>" % name, "<Program_Version>%s</Program_Version>" % version,
             "<Program_Change_Info>%s</Program_Change_Info>" % change,
             "<File_Info><File_Size_Bytes>%d</File_Size_Bytes>%s</File_Info>" % (size, file_info), "</Program_Info>",
             "<Web_Info><Application_URLs>",
             "<Application_XML_File_URL>%s</Application_XML_File_URL>" % pad_url, "</Application_URLs>",
             "<Download_URLs>"]
    lines += ["<%s>%s</%s>" % (tag, url, tag) for tag, url in zip(tags, urls)]
    lines += ["</Download_URLs></Web_Info>", "</XML_DIZ_INFO>", ""]
    return "\r\n".join(lines)


def wine(desktop, *command):
    """A program of Wine's own (reg...) in the desktop's prefix."""
    subprocess.run([WINE_RUN] + list(command), env=desktop.env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def access_list(desktop, path):
    """Owner, user and access list (SDDL) of path as the probe reads them."""
    result = subprocess.run([WINE_RUN, PROBE, "acl", winpath(path)], env=desktop.env, capture_output=True,
                            text=True, check=True)
    return dict(line.split("\t", 1) for line in result.stdout.splitlines() if "\t" in line)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def serve_installer(folder, name, padding=0):
    """The sample installer as folder/name, padded to make the download longer."""
    path = os.path.join(folder, name)
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(SETUP, path)
    if padding:
        with open(path, "ab") as f:
            f.write(bytes(padding))
    return path


def product_folder(parent, local_pad=None, program=TOLLWREN):
    """A folder with a copy of the updater and, unless None, pad.xml."""
    folder = tempfile.mkdtemp(prefix="product-", dir=parent)
    shutil.copyfile(program, os.path.join(folder, "tollwren.exe"))
    if local_pad is not None:
        write(os.path.join(folder, "pad.xml"), local_pad)
    return folder


def rebrand(source, target, replace):
    """A copy of tollwren.exe whose archive has some entries replaced:
    replace maps an entry name to a file (None drops the entry); an entry
    the default archive does not have is added."""
    work = tempfile.mkdtemp(prefix="brand-", dir=os.path.dirname(target))
    manifest = os.path.join(ROOT, "assets", "tollwren", "manifest.ini")
    lines = []
    section = ""
    with open(manifest, encoding="utf-8") as f:
        for line in f:
            stripped = line.strip()
            if stripped.startswith("["):
                section = stripped
            if section == "[entries]" and "=" in stripped and not stripped.startswith(";"):
                entry, path = stripped.split("=", 1)
                if entry in replace:
                    if replace[entry] is None:
                        continue
                    path = replace[entry]
                else:
                    path = os.path.join(os.path.dirname(manifest), path)
                line = "%s=%s\n" % (entry, os.path.abspath(path))
            lines.append(line)
    for entry, path in replace.items():
        if path is not None and not any(l.startswith(entry + "=") for l in lines):
            lines.append("%s=%s\n" % (entry, os.path.abspath(path)))
    own = os.path.join(work, "manifest.ini")
    with open(own, "w", encoding="utf-8") as f:
        f.writelines(lines)
    subprocess.run([RESPACK, "append", own, source, target], check=True, stdout=subprocess.DEVNULL)
    return target


class UpdaterWindow:
    """Reads the updater's window through winprobe."""

    def __init__(self, desktop, tool):
        self.desktop = desktop
        self.tool = tool
        self.hwnd = tool.wait_code(STARTED, 60).lparam

    def controls(self):
        return {w.id: w for w in self.desktop.tree(self.hwnd)[1:]}

    def window(self):
        found = self.desktop.tree(self.hwnd)
        return found[0] if found else None

    def control(self, control_id):
        return self.controls().get(control_id)

    def text(self, control_id):
        control = self.control(control_id)
        return control.text if control else None

    def wait_text(self, control_id, condition, timeout=30, what="a text"):
        return wait_until(lambda: (lambda t: t if t is not None and condition(t) else None)(self.text(control_id)),
                          timeout, "%s in control %d (it shows %r)" % (what, control_id, self.text(control_id)))

    def wait_visible(self, control_id, timeout=30):
        return wait_until(lambda: (lambda c: c if c and c.visible else None)(self.control(control_id)), timeout,
                          "control %d to be shown" % control_id)

    def click(self, control_id, button=1):
        control = self.wait_visible(control_id)
        self.desktop.click(*control.centre(), button=button)

    def click_body(self, button=1, at=(0.1, 0.5)):
        """A click on the window body, away from every control."""
        w = self.window()
        self.desktop.click(w.x + int(w.width * at[0]), w.y + int(w.height * at[1]), button=button)


class PublisherKey:
    """A P-256 key pair made with the openssl command-line tool, as a
    publisher makes one, and signatures made with it."""

    def __init__(self, folder, name):
        os.makedirs(folder, exist_ok=True)
        self.private = os.path.join(folder, name + "-private.pem")
        self.public = os.path.join(folder, name + "-public.pem")
        subprocess.run(["openssl", "ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", self.private],
                       check=True, capture_output=True)
        subprocess.run(["openssl", "ec", "-in", self.private, "-pubout", "-out", self.public],
                       check=True, capture_output=True)

    def sign(self, path, signature=None):
        """path.sig (or signature): the detached signature of the file."""
        subprocess.run(["openssl", "dgst", "-sha256", "-sign", self.private, "-out", signature or path + ".sig", path],
                       check=True, capture_output=True)


def sha256_of(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class Release:
    """A version in a folder of its own on server: the installer (padded to
    make it longer), a copy of it with one byte changed under bad/, and the
    PAD file naming downloads (paths in the folder, through /__slow/ when
    slow, or through the server path given as through) with the good
    installer's size and digest and the address own_url (its own when
    None), signed with key unless key is None."""

    def __init__(self, server, downloads, key=None, padding=200000, slow=False, version="2.0", through=None,
                 own_url=None, installer=INSTALLER, **fields):
        self.server = server
        self.folder = tempfile.mkdtemp(prefix="release-", dir=server.folder)
        self.name = os.path.basename(self.folder)
        good = serve_installer(self.folder, installer, padding=padding)
        bad = serve_installer(os.path.join(self.folder, "bad"), installer, padding=padding)
        with open(bad, "r+b") as f:
            f.seek(-1000, os.SEEK_END)
            byte = f.read(1)
            f.seek(-1000, os.SEEK_END)
            f.write(bytes([byte[0] ^ 1]))
        self.installer = good
        self.size = os.path.getsize(good)
        # A slow download sends 4 KB every 40 ms.
        through = through or ("__slow/40/4096/" if slow else "")
        urls = [server.url(through + self.name + "/" + d) for d in downloads]
        self.pad_url = server.url(self.name + "/pad.xml")
        self.text = pad_text(version, own_url or self.pad_url, urls, change="Folders for notes.", size=self.size,
                             sha256=sha256_of(good), **fields)
        self.pad = os.path.join(self.folder, "pad.xml")
        write(self.pad, self.text)
        if key:
            key.sign(self.pad)

    def requested(self, part=""):
        return self.server.requested("/" + self.name + "/" + part)
