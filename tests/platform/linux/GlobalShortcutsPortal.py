'''The desktop portal's org.freedesktop.portal.GlobalShortcuts, as a python-dbusmock template.

Each call answers with a request object path named after the caller and its token, then sends
Response on it, as the portal does. Parameters: "bind_response" (0 granted, 1 cancelled, 2 failed).
'''

import dbus
from dbusmock import MOCK_IFACE, mockobject

BUS_NAME = 'org.freedesktop.portal.Desktop'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.portal.GlobalShortcuts'
SYSTEM_BUS = False


def load(mock, parameters):
    mock.bind_response = parameters.get('bind_response', 0)
    mock.triggers = []
    mock.AddProperty(MAIN_IFACE, 'version', dbus.UInt32(1))


def handle(kind, sender, token):
    return f'{MAIN_OBJ}/{kind}/{sender[1:].replace(".", "_")}/{token}'


def answer(sender, options, response, results):
    main = mockobject.objects[MAIN_OBJ]
    request = handle('request', sender, options['handle_token'])
    main.EmitSignalDetailed('org.freedesktop.portal.Request', 'Response', 'ua{sv}',
                            [dbus.UInt32(response), dbus.Dictionary(results, signature='sv')],
                            {'path': request})
    return dbus.ObjectPath(request)


@dbus.service.method(MAIN_IFACE, in_signature='a{sv}', out_signature='o', sender_keyword='sender')
def CreateSession(self, options, sender=None):
    session = handle('session', sender, options['session_handle_token'])
    self.AddObject(session, 'org.freedesktop.portal.Session', {}, [
        ('Close', '', '', f'objects["{MAIN_OBJ}"].call_log.append((0, "Close", ["{session}"]))')])
    return answer(sender, options, 0, {'session_handle': session})


@dbus.service.method(MAIN_IFACE, in_signature='oa(sa{sv})sa{sv}', out_signature='o', sender_keyword='sender')
def BindShortcuts(self, session, shortcuts, parent_window, options, sender=None):
    self.triggers.extend(f'{id} {props.get("preferred_trigger", "")}' for id, props in shortcuts)
    return answer(sender, options, self.bind_response, {})


@dbus.service.method(MOCK_IFACE, out_signature='as')
def ProposedTriggers(self):
    '''"id trigger" of every shortcut bound so far, for the test to read.'''
    return self.triggers
