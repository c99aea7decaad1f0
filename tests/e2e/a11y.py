"""Controls of the running program, found through the accessibility tree by
their role and visible name, as a screen reader finds them."""

import pyatspi


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # an application that went away meanwhile
            continue
    return None


def _walk(node, depth=0):
    """Every control under node and node itself, each with its depth."""
    if node is None or depth > 40:
        return
    yield node, depth
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from _walk(child, depth + 1)


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def find(root, role=None, name=None):
    """The first control on screen of that role whose name is name (or for
    which name, a function, says True); None when there is none."""
    for node, _ in _walk(root):
        try:
            if role is not None and node.getRoleName() != role:
                continue
            if name is not None and not (name(node.name) if callable(name) else node.name == name):
                continue
        except Exception:
            continue
        if showing(node):
            return node
    return None


def centre(node):
    x, y, width, height = extents(node)
    return x + width // 2, y + height // 2


def extents(node):
    """A control's place on the screen: x, y, width, height."""
    ext = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return ext.x, ext.y, ext.width, ext.height


def press(node):
    """Runs the control's press (or click) action."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for i, name in enumerate(names):
        if name.lower() in ("press", "click"):
            action.doAction(i)
            return
    raise AssertionError("%s %r has no press action, only %s" % (node.getRoleName(), node.name, names))


def text(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def unnamed_controls(root):
    """Controls a person can reach that a screen reader could not name."""
    reachable = {"push button", "toggle button", "check box", "radio button", "combo box", "text",
                 "list", "page tab", "spin button", "menu item", "slider", "table", "tree"}
    bad = []
    for node, _ in _walk(root):
        try:
            role = node.getRoleName()
            if role in reachable and showing(node) and not node.name.strip() \
                    and node.getState().contains(pyatspi.STATE_FOCUSABLE):
                parent = node.parent
                bad.append("%s in %s %r" % (role, parent.getRoleName(), parent.name))
        except Exception:
            continue
    return bad


def dump(pid):
    """The program's controls on screen as text, one a line, for a failure's log."""
    lines = []
    for node, depth in _walk(application(pid)):
        try:
            if showing(node):
                lines.append("%s%s %r" % ("  " * depth, node.getRoleName(), node.name))
        except Exception:
            continue
    return "\n".join(lines)
