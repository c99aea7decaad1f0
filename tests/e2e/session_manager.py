"""A minimal X session manager for end-to-end tests, on the X session
libraries the program itself loads: it accepts one client, and on "save"
from standard input asks it to save for a shutdown with interaction allowed,
as a desktop logout does. It reports on standard output, one line each:
"listening <address>", "registered", "interact-request",
"interact-done cancel=<0|1>", "save-done success=<0|1>", "closed"."""

import ctypes
import os
import select

P, I = ctypes.c_void_p, ctypes.c_int
sm, ice = ctypes.CDLL("libSM.so.6"), ctypes.CDLL("libICE.so.6")
for lib, name, result, args in (
        (sm, "SmsInitialize", I, [ctypes.c_char_p, ctypes.c_char_p, P, P, P, I, ctypes.c_char_p]),
        (sm, "SmsGenerateClientID", P, [P]), (sm, "SmsRegisterClientReply", I, [P, P]),
        (sm, "SmsInteract", None, [P]), (sm, "SmsShutdownCancelled", None, [P]),
        (sm, "SmsSaveYourselfPhase2", None, [P]), (sm, "SmsCleanUp", None, [P]),
        (sm, "SmsReturnProperties", None, [P, I, P]), (sm, "SmsSaveYourself", None, [P, I, I, I, I]),
        (ice, "IceListenForConnections", I, [P, P, I, ctypes.c_char_p]),
        (ice, "IceSetHostBasedAuthProc", None, [P, P]), (ice, "IceComposeNetworkIdList", ctypes.c_char_p, [I, P]),
        (ice, "IceGetListenConnectionNumber", I, [P]), (ice, "IceAcceptConnection", P, [P, P]),
        (ice, "IceConnectionNumber", I, [P]), (ice, "IceProcessMessages", I, [P, P, P]),
        (ice, "IceCloseConnection", I, [P])):
    getattr(lib, name).restype, getattr(lib, name).argtypes = result, args

SAVE_BOTH, INTERACT_ANY, PROCESS_IO_ERROR = 2, 2, 1
FALLBACK_ID = ctypes.create_string_buffer(b"1quorvel-e2e-client")
client = None


def say(line):
    print(line, flush=True)


def on_register(conn, _data, _previous_id):
    global client
    sm.SmsRegisterClientReply(conn, sm.SmsGenerateClientID(conn) or ctypes.addressof(FALLBACK_ID))
    client = conn
    say("registered")
    return 1


def on_interact_done(conn, _data, cancel):
    say("interact-done cancel=%d" % bool(cancel))
    if cancel:
        sm.SmsShutdownCancelled(conn)


def on_close(conn, _data, _count):
    global client
    sm.SmsCleanUp(conn)
    if conn == client:
        client = None
    say("closed")


# Every callback must be there, in the order of SmsCallbacks; extra C
# arguments past the ones declared are left unread.
Callback = ctypes.CFUNCTYPE(None, P, P, I)
CALLBACKS = [ctypes.CFUNCTYPE(I, P, P, P)(on_register)] + [Callback(f) for f in (
    lambda conn, _d, _t: (say("interact-request"), sm.SmsInteract(conn)),
    on_interact_done,
    lambda *_: None,  # save-yourself request
    lambda conn, _d, _x: sm.SmsSaveYourselfPhase2(conn),
    lambda _c, _d, success: say("save-done success=%d" % bool(success)),
    on_close,
    lambda *_: None,  # set properties
    lambda *_: None,  # delete properties
    lambda conn, _d, _x: sm.SmsReturnProperties(conn, 0, None))]


@ctypes.CFUNCTYPE(I, P, P, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(P), P)
def on_new_client(_conn, _data, mask, callbacks, _failure):
    mask[0] = (1 << len(CALLBACKS)) - 1
    for i, f in enumerate(CALLBACKS):
        callbacks[2 * i], callbacks[2 * i + 1] = ctypes.cast(f, P).value, None
    return 1


ALLOW_HOST = ctypes.CFUNCTYPE(I, P)(lambda _host: 1)  # the test's own display and user only


def main():
    error = ctypes.create_string_buffer(256)
    if not sm.SmsInitialize(b"quorvel-e2e", b"1.0", ctypes.cast(on_new_client, P), None,
                            ctypes.cast(ALLOW_HOST, P), len(error), error):
        raise SystemExit("SmsInitialize: " + error.value.decode())
    count, objs = I(), ctypes.POINTER(P)()
    if not ice.IceListenForConnections(ctypes.byref(count), ctypes.byref(objs), len(error), error) or not count.value:
        raise SystemExit("IceListenForConnections: " + error.value.decode())
    listeners = {}
    for i in range(count.value):
        ice.IceSetHostBasedAuthProc(objs[i], ctypes.cast(ALLOW_HOST, P))
        listeners[ice.IceGetListenConnectionNumber(objs[i])] = objs[i]
    say("listening " + ice.IceComposeNetworkIdList(count, objs).decode())
    conns = {}
    while True:
        for fd in select.select([0, *listeners, *conns], [], [])[0]:
            if fd == 0:
                line = os.read(0, 64)
                if not line or line.startswith(b"quit"):
                    return
                if line.startswith(b"save") and client:
                    sm.SmsSaveYourself(client, SAVE_BOTH, 1, INTERACT_ANY, 0)
            elif fd in listeners:
                conn = ice.IceAcceptConnection(listeners[fd], ctypes.byref(I()))
                if conn:
                    conns[ice.IceConnectionNumber(conn)] = conn
            elif fd in conns and ice.IceProcessMessages(conns[fd], None, None) == PROCESS_IO_ERROR:
                ice.IceCloseConnection(conns.pop(fd))


if __name__ == "__main__":
    main()
