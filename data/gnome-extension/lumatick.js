// Lumatick's counter in GNOME's top bar: today's time in its tier's colour, dimmed with a pause
// sign while paused, and on a click a popup with today's figures, Pause/Resume and the ways
// into Lumatick's windows. Everything is read from Lumatick's session-bus object and follows
// its PropertiesChanged signals; nothing is polled. Lumatick announces its total only when the
// minute, the tier, the pause or whether it counts changes: the seconds in between are counted
// here, so neither Lumatick nor the bus wakes every second for the top bar. The button hides
// while Lumatick is not on the bus. The build wraps this file in the imports of GNOME 43/44 or
// of 45 and later.

const LUMATICK_BUS_NAME = 'com.brightlet.Lumatick';
const LUMATICK_OBJECT_PATH = '/com/brightlet/Lumatick';
const LUMATICK_INTERFACE = 'com.brightlet.Lumatick';
// Owned while the extension runs: Lumatick then leaves out its tray item, which would show the
// counter a second time through the AppIndicator extension.
const EXTENSION_BUS_NAME = 'com.brightlet.Lumatick.GnomeExtension';

// Lumatick's built-in tier colours.
const TIER_COLORS = {
    green: [52, 199, 89],
    yellow: [255, 204, 0],
    red: [255, 59, 48],
};
const GLIDE_MILLISECONDS = 600;
const GLIDE_STEP_MILLISECONDS = 30;
const PAUSED_OPACITY = 140;
const SECOND_MICROSECONDS = 1000000;

function tierColor(tier) {
    return TIER_COLORS[tier] ?? TIER_COLORS.green;
}

function mixColor(from, to, fraction) {
    return from.map((channel, i) => Math.round(channel + (to[i] - channel) * fraction));
}

// Today's time as Lumatick writes it with seconds: "4h 07m 12s", "7m 02s", "12s".
function textWithSeconds(total) {
    const hours = Math.floor(total / 3600);
    const minutes = Math.floor(total % 3600 / 60);
    const seconds = total % 60;
    const padded = value => String(value).padStart(2, '0');
    if (hours > 0)
        return `${hours}h ${padded(minutes)}m ${padded(seconds)}s`;
    if (minutes > 0)
        return `${minutes}m ${padded(seconds)}s`;
    return `${seconds}s`;
}

// The button in the top bar and its popup; made on enable, destroyed on disable.
class LumatickCounter {
    enable() {
        this._color = null;
        this._glideSource = 0;
        this._secondsSource = 0;
        this._shownPaused = null;
        this._buildButton();
        this._buildMenu();
        Main.panel.addToStatusArea('lumatick', this._button, 0, 'right');
        this._ownerId = Gio.bus_own_name(Gio.BusType.SESSION, EXTENSION_BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null, null);
        this._followLumatick();
    }

    disable() {
        if (this._glideSource)
            GLib.source_remove(this._glideSource);
        this._glideSource = 0;
        this._stopCounting();
        Gio.bus_unown_name(this._ownerId);
        this._cancellable.cancel();
        if (this._proxy) {
            this._proxy.disconnect(this._ownerChangedId);
            this._proxy.disconnect(this._propertiesChangedId);
        }
        this._proxy = null;
        this._button.destroy();
        this._button = null;
    }

    _buildButton() {
        this._button = new PanelMenu.Button(0.0, 'Lumatick', false);
        const box = new St.BoxLayout({style_class: 'panel-status-menu-box'});
        this._pauseIcon = new St.Icon({
            icon_name: 'media-playback-pause-symbolic',
            style_class: 'system-status-icon',
            visible: false,
        });
        this._label = new St.Label({text: '', y_align: Clutter.ActorAlign.CENTER});
        box.add_child(this._pauseIcon);
        box.add_child(this._label);
        this._button.add_child(box);
        this._button.visible = false;
    }

    _buildMenu() {
        const menu = this._button.menu;
        this._figureRows = [0, 1, 2, 3].map(() => {
            const row = new PopupMenu.PopupMenuItem('', {reactive: false, can_focus: false});
            menu.addMenuItem(row);
            return row;
        });
        menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
        this._pauseItem = menu.addAction('Pause', () => this._call(this._paused() ? 'Resume' : 'Pause'));
        menu.addAction('Open Panel\u2026', () => this._call('ShowPanel'));
        menu.addAction('History\u2026', () => this._call('OpenHistory'));
        menu.addAction('Settings\u2026', () => this._call('OpenSettings'));
        // Yesterday and the average change only at midnight: read once per opening.
        menu.connect('open-state-changed', (_menu, open) => {
            if (open)
                this._loadFigures();
        });
    }

