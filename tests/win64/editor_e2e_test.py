#!/usr/bin/env python3
"""The plug-in's editor in a real window under Wine, driven through vsthost --editor with real X
input. Run by ctest of the win64 build:
    editor_e2e_test.py --vsthost vsthost.exe --wine-run wine-run.sh --plugin QRV_BrambleCascader.dll
The helpers (X server, xdotool input, commands, callback log, screen and PNG reading) are in
editor_harness.py.
"""

import collections
import functools
import os
import time

from editor_harness import (AUTOMATE, BEGIN_EDIT, END_EDIT, EditorTestCase, build_path,
                            gestures, main, read_png, wait_until)

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
FACE_PNG = os.path.join(RESOURCES, "bramble_face.png")
KNOB_PNG = os.path.join(RESOURCES, "bramble_knob.png")
POWER_PNG = os.path.join(RESOURCES, "bramble_power_button.png")
ROUTE_PNG = os.path.join(RESOURCES, "bramble_route_button.png")

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
INPUT_KNOB, ASYMMETRY_KNOB, INPUT_FIELD, ASYMMETRY_FIELD = 1, 3, 9, 11
SHAPER_BUTTON, ROUTE_BUTTON = 17, 19
BUTTON_IMAGES = {17: POWER_PNG, 18: POWER_PNG, 19: ROUTE_PNG}

# Spots of the face that no control covers.
FACE_SPOTS = [(10, 10), (20, 100), (300, 150), (700, 150)]

KNOB_FRAMES = 61
KNOB_SIZE = 64
BUTTON_SIZE = 42
FIELD_TEXT = (0, 255, 0)
HOST_IDLE = 3
# The tool's log line of the end of an effect (which answers 1 after deleting itself).
EFFECT_CLOSED = "opcode 1 (effClose) -> 1"
# One pixel of a linear drag moves a knob by 1/200 of its range.
PIXEL_STEP = 1.0 / 200


def shown(pixel):
    """An opaque image pixel as the editor shows it: images are premultiplied by alpha / 256."""
    return tuple(c * 255 >> 8 for c in pixel[:3])


@functools.lru_cache(maxsize=None)
def image(path):
    return read_png(path)[2]


def opaque_pixels(path, first_row, height):
    """{(x, y): colour on screen} of the fully opaque pixels of a band of an image."""
    rows = image(path)[first_row:first_row + height]
    return {(x, y): shown(pixel) for y, row in enumerate(rows) for x, pixel in enumerate(row)
            if pixel[3] == 255}


def knob_pixels(value):
    """What a knob shows of its film strip frame for a value (one that is no frame boundary)."""
    return opaque_pixels(KNOB_PNG, int(value * (KNOB_FRAMES - 1)) * KNOB_SIZE, KNOB_SIZE)


def button_pixels(tag, on):
    return opaque_pixels(BUTTON_IMAGES[tag], BUTTON_SIZE if on else 0, BUTTON_SIZE)


def differences(rows, expected):
    """The points of expected whose colour the pixel rows do not show."""
    return [point for point, colour in expected.items() if rows[point[1]][point[0]] != colour]


def crop(rows, rect):
    left, top, right, bottom = rect
    return [row[left:right] for row in rows[top:bottom]]


def centre(tag):
    left, top, right, bottom = CONTROLS[tag].rect
    return (left + right) // 2, (top + bottom) // 2


def gesture_on(parameter):
    return [("begin-edit", parameter), ("automate", parameter), ("end-edit", parameter)]


