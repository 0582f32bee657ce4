#!/usr/bin/python3
"""Adds one client by each of the three entry paths to the running kvx, as an operator would,
through the accessibility layer and the keyboard. Arguments: the path names to run (keyed,
onscreen, scanned), default all. Environment: KVX_SHEET, the marked answer sheet image."""
import os
import subprocess
import sys
import time

import pyatspi

ANSWERS = ''.join('12'[i % 2] for i in range(155))
SECRET_CODE = 'K'
SECTION_ENDS = (94, 135, 145, 155)


class Failure(Exception):
    pass


def walk(acc, depth=0):
    if acc is None or depth > 60:
        return
    yield acc
    try:
        children = [acc.getChildAtIndex(i) for i in range(acc.childCount)]
    except Exception:
        return
    for child in children:
        yield from walk(child, depth + 1)


def app():
    for a in pyatspi.Registry.getDesktop(0):
        if a is not None and a.name == 'KVX':
            return a
    raise Failure('kvx is not on the accessibility bus')


def find(role, name, within=None):
    try:
        root = within or app()
    except Failure:
        return None  # not started yet
    for acc in walk(root):
        try:
            if acc.getRoleName() == role and acc.name == name:
                return acc
        except Exception:
            pass
    return None


def wait(role, name, timeout=15, within=None):
    end = time.time() + timeout
    while time.time() < end:
        hit = find(role, name, within)
        if hit is not None:
            return hit
        time.sleep(0.1)
    raise Failure(f'no {role} "{name}" appeared')


def window(title, timeout=15):
    """A dialog or message box by its title."""
    end = time.time() + timeout
    while time.time() < end:
        for role in ('dialog', 'alert', 'file chooser'):
            hit = find(role, title)
            if hit is not None:
                return hit
        time.sleep(0.1)
    raise Failure(f'no window "{title}" appeared')


def gone(title, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        if all(find(role, title) is None for role in ('dialog', 'alert')):
            return
        time.sleep(0.1)
    raise Failure(f'window "{title}" stayed open')


def press(name, within=None):
    wait('push button', name, within=within).queryAction().doAction(0)


def keys(*names):
    subprocess.run(['xdotool', 'key', '--delay', '15', *names], check=True)


def type_text(text):
    subprocess.run(['xdotool', 'type', '--delay', '15', text], check=True)


def field(text):
    type_text(text)
    keys('Return')


def settle():
    time.sleep(0.3)


def client_information(name):
    window('Client Information')
    settle()
    for value in (name, '35', 'N', '2', '3', '8', '1'):
        field(value)
    keys('Return')  # Information OK
    gone('Client Information')


def court_history():
    window('Court History')
    settle()
    for _ in range(15):
        field('N')
    keys('Return')
    gone('Court History')


def answer_grid():
    window('Offender Responses')
    settle()
    type_text(ANSWERS)
    press('Save')
    gone('Offender Responses')


def keyed():
    press('Add New Client')
    press('Enter Test Data from Answer Sheet')
    client_information('Keyed Client')
    court_history()
    answer_grid()
    gone('Entry Method')


def onscreen():
    press('Add New Client')
    press('Administer Test to Client')
    client_information('Screen Client')
    court_history()
    press('English', within=window('Select Presentation Language'))
    press('OK', within=window('Presentation Note'))
    present_test()
    window('Secret Code', timeout=20)
    settle()
    field(SECRET_CODE)
    keys('Return')
    gone('Secret Code')
    gone('Entry Method')


def present_test():
    """Answers every item as the client does: Enter through the instructions, the arrow keys
    down to the answer and Enter; the note after each section is closed with its OK."""
    window('Question Presentation', timeout=20)
    settle()
    keys('Return')  # the general instructions
    settle()
    keys('Return')  # the first section's
    settle()
    for item, answer in enumerate(ANSWERS, start=1):
        keys(*(['Down'] * int(answer)), 'Return')
        if item in SECTION_ENDS:
            press('OK', within=window('Presentation Note'))
            gone('Presentation Note')
            if item < 155:
                settle()
                keys('Return')  # the next section's instructions
                settle()


def scanned():
    sheet = os.environ['KVX_SHEET']
    press('Add New Client')
    press('Scan Answer Sheet')
    window('Client Name Input')
    settle()
    field('Scanned Client')
    keys('Return')  # Information OK
    prompt = window('Test Scan')
    # With a scanner the prompt offers "From File..."; without one it asks to open a file.
    if find('push button', 'From File...', within=prompt) is not None:
        press('From File...', within=prompt)
    else:
        press('OK', within=prompt)
    window('Open Scanned Answer Sheet')
    settle()
    type_text(sheet)
    keys('Return')
    # The sheet has no date of birth: the operator types it, the rest is taken as read.
    window('Client Information', timeout=30)
    settle()
    wait('text', 'Date of Birth').queryEditableText().setTextContents('N')
    settle()
    press('Information OK')
    gone('Client Information')
    window('Court History')
    settle()
    keys('Return')
    gone('Court History')
    window('Offender Responses')
    settle()
    press('Save')
    gone('Offender Responses')
    gone('Entry Method')


PATHS = {'keyed': keyed, 'onscreen': onscreen, 'scanned': scanned}


def main():
    wanted = sys.argv[1:] or list(PATHS)
    wait('push button', 'Add New Client', timeout=30)
    failed = []
    for name in wanted:
        start = time.time()
        try:
            PATHS[name]()
            print(f'path {name}: done in {time.time() - start:.1f} s', flush=True)
        except Failure as e:
            failed.append(name)
            print(f'path {name}: FAILED: {e}', flush=True)
            subprocess.run(['import', '-window', 'root', f'failed-{name}.png'])
            return 1
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
