#!/usr/bin/env python3
"""Writes the seeds of fuzz_dialog_ops into fuzz/seeds/dialog_ops/: the
calculator's own sequence of engine operations in the fuzzer's input format
(see the top of fuzz_dialog_ops.cpp), ended by DONE and by the close
command, and a dialog with one control of every kind."""
import os
import struct

OP = dict(font=0, new=1, add=2, color=4, modeless=5, modal=6, end=7, get=8,
          set=9, post=10, send=11, trigger=12)
WM_COMMAND, WM_SYSCOMMAND = 0, 10  # indexes into the fuzzer's message table
NO_SLOT = 3  # a slot no seed fills: a null window


def integer(v):
    if -16 <= v < 0xF0 - 16:
        return bytes([v + 16])
    return bytes([0xF0]) + struct.pack('<i', v)


def text(s):
    return bytes([len(s)]) + s.encode()


def raw(v):
    return struct.pack('<I', v)


def op(name, *parts):
    return bytes([OP[name]]) + b''.join(parts)


def font(face, points):
    return op('font', text(face), integer(points))


def new(slot, mode, caption, x, y, w, h, style=0, ex=0):
    return op('new', bytes([slot, mode, NO_SLOT]), text(caption), integer(x), integer(y),
              integer(w), integer(h), raw(style), raw(ex))


def add(kind, cid, caption, x, y, w, h, style=0, ex=0, callback=False, items=(), slot=0):
    return op('add', bytes([slot, kind + 1, 255]), integer(cid), text(caption),
              bytes([len(items)]), b''.join(text(i) for i in items), integer(x), integer(y),
              integer(w), integer(h), raw(style), raw(ex), bytes([1 if callback else 0]))


def post(cid, message, wparam, lparam=0, slot=0):
    return op('post', bytes([slot]), integer(cid), bytes([message]), integer(wparam),
              integer(lparam))


def trigger(message, countdown, operations, answer):
    return op('trigger', bytes([message, countdown - 1, operations - 1]), integer(answer))


LABEL, BOX, BUTTON = 5, 9, 1
LABELS = [('n', 10, 5), ('a', 10, 15), ('v', 10, 25), ('i', 10, 35), ('Rho', 10, 55),
          ('--', 70, 5), ('FT', 70, 15), ('Volts', 70, 25), ('Amps', 70, 35),
          ('OHM-FT', 70, 55)]
BOXES = [(101, '1', 5, 0), (102, '50', 15, 0), (103, '2.0', 25, 0), (104, '2.0', 35, 0),
         (106, '', 55, 0x800)]


def calculator_window():
    seq = font('tahoma', 10) + new(0, 1, 'TAVRIN Schlumberger', 100, 50, 110, 100)
    for caption, x, y in LABELS:
        seq += add(LABEL, -1, caption, x, y, 30, 10)
    for cid, caption, y, style in BOXES:
        seq += add(BOX, cid, caption, 40, y, 25, 10, style, 0x200)
    for cid in (101, 102, 103, 104):
        seq += op('color', bytes([0]), integer(cid), integer(0x0000FF), integer(0xFFFFFF))
    seq += op('color', bytes([0]), integer(106), integer(0xFF0000), integer(0xFFFFFF))
    seq += add(BUTTON, 107, 'CALC', 35, 75, 30, 10, callback=True)
    seq += add(BUTTON, 108, 'DONE', 35, 85, 30, 10, callback=True)
    return seq


def calc_click():
    # The CALC handler: read the four inputs, write the result.
    seq = trigger(WM_COMMAND, 1, 5, 0) + post(-1, WM_COMMAND, 107)
    for cid in (101, 102, 103, 104):
        seq += op('get', bytes([0]), integer(cid))
    return seq + op('set', bytes([0]), integer(106), text('314.2'))


def seeds():
    done = trigger(WM_COMMAND, 1, 1, 1) + post(-1, WM_COMMAND, 108) + op(
        'end', bytes([0]), integer(1))
    yield 'calculator_done', calculator_window() + op('modal', bytes([0, 0])) + calc_click() + done
    close = post(-1, WM_SYSCOMMAND, 1)  # odd wParam: SC_CLOSE
    yield 'calculator_close', calculator_window() + op('modal', bytes([0, 0])) + calc_click() + close
    kinds = font('tahoma', 10) + new(0, 2, 'kinds', -1, -1, 400, 300)
    for kind in range(17):
        items = ('one', 'two') if kind in (15, 16) else ()
        caption = {10: 'bitmap', 11: 'bitmap', 12: 'icon', 13: 'icon'}.get(kind, 'k')
        kinds += add(kind, 200 + kind, caption, 10 + 20 * kind, 10, 40, 30, callback=True,
                     items=items)
        kinds += op('color', bytes([0]), integer(200 + kind), integer(0x00FF00), integer(-2))
    kinds += op('modeless', bytes([0, 1])) + post(-1, WM_SYSCOMMAND, 1) + op(
        'end', bytes([0]), integer(3))
    yield 'every_kind', kinds


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'seeds', 'dialog_ops')
    os.makedirs(out, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
