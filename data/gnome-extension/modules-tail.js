
export default class LumatickExtension extends Extension {
    enable() {
        this._counter = new LumatickCounter();
        this._counter.enable();
    }

    disable() {
        this._counter.disable();
        this._counter = null;
    }
}
