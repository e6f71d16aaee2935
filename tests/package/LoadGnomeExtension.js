// Loads the GNOME 45+ form of our shell extension as the shell does, as an ES module, with
// stand-ins for the shell's own modules (only the shell has them), and checks that its default
// export is an Extension with enable and disable.
import GIRepository from 'gi://GIRepository';
import GLib from 'gi://GLib';
import System from 'system';

const stubs = {
    'ui/main.js': 'export const panel = {};',
    'ui/panelMenu.js': 'export class Button {}',
    'ui/popupMenu.js': 'export class PopupMenuItem {}\nexport class PopupSeparatorMenuItem {}',
    'extensions/extension.js': 'export class Extension { constructor(metadata) { this.metadata = metadata; } }',
};
const dir = GLib.dir_make_tmp('lumatick-extension-XXXXXX');
for (const [name, text] of Object.entries(stubs)) {
    GLib.mkdir_with_parents(GLib.path_get_dirname(`${dir}/shell/${name}`), 0o700);
    GLib.file_set_contents(`${dir}/shell/${name}`, text);
}
let source = new TextDecoder().decode(GLib.file_get_contents(ARGV[0])[1])
    .replaceAll('resource:///org/gnome/shell/', `file://${dir}/shell/`);
// The shell's toolkit where its typelibs are found (the test points GI_TYPELIB_PATH at them).
for (const namespace of ['Clutter', 'St']) {
    if (GIRepository.Repository.get_default().enumerate_versions(namespace).length === 0) {
        GLib.file_set_contents(`${dir}/${namespace}.js`, 'export default {};');
        source = source.replaceAll(`gi://${namespace}`, `file://${dir}/${namespace}.js`);
    }
}
GLib.file_set_contents(`${dir}/extension.js`, source);
const {default: LumatickExtension} = await import(`file://${dir}/extension.js`);
const extension = new LumatickExtension({uuid: 'lumatick@brightlet.com'});
if (typeof extension.enable !== 'function' || typeof extension.disable !== 'function') {
    printerr('the default export is no Extension with enable() and disable()');
    System.exit(1);
}
print(`loaded ${extension.metadata.uuid}`);
GLib.spawn_command_line_sync(`rm -rf ${dir}`);
