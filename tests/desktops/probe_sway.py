"""sway: its tree, waybar's tray, makoctl; sway takes no injected input, so a click is the call sway makes."""

import json

import desktop
from desktop import Notification, Window, run


def stacked(node):
    """A workspace's windows lowest first: tiled, then floating in sway's order (the last drawn on top)."""
    if node.get("pid") and node["type"] in ("con", "floating_con"):
        yield node
    for child in node.get("nodes", []):
        yield from stacked(child)
    for child in node.get("floating_nodes", []):
        yield from stacked(child)


class Probe(desktop.Probe):
    def _nodes(self):
        nodes = [n for n in stacked(json.loads(run("swaymsg", "-t", "get_tree", "--raw").stdout)) if n.get("visible")]
        # A fullscreen window stands over all others.
        return sorted(nodes, key=lambda n: bool(n.get("fullscreen_mode")))

    def windows(self):
        return [Window(n["id"], n["pid"], n.get("name") or "", *(n["rect"][k] for k in ("x", "y", "width", "height")))
                for n in self._nodes()]

    def active_id(self):
        return next((n["id"] for n in self._nodes() if n.get("focused")), None)

    def click(self, window):
        run("swaymsg", "[con_id=%d]" % window.id, "focus")

    def tray_items(self):
        # The watcher is waybar's own: what it holds, waybar's tray shows.
        watcher = desktop.name_pid("org.kde.StatusNotifierWatcher")
        with open("/proc/%d/comm" % watcher) as f:
            if f.read().strip() != "waybar":
                return []
        return desktop.sni_items()

    def tray_activate(self, item):
        service, _, path = item.id.partition("/")
        # waybar opens the menu instead for an item that says it is only a menu.
        if desktop.prop(service, "/" + path, "org.kde.StatusNotifierItem", "ItemIsMenu"):
            raise AssertionError("the item asks for its menu on a click")
        super().tray_activate(item)

    def notifications(self, keys=False):
        value = lambda n, key, default="": n.get(key, {}).get("data", default)
        return [Notification(value(n, "id"), value(n, "app-name"), value(n, "summary"), value(n, "body"),
                             value(n, "actions", {}) if keys else list(value(n, "actions", {}).values()))
                for n in json.loads(run("makoctl", "list").stdout)["data"][0]]

    def invoke_action(self, notification, label):
        actions = next(n.actions for n in self.notifications(keys=True) if n.id == notification.id)
        key = next(k for k, v in actions.items() if v == label)
        run("makoctl", "invoke", "-n", str(notification.id), key)

    def screenshot(self, path):
        run("grim", path)
