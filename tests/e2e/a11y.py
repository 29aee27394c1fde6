#!/usr/bin/python3
"""Reads a running program's windows as a screen reader does, over AT-SPI.

    a11y.py --pid PID dump             every object: role, name, states, extents
    a11y.py --pid PID find NAME        "X Y W H" (screen pixels) of the object named NAME
    a11y.py --pid PID states NAME      its states, sorted, on one line
    a11y.py --pid PID text PREFIX      names of the showing objects that start with PREFIX
    a11y.py --pid PID checked          names of the showing objects that are checked
    a11y.py --pid PID apps             each application object of the process, as
                                       "TOOLKIT NAME CHILDREN", one a line
    a11y.py --pid PID value NAME       the text in the box named NAME (what was typed)
    a11y.py serve                      answers such argument lists read from stdin

--prefix makes find and states take NAME as a beginning (a pane's long text);
when a hidden and a showing object match, the showing one counts. Exit status
1, with a message, when nothing fits. The bus is AT_SPI_BUS_ADDRESS, if set.
`serve` saves starting Python for every question: each line holds one
argument list, separated by US (0x1f); the answer is the output, then RS
(0x1e) and the exit status on a line. Nothing is cached between questions.
"""
import argparse
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


class Failure(Exception):
    pass


def walk(obj):
    yield obj
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


def applications(pid):
    desktop = Atspi.get_desktop(0)
    desktop.clear_cache()
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            app.clear_cache()
            yield app


def objects(pid):
    for app in applications(pid):
        yield from walk(app)


def states(obj):
    return sorted(s.value_nick for s in obj.get_state_set().get_states())


def rect(obj):
    e = obj.get_extents(Atspi.CoordType.SCREEN)
    return e.x, e.y, e.width, e.height


def has(obj, state):
    return obj.get_state_set().contains(state)


def named(pid, name, prefix):
    found = [o for o in objects(pid)
             if ((o.get_name() or "").startswith(name) if prefix else o.get_name() == name)]
    shown = [o for o in found if has(o, Atspi.StateType.SHOWING)]
    if len(shown) > 1:
        raise Failure(f"{len(shown)} showing objects are named '{name}'")
    if not found:
        raise Failure(f"no object is named '{name}'")
    return (shown or found)[0]


def run(argv):
    ap = argparse.ArgumentParser(prog="a11y.py", exit_on_error=False)
    ap.add_argument("--pid", type=int, required=True)
    ap.add_argument("--prefix", action="store_true")
    ap.add_argument("command", choices=["dump", "find", "states", "text", "checked", "apps",
                                        "value"])
    ap.add_argument("arg", nargs="?", default="")
    try:
        a = ap.parse_intermixed_args(argv)
    except (argparse.ArgumentError, SystemExit) as e:
        raise Failure(f"bad arguments {argv}: {e}") from None
    showing = Atspi.StateType.SHOWING

    if a.command == "dump":
        return "\n".join(f"[{o.get_role_name()}] {o.get_name()!r} {' '.join(states(o))} {rect(o)}"
                         for o in objects(a.pid))
    if a.command == "apps":
        return "\n".join(f"{app.get_toolkit_name()} {app.get_name()} {app.get_child_count()}"
                         for app in applications(a.pid))
    if a.command == "checked":
        return "\n".join(o.get_name() for o in objects(a.pid)
                         if has(o, showing) and has(o, Atspi.StateType.CHECKED))
    if a.command == "text":
        hits = [o.get_name() for o in objects(a.pid)
                if (o.get_name() or "").startswith(a.arg) and has(o, showing)]
        if not hits:
            raise Failure(f"no showing object's name starts with '{a.arg}'")
        return "\n".join(hits)
    o = named(a.pid, a.arg, a.prefix)
    if a.command == "states":
        return " ".join(states(o))
    if a.command == "value":
        text = o.get_text_iface()
        if text is None:
            raise Failure(f"'{a.arg}' holds no text")
        return text.get_text(0, text.get_character_count())
    x, y, w, h = rect(o)
    if w <= 0 or h <= 0:
        raise Failure(f"'{a.arg}' has no area on the screen")
    return f"{x} {y} {w} {h}"


def answer(argv):
    try:
        return run(argv), 0
    except Failure as e:
        return f"a11y: {e}", 1
    except GLib.Error as e:  # e.g. the program went away meanwhile
        return f"a11y: AT-SPI error: {e}", 1


def main():
    if sys.argv[1:] == ["serve"]:
        for line in sys.stdin:
            out, status = answer(line.rstrip("\n").split("\x1f"))
            sys.stdout.write(f"{out}\n\x1e{status}\n" if out else f"\x1e{status}\n")
            sys.stdout.flush()
        return
    out, status = answer(sys.argv[1:])
    if out:
        print(out, file=sys.stderr if status else sys.stdout)
    sys.exit(status)


if __name__ == "__main__":
    main()
