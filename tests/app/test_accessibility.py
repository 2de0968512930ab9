#!/usr/bin/python3
"""The running tool as a screen reader meets it: the real AT-SPI bus, keys typed on the display.

Run on a display with a session bus (CTest wraps it in xvfb-run and dbus-run-session). A copy of
the tool runs in a temporary directory, with the virtual phone linked as COM1 there.
"""
import ctypes
import os
import pathlib
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

import pyatspi
from gi.repository import GLib

TAB, UP, DOWN, RIGHT, RETURN, ESCAPE, END = 0xFF09, 0xFF52, 0xFF54, 0xFF53, 0xFF0D, 0xFF1B, 0xFF57
# Modifiers pressed and released on their own go by key code: Shift_L and Alt_L in the X server's
# default keymap.
SHIFT, ALT = 50, 64

PR_SET_PDEATHSIG = 1
prctl = ctypes.CDLL(None, use_errno=True).prctl

WORKING = "Moment prosím, pracuji"


def radio(caption, group):
    return f"radio button | {caption} | {group} | checked"


def field(name, text):
    return f"text | {name} |  | {text}"


def button(name):
    return f"push button | {name} |  | "


def code(position, text):
    meaning = f"Číslo které uložíte na {position}. pozici SIM"
    return f"text | {meaning} | {meaning} | {text}"


def tabs(name):
    return f"page tab list | {name} |  | "


def tab(name):
    return f"page tab | {name} |  | "


# What the reader says at each stop, after the key that leads there: role | name | labelled by |
# what the control shows. Down on a radio group or a list changes the choice, and the codes with it.
CONFIGURATION = [
    (TAB, radio("Autentizace vypnuta", "Autentizace")),
    (DOWN, radio("Autentizace zapnuta", "Autentizace")),
    (TAB, radio("Zapnout / Vypnout", "Funkce Relé 2")),
    (TAB, radio("Ne", "Opakovat volání při poplachu ?")),
    (TAB, radio("Ne", "Odeslat SMS při poplachu ?")),
    (TAB, radio("Ne", "Udržení kreditu")),
    (TAB, code(5, "+000000000001")),
    (TAB, radio("1   (ovládání z 1.čísla na SIM)", "Počet ovládacích čísel ze SIM")),
    (TAB, radio("Ne", "Testování optočlenů")),
    (TAB, "combo box | 0 | Minuty, Čas pro možnost deaktivace | "),
    (TAB, "combo box | 0 | Sekundy, Čas pro možnost deaktivace | "),
    (TAB, "combo box | 0 | Minuty, Čas po aktivaci | "),
    (DOWN, "combo box | 1 | Minuty, Čas po aktivaci | "),
    (TAB, "combo box | 0 | Sekundy, Čas po aktivaci | "),
    (TAB, code(6, "+000000000010")),
    (TAB, button("Parametry v aplikaci vymazat")),
    (TAB, button("Načíst konfiguraci z telefonu")),
    (TAB, button("Uložit konfiguraci do telefonu")),
    (TAB, button("Načíst konfiguraci ze souboru")),
    (TAB, button("Uložit konfiguraci do souboru")),
    (TAB, tabs("Konfigurace")),
]
NUMBERS = [(RIGHT, tab("Telefonní čísla"))] + [
    (TAB, field(f"{n}. pozice - {kind}", text))
    for n, number, name in [(1, "+420603123456", "Priklad"), (2, "", ""), (3, "", ""), (4, "", "")]
    for kind, text in [("číslo", number), ("jméno", name)]
] + [
    (TAB, button(name))
    for name in ["Čísla v aplikaci vymazat", "Načíst telefonní čísla z telefonu",
                 "Uložit telefonní čísla do telefonu", "Načíst čísla ze souboru", "Uložit čísla do souboru"]
] + [(TAB, tabs("Telefonní čísla"))]
SMS = [(RIGHT, tab("Úprava SMS")), (TAB, field("Číslo Vašeho SMS centra", "+420603052000"))] + [
    (TAB, field(f"Vstup {row} - {kind}", text))
    for row, message in [("OK2", "OK2"), ("OK3", "OK3"), ("OK4", "OK4"), ("OK1", "Poplach")]
    for kind, text in [("telefonní číslo", "+420603123456"), ("text SMS", message)]
] + [
    (TAB, button(name))
    for name in ["Načti SMS z telefonu", "Ulož SMS do telefonu", "Vymazat všechny SMS v telefonu",
                 "Uložit SMS do souboru", "Načíst SMS ze souboru"]
] + [(TAB, tabs("Úprava SMS"))]
# Alt takes the keyboard into the menu bar; the About window opens from its menu.
ABOUT = [
    (ALT, "menu item | Port |  | "),
    (RIGHT, "menu item | Zálohy |  | "),
    (RIGHT, "menu item | O aplikaci |  | "),
    (DOWN, "menu item | Nápověda |  | "),
    (DOWN, "menu item | O aplikaci |  | "),
    (RETURN, "link | Odkaz na internetovou stránku autora |  | https://www.korvex.example"),
    (TAB, button("OK")),
    (TAB, "link | Odkaz na internetovou stránku autora |  | https://www.korvex.example"),
]