class EditorTest(EditorTestCase):
    def open_editor(self):
        """A started editor that has drawn its face."""
        editor = self.start_editor()
        x, y = FACE_SPOTS[0]
        self.assertTrue(editor.pump_until(
            lambda: editor.pixel(x, y) == shown(image(FACE_PNG)[y][x])))
        return editor

    def area(self, editor, tag, origin=None):
        return editor.screen_area(CONTROLS[tag].rect, origin)

    def assertPixels(self, rows, expected, what):
        wrong = differences(rows, expected)
        if wrong:
            x, y = wrong[0]
            self.fail("%s: %d of %d pixels differ; (%d, %d) shows %s instead of %s" %
                      (what, len(wrong), len(expected), x, y, rows[y][x], expected[x, y]))

    def assertShowsSoon(self, editor, tag, expected):
        """The control shows the expected pixels once the window has run a while."""
        editor.pump_until(lambda: not differences(self.area(editor, tag), expected))
        self.assertPixels(self.area(editor, tag), expected, "control %d" % tag)

    def assertValueSoon(self, editor, parameter, value, delta=1e-6):
        """The parameter reaches the value once the window has handled the input."""
        editor.pump_until(lambda: abs(editor.get(parameter) - value) <= delta)
        self.assertAlmostEqual(editor.get(parameter), value, delta=delta)


class EditorSmoke(EditorTest):
    def test_the_editor_shows_its_face_toggles_the_route_and_survives_open_close_cycles(self):
        editor = self.start_editor()
        self.assertEqual(editor.rect()[2:], (752, 160))
        face = image(FACE_PNG)
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


