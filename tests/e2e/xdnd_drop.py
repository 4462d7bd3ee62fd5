#!/usr/bin/python3
"""An X drag source for the drop tests: offers FILEs as text/uri-list and drops
them at root point X,Y on the XdndAware window there (Wine's desktop window).

Usage: DISPLAY=:N /usr/bin/python3 xdnd_drop.py X Y FILE...
Exit 0 after the drop was sent and the data handed over; 3 no XdndAware window
at the point; 4 the target refused; 5 no answer in time.
"""
import sys
import time
import urllib.parse

from Xlib import X, display, protocol

TIMEOUT_S = 10
SETTLE_S = 1.0


def main():
    x, y, paths = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3:]
    d = display.Display()
    root = d.screen().root
    atom = {n: d.intern_atom(n) for n in (
        'XdndAware', 'XdndSelection', 'XdndEnter', 'XdndPosition', 'XdndStatus', 'XdndDrop',
        'XdndFinished', 'XdndLeave', 'XdndActionCopy', 'text/uri-list')}
    uris = ''.join('file://%s\r\n' % urllib.parse.quote(p) for p in paths).encode()

    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    source.set_selection_owner(atom['XdndSelection'], X.CurrentTime)

    # The innermost viewable window under the point that declares XdndAware.
    target, window = None, root
    while window:
        if window.get_full_property(atom['XdndAware'], X.AnyPropertyType):
            target = window
        below = None
        for child in reversed(window.query_tree().children):
            if child.get_attributes().map_state != X.IsViewable:
                continue
            geometry = child.get_geometry()
            origin = child.translate_coords(root, 0, 0)
            if 0 <= x + origin.x < geometry.width and 0 <= y + origin.y < geometry.height:
                below = child
                break
        window = below
    if target is None:
        print('no XdndAware window at %d,%d' % (x, y))
        return 3
    version = target.get_full_property(atom['XdndAware'], X.AnyPropertyType).value[0]

    def send(kind, words):
        words = list(words) + [0] * (5 - len(words))
        event = protocol.event.ClientMessage(window=target, client_type=atom[kind],
                                             data=(32, words))
        target.send_event(event, event_mask=0)
        d.flush()

    send('XdndEnter', [source.id, min(version, 5) << 24, atom['text/uri-list']])
    send('XdndPosition', [source.id, 0, (x << 16) | y, X.CurrentTime, atom['XdndActionCopy']])
    dropped = None
    start = time.time()
    while time.time() - start < TIMEOUT_S:
        while d.pending_events():
            e = d.next_event()
            if e.type == X.ClientMessage and e.client_type == atom['XdndStatus'] and not dropped:
                if not e.data[1][1] & 1:
                    send('XdndLeave', [source.id])
                    print('refused')
                    return 4
                send('XdndDrop', [source.id, 0, X.CurrentTime])
                dropped = time.time()
            elif e.type == X.SelectionRequest:
                prop = e.property or e.target
                e.requestor.change_property(prop, e.target, 8, uris)
                e.requestor.send_event(protocol.event.SelectionNotify(
                    time=e.time, requestor=e.requestor, selection=e.selection, target=e.target,
                    property=prop))
                d.flush()
            elif e.type == X.ClientMessage and e.client_type == atom['XdndFinished']:
                return 0
        # Wine sends no XdndFinished: the drop is done once the data was taken.
        if dropped and time.time() - dropped > SETTLE_S:
            return 0
        time.sleep(0.02)
    return 5


if __name__ == '__main__':
    sys.exit(main())
