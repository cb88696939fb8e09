"""Another program's window for the desktop tests: a large window of one plain colour, which shows through
wherever a window above it is shaped."""

import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

TITLE, COLOUR = sys.argv[1], sys.argv[2]

style = Gtk.CssProvider()
style.load_from_data(b"window { background-color: rgb(%s); }" % COLOUR.encode())
window = Gtk.Window(title=TITLE)
window.get_style_context().add_provider(style, Gtk.STYLE_PROVIDER_PRIORITY_APPLICATION)
window.set_default_size(1200, 720)
window.connect("destroy", Gtk.main_quit)
window.show_all()
window.present()
Gtk.main()
