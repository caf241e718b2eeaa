#!/usr/bin/python3
"""Reads Vorex's main window through the accessibility bus (AT-SPI), as a screen reader does, and
checks what it exposes: the window title, the captions of the top-level menus, the captions,
enabled states and key bindings of the File and Fractal menus, and the five status line panels
before, during and after a computation started from the Fractal menu, in English and in French.

Every expected text comes from tests/data/texts.tsv, the transcription of the bilingual tables,
or from the documents this script creates with vorex-cli; the enable rules are those of the
command table.

It must run inside a D-Bus session and an X display (scripts/a11y-test.sh sets both up):

    main_window.py --vorex build/vorex --cli build/vorex-cli --texts tests/data/texts.tsv

Options: --language 0|1 (repeatable; default both), -v (print every check), --keep (keep the
temporary directory), and three further checks: --picture (the picture is exposed as an image
named after what it shows), --menu-names (an opened menu is named after its caption; the picture's
context menu opens from the Menu key and Shift+F10, named after the picture), --dialogs (the
preferences dialog: every control named by its visible text, the colour swatches buttons, OK the
default button; the variables dialog: every field named after its page and label). While a
computation runs, a progress bar named "Progress" gives the percentage of rows done.
Exit status 0 when every check passed, 1 when one failed, 2 when the bus or the program could
not be brought up.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version('Atspi', '2.0')
from gi.repository import Atspi, GLib  # noqa: E402

# Atspi 2.46 names the action calls of older releases deprecated; they are the ones it has.
warnings.filterwarnings('ignore', category=DeprecationWarning)

VERBOSE = False
MENU_NAMES = False
FAILURES = []

PANEL_COUNT = 5


class SetupError(Exception):
    """The bus or the program could not be brought up: not a finding about the program."""


def log(*args):
    print(*args, flush=True)


def check(condition, what, detail=''):
    if condition:
        if VERBOSE:
            log('  ok   ' + what)
    else:
        FAILURES.append(what + (': ' + detail if detail else ''))
        log('  FAIL ' + what + (': ' + detail if detail else ''))
    return condition


def check_equal(actual, expected, what):
    return check(actual == expected, what, 'read %r, expected %r' % (actual, expected))


# --- texts ------------------------------------------------------------------------------------

class Texts:
    """The bilingual tables of tests/data/texts.tsv: table name, English, French per line."""

    def __init__(self, path):
        self.rows = {}
        with open(path, encoding='utf-8') as f:
            for line in f:
                line = line.rstrip('\n')
                if not line:
                    continue
                table, english, french = line.split('\t')
                self.rows.setdefault(table, []).append((english, french))

    def get(self, table, english, language, occurrence=0):
        found = [r for r in self.rows[table] if r[0] == english]
        if len(found) <= occurrence:
            raise KeyError('%s: no text %r' % (table, english))
        return found[occurrence][language]


def shown(caption):
    """A caption as the platform shows and exposes it: "&" marks the accelerator, "&&" is "&"."""
    return caption.replace('&&', '\0').replace('&', '').replace('\0', '&')


def mnemonic(caption):
    """The accelerator letter of a caption, or None."""
    i = 0
    while i < len(caption) - 1:
        if caption[i] == '&':
            if caption[i + 1] != '&':
                return caption[i + 1]
            i += 1
        i += 1
    return None


def format_general(value):
    """Shortest decimal form with up to 15 significant digits, for values from 1e-5 up."""
    if value == 0:
        return '0'
    assert 1e-5 <= abs(value) < 1e15, value
    text = '%.15g' % value
    assert 'e' not in text, text
    return text


# --- AT-SPI -----------------------------------------------------------------------------------

def role(acc):
    return acc.get_role_name()


def states(acc):
    s = acc.get_state_set()
    return {name for name, st in (('enabled', Atspi.StateType.ENABLED),
                                  ('sensitive', Atspi.StateType.SENSITIVE),
                                  ('visible', Atspi.StateType.VISIBLE),
                                  ('showing', Atspi.StateType.SHOWING),
                                  ('checked', Atspi.StateType.CHECKED))
            if s.contains(st)}


def children(acc):
    result = []
    for i in range(acc.get_child_count()):
        c = acc.get_child_at_index(i)
        if c is not None:
            result.append(c)
    return result


def find_all(acc, wanted_role, depth=0, out=None):
    if out is None:
        out = []
    if role(acc) == wanted_role:
        out.append(acc)
    if depth < 12:
        for c in children(acc):
            find_all(c, wanted_role, depth + 1, out)
    return out


def key_binding(acc):
    try:
        if acc.get_n_actions() == 0:
            return ''
        return acc.get_key_binding(0) or ''
    except GLib.Error:
        return ''


def do_action(acc, name):
    """Runs the named action of an accessible (menu entries: "Press", menus: "ShowMenu")."""
    for i in range(acc.get_n_actions()):
        if acc.get_action_name(i) == name:
            acc.do_action(i)
            return
    raise AssertionError('%r has no action %r' % (acc.get_name(), name))


def retrying(fn, timeout=10.0):
    """Calls fn until it returns without an AT-SPI error (the bus may be busy)."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            return fn()
        except GLib.Error:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.1)


