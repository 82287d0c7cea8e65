# What a screen reader finds of the running register through AT-SPI: its
# fields, buttons and list with their roles and names, a field's value after
# typing, and a message box. Run inside the session bus the program uses.
# Usage: accessibility.py <register caption> <value typed into the Date field>
import subprocess
import sys
import time

import pyatspi

caption, typed = sys.argv[1], sys.argv[2]
failures = []


def nodes(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child)


def register():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for node in nodes(app):
                if node.getRoleName() == "frame" and node.name == caption:
                    return node
        time.sleep(0.2)
    sys.exit("FAIL: no frame named %r on the accessibility bus" % caption)


def find(frame, role, name):
    for node in nodes(frame):
        if node.getRoleName() == role and node.name == name:
            return node
    return None


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


frame = register()
expected = [("text", "Check#"), ("text", "Date"), ("combo box", "Description"), ("text", "Credit"),
            ("text", "Debit"), ("push button", "Balance"), ("push button", "New"), ("push button", "Edit"),
            ("push button", "Delete"), ("list", "Check#, Date, Description, Credit, Debit, St."),
            ("menu bar", "Application"), ("menu", "Record"), ("menu", "Setup"), ("label", "Balanced Ammount"),
            ("status bar", "Balanced Ammount"), ("status bar", "Balance")]
for role, name in expected:
    if find(frame, role, name) is None:
        failures.append("no %s named %r" % (role, name))
    else:
        print("ok: %s %r" % (role, name))

# The desktop's names for it: the application, and never a toolkit's class.
app = frame.getApplication()
if app is None or app.name != "Checkbook":
    failures.append("the application is named %r, not 'Checkbook'" % (app.name if app else None))
else:
    print("ok: the application is named 'Checkbook'")
classes = sorted({n.name for n in nodes(frame) if n.name.startswith("Gtk")})
if classes:
    failures.append("objects named by GTK classes: %s" % ", ".join(classes))
else:
    print("ok: no object named by a GTK class")

date = find(frame, "text", "Date")
if date is not None:
    subprocess.run(["xdotool", "key", "Tab"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "50", typed], check=True)
    value = ""
    for _ in range(50):
        value = text_of(date)
        if value == typed:
            break
        time.sleep(0.1)
    if value == typed:
        print("ok: the Date field reads %r after typing" % value)
    else:
        failures.append("the Date field reads %r after typing %r" % (value, typed))
    states = date.getState()
    if not states.contains(pyatspi.STATE_FOCUSED):
        failures.append("the Date field that was typed into is not focused")
    # A tap of Alt turns on menu mode; a click into the field that has the
    # focus ends it, and the next key reaches the field (the window lies at
    # the screen's corner: there is no window manager).
    box = date.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    subprocess.run(["xdotool", "key", "alt"], check=True)
    time.sleep(0.3)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width - 3), str(box.y + box.height // 2),
                    "click", "1"], check=True)
    time.sleep(0.3)
    subprocess.run(["xdotool", "type", "7"], check=True)
    for _ in range(30):
        value = text_of(date)
        if value == typed + "7":
            break
        time.sleep(0.1)
    if value == typed + "7":
        print("ok: after Alt, a click into the field ends menu mode and typing reaches it")
    else:
        failures.append("after Alt and a click into the Date field it reads %r" % value)


def window_named(name):
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            for i in range(app.childCount if app is not None else 0):
                node = app.getChildAtIndex(i)
                if node is not None and node.name == name:
                    return node
        time.sleep(0.1)
    return None


# A message box, as Windows' screen readers have it: a dialog whose text is
# read with its caption, and its icon named.
subprocess.run(["xdotool", "key", "alt+n"], check=True)
box = window_named("Insert New Record")
if box is None:
    failures.append("no window named 'Insert New Record' after New without an account")
else:
    text = "Account is not setup yet. Please setup Account"
    if box.getRoleName() not in ("dialog", "alert"):
        failures.append("the message box is a %r, not a dialog" % box.getRoleName())
    elif box.description != text:
        failures.append("the message box describes itself as %r" % box.description)
    else:
        print("ok: the message box is a %s described by its text" % box.getRoleName())
    if find(box, "image", "Error") is None:
        failures.append("no image named 'Error' in the message box")
    else:
        print("ok: its icon is named 'Error'")
    subprocess.run(["xdotool", "key", "Return"], check=True)

def focused():
    for _ in range(30):
        for node in nodes(frame):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return "%s %r" % (node.getRoleName(), node.name)
        time.sleep(0.1)
    return "nothing"


# Alt+S opens the Setup menu: its items as menu items, the focus on the one
# highlighted so a screen reader says it, and every key the menu's, even the
# arrows the Date field would take.
if date is not None:
    box = date.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + 3), str(box.y + box.height // 2), "click", "1"], check=True)
    time.sleep(0.3)
subprocess.run(["xdotool", "key", "alt+s"], check=True)
time.sleep(0.5)
for name in ("Account Details...", "Hide Reconciled.."):
    if find(frame, "menu item", name) is None and find(frame, "check menu item", name) is None:
        failures.append("no menu item named %r under Setup" % name)
    else:
        print("ok: menu item %r" % name)
for keys, expected in (([], "menu item 'Account Details...'"), (["Left"], "menu item 'New'"),
                       (["Down"], "menu item 'Edit'"), (["Escape", "Escape"], "text 'Date'"),
                       (["alt+s", "h", "alt+s", "Down"], "check menu item 'Hide Reconciled..'"),
                       (["Escape", "Escape"], "text 'Date'")):
    if keys:
        subprocess.run(["xdotool", "key"] + keys, check=True)
    time.sleep(0.3)
    where = focused()
    if where == expected:
        print("ok: after %s the focus is on the %s" % (" ".join(keys) or "Alt+S", where))
    else:
        failures.append("after %s the focus is on the %s, not the %s" % (" ".join(keys) or "Alt+S", where, expected))

for f in failures:
    print("FAIL: " + f)
sys.exit(1 if failures else 0)
