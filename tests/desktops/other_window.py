"""Another program's window for the desktop tests: a plain GTK window that the user works in."""

import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

TITLE = sys.argv[1] if len(sys.argv) > 1 else "Other Program"

window = Gtk.Window(title=TITLE)
window.set_default_size(900, 640)
window.add(Gtk.TextView())
window.connect("destroy", Gtk.main_quit)
window.show_all()
window.present()
Gtk.main()
