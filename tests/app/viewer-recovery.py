#!/usr/bin/env python3
"""The viewer program killed with SIGKILL after edits, started again on the same ROM: 復元 gives
back the edited bytes, which a save writes; 破棄 leaves the file as it was. Run under
with-xvfb.sh: the program is driven on the X server with xdotool's keys, as a user would.
    viewer-recovery.py VIEWER MAKE_DEMO_ROM PALETTE"""

import os
import signal
import subprocess
import sys
import tempfile
import time

VIEWER, MAKE_DEMO_ROM, PALETTE = sys.argv[1:4]
CHR_START = 0x40010  # file offset of CHR bank 0; banks of 0x400 bytes
CAPTION = "TARVELIN Sprite Viewer - "
UNSAVED = " *"
DEADLINE = time.monotonic() + 100  # the whole test, however slow the build
started = []
# The root window, which a search by process also yields.
ROOT = int(subprocess.run(["xwininfo", "-root"], capture_output=True, text=True).stdout.split("Window id: ")[1].split()[0], 16)


def fail(message):
    raise AssertionError(message)


def wait_for(what, test, seconds=30, describe=lambda: ""):
    """Polls test until it gives something true; fails naming what was awaited."""
    limit = min(time.monotonic() + seconds, DEADLINE)
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() > limit:
            fail("timed out waiting for " + what + describe())
        time.sleep(0.05)


def xprop(window):
    return subprocess.run(["xprop", "-id", window, "WM_TRANSIENT_FOR"], capture_output=True, text=True).stdout


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=20).stdout


class Viewer:
    """One run of the program on Rom, with the test's own settings and state folders."""

    def __init__(self, work, rom=None):
        self.log = open(os.path.join(work, "viewer-%d.log" % len(started)), "w")
        self.process = subprocess.Popen([VIEWER] + ([rom] if rom else []), cwd=work, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        started.append(self.process)
        self.main = wait_for("the main window", lambda: self.find_main())

    def alive(self):
        return self.process.poll() is None

    def windows(self):
        """The program's mapped top-level windows, none of them menus or tooltips."""
        if not self.alive():
            fail("the viewer ended: " + open(self.log.name).read())
        return [w for w, override in self.mapped() if not override]

    def find_main(self):
        """The window no other stands for: the dialogs and boxes are transient for it."""
        found = [w for w in self.windows() if "WM_TRANSIENT_FOR(WINDOW)" not in xprop(w)]
        return found[0] if len(found) == 1 else None

    def mapped(self):
        """The program's mapped windows, each with whether it is a popup (a menu)."""
        found = []
        for window in xdotool("search", "--onlyvisible", "--pid", str(self.process.pid), "--name", "").split():
            info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
            if int(window) != ROOT and "Map State: IsViewable" in info:
                found.append((window, "Override Redirect State: yes" in info))
        return found

    def describe(self):
        return "; the windows up: " + ", ".join(repr(self.name(w)) for w in self.windows())

    def name(self, window):
        return xdotool("getwindowname", window).rstrip("\n")

    def caption(self):
        return self.name(self.main)

    def dialog(self):
        """The one window up beside the main one: a dialog or a message box."""
        others = [w for w in self.windows() if w != self.main]
        return others[0] if len(others) == 1 else None

    def keys(self, window, *keys):
        # No window manager gives the focus back when a dialog goes: the keys' window takes it.
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "--clearmodifiers", *keys)

    def type(self, window, text):
        xdotool("windowfocus", "--sync", window)
        xdotool("type", "--delay", "5", text)

    def menu(self, *letters):
        """Opens a menu item through the menu bar's underlined letters, one level at a time."""
        xdotool("windowfocus", "--sync", self.main)
        menus = self.popups()
        for level, letter in enumerate(letters):
            xdotool("key", letter if level else "alt+" + letter)
            if level < len(letters) - 1:
                wait_for("menu level %d" % (level + 1), lambda: self.popups() > menus + level)

    def popups(self):
        return sum(override for _, override in self.mapped())

    def answer(self, *keys):
        """Answers the dialog that comes up with keys, and waits until it has gone."""
        box = wait_for("one dialog", self.dialog, describe=self.describe)
        self.keys(box, *keys)
        wait_for("the dialog to close", lambda: box not in self.windows())

    def import_chr(self, path, bank):
        """編集 > 取り込み > CHRファイルを取り込む: the file, its first bank, the preview taken."""
        self.menu("e", "i", "c")
        files = wait_for("the file dialog", self.dialog)
        self.type(files, path)
        self.keys(files, "Return")
        wait_for("the bank's question", lambda: self.dialog() not in (None, files))
        self.answer("ctrl+a", *list("%02X" % bank), "Return")
        self.answer("Return")

    def wait_exit(self):
        wait_for("the viewer to end", lambda: not self.alive())
        self.log.close()
        # A sanitizer's report, before the end or the kill, is a fault however the run ended.
        report = open(self.log.name).read()
        if "runtime error:" in report or "Sanitizer" in report:
            fail("the viewer's run reported: " + report)
        return self.process.returncode

    def close(self):
        self.menu("f", "x")
        status = self.wait_exit()
        if status != 0:
            fail("the viewer ended with %d: %s" % (status, open(self.log.name).read()))

    def kill(self):
        os.kill(self.process.pid, signal.SIGKILL)
        self.wait_exit()


