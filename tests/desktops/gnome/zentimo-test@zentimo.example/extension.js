// The tests look at the shell's own state through its Eval and Screenshot interfaces, which answer only in
// unsafe mode; a headless shell starts in the overview, where no window is active.
const Main = imports.ui.main;

class Extension {
    enable() {
        // The shell says nothing of unsafe mode while Looking Glass is open; its notice would stand among the
        // notifications and over the windows the tests look at.
        const lookingGlass = Main.lookingGlass;
        Main.lookingGlass = { isOpen: true };
        global.context.unsafe_mode = true;
        Main.lookingGlass = lookingGlass;
        if (Main.layoutManager._startingUp)
            this._id = Main.layoutManager.connect('startup-complete', () => Main.overview.hide());
        else
            Main.overview.hide();
    }

    disable() {
        if (this._id)
            Main.layoutManager.disconnect(this._id);
        global.context.unsafe_mode = false;
    }
}

function init() {
    return new Extension();
}
