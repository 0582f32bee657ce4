#!/usr/bin/python3
"""The supervisor's paths through the running kvx, then their checks on the data file and the PDF.
  supervisor.py drive PATH   operate kvx through the accessibility layer (inside the session)
  supervisor.py check PATH   check what the path left (after kvx has closed)
Paths: view, printall, verify, delnames. Environment (run-supervisor sets it): KVX_WORK, KVX_INST,
KVX_TOOL, KVX_SCRIPTS, and for printall PRINTER and KVX_PDF_DIR."""
import json
import os
import re
import subprocess
import sys
import time

import pyatspi

from new_client import (Failure, SECRET_CODE, app, field, gone, keys, press, settle, type_text,
                        wait, walk, window)

WORK = os.environ.get('KVX_WORK', '.')
INST = os.environ.get('KVX_INST', '')
DATA = os.path.join(INST, 'datadisk', 'DATA401.KVX')
STATE = os.path.join(WORK, 'state.json')

# The data file: 239 bytes a client in Windows-1252.
RECORD = 239
GENDER, RACE, COURT, ANSWERS, NAME_DELETED = 38, 39, 52, 82, 238

# The verification keys item 5 differently, then corrects it to a third value there.
VERIFY_ITEM = 5
# The operator chooses these lines of the client list first.
VIEW_CLIENT, VERIFY_CLIENT = 4, 2


def records(data):
    return [data[i:i + RECORD] for i in range(0, len(data) - RECORD + 1, RECORD)]


def listed_names(text):
    """kvxtool list: the count, then "N-Name" lines."""
    lines = text.splitlines()
    return [re.sub(r'^\d+-', '', line).rstrip() for line in lines[1:int(lines[0]) + 1]]


def save_state(**values):
    with open(STATE, 'w') as f:
        json.dump(values, f)


def load_state():
    with open(STATE) as f:
        return json.load(f)