class KnobGestures(EditorTest):
    def drag_up(self, editor, tag, pixels, right=0):
        """A linear drag from the knob's centre."""
        x, y = centre(tag)
        editor.drag(self.xdo, (x, y), (x + right, y - pixels))

    def test_dragging_the_input_knob_shows_its_text_during_the_gesture_as_one_edit_of_9(self):
        editor = self.open_editor()
        origin = editor.rect()[:2]
        field_before = self.area(editor, INPUT_FIELD)
        x, y = centre(INPUT_KNOB)
        top = (origin[0] + x, origin[1] + y - 30)
        # Clockwise from the top, which is the value the knob has already.
        right = (top[0] + 30, top[1] + 20)
        editor.mark()
        with self.xdo.button_held(top):
            self.xdo.move_in_steps(top, right)
            # The tool is held in the knob's loop: the screen is read around it.
            self.assertTrue(wait_until(
                lambda: self.area(editor, INPUT_FIELD, origin) != field_before, 5))
            time.sleep(0.3)
            field_during = self.area(editor, INPUT_FIELD, origin)
        value = editor.get(9)
        self.assertGreater(value, 0.7)
        self.assertNotEqual(editor.display_text(9), "0.0")
        self.assertEqual(self.area(editor, INPUT_FIELD), field_during)

        calls = editor.callbacks()
        marks = gestures(calls)
        self.assertEqual([marks[0], marks[-1]], [("begin-edit", 9), ("end-edit", 9)])
        self.assertEqual(set(marks[1:-1]), {("automate", 9)})
        begin = [c.opcode for c in calls].index(BEGIN_EDIT)
        end = [c.opcode for c in calls].index(END_EDIT)
        # Between the two only the knob's own changes and the host's idle calls.
        between = [c for c in calls[begin + 1:end] if c.opcode != HOST_IDLE]
        self.assertEqual({(c.opcode, c.index) for c in between}, {(AUTOMATE, 9)})
        self.assertAlmostEqual(between[-1].opt, value, places=5)
        self.assertEqual(editor.quit(), 0)

    def test_linear_drags_take_200_pixels_for_the_range_and_300_with_shift_held(self):
        editor = self.open_editor()
        editor.ok("knob-mode 2")
        start = 0.3
        cases = [  # keys held, pixels up, pixels right, change
            ((), 100, 0, 0.5),
            ((), 0, 100, 0.5),
            ((), -40, 0, -0.2),
            (("shift",), 100, 0, 1.0 / 3),
        ]
        for keys, up, right, change in cases:
            with self.subTest(keys=keys, up=up, right=right):
                editor.set(9, start)
                editor.pump(100)
                with self.xdo.holding(*keys):
                    self.drag_up(editor, INPUT_KNOB, up, right)
                self.assertValueSoon(editor, 9, start + change, delta=PIXEL_STEP)
        self.assertEqual(editor.quit(), 0)

    def test_shift_pressed_in_mid_drag_goes_on_from_the_value_reached_in_finer_steps(self):
        editor = self.open_editor()
        editor.ok("knob-mode 2")
        editor.set(9, 0.2)
        editor.pump(100)
        x, y = editor.screen_point(*centre(INPUT_KNOB))
        with self.xdo.button_held((x, y)):
            self.xdo.move_in_steps((x, y), (x, y - 40), steps=4)
            with self.xdo.holding("shift"):
                # The knob takes the new step with the first move after the change.
                time.sleep(0.2)
                self.xdo.move_in_steps((x, y - 40), (x, y - 41), steps=1, step_seconds=0.1)
                self.xdo.move_in_steps((x, y - 41), (x, y - 100), steps=6)
        # 41 pixels at 1/200 and 59 at 1/300; a jump would have put all 100 at 1/300.
        self.assertValueSoon(editor, 9, 0.2 + 41 / 200 + 59 / 300, delta=PIXEL_STEP / 2)
        self.assertEqual(editor.quit(), 0)

    def test_the_knob_mode_set_on_a_second_instance_makes_the_first_drag_linearly(self):
        editor = self.open_editor()
        editor.ok("instance 2")
        editor.ok("knob-mode 2")
        editor.ok("instance 1")
        editor.set(9, 0.2)
        editor.pump(100)
        # Circular, a press at the centre and a drag straight up would end at 0.5.
        self.drag_up(editor, INPUT_KNOB, 100)
        self.assertValueSoon(editor, 9, 0.7, delta=PIXEL_STEP)
        self.assertEqual(editor.quit(), 0)

    def test_a_control_click_resets_a_knob_to_the_middle_in_one_edit(self):
        editor = self.open_editor()
        editor.set(9, 0.2)
        editor.pump(100)
        editor.mark()
        with self.xdo.holding("ctrl"):
            # Without control, a click at the centre of a circular knob would turn it to 0.83.
            editor.click_polling(self.xdo, *centre(INPUT_KNOB))
        self.assertValueSoon(editor, 9, 0.5)
        self.assertEqual(gestures(editor.callbacks()), gesture_on(9))
        self.assertEqual(editor.quit(), 0)

    def test_a_wheel_notch_over_a_knob_moves_it_by_a_tenth_and_a_hundredth_with_shift(self):
        editor = self.open_editor()
        self.xdo.move(*editor.screen_point(*centre(INPUT_KNOB)))
        for keys, notches, change in [((), 1, 0.1), ((), -1, -0.1), (("shift",), 1, 0.01)]:
            with self.subTest(keys=keys, notches=notches):
                editor.set(9, 0.5)
                editor.mark()
                with self.xdo.holding(*keys):
                    self.xdo.wheel(notches)
                    self.assertValueSoon(editor, 9, 0.5 + change)
                self.assertEqual(gestures(editor.callbacks()), gesture_on(9))
        self.assertEqual(editor.quit(), 0)

    def test_arrow_keys_from_the_host_move_the_clicked_knob_by_a_tenth_or_with_shift_a_hundredth(
            self):
        editor = self.open_editor()
        # No knob has the focus yet.
        self.assertEqual(editor.send("key 12 0"), "ok 0 0")
        editor.click_polling(self.xdo, *centre(INPUT_KNOB))
        editor.pump(100)
        editor.set(9, 0.5)
        cases = [  # key command, handled, value after
            ("key 12 0", 1, 0.6),  # up
            ("key 11 0", 1, 0.5),  # left
            ("key 13 1", 1, 0.51),  # right with shift
            ("key 14 1", 1, 0.5),  # down with shift
            ("key 14 0", 1, 0.4),  # down
            ("key 0 0 97", 0, 0.4),  # 'a'
        ]
        for command, handled, value in cases:
            with self.subTest(command=command):
                editor.mark()
                self.assertEqual(editor.ok(command)[0], str(handled))
                self.assertAlmostEqual(editor.get(9), value, places=5)
                self.assertEqual(gestures(editor.callbacks()), gesture_on(9) if handled else [])
        editor.set(9, 1.0)
        self.assertEqual(editor.ok("key 12 0")[0], "1")
        self.assertEqual(editor.get(9), 1.0)
        self.assertEqual(editor.quit(), 0)