def journals(state):
    folder = os.path.join(state, "tarvelin-sprite-viewer", "recovery")
    return sorted(os.path.join(folder, f) for f in os.listdir(folder)) if os.path.isdir(folder) else []


def journal_bytes(state):
    found = journals(state)
    return open(found[0], "rb").read() if len(found) == 1 else None


def journal_other_than(state, old):
    now = journal_bytes(state)
    return now if now not in (None, old) else None


def read(path):
    with open(path, "rb") as f:
        return f.read()


def chr_file(original, bank, flips):
    """Bank's bytes as the ROM has them, with flips (offset in the bank: XOR mask) applied."""
    data = bytearray(original[CHR_START + bank * 0x400:CHR_START + (bank + 1) * 0x400])
    for at, mask in flips.items():
        data[at] ^= mask
    return bytes(data)


def edited(original, bank, flips):
    image = bytearray(original)
    for at, mask in flips.items():
        image[CHR_START + bank * 0x400 + at] ^= mask
    return bytes(image)


def crash_then_restore(work, rom, state, original):
    flips = {0x005: 0xFF, 0x2A1: 0x0F}
    other = {0x0FE: 0x80}
    with open(os.path.join(work, "a.chr"), "wb") as f:
        f.write(chr_file(original, 0x3F, flips))
    with open(os.path.join(work, "b.chr"), "wb") as f:
        f.write(chr_file(original, 0x10, other))

    viewer = Viewer(work, rom)
    viewer.import_chr(os.path.join(work, "a.chr"), 0x3F)
    wait_for("the unsaved mark", lambda: viewer.caption().endswith(UNSAVED))
    first = wait_for("the first journal", lambda: journal_bytes(state))
    # A second edit, then its undo: the journal follows each, at most a second late.
    viewer.import_chr(os.path.join(work, "b.chr"), 0x10)
    second = wait_for("the journal of both edits", lambda: journal_other_than(state, first))
    viewer.keys(viewer.main, "ctrl+z")
    wait_for("the journal after the undo", lambda: journal_other_than(state, second))
    viewer.kill()
    if read(rom) != original:
        fail("the ROM file changed before any save")
    if not journals(state):
        fail("no journal was left by the killed program")

    restore_and_save(Viewer(work, rom), rom, state, edited(original, 0x3F, flips))