def wait_for(fn, timeout, what):
    """Polls fn until it returns something true; returns it, or raises with the last value."""
    deadline = time.monotonic() + timeout
    last = None
    while time.monotonic() < deadline:
        try:
            last = fn()
            if last:
                return last
        except GLib.Error as e:
            last = 'AT-SPI error: %s' % e
        time.sleep(0.1)
    raise SetupError('timed out after %.0f s waiting for %s (last: %r)' % (timeout, what, last))


# --- the program ------------------------------------------------------------------------------

class Window:
    """One running Vorex and its main window on the accessibility bus."""

    def __init__(self, proc, app):
        self.proc = proc
        self.app = app
        self.frame = None
        self.menu_bar = None
        self.status_bar = None

    def locate(self):
        frames = [f for f in children(self.app) if role(f) == 'frame' and find_all(f, 'menu bar')]
        if not frames:
            return False
        self.frame = frames[0]
        self.menu_bar = find_all(self.frame, 'menu bar')[0]
        bars = find_all(self.frame, 'status bar')
        self.status_bar = bars[0] if bars else None
        return self.status_bar is not None

    def title(self):
        return self.frame.get_name()

    def panels(self):
        labels = [c for c in children(self.status_bar) if role(c) == 'label']
        return [c.get_name() for c in labels]

    def top_items(self):
        return [c for c in children(self.menu_bar) if role(c) == 'menu item']

    def menu_entries(self, top_index):
        """The entries of a drop-down menu: (accessible, caption) without the separators."""
        top = self.top_items()[top_index]
        popups = [c for c in children(top) if role(c) in ('menu', 'popup menu')]
        if not popups:
            return []
        return [c for c in children(popups[0]) if role(c) in ('menu item', 'check menu item',
                                                               'radio menu item')]


def start_a11y_bus():
    """Starts the accessibility bus of this session (it is activated on first use). The services it
    starts learn the X display first, so that its registry can type keys as the keyboard does."""
    if shutil.which('dbus-update-activation-environment'):
        subprocess.run(['dbus-update-activation-environment', 'DISPLAY', 'XAUTHORITY'],
                       stdin=subprocess.DEVNULL, capture_output=True)
    deadline = time.monotonic() + 20
    while True:
        r = subprocess.run(['dbus-send', '--session', '--print-reply', '--dest=org.a11y.Bus',
                            '/org/a11y/bus', 'org.a11y.Bus.GetAddress'],
                           stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if r.returncode == 0 and 'unix:' in r.stdout:
            return
        if time.monotonic() > deadline:
            raise SetupError('the accessibility bus does not start: ' + r.stderr.strip())
        time.sleep(0.5)


def write_preferences(directory, language, recent=()):
    lines = ['[Prefer]', 'Lang=%d' % language, 'Beep=0', 'Wst=0', 'Wid=900', 'Hei=640', 'Hint=0']
    if recent:
        lines.append('[LFiles]')
        for i, path in enumerate(recent):
            lines.append('L%03d=%s' % (i + 1, path))
    with open(os.path.join(directory, 'Vorex.cfg'), 'w', encoding='utf-8') as f:
        f.write('\r\n'.join(lines) + '\r\n')


def launch(vorex, work, language, document=None, recent=()):
    """Runs a copy of vorex from a directory of its own, with preferences written there."""
    program_dir = tempfile.mkdtemp(prefix='prog-', dir=work)
    program = os.path.join(program_dir, 'vorex')
    shutil.copy2(vorex, program)
    write_preferences(program_dir, language, recent)
    env = dict(os.environ)
    env.update({'QT_LINUX_ACCESSIBILITY_ALWAYS_ON': '1', 'QT_ACCESSIBILITY': '1',
                'QT_QPA_PLATFORM': 'xcb', 'XDG_CONFIG_HOME': os.path.join(work, 'config'),
                'LC_ALL': 'C.UTF-8'})
    env.pop('QT_SCALE_FACTOR', None)
    args = [program] + ([document] if document else [])
    out = open(os.path.join(program_dir, 'output.txt'), 'w')
    proc = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=out,
                            stderr=subprocess.STDOUT, cwd=program_dir)

    def application():
        if proc.poll() is not None:
            raise SetupError('vorex ended at start-up with status %d; output in %s'
                             % (proc.returncode, out.name))
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            try:
                if app.get_process_id() == proc.pid:
                    return app
            except GLib.Error:
                pass
        return None

    try:
        app = wait_for(application, 30, 'vorex on the accessibility bus')
        app.set_cache_mask(Atspi.Cache.NONE)
        w = Window(proc, app)
        wait_for(w.locate, 20, 'the main window, its menus and its status line')
        # The window is ready when the status line has its five panels.
        wait_for(lambda: len(w.panels()) == PANEL_COUNT or None, 20, 'the five status panels')
        return w
    except Exception:
        stop(proc)
        raise


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(5)


# --- what the window must expose ---------------------------------------------------------------

TOP_MENUS = ['&File', 'F&ractal', '&Colors', '&3D', '&Mesuring', 'Fil&ters', '&About']
FILE_ENTRIES = ['&New Fractal', '&Open Fractal', '&Save Fractal', 'Save &As', '&Export Image',
                'Printer &Configuration', '&Print Fractal', 'Print Fractal Parameters',
                'Fractal Infos', 'P&references', None, None, None, None, 'E&xit']
