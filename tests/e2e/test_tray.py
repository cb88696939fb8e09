"""The notification-area icon in icewm's tray, driven with real clicks: the icon and its tip, a single
click that does nothing, a double click that restores, the right-click menu, About from the menu, and
Exit leaving no icon behind. Where the desktop offers a StatusNotifierItem watcher instead (Plasma, GNOME
with the AppIndicator extension), the icon goes there and its menu restores the window."""

import re
import threading
import time
import unittest

from zentimo_e2e import Zentimo, find, find_app, main, move_pointer, run, seek, wait_for

TRAY_BUTTON = (1920, 1320, 735, 345)  # Command5, twips
MINUTES_FIELD = (1260, 270, 720, 615)


def mapped(window):
    out = run("xwininfo", "-id", str(window), check=False).stdout
    return "IsViewable" in out


def parent_name(window):
    out = run("xwininfo", "-id", str(window), "-tree", check=False).stdout
    for line in out.splitlines():
        if "Parent window id:" in line:
            return line.split('"')[1] if '"' in line else ""
    return ""


def wm_state(window):
    return run("xprop", "-id", str(window), "_NET_WM_STATE").stdout


def tray_embedders():
    """Icon slots in icewm's tray, whoever they belong to."""
    return run("xwininfo", "-root", "-tree").stdout.count('"YXTrayEmbedder"')


def centre(window):
    out = run("xdotool", "getwindowgeometry", "--shell", str(window)).stdout
    v = dict(line.split("=", 1) for line in out.split())
    return int(v["X"]) + int(v["WIDTH"]) // 2, int(v["Y"]) + int(v["HEIGHT"]) // 2


def click_at(x, y, button=1, repeat=1):
    move_pointer(x, y)
    run("xdotool", "click", "--repeat", str(repeat), "--delay", "80", str(button))


def click_twips(window, left, top, width, height):
    out = run("xdotool", "getwindowgeometry", "--shell", str(window)).stdout
    v = dict(line.split("=", 1) for line in out.split())
    click_at(int(v["X"]) + round((left + width / 2) / 15), int(v["Y"]) + round((top + height / 2) / 15))


class TrayTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if '"SystemTray"' not in run("xwininfo", "-root", "-tree").stdout:
            raise AssertionError("the test X server has no icewm tray; see icewm.log in the X session folder")

    def setUp(self):
        self.app = Zentimo()
        self.app.start()
        self.window = wait_for(lambda: self.shown("Zentimo"), timeout=15, what="the main window")[0]

    def tearDown(self):
        self.app.cleanup()

    def shown(self, name=None):
        """Our visible windows, by title when given."""
        # xdotool ORs its conditions unless told --all.
        args = ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.app.proc.pid)]
        if name:
            args += ["--name", "^" + re.escape(name) + "$"]
        return [int(w) for w in run(*args, check=False).stdout.split()]

    def icons(self):
        """Our windows that sit in the tray."""
        return [w for w in self.shown() if parent_name(w) == "YXTrayEmbedder"]

    def go_to_tray(self):
        click_twips(self.window, *TRAY_BUTTON)
        wait_for(lambda: not mapped(self.window), what="main window hidden")
        return wait_for(lambda: self.icons(), what="tray icon")[0]

    def test_icon_shows_the_tip_and_only_a_double_click_restores(self):
        click_twips(self.window, *MINUTES_FIELD)
        self.app.type_text("5")
        self.app.key("Tab")
        icon = self.go_to_tray()

        x, y = centre(icon)
        root = find_app()
        tip = None
        # A hover that reaches the icon while it is still being embedded shows no tip: move again.
        for dx in (0, 2, -2):
            move_pointer(x + dx, y)
            try:
                # seek drops the cached tree between looks: a tip opened after the first look is not in it.
                tip = seek(root, lambda r: find(r, "Zentimo - Stopped (00:05:00)", showing_only=False),
                           "the icon's tip", timeout=4)
                break
            except AssertionError:
                continue
        self.assertIsNotNone(tip, "the icon shows no tip")
        self.assertEqual(tip.get_role_name(), "tool tip")
        time.sleep(0.3)  # let the tip finish painting for the picture
        self.app.screenshot("tray-icon-with-tip")

        click_at(x, y)
        time.sleep(1.0)  # a double click would have arrived by now
        self.assertFalse(mapped(self.window), "a single click restored the window")
        self.assertEqual(len(self.icons()), 1)

        click_at(x, y, repeat=2)
        wait_for(lambda: mapped(self.window), what="window restored by the double click")
        wait_for(lambda: not self.icons(), what="icon removed")
        # The taskbar entry that the tray took away stays away.
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", wm_state(self.window))
        self.app.screenshot("tray-restored")

    def menu_shown(self):
        """The pop-up menu: while the main window is hidden, our only visible window besides the icon."""
        others = [w for w in self.shown() if parent_name(w) != "YXTrayEmbedder"]
        return others[0] if len(others) == 1 else None

    def open_menu(self, icon):
        x, y = centre(icon)
        click_at(x, y, button=3)
        return wait_for(self.menu_shown, what="the tray menu")

    def test_menu_offers_about_and_exit_leaves_no_icon(self):
        icon = self.go_to_tray()

        menu = self.open_menu(icon)
        _, _, width, height = self.app.geometry(menu)
        self.assertTrue(width > 40 and height > 40, "the menu is too small to hold its items")
        self.app.screenshot("tray-menu")
        # The menu holds the keyboard: Restore, (separator), About.
        self.app.key("Down", "Down", "Return")
        box = wait_for(lambda: self.shown("About..."), what="the About box")[0]
        wait_for(lambda: run("xdotool", "getactivewindow", check=False).stdout.strip() == str(box),
                 what="the About box to take the keyboard")
        self.app.screenshot("tray-about-box")
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", wm_state(box))
        self.assertFalse(mapped(self.window), "About from the tray showed the main window")
        self.app.key("Return")
        wait_for(lambda: not self.shown("About..."), what="About box closed")
        time.sleep(0.5)
        self.assertIsNone(self.app.proc.poll(), "closing the About box ended the program")
        self.assertEqual(self.icons(), [icon])
        self.assertFalse(mapped(self.window))

        self.open_menu(icon)
        self.app.key("Up", "Return")  # the last item, Exit
        self.assertEqual(self.app.proc.wait(10), 0)
        wait_for(lambda: tray_embedders() == 0, what="the tray emptied")