    // The proxy follows the name's owner: when Lumatick starts it loads the properties and says
    // so through g-properties-changed, when it quits the owner becomes null. Made
    // asynchronously, since the shell must not wait on the bus.
    _followLumatick() {
        this._cancellable = new Gio.Cancellable();
        Gio.DBusProxy.new_for_bus(Gio.BusType.SESSION, Gio.DBusProxyFlags.DO_NOT_AUTO_START, null,
            LUMATICK_BUS_NAME, LUMATICK_OBJECT_PATH, LUMATICK_INTERFACE, this._cancellable,
            (_source, result) => {
                try {
                    this._proxy = Gio.DBusProxy.new_for_bus_finish(result);
                } catch (error) {
                    if (!error.matches(Gio.IOErrorEnum, Gio.IOErrorEnum.CANCELLED))
                        logError(error, 'Lumatick: no bus');
                    return;
                }
                this._ownerChangedId = this._proxy.connect('notify::g-name-owner',
                    () => this._onOwnerChanged());
                this._propertiesChangedId = this._proxy.connect('g-properties-changed',
                    () => this._onPropertiesChanged());
                this._onOwnerChanged();
            });
    }

    _onOwnerChanged() {
        const running = this._proxy.g_name_owner !== null;
        this._button.visible = running;
        if (!running) {
            this._stopCounting();
            this._button.menu.close();
            return;
        }
        this._show();
    }

    _onPropertiesChanged() {
        this._show();
    }

    _property(name) {
        return this._proxy.get_cached_property(name)?.unpack() ?? null;
    }

    _paused() {
        return this._property('Paused') === true;
    }

    _show() {
        const text = this._property('TodayText');
        if (text === null)
            return;
        this._showTime(text);
        const paused = this._paused();
        if (paused !== this._shownPaused) {
            this._shownPaused = paused;
            this._pauseIcon.visible = paused;
            this._button.opacity = paused ? PAUSED_OPACITY : 255;
            this._pauseItem.label.text = paused ? 'Resume' : 'Pause';
        }
        this._glideTo(tierColor(this._property('Tier')));
    }

    // The same text again would still lay the label out and draw it anew.
    _setText(text) {
        if (this._label.text !== text)
            this._label.text = text;
    }

    // Shows the announced text. While Lumatick counts and its text shows the seconds (the total
    // written as textWithSeconds writes it), the seconds since the announcement are added here;
    // it comes right after Lumatick's tick, so this count turns with Lumatick's. An announcement
    // of other figures only leaves the count running.
    _showTime(text) {
        const seconds = this._property('TodaySeconds');
        const counting = this._property('Counting') === true;
        const base = `${seconds} ${counting} ${text}`;
        if (base === this._base)
            return;
        this._stopCounting();
        this._base = base;
        this._setText(text);
        if (!counting || seconds === null || textWithSeconds(seconds) !== text)
            return;
        const since = GLib.get_monotonic_time();
        this._secondsSource = GLib.timeout_add(GLib.PRIORITY_DEFAULT, 1000, () => {
            const elapsed = Math.round((GLib.get_monotonic_time() - since) / SECOND_MICROSECONDS);
            this._setText(textWithSeconds(seconds + elapsed));
            return GLib.SOURCE_CONTINUE;
        });
    }

    _stopCounting() {
        if (this._secondsSource)
            GLib.source_remove(this._secondsSource);
        this._secondsSource = 0;
        this._base = null;
    }

    // A new tier fades in over a moment rather than jumping.
    _glideTo(target) {
        if (this._target && this._target.every((channel, i) => channel === target[i]))
            return;
        this._target = target;
        if (this._glideSource)
            GLib.source_remove(this._glideSource);
        this._glideSource = 0;
        if (this._color === null) {
            this._setColor(target);
            return;
        }
        const from = this._color;
        const started = GLib.get_monotonic_time();
        this._glideSource = GLib.timeout_add(GLib.PRIORITY_DEFAULT, GLIDE_STEP_MILLISECONDS, () => {
            const fraction = Math.min(1, (GLib.get_monotonic_time() - started) / 1000 / GLIDE_MILLISECONDS);
            this._setColor(mixColor(from, target, fraction));
            if (fraction < 1)
                return GLib.SOURCE_CONTINUE;
            this._glideSource = 0;
            return GLib.SOURCE_REMOVE;
        });
    }

    _setColor(color) {
        this._color = color;
        this._label.style = `color: rgb(${color.join(',')}); font-feature-settings: "tnum";`;
    }

    _loadFigures() {
        this._proxy.call('Figures', null, Gio.DBusCallFlags.NONE, -1, null, (proxy, result) => {
            let rows = [];
            try {
                [rows] = proxy.call_finish(result).deepUnpack();
            } catch (error) {
                logError(error, 'Lumatick: no figures');
            }
            this._figureRows.forEach((row, i) => {
                row.label.text = rows[i] ?? '';
                row.visible = i < rows.length;
            });
        });
    }

    _call(method) {
        this._proxy.call(method, null, Gio.DBusCallFlags.NONE, -1, null, (proxy, result) => {
            try {
                proxy.call_finish(result);
            } catch (error) {
                logError(error, `Lumatick: ${method}`);
            }
        });
    }
}