class ButtonsAndFields(EditorTest):
    def test_the_route_button_toggles_parameter_0_on_and_off_with_one_edit_each(self):
        editor = self.open_editor()
        for expected in (1.0, 0.0):
            editor.mark()
            editor.click(self.xdo, *centre(ROUTE_BUTTON))
            self.assertValueSoon(editor, 0, expected)
            self.assertEqual(gestures(editor.callbacks()), gesture_on(0))
        self.assertEqual(editor.quit(), 0)

    def type_into(self, editor, tag, text):
        """Opens a field's edit window with a click and types over its selected text."""
        editor.click(self.xdo, *centre(tag))
        editor.pump(100)
        self.xdo.type(text)
        editor.pump(100)

    def test_a_value_typed_into_the_asymmetry_field_is_committed_by_enter_or_a_click_elsewhere(
            self):
        editor = self.open_editor()
        self.type_into(editor, ASYMMETRY_FIELD, "25")
        self.xdo.key("Return")
        self.assertValueSoon(editor, 1, 0.75)
        self.assertShowsSoon(editor, ASYMMETRY_KNOB, knob_pixels(0.75))

        # Typed over the selected "25": 10, not 2510.
        self.type_into(editor, ASYMMETRY_FIELD, "10")
        editor.click(self.xdo, *FACE_SPOTS[1])
        self.assertValueSoon(editor, 1, 0.6)

        self.type_into(editor, ASYMMETRY_FIELD, "40")
        self.xdo.key("Escape")
        editor.pump(200)
        self.assertEqual(editor.get(1), 0.6)
        self.xdo.key("Return")
        self.assertValueSoon(editor, 1, 0.9)
        self.assertEqual(editor.quit(), 0)


class HostChanges(EditorTest):
    def test_host_automation_is_drawn_at_the_next_idle_and_changes_of_a_closed_editor_on_open(
            self):
        editor = self.open_editor()
        editor.ok("idle-timer off")
        knob_before = self.area(editor, INPUT_KNOB)
        field_before = self.area(editor, INPUT_FIELD)
        editor.set(9, 0.875)
        editor.pump(300)
        self.assertEqual(self.area(editor, INPUT_KNOB), knob_before)
        self.assertEqual(self.area(editor, INPUT_FIELD), field_before)
        editor.ok("idle")
        self.assertShowsSoon(editor, INPUT_KNOB, knob_pixels(0.875))
        self.assertNotEqual(self.area(editor, INPUT_FIELD), field_before)

        editor.ok("idle-timer on")
        editor.ok("close")
        editor.set(9, 0.125)
        editor.ok("open")
        self.assertShowsSoon(editor, INPUT_KNOB, knob_pixels(0.125))
        self.assertEqual(editor.quit(), 0)


