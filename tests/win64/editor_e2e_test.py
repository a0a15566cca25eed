#!/usr/bin/env python3
"""The plug-in's editor in a real window under Wine, driven through vsthost --editor with real X
input. Run by ctest of the win64 build:
    editor_e2e_test.py --vsthost vsthost.exe --wine-run wine-run.sh --plugin QRV_BrambleCascader.dll
The helpers (X server, xdotool input, commands, callback log, PNG reading) are in
editor_harness.py.
"""

import collections
import os

from editor_harness import EditorTestCase, gestures, main, read_png

FACE_PNG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources",
                        "bramble_face.png")

Control = collections.namedtuple("Control", "kind rect parameter")

# The editor's controls by tag: rectangles (left, top, right, bottom) in editor coordinates,
# right and bottom exclusive, and the parameter each one drives.
CONTROLS = {
    1: Control("knob", (56, 80, 120, 144), 9),
    2: Control("knob", (624, 80, 688, 144), 10),
    3: Control("knob", (544, 32, 608, 96), 1),
    4: Control("knob", (144, 80, 208, 144), 3),
    5: Control("knob", (216, 80, 280, 144), 4),
    6: Control("knob", (312, 80, 376, 144), 6),
    7: Control("knob", (384, 80, 448, 144), 7),
    8: Control("knob", (456, 80, 520, 144), 8),
    9: Control("field", (64, 60, 112, 76), 9),
    10: Control("field", (632, 60, 680, 76), 10),
    11: Control("field", (552, 12, 600, 28), 1),
    12: Control("field", (152, 60, 200, 76), 3),
    13: Control("field", (224, 60, 272, 76), 4),
    14: Control("field", (320, 60, 368, 76), 6),
    15: Control("field", (392, 60, 440, 76), 7),
    16: Control("field", (464, 60, 512, 76), 8),
    17: Control("button", (227, 8, 269, 50), 2),
    18: Control("button", (467, 8, 509, 50), 5),
    19: Control("button", (395, 8, 437, 50), 0),
}
ROUTE_BUTTON = 19

# Spots of the face that no control covers.
FACE_SPOTS = [(10, 10), (20, 100), (300, 150), (700, 150)]


def shown(pixel):
    """An opaque image pixel as the editor shows it: images are premultiplied by alpha / 256."""
    return tuple(c * 255 >> 8 for c in pixel[:3])


def centre(tag):
    left, top, right, bottom = CONTROLS[tag].rect
    return (left + right) // 2, (top + bottom) // 2


def gesture_on(parameter):
    return [("begin-edit", parameter), ("automate", parameter), ("end-edit", parameter)]


class EditorSmoke(EditorTestCase):
    def test_the_editor_shows_its_face_toggles_the_route_and_survives_open_close_cycles(self):
        editor = self.start_editor()
        self.assertEqual(editor.rect()[2:], (752, 160))
        _, _, face = read_png(FACE_PNG)
        first_x, first_y = FACE_SPOTS[0]
        self.assertTrue(editor.pump_until(
            lambda: editor.pixel(first_x, first_y) == shown(face[first_y][first_x])))
        for x, y in FACE_SPOTS:
            self.assertEqual(editor.pixel(x, y), shown(face[y][x]), (x, y))

        route = editor.get(0)
        editor.mark()
        editor.click(self.xdo, *centre(ROUTE_BUTTON))
        self.assertTrue(editor.pump_until(lambda: editor.get(0) != route))
        self.assertEqual(editor.get(0), 1.0 - route)
        self.assertEqual(gestures(editor.callbacks()), gesture_on(0))

        cycles = 20
        before = editor.resources()
        editor.ok("cycle %d" % cycles)
        after = editor.resources()
        self.assertEqual(after["windows"], before["windows"])
        # One object left behind per cycle would add as many as there were cycles.
        self.assertLess(after["gdi"] - before["gdi"], cycles, (before, after))
        self.assertEqual(editor.quit(), 0)


if __name__ == "__main__":
    main()
