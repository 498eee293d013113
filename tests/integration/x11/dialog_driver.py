"""Drives the Linux settings dialog through the accessibility bus.

The test process and the dialog must share one D-Bus session: the tests run
under dbus-run-session, with the system Python that has pyatspi. Controls
are found by their accessibility ids (the numbers of the pages), clicked
through their first action and read back through their states and texts.
"""

import time

import pyatspi

POLL = 0.05
FIND_TIMEOUT = 15.0


def wait_for(condition, timeout=FIND_TIMEOUT, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        try:
            result = condition()
        except Exception:  # objects vanish while a window closes
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for %s" % what)
        time.sleep(POLL)


def children(node):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield child


def descendants(node, depth=30):
    if depth == 0:
        return
    for child in children(node):
        yield child
        yield from descendants(child, depth - 1)


def accessible_id(node):
    try:
        return node.accessibleId
    except Exception:
        return ""


def application(pid):
    """The accessible application of the process pid, once it has windows."""
    def found():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            try:
                if app.get_process_id() == pid and app.childCount:
                    return app
            except Exception:
                continue
        return None
    return wait_for(found, what="the application of process %d" % pid)


def windows(app):
    """The application's windows on the screen."""
    return [node for node in children(app) if node.getState().contains(pyatspi.STATE_SHOWING)]


def window(app, role, name=None, timeout=FIND_TIMEOUT):
    def found():
        for node in children(app):
            if node.getRole() == role and (name is None or node.name == name):
                if node.getState().contains(pyatspi.STATE_SHOWING):
                    return node
        return None
    return wait_for(found, timeout, "a %s window %r" % (role, name))


def wait_closed(app, window_node, timeout=FIND_TIMEOUT):
    """Waits until the window (found earlier) is no longer on the screen."""
    try:
        role, name = window_node.getRole(), window_node.name
    except Exception:  # destroyed already
        return
    wait_for(lambda: not [node for node in windows(app)
                          if node.getRole() == role and node.name == name] or None,
             timeout, "the %s %r to close" % (role, name))


def by_id(root, control_id):
    for node in descendants(root):
        if accessible_id(node) == str(control_id):
            return node
    raise AssertionError("no control %s" % control_id)


def by_role(root, role, name=None):
    found = [node for node in descendants(root)
             if node.getRole() == role and (name is None or node.name == name)]
    return found


def click(node):
    node.queryAction().doAction(0)


def do_named_action(node, action_name):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index) == action_name:
            action.doAction(index)
            return
    raise AssertionError("%s has no action %s" % (node.name, action_name))


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def sensitive(node):
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def text(node):
    """A label's or button's text is its name; an entry's is its contents."""
    if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
        content = node.queryText()
        return content.getText(0, -1)
    return node.name


class SettingsDialog:
    """The dialog of one chronovale -c process."""

    def __init__(self, pid):
        self.app = application(pid)
        self.dialog = window(self.app, pyatspi.ROLE_DIALOG, "Chronovale")
        self.tab_list = by_role(self.dialog, pyatspi.ROLE_PAGE_TAB_LIST)[0]

    def tabs(self):
        return [tab for tab in children(self.tab_list) if tab.getRole() == pyatspi.ROLE_PAGE_TAB]

    def tab_titles(self):
        return [tab.name for tab in self.tabs()]

    def current_page(self):
        for index, tab in enumerate(self.tabs()):
            if tab.getState().contains(pyatspi.STATE_SELECTED):
                return index
        return None

    def show_page(self, index):
        self.tab_list.querySelection().selectChild(index)
        wait_for(lambda: self.current_page() == index, what="page %d" % index)

    def page(self, index):
        return self.tabs()[index]

    def control(self, page, control_id):
        return by_id(self.page(page), control_id)

    def button(self, control_id):
        """OK is 1 and Help is 9, as on the sheet."""
        return by_id(self.dialog, control_id)