FRACTAL_ENTRIES = ['&Variables', '&Compute', '&Stop Computing', '&Erase Fractal', '&Poster',
                   '&Touching up', ('NavigationText', '&Back'), ('NavigationText', '&Forward')]
# Entries with a shortcut of their own, exposed as their key binding.
SHORTCUTS = {('NavigationText', '&Back'): 'alt+left', ('NavigationText', '&Forward'): 'alt+right'}
# Entries whose feature is still to come: shown disabled (pendingCommands in ui/CommandTable.cpp).
PENDING = set()
DEPTH_NAMES = {8: '8 bit', 24: '24 bit'}


class State:
    """What the enable rules look at."""

    def __init__(self, image, idle=True, modified=False, stale=False, depth=8, recent=()):
        self.image = image
        self.idle = idle
        self.modified = modified
        self.stale = stale
        self.depth = depth
        self.recent = list(recent) + [''] * (4 - len(recent))


def top_rules(s):
    no_filter = True
    return [True, no_filter, no_filter, s.image and no_filter, s.image,
            s.image and s.depth == 24, True]


def file_rules(s):
    """(enabled, visible) of each File entry; None where the rule does not fix the state."""
    rules = [s.idle, s.idle, s.idle and s.modified and s.image,
             s.idle and s.image and not s.stale, s.image, True, s.idle and s.image,
             s.idle and s.image, s.image, True]
    rules = [r and FILE_ENTRIES[i] not in PENDING for i, r in enumerate(rules)]
    result = [(r, True) for r in rules]
    result += [(None, bool(path)) for path in s.recent]
    result.append((True, True))
    return result


def fractal_rules(s):
    # The view history is empty in these scenarios: Back and Forward are disabled.
    rules = [s.idle, s.idle and s.image, not s.idle, s.idle and s.image,
             s.idle and s.image and not s.stale, s.idle and s.image and not s.stale, False, False]
    return [r and FRACTAL_ENTRIES[i] not in PENDING for i, r in enumerate(rules)]


def caption_text(texts, caption, language):
    """A menu caption: an entry of the main-menu table, or (table, English text) of another table."""
    if isinstance(caption, tuple):
        return texts.get(caption[0], caption[1], language)
    return texts.get('MainMenuText', caption, language)


def recent_caption(path):
    directory, name = os.path.split(path)
    return (directory + '/')[:8] + '...' + name[:15]


def open_menu(w, index):
    """Opens a drop-down menu as a user does: its entries then show the rules applied on opening."""
    do_action(w.top_items()[index], 'ShowMenu')
    # The first entry may be hidden by the menu's rules: any entry shown tells that the menu is open.
    wait_for(lambda: any('showing' in states(e) for e in w.menu_entries(index)), 10, 'a menu to open')


def check_menus(w, texts, language, state, label):
    """Captions, key bindings and enabled states of the top-level, File and Fractal menus, each
    menu read while it is open, as a user meets it."""
    open_menu(w, 0)
    tops = w.top_items()
    check_equal([t.get_name() for t in tops],
                [shown(texts.get('MainMenuText', c, language)) for c in TOP_MENUS],
                '%s: captions of the menu bar' % label)
    for item, caption, enabled in zip(tops, TOP_MENUS, top_rules(state)):
        text = texts.get('MainMenuText', caption, language)
        check_equal('enabled' in states(item), enabled,
                    '%s: menu %r enabled' % (label, shown(text)))
        letter = mnemonic(text)
        check_equal(key_binding(item).lower(), 'alt+' + letter.lower(),
                    '%s: key binding of menu %r' % (label, shown(text)))

    def entries(index, captions, rules, menu):
        items = w.menu_entries(index)
        expected_names = []
        for i, caption in enumerate(captions):
            if caption is not None:
                expected_names.append(shown(caption_text(texts, caption, language)))
            else:
                path = state.recent[i - captions.index(None)]
                expected_names.append(recent_caption(path) if path else None)
        if not check_equal(len(items), len(captions), '%s: number of entries of the %s menu'
                           % (label, menu)):
            return
        for item, caption, name, (enabled, visible) in zip(items, captions, expected_names, rules):
            what = '%s: %s menu entry %r' % (label, menu, name if name is not None else 'recent')
            st = states(item)
            check_equal('visible' in st, visible, what + ' visible')
            if not visible:
                continue
            check_equal(item.get_name(), name, what + ' caption')
            if enabled is not None:
                check_equal('enabled' in st, enabled, what + ' enabled')
            if caption is not None:
                letter = mnemonic(caption_text(texts, caption, language))
                binding = key_binding(item)
                if caption in SHORTCUTS:
                    check_equal(binding.lower(), SHORTCUTS[caption], what + ' key binding')
                elif letter and binding.lower().startswith('alt+'):
                    check_equal(binding.lower(), 'alt+' + letter.lower(), what + ' key binding')
                elif letter:
                    check(binding != '', what + ' has a key binding', 'none exposed')

    if MENU_NAMES:
        for index in (0, 1):
            caption = shown(texts.get('MainMenuText', TOP_MENUS[index], language))
            popups = [c for c in children(w.top_items()[index]) if role(c) in ('menu', 'popup menu')]
            name = popups[0].get_name() if popups else None
            check_equal(name, caption, '%s: name of the opened menu %r' % (label, caption))
    entries(0, FILE_ENTRIES, file_rules(state), 'File')
    open_menu(w, 1)
    entries(1, FRACTAL_ENTRIES, [(r, True) for r in fractal_rules(state)], 'Fractal')