WATCHER = """<node><interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
</interface></node>"""


class Watcher:
    """A StatusNotifierItem watcher with a host, on this test's own session bus."""

    def __init__(self):
        from gi.repository import Gio, GLib
        self.Gio, self.GLib = Gio, GLib
        self.items = []
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        owned = threading.Event()
        self.released = threading.Event()
        context = GLib.MainContext.new()
        self.loop = GLib.MainLoop(context)

        def serve():
            context.push_thread_default()
            info = Gio.DBusNodeInfo.new_for_xml(WATCHER).interfaces[0]
            registration = self.bus.register_object("/StatusNotifierWatcher", info, self.call, self.get, None)
            name = Gio.bus_own_name_on_connection(self.bus, "org.kde.StatusNotifierWatcher",
                                                  Gio.BusNameOwnerFlags.NONE, lambda *_: owned.set(), None)
            self.loop.run()
            # A name left behind with nobody answering would stall the next program's tray for the
            # whole D-Bus timeout.
            Gio.bus_unown_name(name)
            self.bus.unregister_object(registration)
            self.released.set()

        threading.Thread(target=serve, daemon=True).start()
        if not owned.wait(10):
            raise AssertionError("the watcher did not get its name on the session bus")

    def call(self, _bus, sender, _path, _interface, method, args, invocation):
        if method == "RegisterStatusNotifierItem":
            service = args.unpack()[0]
            # An item may give its object path instead of a bus name: then the sender is the service.
            self.items.append(sender if service.startswith("/") else service)
        invocation.return_value(None)

    def get(self, _bus, _sender, _path, _interface, name):
        V = self.GLib.Variant
        return {"RegisteredStatusNotifierItems": V("as", self.items),
                "IsStatusNotifierHostRegistered": V("b", True), "ProtocolVersion": V("i", 0)}[name]

    def item_call(self, service, path, interface, method, args, reply):
        result = self.bus.call_sync(service, path, interface, method, args, self.GLib.VariantType(reply),
                                    self.Gio.DBusCallFlags.NONE, 5000, None)
        return result.unpack()

    def item_property(self, service, name):
        return self.item_call(service, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
                              self.GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", name)), "(v)")[0]

    def click_menu_item(self, service, label):
        """Clicks a menu item as the desktop's panel would, through the item's exported menu."""
        menu = self.item_property(service, "Menu")
        _, (_, _, children) = self.item_call(service, menu, "com.canonical.dbusmenu", "GetLayout",
                                             self.GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
        ids = [child[0] for child in children if child[1].get("label") == label]
        self.item_call(service, menu, "com.canonical.dbusmenu", "Event",
                       self.GLib.Variant("(isvu)", (ids[0], "clicked", self.GLib.Variant("i", 0), 0)), "()")

    def stop(self):
        self.loop.quit()
        self.released.wait(5)


class TrayThroughWatcherTest(unittest.TestCase):
    """Named to run after TrayTest (classes run in name order), so that this test's program, just ended,
    is not what that one's first look on the accessibility bus finds."""

    def test_tray_goes_to_the_watcher_and_its_menu_restores(self):
        watcher = Watcher()
        self.addCleanup(watcher.stop)
        app = Zentimo().start()
        self.addCleanup(app.cleanup)
        window = app.wait_window()
        time.sleep(0.7)  # mapped is not yet ready for input
        click_twips(window, *TRAY_BUTTON)
        wait_for(lambda: not mapped(window), what="main window hidden")
        service = wait_for(lambda: watcher.items, what="the icon registered with the watcher")[0]
        self.assertEqual(watcher.item_property(service, "ToolTip")[2], "Zentimo - Stopped (00:00:00)")
        self.assertEqual(tray_embedders(), 0, "the icon went to the XEmbed tray as well")

        watcher.click_menu_item(service, "Restore")
        wait_for(lambda: mapped(window), what="window restored from the watcher's menu")


if __name__ == "__main__":
    main()
