"""Drives KVOR under guidrive for the README's screenshots (run by scripts/screenshots.sh).
Arguments: the program folder and the folder for the pictures."""
import datetime
import os
import subprocess
import sys
import time

from guidrive import *  # noqa: F401,F403 (the tool's small vocabulary)

program, shots = sys.argv[1], sys.argv[2]
os.makedirs(shots, exist_ok=True)


def shot(acc, name):
    """The window alone, cut out of the screen."""
    time.sleep(0.8)
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(['import', '-window', 'root', '-crop',
                    f'{e.width}x{e.height}+{e.x}+{e.y}', '+repage',
                    os.path.join(shots, name + '.png')], check=True)


def period(d):
    return f'{d.month:02d} / {d.year}'


def open_report(app, main, when, municipality):
    press(find(find(main, 'Документ', 'menu item'), 'Въвеждане на документи', 'menu item'))
    dlg = wait_for(lambda: window(app, 'Данни за нов документ'), 'the new-report dialog')
    period_box, municipality_box = combos(dlg)
    choose(period_box, period(when))
    choose(municipality_box, municipality)
    return dlg


def combos(dlg):
    """The period and the municipality lists, in this order (a combo box is named by its text)."""
    return find_all(dlg, 'combo box')[:2]


def enter(table, row, col, text):
    goto_cell(table, row, col)
    type_text(text)
    key(ENTER)
    time.sleep(0.3)


def editor(app):
    ed = wait_for(lambda: window(app, 'Справка'), 'the editor')
    table = wait_for(lambda: find(ed, 'Таблица на справката', 'table'), 'the grid')
    return ed, table


def save_and_close(app, ed):
    press(find(ed, 'Запис', 'push button'))
    time.sleep(1)
    press(find(ed, 'Изход', 'push button'))
    wait_for(lambda: not window(app, 'Справка'), 'the editor to close')


this_month = datetime.date.today().replace(day=1)
last_month = (this_month - datetime.timedelta(days=1)).replace(day=1)
town = 'Банско'

proc, app = start([os.path.join(program, 'kvor')], cwd=program)
main = wait_for(lambda: window(app, 'KVOR', 'frame'), 'the main window')
time.sleep(1.5)
shot(main, 'main-window')

# Last month's report: the closing amounts this month's opening amounts are compared with.
dlg = open_report(app, main, last_month, town)
press(find(dlg, 'Избор', 'push button'))
ed, table = editor(app)
# Grid rows and columns: two debts of the sample form that are no totals, and the amounts.
BONDS, LONG_LOANS, OPENING, ADDED, SUBTRACTED = 5, 7, 1, 3, 5
enter(table, BONDS, OPENING, '125000')
enter(table, LONG_LOANS, OPENING, '48200')
save_and_close(app, ed)

# This month: carried over, then one opening amount changed so that it shows in red.
choose(combos(dlg)[0], period(this_month))
shot(dlg, 'new-report')
press(find(dlg, 'Избор', 'push button'))
ed, table = editor(app)
enter(table, BONDS, ADDED, '15000')
enter(table, BONDS, SUBTRACTED, '2500')
enter(table, LONG_LOANS, OPENING, '48000')
goto_cell(table, LONG_LOANS + 1, OPENING)
# The captions of the rows stay in view however far the grid is scrolled.
lock = find(ed, role='check box')
if lock:
    press(lock)
shot(ed, 'editor')

press(find(ed, 'Към Excel', 'push button'))
time.sleep(3)
save_and_close(app, ed)
press(find(dlg, 'Отказ', 'push button'))
proc.terminate()
proc.wait(10)