def check_panels(w, expected, label):
    panels = w.panels()
    if not check_equal(len(panels), PANEL_COUNT, '%s: number of status panels' % label):
        return
    names = ['line', 'size', 'type', 'scale', 'message']
    for i, (actual, want) in enumerate(zip(panels, expected)):
        if want is None:
            continue
        if i == 4:
            # A single blank is a message too: it reads as nothing.
            actual = actual.strip()
        check_equal(actual, want, '%s: status panel %d (%s)' % (label, i, names[i]))


def picture(w):
    images = find_all(w.frame, 'image')
    return images[0] if images else None


def check_picture(w, texts, language, doc, label):
    pic = picture(w)
    if not check(pic is not None, '%s: the picture is exposed as an image' % label, 'not found'):
        return
    if doc is None:
        check_equal(pic.get_name(), '', '%s: name of the empty picture' % label)
        return
    expected = '%s, %s, %s %s, %s %s, %s %s' % (
        doc['type_text'][language], doc['size_text'],
        texts.get('VariablesText', 'X Center:', language), format_general(doc['x']),
        texts.get('VariablesText', 'Y Center:', language), format_general(doc['y']),
        texts.get('VariablesText', 'Calculation step:', language), format_general(doc['step']))
    check_equal(pic.get_name(), expected, '%s: name of the picture' % label)


# --- documents --------------------------------------------------------------------------------

def cli_info(cli, path):
    r = subprocess.run([cli, 'info', path], capture_output=True, text=True, stdin=subprocess.DEVNULL)
    if r.returncode != 0:
        raise SetupError('vorex-cli info %s failed: %s' % (path, r.stderr.strip()))
    info = {}
    for line in r.stdout.splitlines():
        if ':' in line:
            key, value = line.split(':', 1)
            info[key.strip()] = value.strip()
    return info


def make_document(cli, path, texts, interrupt_after=None, **options):
    args = [cli, 'new', '--quiet', '-o', path]
    for key, value in options.items():
        args += ['--' + key.replace('_', '-'), str(value)]
    if interrupt_after is None:
        r = subprocess.run(args, capture_output=True, text=True, stdin=subprocess.DEVNULL)
        if r.returncode != 0:
            raise SetupError('%s failed: %s' % (' '.join(args), r.stderr.strip()))
    else:
        # A document whose computation is long: stopped early, it is saved with the row to
        # resume from. Stopped before its computation began, it may not be written: wait longer.
        for attempt in range(4):
            p = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE, text=True)
            time.sleep(interrupt_after * (3 ** attempt))
            p.send_signal(signal.SIGINT)
            _, err = p.communicate(timeout=120)
            if p.returncode in (0, 130) and os.path.exists(path):
                break
        else:
            raise SetupError('%s: status %d: %s' % (' '.join(args), p.returncode, err.strip()))
    info = cli_info(cli, path)
    width, height = (int(v) for v in options['size'].split('x'))
    depth = int(options.get('depth', 8))
    algorithm = int(options.get('algorithm', 0))
    # A computation stopped before its first row was finished is saved with ResumeLine = Height:
    # the next one starts from row 0 (on a loaded machine the stop may come that early).
    resume = int(info['ResumeLine'])
    doc = {'path': path, 'width': width, 'height': height, 'depth': depth,
           'resume': 0 if resume >= height else resume, 'x': float(info['X Center']),
           'y': float(info['Y Center']), 'step': float(info['Calculation step'])}
    doc['size_text'] = '%dx%dx%s' % (width, height, DEPTH_NAMES[depth])
    # The type name is the catalogue's, the same in both languages; the algorithm name is in the
    # current language; Mandelbrot with Level also names its formula.
    type_name = info['Fractal']
    algorithm_rows = texts.rows['CatalogueList::Algorithms'][algorithm]
    type_texts = []
    for language in (0, 1):
        t = type_name
        if int(options.get('type', 0)) == 0 and algorithm == 0:
            t += ' ' + {0: 'Z^2+C', 1: 'Z^3+C', 2: 'Z^4+C', 3: 'Z^8+C', 4: 'Z^2+C^2'}[
                int(options.get('formula', 0))]
        type_texts.append(t + ' / ' + algorithm_rows[language])
    doc['type_text'] = type_texts
    return doc


# --- scenarios --------------------------------------------------------------------------------

def menu_entry(w, top_index, position):
    return w.menu_entries(top_index)[position]


def scenario_empty(args, texts, language, work):
    """No document: the start-up picture of 1 x 1 pixel."""
    label = '%s, no document' % LANGUAGE_NAMES[language]
    w = launch(args.vorex, work, language)
    try:
        retrying(lambda: check_equal(w.title(), 'Vorex', label + ': window title'))
        retrying(lambda: check_panels(w, ['', '', '', '', ''], label))
        retrying(lambda: check_menus(w, texts, language, State(image=False), label))
        if args.picture:
            retrying(lambda: check_picture(w, texts, language, None, label))
    finally:
        stop(w.proc)