class Pictures(EditorTest):
    def screenshot(self, editor, name):
        path = build_path(name)
        self.assertEqual(editor.ok("screenshot Z:" + path), ["752", "160"])
        return read_png(path)[2]

    def assertControlShows(self, picture, tag, expected):
        self.assertPixels(crop(picture, CONTROLS[tag].rect), expected, "control %d" % tag)

    def test_a_screenshot_shows_the_knob_frames_the_button_states_and_green_field_texts(self):
        editor = self.open_editor()
        editor.pump(300)
        picture = self.screenshot(editor, "editor-e2e-defaults.png")
        for tag in range(1, 9):
            self.assertControlShows(picture, tag, knob_pixels(0.5))
        for tag, on in [(17, True), (18, True), (19, False)]:
            self.assertControlShows(picture, tag, button_pixels(tag, on))
        face = image(FACE_PNG)
        for tag in range(9, 17):
            left, top, right, bottom = CONTROLS[tag].rect
            text = {picture[y][x] for y in range(top, bottom) for x in range(left, right)
                    if picture[y][x] != shown(face[y][x])}
            # The text is drawn straight onto the face, in the field's colour.
            self.assertEqual(text, {FIELD_TEXT}, tag)

        for tag in (SHAPER_BUTTON, ROUTE_BUTTON):
            editor.click(self.xdo, *centre(tag))
        self.assertValueSoon(editor, 0, 1.0)
        self.assertValueSoon(editor, 2, 0.0)
        editor.pump(300)
        picture = self.screenshot(editor, "editor-e2e-switched.png")
        self.assertControlShows(picture, SHAPER_BUTTON, button_pixels(SHAPER_BUTTON, False))
        self.assertControlShows(picture, ROUTE_BUTTON, button_pixels(ROUTE_BUTTON, True))
        self.assertEqual(editor.quit(), 0)


class Robustness(EditorTest):
    # Heap caches may keep a little memory after the warm-up; a leak per cycle would not fit.
    MEMORY_SLACK = 1 << 20

    def assertNothingGrows(self, editor, before):
        resources = editor.resources()
        self.assertEqual(resources, before[0])
        self.assertLess(editor.memory() - before[1], self.MEMORY_SLACK)

    def test_200_open_close_cycles_in_one_and_in_two_instances_leave_nothing_behind(self):
        editor = self.open_editor()
        editor.ok("cycle 20")
        before = editor.resources(), editor.memory()
        editor.ok("cycle 200")
        self.assertNothingGrows(editor, before)

        editor.ok("instance 2")
        editor.ok("cycle 20")
        before = editor.resources(), editor.memory()
        for number in (1, 2):
            editor.ok("instance %d" % number)
            editor.ok("cycle 200")
        self.assertNothingGrows(editor, before)
        for number in (1, 2):
            editor.ok("instance %d" % number)
            editor.set(9, 0.875)
            self.assertShowsSoon(editor, INPUT_KNOB, knob_pixels(0.875))
        self.assertEqual(editor.quit(), 0)

    def test_an_effect_whose_editor_is_closed_is_closed_at_the_end_and_the_run_exits_0(self):
        editor = self.open_editor()
        editor.ok("close")
        self.assertEqual(editor.quit(), 0)
        self.assertEqual(editor.dispatch_log, [EFFECT_CLOSED])

    def test_two_open_editors_draw_and_react_and_one_still_draws_after_the_other_closes(self):
        editor = self.open_editor()
        editor.ok("instance 2")
        for number in (1, 2):
            editor.ok("instance %d" % number)
            self.assertShowsSoon(editor, INPUT_KNOB, knob_pixels(0.5))
            self.assertEqual(editor.get(0), 0.0)
            editor.click(self.xdo, *centre(ROUTE_BUTTON))
            self.assertValueSoon(editor, 0, 1.0)
            self.assertShowsSoon(editor, ROUTE_BUTTON, button_pixels(ROUTE_BUTTON, True))
        # The first editor's frame registered the window class; the second one keeps it.
        editor.ok("instance 1")
        editor.ok("close")
        editor.ok("instance 2")
        editor.ok("idle-timer off")
        editor.set(9, 0.875)
        editor.ok("idle")
        self.assertShowsSoon(editor, INPUT_KNOB, knob_pixels(0.875))
        self.assertEqual(editor.quit(), 0)
        self.assertEqual(editor.dispatch_log, [EFFECT_CLOSED] * 2)


if __name__ == "__main__":
    main()