def restore_and_save(viewer, rom, state, expected):
    """復元 in the box the viewer shows as it starts, then a save over the file; Expected is what it holds then."""
    viewer.answer("Return")  # 復元, the box's default
    wait_for("the restored edits in the caption", lambda: viewer.caption() == CAPTION + rom + UNSAVED)
    viewer.keys(viewer.main, "ctrl+s")
    viewer.answer("y")  # overwrite the file opened: はい
    wait_for("the saved caption", lambda: viewer.caption() == CAPTION + rom)
    viewer.close()
    saved = read(rom)
    if saved != expected:
        differ = [hex(i) for i in range(len(expected)) if i >= len(saved) or saved[i] != expected[i]]
        fail("the saved ROM is not the original with the edit applied; bytes differ at " + ", ".join(differ[:10]))
    if journals(state):
        fail("the journal is still there after saving: %s" % journals(state))


def crash_then_restore_at_start(work, rom, state, original):
    """Started with no ROM after the crash: the journal left is offered, and 復元 opens its ROM with the edits."""
    flips = {0x3FF: 0x01}
    with open(os.path.join(work, "d.chr"), "wb") as f:
        f.write(chr_file(original, 0xFF, flips))
    viewer = Viewer(work, rom)
    viewer.import_chr(os.path.join(work, "d.chr"), 0xFF)
    wait_for("the journal", lambda: journal_bytes(state))
    viewer.kill()
    restore_and_save(Viewer(work), rom, state, edited(original, 0xFF, flips))


def crash_then_discard(work, rom, state, original):
    flips = {0x123: 0x55}
    with open(os.path.join(work, "c.chr"), "wb") as f:
        f.write(chr_file(original, 0x20, flips))
    viewer = Viewer(work, rom)
    viewer.import_chr(os.path.join(work, "c.chr"), 0x20)
    wait_for("the journal", lambda: journal_bytes(state))
    viewer.kill()

    viewer = Viewer(work, rom)
    viewer.answer("Tab", "space")  # 破棄, next after 復元
    wait_for("the journal to go", lambda: not journals(state))
    if viewer.caption().endswith(UNSAVED):
        fail("the discarded edits were applied: " + viewer.caption())
    viewer.close()
    if read(rom) != original:
        fail("the ROM changed after the edits were discarded")


def main():
    work = os.path.realpath(tempfile.mkdtemp())
    # Never the user's settings, recent files or journals; the toolkit's plain look, whose
    # message boxes order their buttons as the keys above expect.
    os.environ.update(XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_STATE_HOME=os.path.join(work, "state"),
                      XDG_CACHE_HOME=os.path.join(work, "cache"), QT_QPA_PLATFORMTHEME="generic",
                      DBUS_SESSION_BUS_ADDRESS="disabled:")
    for name in ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                 "QT_SCALE_FACTOR"):
        os.environ.pop(name, None)
    # Under the sanitizers: fontconfig's caches live to the end, not leaks of ours.
    with open(os.path.join(work, "lsan.supp"), "w") as f:
        f.write("leak:libfontconfig.so\nleak:libdbus-1.so\n")
    os.environ["LSAN_OPTIONS"] = "suppressions=" + os.path.join(work, "lsan.supp")
    state = os.environ["XDG_STATE_HOME"]
    try:
        subprocess.run(["cp", PALETTE, os.path.join(work, "fcpalette.pal")], check=True)
        os.mkdir(os.path.join(work, "roms"))
        rom = os.path.join(work, "roms", "demo.nes")
        subprocess.run([MAKE_DEMO_ROM, rom], check=True)
        original = read(rom)
        begun = time.monotonic()
        crash_then_restore(work, rom, state, original)
        # Again on the file as first made: 破棄.
        with open(rom, "wb") as f:
            f.write(original)
        crash_then_discard(work, rom, state, original)
        crash_then_restore_at_start(work, rom, state, original)
        print("the killed viewer's edits came back byte for byte, or were dropped, as answered (%.1f s)"
              % (time.monotonic() - begun))
        return 0
    except AssertionError as error:
        print("FAIL:", error)
        for log in sorted(f for f in os.listdir(work) if f.startswith("viewer-")):
            print("--", log, "--\n" + open(os.path.join(work, log)).read())
        return 1
    finally:
        for process in started:
            if process.poll() is None:
                process.kill()
                process.wait()
        subprocess.run(["rm", "-rf", work])


if __name__ == "__main__":
    # Stopped from outside (a timeout): the programs it started go too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
