# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
"""The built x10console as a screen reader finds it on the accessibility bus (AT-SPI).

  accessibility.py X10CONSOLE CM11A_SIM
Starts an X server of its own (Xvfb on a display it picks itself, so tests running beside it
cannot take it) and, under it, a session bus (dbus-run-session) with this script inside. That
starts the simulator as COM 2 and the console, then checks the table below (every input and
the log named, each caption labelling its field), presses Init from the keyboard and checks
that its new caption reaches the tree and the focus lands on a text field, and that the lines
the log gets from the simulator's traffic are announced as inserted text.
"""
import os
import subprocess
import sys
import tempfile
import time

# Each field: its role, its name and the caption that labels it.
FIELDS = [
    ("text", "House code", "Hosecode:"),
    ("text", "Device code", "DeviceCode:"),
    ("combo box", "All Units Off", "Command:"),  # a combo box is named by its current entry
    ("text", "Dim Value", "Dim Value (%) :"),
    ("text", "Com Port", "Com Port:"),
    ("text", "Data1", "Data1:"),
    ("text", "Data2", "Data2:"),
    ("text", "Timeout", "Timeout (ms):"),
    ("text", "X10 Events", "X10 Events:"),
]
INPUT_ROLES = {"text", "combo box"}
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def wait_for(condition, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    return condition()


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def related(node, relation):
    return [
        r.getTarget(i)
        for r in node.getRelationSet()
        if r.getRelationType() == relation
        for i in range(r.getNTargets())
    ]


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def find_application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    return next((app for app in desktop if app is not None and app.name == name), None)


def check_names_and_labels(nodes):
    for node in nodes:
        if node.getRoleName() in INPUT_ROLES:
            check(node.name != "", f"a {node.getRoleName()} without a name")
    for role, name, caption in FIELDS:
        field = next((n for n in nodes if n.getRoleName() == role and n.name == name), None)
        check(field is not None, f"no {role} named {name!r}")
        if field is None:
            continue
        labels = [n.name for n in related(field, pyatspi.RELATION_LABELLED_BY)]
        check(caption in labels, f"{name!r} labelled by {labels}, not {caption!r}")
        label = next((n for n in nodes if n.getRoleName() == "label" and n.name == caption), None)
        check(label is not None and field in related(label, pyatspi.RELATION_LABEL_FOR),
              f"label {caption!r} is not label-for {name!r}")


def click(node):
    x, y, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, pyatspi.MOUSE_B1C)


def press_init_from_the_keyboard(nodes):
    by_name = {(n.getRoleName(), n.name): n for n in nodes}
    # With no window manager the window is activated by a click, here on a caption.
    click(by_name[("label", "X10 Events:")])
    init = by_name[("push button", "Init")]
    init.queryComponent().grabFocus()
    check(wait_for(lambda: focused(init)), "Init does not take the focus")
    pyatspi.Registry.generateKeyboardEvent(0x20, None, pyatspi.KEY_SYM)  # Space
    check(wait_for(lambda: init.name == "Done"), f"Init reads {init.name!r}, not 'Done'")
    check(not init.getState().contains(pyatspi.STATE_ENABLED), "Done is not disabled")
    dim = by_name[("text", "Dim Value")]
    check(wait_for(lambda: focused(dim)), "after Init the focus is not on Dim Value")


def inserted_lines(simulator, command, count):
    """The text-inserted events of the log while the simulator plays command."""
    heard = []

    def listen(event):
        if event.source.name == "X10 Events":
            heard.append(event.any_data)
            if len(heard) == count:
                pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(listen, "object:text-changed:insert")
    simulator.stdin.write(command + "\n")
    simulator.stdin.flush()
    GLib.timeout_add(10000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(listen, "object:text-changed:insert")
    return heard


def main(console_path, simulator_path):
    with tempfile.TemporaryDirectory() as config:
        return run(console_path, simulator_path, config)


def run(console_path, simulator_path, config):
    link = os.path.join(config, "x10console", "ports", "com2")
    simulator = subprocess.Popen([simulator_path, "--fast", "--link", link],
                                 stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    environment = dict(os.environ, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    console = None
    try:
        if not wait_for(lambda: os.path.exists(link)):
            sys.exit("the simulator did not publish COM 2")
        console = subprocess.Popen([console_path], env=environment)
        app = wait_for(lambda: find_application("x10console"))
        if app is None:
            sys.exit("x10console is not on the accessibility bus")
        window = wait_for(lambda: next((w for w in app if w is not None and w.name == "Form1"),
                                       None))
        nodes = wait_for(lambda: list(descendants(window)))
        check_names_and_labels(nodes)
        press_init_from_the_keyboard(nodes)
        lines = inserted_lines(simulator, "B3 On", 2)
        paragraph = "\u2029"  # a line break as the bus reports it
        check(lines == ["Single Event: HC:B DC:3 Com:-1" + paragraph,
                        "Event: HC:B DC:3 Com: 2 dimval: 0D2: 0" + paragraph],
              f"the log announced {lines}")
    finally:
        for process in (console, simulator):
            if process is not None:
                process.terminate()
                process.wait(10)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


def under_own_display_and_bus(arguments):
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1024x768x24", "-dpi", "96", "-noreset"], pass_fds=[write_end],
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as announced:
        display = announced.readline().strip()  # written once the server takes clients
    try:
        if not display:
            sys.exit("Xvfb did not start")
        environment = dict(os.environ, DISPLAY=":" + display)
        environment.pop("XAUTHORITY", None)
        return subprocess.call(["dbus-run-session", "--", sys.executable, __file__, "--inside",
                                *arguments], env=environment)
    finally:
        server.terminate()
        server.wait(10)


if __name__ == "__main__":
    if sys.argv[1] != "--inside":
        sys.exit(under_own_display_and_bus(sys.argv[1:3]))
    import pyatspi
    from gi.repository import GLib

    sys.exit(main(*sys.argv[2:4]))