def pump(seconds):
    loop = GLib.MainLoop()
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()


def wait_until(condition, seconds=10):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        pump(0.05)
    return condition()


def find(root, match):
    if match(root):
        return root
    for child in root:
        found = child and find(child, match)
        if found:
            return found
    return None


def labels(accessible):
    return ", ".join(relation.getTarget(i).name for relation in accessible.getRelationSet()
                     if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                     for i in range(relation.getNTargets()))


def shown(accessible):
    role = accessible.getRoleName()
    if role == "radio button":
        return "checked" if accessible.getState().contains(pyatspi.STATE_CHECKED) else ""
    if role == "text":
        return accessible.queryText().getText(0, -1)
    if role == "link":
        return accessible.description
    return ""


def describe(accessible):
    return f"{accessible.getRoleName()} | {accessible.name} | {labels(accessible)} | {shown(accessible)}"


class Events:
    """Events as they arrive, asking the tool nothing, so none waits for a tool that is busy."""

    def __init__(self, *types):
        self.seen = []
        self.types = types
        pyatspi.Registry.registerEventListener(self.record, *types)

    def record(self, event):
        self.seen.append((time.monotonic(), event.type, event.source, event.detail1))

    def close(self):
        pyatspi.Registry.deregisterEventListener(self.record, *self.types)

    def of(self, path, kind):
        return [(when, detail) for when, type, source, detail in self.seen
                if source.path == path and type.endswith(kind)]