def wait_idle(w, timeout):
    """Waits until the Fractal menu offers Compute again and no longer Stop."""
    def idle():
        compute, stop_entry = menu_entry(w, 1, 1), menu_entry(w, 1, 2)
        return 'enabled' in states(compute) and 'enabled' not in states(stop_entry)
    wait_for(idle, timeout, 'the computation to end')


def scenario_compute(args, texts, language, work, doc, recent):
    """A small document given on the command line, computed from the Fractal menu."""
    label = '%s, %s' % (LANGUAGE_NAMES[language], os.path.basename(doc['path']))
    w = launch(args.vorex, work, language, doc['path'], recent)
    try:
        expected_before = ['', doc['size_text'], doc['type_text'][language], '100%', '']
        retrying(lambda: check_equal(w.title(), 'Vorex: ' + os.path.splitext(
            os.path.basename(doc['path']))[0], label + ': window title'))
        retrying(lambda: check_panels(w, expected_before, label + ', before computing'))
        if args.picture:
            retrying(lambda: check_picture(w, texts, language, doc, label + ', before computing'))
        state = State(image=True, depth=doc['depth'], recent=recent)
        retrying(lambda: check_menus(w, texts, language, state, label + ', before computing'))
        if MENU_NAMES:
            check_context_menu(w, texts, language, label)

        working = texts.get('StatusText', 'Working... Press [Esc] to stop', language)
        seen = set()
        do_action(menu_entry(w, 1, 1), 'Press')

        def finished():
            # Computing marks the document modified: at the end the menus offer Save, Compute
            # and no longer Stop.
            seen.add(w.panels()[4])
            save, compute, stop_entry = menu_entry(w, 0, 2), menu_entry(w, 1, 1), menu_entry(w, 1, 2)
            return ('enabled' in states(save) and 'enabled' in states(compute)
                    and 'enabled' not in states(stop_entry))
        wait_for(finished, 60, 'the computation to end')
        unexpected = {s for s in seen if s.strip() not in ('', working)}
        check(not unexpected, label + ': message panel while computing',
              'read %r, expected only %r or nothing' % (sorted(unexpected), working))

        expected_after = ['', doc['size_text'], doc['type_text'][language], '100%', '']
        retrying(lambda: check_panels(w, expected_after, label + ', after computing'))
        if args.picture:
            retrying(lambda: check_picture(w, texts, language, doc, label + ', after computing'))
        # The computation modified the document: Save is offered now.
        state = State(image=True, modified=True, depth=doc['depth'], recent=recent)
        retrying(lambda: check_menus(w, texts, language, state, label + ', after computing'))
    finally:
        stop(w.proc)


def scenario_stop(args, texts, language, work, doc):
    """A long computation: the status line while it runs, then Stop Computing."""
    label = '%s, %s' % (LANGUAGE_NAMES[language], os.path.basename(doc['path']))
    w = launch(args.vorex, work, language, doc['path'])
    try:
        retrying(lambda: check_panels(w, ['', doc['size_text'], doc['type_text'][language],
                                          '100%', ''], label + ', before computing'))
        working = texts.get('StatusText', 'Working... Press [Esc] to stop', language)
        do_action(menu_entry(w, 1, 1), 'Press')
        # Panel 0 shows the line being computed once the first line is done.
        try:
            panels = wait_for(lambda: (lambda p: p if p[0] else None)(w.panels()), 60,
                              'a line number in status panel 0')
        except SetupError as e:
            check(False, label + ', computing: status panel 0 (line)', str(e))
            panels = w.panels()
        check_equal(panels[4], working, label + ', computing: status panel 4 (message)')
        line = panels[0]
        check(line.isdigit() and doc['resume'] <= int(line) < doc['height'],
              label + ', computing: status panel 0 (line)',
              'read %r, expected a line number from %d to %d' % (line, doc['resume'],
                                                                  doc['height'] - 1))
        check_equal(panels[1:4], [doc['size_text'], doc['type_text'][language], '100%'],
                    label + ', computing: status panels 1 to 3')
        bars = [b for b in find_all(w.frame, 'progress bar') if 'showing' in states(b)]
        progress = texts.get('NavigationText', 'Progress', language)
        if check_equal([b.get_name() for b in bars], [progress], label + ', computing: the progress bar'):
            value = bars[0].get_value_iface().get_current_value()
            check(0 <= value <= 100, label + ', computing: value of the progress bar',
                  'read %r, expected a percentage' % value)
        state = State(image=True, idle=False, modified=True, depth=doc['depth'])
        retrying(lambda: check_menus(w, texts, language, state, label + ', computing'))

        do_action(menu_entry(w, 1, 2), 'Press')
        wait_idle(w, 30)
        check_equal([b.get_name() for b in find_all(w.frame, 'progress bar') if 'showing' in states(b)], [],
                    label + ', stopped: no progress bar')
        retrying(lambda: check_panels(w, ['', doc['size_text'], doc['type_text'][language],
                                          '100%', ''], label + ', stopped'))
        state = State(image=True, modified=True, depth=doc['depth'])
        retrying(lambda: check_menus(w, texts, language, state, label + ', stopped'))
    finally:
        stop(w.proc)