def wait_for(predicate, what, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        if predicate():
            return
        time.sleep(0.2)
    raise Failure(f'{what} did not happen within {timeout} s')


def choose_client(n):
    """Selects line n of the main menu's client list, as a click does; returns its name."""
    line = next((a for a in walk(app())
                 if a.getRoleName() == 'list item' and a.name.startswith(f'{n}-')), None)
    if line is None:
        raise Failure(f'no line {n} in the client list')
    box = line.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(['xdotool', 'mousemove', str(box.x + box.width // 2),
                    str(box.y + box.height // 2), 'click', '1'], check=True)
    return re.sub(r'^\d+-', '', line.name).rstrip()


def open_supervisor(tab):
    press('Supervisor Options')
    screen = window('Supervisor Options')
    if tab != 'Reports':
        wait('page tab', tab, within=screen).queryAction().doAction(0)
    settle()


def secret_code():
    window('Secret Code')
    settle()
    field(SECRET_CODE)
    keys('Return')  # Information OK
    gone('Secret Code')


def pdf_text(path):
    out = subprocess.run(['pdftotext', '-layout', path, '-'], check=True, capture_output=True)
    return ' '.join(out.stdout.decode('utf-8', 'replace').split())


# --- the paths, as an operator takes them ---

def drive_view():
    name = choose_client(VIEW_CLIENT)
    open_supervisor('Reports')
    press('Execute Selection')
    secret_code()
    viewer = window('Client Report', timeout=30)
    press('Save as PDF...', within=viewer)
    window('Save Report as PDF')
    settle()
    target = os.path.join(WORK, 'current-report.pdf')
    keys('ctrl+a')
    type_text(target)
    keys('Return')
    gone('Save Report as PDF')
    wait_for(lambda: os.path.exists(target) and os.path.getsize(target) > 0, 'the PDF file')
    press('Close', within=viewer)
    gone('Client Report')
    save_state(name=name, pdf=target)


def queue_busy():
    out = subprocess.run(['lpstat', '-o', os.environ['PRINTER']], capture_output=True, text=True)
    return bool(out.stdout.strip())


def pdf_files(folder):
    return {os.path.join(folder, f) for f in os.listdir(folder) if f.endswith('.pdf')}


def drive_printall():
    folder = os.environ['KVX_PDF_DIR']
    before = sorted(pdf_files(folder))
    open_supervisor('Reports')
    wait('radio button', "Print all clients' reports").queryAction().doAction(0)
    press('Execute Selection')
    secret_code()
    gone('Supervisor Options', timeout=60)
    save_state(before=before)


def drive_verify():
    number = VERIFY_CLIENT
    name = choose_client(number)
    open_supervisor('Verify Data')
    stored = records(open(DATA, 'rb').read())[number - 1][ANSWERS:ANSWERS + 155].decode()
    wrong, third = [v for v in '012' if v != stored[VERIFY_ITEM - 1]][:2]
    keyed = stored[:VERIFY_ITEM - 1] + wrong + stored[VERIFY_ITEM:]
    press('Execute Selection')
    window('Test Data Input Verification')
    settle()
    type_text(keyed)
    box = window('Data Corrections')
    press('OK', within=box)
    gone('Data Corrections')
    current = next((a for a in walk(app()) if a.name == 'Current Question'), None)
    if current is None:
        raise Failure('no "Current Question" frame')
    # The correction pass stops at the item keyed differently, and only there.
    wait('label', f'Question #{VERIFY_ITEM}', within=current)
    settle()
    type_text(third)
    press('OK', within=window('Data Verification'))
    gone('Test Data Input Verification')
    save_state(client=number, name=name, stored=stored, corrected=third)


def drive_delnames():
    open_supervisor('Delete Names')
    press('Execute Selection')
    press('Yes', within=window('WARNING!'))
    box = window('KVX', timeout=30)
    wait('label', 'Process complete. Press Enter to continue.', within=box)
    press('OK', within=box)
    gone('Supervisor Options')


# --- the checks, on what the paths left ---

def check_view():
    state = load_state()
    names = listed_names(open(os.path.join(WORK, 'before.txt')).read())
    if state['name'] != names[VIEW_CLIENT - 1]:
        raise Failure(f'line {VIEW_CLIENT} of the client list read "{state["name"]}"')
    text = pdf_text(state['pdf'])
    if state['name'] not in text:
        raise Failure(f'the saved PDF does not name "{state["name"]}":\n{text[:400]}')
    others = [n for n in names if n != state['name'] and n in text]
    if others:
        raise Failure(f'the saved PDF also names {others}')
    return f'the report of "{state["name"]}" saved as PDF'


def render(path):
    """Every page of a PDF as grey pixels, at a resolution that still tells names apart."""
    stem = os.path.join(WORK, 'page')
    subprocess.run(['pdftoppm', '-r', '40', '-gray', path, stem], check=True, capture_output=True)
    shots = sorted(f for f in os.listdir(WORK) if f.startswith('page') and f.endswith('.pgm'))
    pixels = []
    for f in shots:
        with open(os.path.join(WORK, f), 'rb') as image:
            data = image.read()
        os.remove(os.path.join(WORK, f))
        # P5 header: magic, width height, maximum value, each followed by one blank.
        fields = data.split(maxsplit=4)
        pixels.append((fields[1], fields[2], fields[4][-int(fields[1]) * int(fields[2]):]))
    return pixels


def differing(a, b):
    """Pixels that differ between two renderings; a page more or less counts as all of it."""
    if len(a) != len(b) or any(p[:2] != q[:2] for p, q in zip(a, b)):
        return 10 ** 9
    return sum(sum(x != y for x, y in zip(p[2], q[2])) for p, q in zip(a, b))


def queue_files(folder, known, count, what):
    def job(path):
        m = re.search(r'job_(\d+)', os.path.basename(path))
        return (int(m.group(1)) if m else 0, os.path.getmtime(path))

    def whole(path):
        # The queue's writer may still be finishing a file the folder already shows.
        return subprocess.run(['pdfinfo', path], capture_output=True).returncode == 0

    def done():
        new = pdf_files(folder) - known
        return len(new) >= count and not queue_busy() and all(whole(p) for p in new)

    wait_for(done, f'{count} PDF files from the print queue ({what})', timeout=45)
    made = sorted(pdf_files(folder) - known, key=job)
    if len(made) != count:
        raise Failure(f'{len(made)} PDF files for {count} clients ({what}): {made}')
    return made


def check_printall():
    state = load_state()
    folder = os.environ['KVX_PDF_DIR']
    count = len(records(open(os.path.join(WORK, 'before.kvx'), 'rb').read()))
    made = queue_files(folder, set(state['before']), count, 'kvx')
    # The queue's files carry their text as glyphs without a text map, so pdftotext cannot read
    # the names back. The same queue's pictures of kvxtool's reports for each client stand in:
    # file n must show client n's report and no other.
    subprocess.run([os.environ['KVX_TOOL'], 'print', '--program-dir', INST, '--data-dir',
                    os.path.dirname(DATA), '--printer', os.environ['PRINTER'], '--clients',
                    ','.join(str(n) for n in range(1, count + 1))],
                   check=True, capture_output=True)
    refs = queue_files(folder, set(state['before']) | set(made), count, 'kvxtool')
    try:
        ours = [render(p) for p in made]
        theirs = [render(p) for p in refs]
        worst, closest = 0, 10 ** 9
        for n, shown in enumerate(ours, start=1):
            diffs = [differing(shown, t) for t in theirs]
            others = min(d for i, d in enumerate(diffs) if i != n - 1)
            worst, closest = max(worst, diffs[n - 1]), min(closest, others)
            if diffs[n - 1] * 10 >= others:
                raise Failure(f'report {n} ({os.path.basename(made[n - 1])}) differs from '
                              f'client {n}\'s in {diffs[n - 1]} pixels, from another in {others}')
    finally:
        for path in made + refs:
            os.remove(path)
    return (f'{count} reports from the print queue, report n showing client n (at most {worst} '
            f'pixels off its own, at least {closest} off another)')


def check_verify():
    state = load_state()
    before = open(os.path.join(WORK, 'before.kvx'), 'rb').read()
    after = open(DATA, 'rb').read()
    n = state['client']
    at = (n - 1) * RECORD + ANSWERS + VERIFY_ITEM - 1
    changed = [i for i in range(max(len(before), len(after)))
               if before[i:i + 1] != after[i:i + 1]]
    if changed != [at] or after[at:at + 1].decode() != state['corrected']:
        raise Failure(f'bytes changed at {changed}, expected only {at} to "{state["corrected"]}"')
    # kvxtool scores the stored record as the reference scorer scores the corrected answers.
    sys.path.insert(0, os.environ['KVX_SCRIPTS'])
    from kvxdemo import keyfile, scorer
    record = records(after)[n - 1]
    answers = record[ANSWERS:ANSWERS + 155].decode()
    court = [record[COURT + 2 * i:COURT + 2 * i + 2].decode() for i in range(15)]
    want = scorer.score(keyfile.Key(os.path.join(INST, 'KVXB2.TXT')), answers, court,
                        chr(record[GENDER]), chr(record[RACE])).raw[1:7]
    out = subprocess.run([os.environ['KVX_TOOL'], 'score', '--program-dir', INST, '--data-dir',
                          os.path.dirname(DATA), '--client', str(n), '--json'],
                         check=True, capture_output=True, text=True).stdout
    got = [s['raw'] for s in json.loads(out)['scales']]
    if got != want:
        raise Failure(f'kvxtool scores {got}, the corrected answers give {want}')
    return (f'client {n}: item {VERIFY_ITEM} "{state["stored"][VERIFY_ITEM - 1]}" corrected to '
            f'"{state["corrected"]}", nothing else changed')


def check_delnames():
    before = open(os.path.join(WORK, 'before.kvx'), 'rb').read()
    after = open(DATA, 'rb').read()
    old = listed_names(open(os.path.join(WORK, 'before.txt')).read())
    out = subprocess.run([os.environ['KVX_TOOL'], 'list', '--data-dir', os.path.dirname(DATA)],
                         check=True, capture_output=True, text=True).stdout
    new = listed_names(out)
    if len(new) != len(old):
        raise Failure(f'{len(new)} clients listed after, {len(old)} before')
    for n, (was, now, rec) in enumerate(zip(old, new, records(before)), start=1):
        if rec[NAME_DELETED:NAME_DELETED + 1] == b'1':
            if now != was:
                raise Failure(f'client {n}: an already deleted name changed from "{was}"')
            continue
        same = [i for i, (a, b) in enumerate(zip(was, now)) if a != ' ' and a.upper() == b.upper()]
        if len(now) != len(was) or same or not re.fullmatch(r'[A-Z ]+', now):
            raise Failure(f'client {n}: "{was}" became "{now}", not scrambled')
        if was.encode('cp1252') in after:
            raise Failure(f'client {n}: "{was}" is still in the data file')
    flags = {r[NAME_DELETED:NAME_DELETED + 1] for r in records(after)}
    if flags != {b'1'}:
        raise Failure(f'name-deleted flags after: {flags}')
    return f'{len(new)} names scrambled'


PATHS = {'view': (drive_view, check_view), 'printall': (drive_printall, check_printall),
         'verify': (drive_verify, check_verify), 'delnames': (drive_delnames, check_delnames)}


def main():
    step, path = sys.argv[1], sys.argv[2]
    drive, check = PATHS[path]
    start = time.time()
    try:
        if step == 'drive':
            wait('push button', 'Supervisor Options', timeout=30)
            drive()
            print(f'supervisor path {path}: driven in {time.time() - start:.1f} s', flush=True)
        else:
            print(f'PASS: supervisor path {path}: {check()}', flush=True)
    except Failure as e:
        print(f'supervisor path {path}: FAILED: {e}', flush=True)
        if step == 'drive':
            subprocess.run(['import', '-window', 'root', f'failed-{path}.png'])
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
