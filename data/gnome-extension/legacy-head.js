// GNOME Shell 43 and 44 load extensions as scripts with imports.*; generated from
// lumatick.js at build time.
'use strict';

const {Clutter, Gio, GLib, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;