# --- the keyboard's reach and the variables dialog ------------------------------------------------

KEY_MENU, KEY_F10, KEY_ESCAPE = 0xff67, 0xffc7, 0xff1b
SHIFT_MASK = 1


def press_key(keysym, shift=False):
    """A key pressed and released as the keyboard does (through XTest), with Shift held if asked."""
    if shift:
        Atspi.generate_keyboard_event(SHIFT_MASK, None, Atspi.KeySynthType.LOCKMODIFIERS)
    try:
        Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
    finally:
        if shift:
            Atspi.generate_keyboard_event(SHIFT_MASK, None, Atspi.KeySynthType.UNLOCKMODIFIERS)


class ShownMenus:
    """The menus that report they are showing. A context menu is not a child of the application on
    the bus: a screen reader learns of it from its events, and so does this."""

    def __init__(self):
        self.menus = []
        self.listener = Atspi.EventListener.new(self.event)
        self.listener.register('object:state-changed:showing')

    def event(self, e):
        try:
            if e.detail1 and role(e.source) in ('menu', 'popup menu'):
                self.menus.append(e.source)
        except GLib.Error:
            pass

    def named(self, name):
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        for m in self.menus:
            try:
                if m.get_name() == name and 'showing' in states(m):
                    return m
            except GLib.Error:
                pass
        return None

    def close(self):
        self.listener.deregister('object:state-changed:showing')


def check_context_menu(w, texts, language, label):
    """The picture's context menu opened from the keyboard, by the Menu key and by Shift+F10: a menu
    named after the picture, with the entries of the picture's menu, the view history among them."""
    name = shown(texts.get('NavigationText', 'Picture', language))
    wanted = [shown(texts.get('Popup2DText', 'Variables', language)),
              shown(texts.get('Popup2DText', 'Zoom', language)),
              shown(texts.get('NavigationText', '&Back', language)),
              shown(texts.get('NavigationText', '&Forward', language)),
              # The ampersand of this caption is text, not an accelerator mark.
              texts.get('Popup2DText', 'Choose PertZ & PertZi', language)]
    shown_menus = ShownMenus()
    try:
        for keys, shift in (('the Menu key', False), ('Shift+F10', True)):
            what = '%s: context menu by %s' % (label, keys)
            shown_menus.menus.clear()
            press_key(KEY_F10 if shift else KEY_MENU, shift)
            try:
                menu = wait_for(lambda: shown_menus.named(name), 10, 'the menu %r' % name)
            except SetupError as e:
                check(False, what, str(e))
                continue
            entries = [c.get_name() for c in children(menu)
                       if role(c) in ('menu item', 'check menu item', 'radio menu item')]
            for entry in wanted:
                check(entry in entries, '%s: entry %r' % (what, entry), 'entries read: %r' % entries)
            press_key(KEY_ESCAPE)
            wait_for(lambda: 'showing' not in states(menu) or None, 10, 'the menu to close')
    finally:
        shown_menus.close()


def field_name(texts, language, page, label, table='VariablesText'):
    """The name of a field of the variables dialog: its page and its label, without "&" and ":"."""
    def clean(text):
        return shown(text).strip().rstrip(':').strip()
    return clean(texts.get('VariablesText', page, language)) + ': ' + clean(
        texts.get(table, label, language))


def scenario_variables(args, texts, language, work, doc):
    """The variables dialog: every field named after its page and its label, never after its value;
    the lists named after their labels too; no two fields alike."""
    label = '%s, variables dialog' % LANGUAGE_NAMES[language]
    w = launch(args.vorex, work, language, doc['path'])
    try:
        d = open_modal(w, 1, 0, texts.get('VariablesText', 'Fractal variables', language))
        fields = {}
        repeated = []
        for wanted_role in ('text', 'spin button', 'combo box'):
            for c in find_all(d, wanted_role):
                n = c.get_name()
                if wanted_role == 'text' and role(c.get_parent()) in ('combo box', 'spin button'):
                    continue  # the line edit of a list or a spin box is part of it
                if n in fields:
                    repeated.append(n)
                fields[n] = wanted_role
        check(not repeated, label + ': no two fields with the same name', 'repeated: %r' % repeated)
        check('' not in fields, label + ': every field named', 'fields read: %r' % sorted(fields))
        expected = [
            ('&Variables', 'X Center:', 'VariablesText', 'text'),
            ('&Variables', 'Y Center:', 'VariablesText', 'text'),
            ('&Variables', 'Calculation step:', 'VariablesText', 'text'),
            ('&Variables', 'Absolute Scale:', 'VariablesText', 'combo box'),
            ('&Image', 'Width (pixels):', 'VariablesText', 'spin button'),
            ('&Image', 'Heigh (pixels):', 'VariablesText', 'spin button'),
            ('&Image', 'Image Deep:', 'VariablesText', 'combo box'),
            ('&Fractal', 'Fractal Type:', 'VariablesText', 'combo box'),
            ('&Fractal', 'Algorithm:', 'VariablesText', 'combo box'),
            ('&Fractal', 'Iterations max:', 'VariablesText', 'spin button'),
            ('&Fractal', 'Newton degree p', 'NavigationText', 'spin button'),
            ('&Fractal', 'Formula', 'NavigationText', 'combo box'),
        ]
        for page, caption, table, wanted_role in expected:
            n = field_name(texts, language, page, caption, table)
            check_equal(fields.get(n), wanted_role, '%s: field %r' % (label, n))
        corners = [n for n in fields if n.startswith(field_name(texts, language, '&Dimensions', 'Top left corner:'))
                   or n.startswith(field_name(texts, language, '&Dimensions', 'Bottom rigth corner:'))]
        check_equal(len(corners), 4, label + ': the four corner fields named apart')
        # A list is not named after its choice.
        check('Mandelbrot' not in fields, label + ': the type list is not named after its choice',
              'fields read: %r' % sorted(fields))
    finally:
        stop(w.proc)


