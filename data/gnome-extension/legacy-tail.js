
class Extension {
    enable() {
        this._counter = new LumatickCounter();
        this._counter.enable();
    }

    disable() {
        this._counter.disable();
        this._counter = null;
    }
}

// eslint-disable-next-line no-unused-vars
function init() {
    return new Extension();
}