class TestAccessibility(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="alarmgsm-a11y.")
        cls.addClassCleanup(shutil.rmtree, cls.dir)
        os.mkdir(os.path.join(cls.dir, "dosdevices"))
        cls.sim = os.path.join(cls.dir, "sim.txt")
        link = os.path.join(cls.dir, "dosdevices/com1")
        # Answers a little late, so that a reader can ask during a write for what it shows.
        phone = cls.start([os.environ["ALARMGSM_PHONE"], "--link", link, "--state", cls.sim, "--delay", "150"],
                          stdout=subprocess.PIPE)
        phone.stdout.readline()  # the device, once the link exists
        # The tool keeps its settings beside its executable: a copy keeps the build tree's own.
        shutil.copy(os.environ["ALARMGSM_APP"], cls.dir)
        with open(os.path.join(cls.dir, "setting.ini"), "wb") as settings:
            settings.write(b"COM1\r\n+420603052000\r\n")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        cls.start([os.path.join(cls.dir, "alarmgsm")], env=env)
        desktop = pyatspi.Registry.getDesktop(0)
        tools = lambda: [app for app in desktop if app and app.name == "alarmgsm"]
        assert wait_until(tools, 30), "the tool on the bus"
        cls.app = tools()[0]
        cls.focus = Events("object:state-changed:focused")
        cls.addClassCleanup(cls.focus.close)

    @classmethod
    def start(cls, command, **options):
        # A test that dies must not leave its processes behind.
        orphaned = lambda: prctl(PR_SET_PDEATHSIG, signal.SIGTERM)
        process = subprocess.Popen(command, preexec_fn=orphaned, **options)
        cls.addClassCleanup(cls.stop, process)
        return process

    @staticmethod
    def stop(process):
        process.terminate()
        # Both end cleanly on SIGTERM; a sanitizer's report at exit fails the test here.
        status = process.wait(10)
        assert status == 0, f"{process.args[0]} ended with status {status}"

    def focused(self):
        return next((source for _, _, source, on in reversed(self.focus.seen) if on), None)

    def key(self, keysym):
        if keysym == ALT:
            self.modifier(ALT, pyatspi.KEY_PRESS)
            self.modifier(ALT, pyatspi.KEY_RELEASE)
        else:
            pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)

    def modifier(self, keycode, kind):
        pyatspi.Registry.generateKeyboardEvent(keycode, None, kind)
        pump(0.1)

    def walk(self, stops):
        for keysym, expected in stops:
            self.key(keysym)
            wait_until(lambda: self.focused() and describe(self.focused()) == expected, 3)
            self.assertEqual(describe(self.focused()), expected)

    def control(self, role, name):
        found = find(self.app, lambda candidate: candidate.getRoleName() == role and candidate.name == name)
        self.assertIsNotNone(found, f"{role} {name}")
        return found

    def click(self, accessible):
        x, y, width, height = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + 20, y + height // 2, "b1c")

    def test_1_pages_by_keyboard(self):
        self.click(self.control("page tab list", "Konfigurace"))
        on_tabs = lambda: self.focused() and describe(self.focused()) == tabs("Konfigurace")
        self.assertTrue(wait_until(on_tabs))
        self.walk(CONFIGURATION[:7])
        # The code selected by keyboard, as it would be to copy it.
        code = self.focused().queryText()
        self.modifier(SHIFT, pyatspi.KEY_PRESS)
        self.key(END)
        self.modifier(SHIFT, pyatspi.KEY_RELEASE)
        self.assertTrue(wait_until(lambda: code.getNSelections() == 1))
        self.assertEqual(code.getSelection(0), (0, 13))
        self.walk(CONFIGURATION[7:] + NUMBERS + SMS)

    def test_2_about_window(self):
        self.walk(ABOUT)
        about = next(window for window in self.app if window.name == "O programu")
        link = self.focused()
        actions = link.queryAction()
        self.assertIn("Press", [actions.getName(i) for i in range(actions.nActions)])
        credit = find(about, lambda accessible: accessible.description == "Běžící text")
        self.assertEqual((credit.getRoleName(), credit.name), ("label", "Korvex © 2005"))
        names = Events("object:property-change:accessible-name")
        pump(0.5)  # thirty frames of the running line
        names.close()
        self.assertEqual(names.of(credit.path, "accessible-name"), [])
        self.key(ESCAPE)
        self.assertTrue(wait_until(lambda: not about.getState().contains(pyatspi.STATE_SHOWING)))

    def test_3_progress_of_a_write_and_busy_text_of_a_read(self):
        page = self.control("panel", "Číslo které uložíte na 5. pozici SIM").parent
        gauge = find(page, lambda accessible: accessible.getRoleName() == "progress bar")
        busy = page[gauge.getIndexInParent() - 1]
        self.assertEqual((gauge.name, busy.getRoleName()), ("Průběh", "label"))

        self.click(self.control("page tab", "Konfigurace"))
        # The tool answers while the write waits for the phone: at each step a reader asks for the busy text and
        # the progress and gets them as they are.
        during = []

        def read_progress(event):
            if event.source.path == gauge.path:
                during.append((busy.name, gauge.queryValue().currentValue))

        pyatspi.Registry.registerEventListener(read_progress, "object:property-change:accessible-value")
        self.control("push button", "Uložit konfiguraci do telefonu").queryAction().doAction(0)
        self.assertTrue(wait_until(lambda: len(during) >= 3 and not busy.name, 20))
        pyatspi.Registry.deregisterEventListener(read_progress, "object:property-change:accessible-value")
        # Both entries go on one line, so the reader meets the write at its last step at least.
        working = sorted({value for text, value in during if text == WORKING})
        self.assertIn(100, working, during)
        # The backup's read of positions 5 and 6 takes the first half of the gauge.
        self.assertTrue(set(working) <= {0, 25, 50, 62, 75, 100}, during)
        value = gauge.queryValue()
        self.assertEqual((value.minimumValue, value.currentValue, value.maximumValue), (0, 100, 100))
        sim = pathlib.Path(self.sim)
        self.assertTrue(wait_until(lambda: '"+000000000010" 145 "Casy"' in sim.read_text()))

        # While a read waits for the phone the tool answers, so the busy text and the gauge are read live.
        during = []

        def read_busy(event):
            if event.source.path == busy.path and event.source.name:
                showing = gauge.getState().contains(pyatspi.STATE_SHOWING)
                during.append((event.source.name, showing, gauge.queryValue().currentValue))

        pyatspi.Registry.registerEventListener(read_busy, "object:property-change:accessible-name")
        self.control("push button", "Načíst konfiguraci z telefonu").queryAction().doAction(0)
        self.assertTrue(wait_until(lambda: during and not busy.name, 20))
        pyatspi.Registry.deregisterEventListener(read_busy, "object:property-change:accessible-name")
        self.assertEqual(during, [(WORKING, True, 0)])
        code = self.control("text", "Číslo které uložíte na 6. pozici SIM")
        self.assertEqual(code.queryText().getText(0, -1), "+000000000010")

    def test_4_backup_of_a_write_back_into_its_page(self):
        # The SIM holds what test 3 wrote; writing again keeps a copy of it first.
        write = self.control("push button", "Uložit konfiguraci do telefonu")
        clear = self.control("push button", "Parametry v aplikaci vymazat")
        code = self.control("text", "Číslo které uložíte na 6. pozici SIM").queryText()
        write.queryAction().doAction(0)
        backups = pathlib.Path(self.dir, "zalohy")
        self.assertTrue(wait_until(lambda: list(backups.glob("sim-*.par")), 20))
        self.assertTrue(wait_until(lambda: write.getState().contains(pyatspi.STATE_SENSITIVE), 20))
        clear.queryAction().doAction(0)
        self.assertTrue(wait_until(lambda: code.getText(0, -1) == "+000000000000"))

        self.walk([(ALT, "menu item | Port |  | "), (RIGHT, "menu item | Zálohy |  | ")])
        self.key(DOWN)
        entry = re.compile(r"menu item \| \d+\. \d+\. \d{4} \d+:\d\d:\d\d – Konfigurace – "
                           r"\+000000000001, \+000000000010 \|  \| $")
        self.assertTrue(wait_until(lambda: self.focused() and entry.match(describe(self.focused())), 3),
                        describe(self.focused()))
        menu = self.focused().parent
        self.assertEqual((menu.getRoleName(), menu.description),
                         ("popup menu", "Kopie toho, co zápisy ze stránek na SIM přepsaly, nejnovější nahoře; "
                                        "vybraná se načte do své stránky"))
        self.walk([(DOWN, "menu item | Otevřít složku se zálohami |  | ")])
        self.key(UP)
        self.assertTrue(wait_until(lambda: entry.match(describe(self.focused())), 3))
        self.key(RETURN)
        self.assertTrue(wait_until(lambda: code.getText(0, -1) == "+000000000010"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