def open_modal(w, top_index, position, title):
    """Chooses a menu entry that opens a modal dialog and returns the dialog. The entry's action
    is answered only when the dialog closes, so the call is not waited for."""
    # Opening a menu that is already open would close it again.
    if not any('showing' in states(e) for e in w.menu_entries(top_index)):
        open_menu(w, top_index)
    item = menu_entry(w, top_index, position)
    Atspi.set_timeout(300, -1)
    try:
        do_action(item, 'Press')
    except GLib.Error:
        pass  # the expected timeout: the dialog is open
    finally:
        Atspi.set_timeout(-1, -1)

    def dialog():
        for c in children(w.app):
            if role(c) == 'dialog' and c.get_name() == title:
                return c
        return None
    return wait_for(dialog, 20, 'the dialog %r' % title)


def scenario_preferences(args, texts, language, work):
    """The preferences dialog: every control named by its visible text, in the current language;
    the colour swatches reachable from the keyboard; OK the default button."""
    label = '%s, preferences dialog' % LANGUAGE_NAMES[language]
    w = launch(args.vorex, work, language)

    def t(english):
        return texts.get('PreferencesText', english, language)
    try:
        d = open_modal(w, 0, 9, t('Vorex Preferences'))

        def named(wanted_role):
            return {c.get_name(): c for c in find_all(d, wanted_role)}
        check_equal(sorted(named('page tab')), [t('General')], label + ': page')
        panels = named('panel')
        for group in ('Language: ', 'Preview Button: ', 'Colors: ', 'OS Load: ', 'Various: '):
            check(t(group) in panels, '%s: group %r' % (label, t(group)),
                  'groups read: %r' % sorted(n for n in panels if n))
        radios = named('radio button')
        check_equal(sorted(radios), sorted(['Français', 'English']), label + ': language buttons')
        current = {0: 'English', 1: 'Français'}[language]
        if current in radios:
            check('checked' in states(radios[current]), label + ': %r checked' % current)
        combos = named('combo box')
        for choice in ('Yes by default', 'Default'):
            check(t(choice) in combos, '%s: a list showing %r' % (label, t(choice)),
                  'lists read: %r' % sorted(combos))
        boxes = named('check box')
        for box in ('Activate Hints', 'Beep at end of fractal'):
            check(t(box) in boxes, '%s: check box %r' % (label, t(box)),
                  'check boxes read: %r' % sorted(boxes))
            if t(box) in boxes:
                # Vorex.cfg of the test turns both off.
                check('checked' not in states(boxes[t(box)]), '%s: %r unchecked' % (label, t(box)))
        spins = named('spin button')
        for spin in ('Size Fonts', 'Size Marker'):
            check(t(spin) in spins, '%s: spin box named %r' % (label, t(spin)),
                  'spin boxes read: %r' % sorted(spins))
        for swatch in ('Color of lines.', 'Out of Range Color.', 'Marker Color'):
            found = [c for c in find_all(d, 'push button') + find_all(d, 'button')
                     if c.get_name() == t(swatch)]
            check(bool(found), '%s: colour button named %r' % (label, t(swatch)),
                  'no focusable control of that name')
        defaults = [c for c in find_all(d, 'push button')
                    if c.get_state_set().contains(Atspi.StateType.IS_DEFAULT)]
        check_equal([c.get_name() for c in defaults], ['OK'], label + ': default button')
    finally:
        stop(w.proc)


def scenario_colour_editors(args, texts, language, work, doc8, doc24):
    """The two colour editors, opened from the Colors menu: their controls read by name, the palette
    grid named after its focus cell."""
    for doc, entry, table, controls in (
            (doc8, '8 bits &Color', 'PaletteEditorText',
             ['Open palette', 'Save palette', 'Rotate left', 'Rotate right', 'RGB gradient',
              'HSV gradient', 'Biomorph color', 'See color on fractal', 'View modifications']),
            (doc24, '24 bits&Color', 'ColourTableEditorText',
             ['Open color table', 'Save color table', 'View modifications', 'Biomorph color',
              'Zoom Color Table', 'Move Color Table', 'Delete selected boundary', 'Reset Zoom to 1X'])):
        label = '%s, colour editor of %s' % (LANGUAGE_NAMES[language], os.path.basename(doc['path']))
        w = launch(args.vorex, work, language, doc['path'])
        try:
            caption = shown(texts.get('MainMenuText', entry, language))
            open_menu(w, 2)
            names = [c.get_name() for c in w.menu_entries(2)]
            if not check(caption in names, '%s: Colors menu entry %r' % (label, caption),
                         'entries read: %r' % names):
                continue
            position = names.index(caption)
            title = texts.get(table, '8 bits color' if table == 'PaletteEditorText' else '24 bits color',
                              language)
            d = open_modal(w, 2, position, title)
            buttons = {c.get_name() for c in find_all(d, 'push button') + find_all(d, 'toggle button')
                       + find_all(d, 'check box') + find_all(d, 'radio button')}
            roles = {}
            def walk(acc, depth=0):
                if depth < 12:
                    for c in children(acc):
                        roles[c.get_name()] = role(c)
                        walk(c, depth + 1)
            walk(d)
            for english in controls:
                name = texts.get(table, english, language)
                check(name in buttons, '%s: button %r' % (label, name),
                      'buttons read: %r; role of that name: %r' % (sorted(n for n in buttons if n), roles.get(name)))
            if table == 'PaletteEditorText':
                cell = texts.get('ColourEditorA11yText', 'Color %1: red %2, green %3, blue %4',
                                 language).split('%1')[0]
                def named_like(acc, depth=0):
                    if (acc.get_name() or '').startswith(cell):
                        return [acc]
                    if depth >= 12:
                        return []
                    return [g for c in children(acc) for g in named_like(c, depth + 1)]
                grids = named_like(d)
                check(bool(grids), '%s: palette grid named after its focus cell' % label,
                      'no control whose name starts with %r' % cell)
            cancel = [c for c in find_all(d, 'push button') if c.get_name() in ('Cancel', 'Annuler')]
            if cancel:
                Atspi.set_timeout(300, -1)
                try:
                    do_action(cancel[0], 'Press')
                except GLib.Error:
                    pass
                finally:
                    Atspi.set_timeout(-1, -1)
        finally:
            stop(w.proc)


LANGUAGE_NAMES = {0: 'English', 1: 'French'}


def main():
    global VERBOSE, MENU_NAMES
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--vorex', required=True)
    parser.add_argument('--cli', required=True)
    parser.add_argument('--texts', required=True)
    parser.add_argument('--language', type=int, action='append', choices=(0, 1))
    parser.add_argument('--picture', action='store_true')
    parser.add_argument('--menu-names', action='store_true')
    parser.add_argument('--dialogs', action='store_true')
    parser.add_argument('--keep', action='store_true')
    parser.add_argument('-v', '--verbose', action='store_true')
    args = parser.parse_args()
    VERBOSE = args.verbose
    MENU_NAMES = args.menu_names
    args.vorex = os.path.abspath(args.vorex)
    args.cli = os.path.abspath(args.cli)
    languages = args.language or [0, 1]
    texts = Texts(args.texts)

    work = tempfile.mkdtemp(prefix='vorex-a11y-')
    os.makedirs(os.path.join(work, 'config'), mode=0o700)
    try:
        start_a11y_bus()
        Atspi.init()
        docs = os.path.join(work, 'documents')
        os.makedirs(docs)
        small8 = make_document(args.cli, os.path.join(docs, 'binary8.mbt'), texts,
                               size='120x90', algorithm=3, depth=8)
        small24 = make_document(args.cli, os.path.join(docs, 'levels24.mbt'), texts,
                                size='160x100', algorithm=2, depth=24, centre='-0.75,0.1',
                                step='0.005')
        # Inside the set everywhere, with a formula that has no periodicity checking: every
        # pixel takes all its iterations, so the computation lasts long enough to be watched and
        # stopped.
        slow = make_document(args.cli, os.path.join(docs, 'slow.mbt'), texts, interrupt_after=0.3,
                             size='300x225', iter=65000, formula=1, centre='0,0', step='0.001')
        recent = [os.path.join(work, 'fractals', 'spiral-arms-deep.mbt'), '/srv/a.mbt']
        for language in languages:
            log('== %s' % LANGUAGE_NAMES[language])
            before = len(FAILURES)
            scenario_empty(args, texts, language, work)
            scenario_compute(args, texts, language, work,
                             small8 if language == 1 else small24, recent)
            scenario_stop(args, texts, language, work, slow)
            if args.dialogs:
                scenario_preferences(args, texts, language, work)
                scenario_colour_editors(args, texts, language, work, small8, small24)
                scenario_variables(args, texts, language, work, small8)
            log('   %s: %s' % (LANGUAGE_NAMES[language],
                               'passed' if len(FAILURES) == before else
                               '%d failed checks' % (len(FAILURES) - before)))
    except SetupError as e:
        import traceback
        log('ERROR: %s' % e)
        traceback.print_exc()
        return 2
    except Exception:  # a check that could not run is a failure
        import traceback
        traceback.print_exc()
        return 1
    finally:
        if args.keep:
            log('kept %s' % work)
        else:
            shutil.rmtree(work, ignore_errors=True)
    if FAILURES:
        log('%d accessibility checks failed' % len(FAILURES))
        return 1
    log('every accessibility check passed')
    return 0


if __name__ == '__main__':
    sys.exit(main())
