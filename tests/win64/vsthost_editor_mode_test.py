#!/usr/bin/env python3
"""vsthost --editor against the fake editor plug-in (fake_editor_plugin.cpp), whose editor
paints its left half red, its right half blue and a grey/green button at (395, 8, 437, 50) that
toggles parameter 0 with a gesture. Run by ctest of the win64 build:
    vsthost_editor_mode_test.py --vsthost vsthost.exe --wine-run wine-run.sh --plugin fake.dll
"""

import os
import subprocess
import tempfile

from editor_harness import EditorTestCase, gestures, main, read_png

RED = (200, 30, 30)
BLUE = (30, 30, 200)
OFF = (128, 128, 128)
ON = (0, 200, 0)
BUTTON = (395, 8, 437, 50)
GESTURE_ON_0 = [("begin-edit", 0), ("automate", 0), ("end-edit", 0)]


class WindowAndPicture(EditorTestCase):
    def test_the_window_is_titled_placed_where_asked_and_shows_what_the_editor_paints(self):
        editor = self.start_editor(arguments=["--window-at", "40,30"])
        left, top, width, height = editor.rect()
        self.assertEqual((width, height), (752, 160))
        # The frame and caption lie between the window's corner and the editor area.
        self.assertTrue(40 <= left < 60 and 30 <= top < 70, (left, top))
        found = subprocess.run(["xdotool", "search", "--name", "^vsthost - Fake Editor$"],
                               env=self.x_server.env(), capture_output=True, text=True)
        self.assertEqual(len(found.stdout.split()), 1, found)

        editor.pump(200)
        for point, colour in [((0, 0), RED), ((375, 159), RED), ((376, 0), BLUE),
                              ((751, 159), BLUE), ((395, 8), OFF), ((436, 49), OFF),
                              ((394, 8), BLUE), ((437, 49), BLUE)]:
            self.assertEqual(editor.pixel(*point), colour, point)

        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "editor.png")
            self.assertEqual(editor.ok("screenshot Z:" + path), ["752", "160"])
            width, height, rows = read_png(path)
        self.assertEqual((width, height), (752, 160))
        self.assertEqual([rows[0][0], rows[159][751], rows[20][400]], [RED, BLUE, OFF])
        self.assertEqual(editor.quit(), 0)

    def test_an_x_click_reaches_the_editor_and_its_gesture_comes_before_the_next_reply(self):
        editor = self.start_editor()
        editor.pump(200)
        for expected, colour in [(1.0, ON), (0.0, OFF)]:
            editor.mark()
            editor.click(self.xdo, 416, 29)
            self.assertTrue(editor.pump_until(lambda: editor.get(0) == expected))
            self.assertEqual(gestures(editor.callbacks()), GESTURE_ON_0)
            self.assertTrue(editor.pump_until(lambda: editor.pixel(416, 29) == colour))
        # Just outside the button nothing happens.
        editor.mark()
        editor.click(self.xdo, 394, 29)
        editor.pump(300)
        self.assertEqual((editor.get(0), editor.callbacks()), (0.0, []))
        self.assertEqual(editor.quit(), 0)


class Commands(EditorTestCase):
    def test_each_command_gets_one_reply_line_with_what_the_effect_answered(self):
        editor = self.start_editor()
        cases = [
            ("get 0", "ok 0"),
            ("display 0", "ok off"),
            ("set 0 1", "ok"),
            ("get 0", "ok 1"),
            ("display 0", "ok on"),
            ("key 0 0 32", "ok 1 1"),
            ("key 57 1", "ok 0 0"),
            ("wheel 1", "ok 2"),
            ("wheel -0.5", "ok 1"),
            ("knob-mode 2", "ok 1"),
            ("idle", "ok"),
            ("idle-timer off", "ok"),
            ("idle-timer on", "ok"),
            ("idle-timer soon", "error idle-timer wants on or off, not 'soon'"),
            ("close", "ok"),
            ("close", "error the editor is closed already"),
            ("key 0 0 32", "ok 0 0"),
            ("open", "ok 1"),
            ("open", "error the editor is open already"),
            ("cycle 3", "ok"),
            ("instance 3", "error instance wants a whole number from 1 to 2, not '3'"),
            ("get 1", "error a parameter index wants a whole number from 0 to 0, not '1'"),
            ("set 0", "error usage: set INDEX VALUE"),
            ("pump soon", "error pump wants a whole number from 0 to 600000, not 'soon'"),
            ("pixel 752 0", "error pixel x wants a whole number from 0 to 751, not '752'"),
            ("jump", "error unknown command 'jump'"),
        ]
        for command, reply in cases:
            self.assertEqual(editor.send(command), reply, command)
        self.assertEqual(editor.quit(), 0)

    def test_a_second_instance_has_its_own_effect_and_window_below_the_first(self):
        editor = self.start_editor()
        first = editor.rect()
        self.assertEqual(editor.ok("instance 2"), ["2"])
        second = editor.rect()
        self.assertEqual(second[0], first[0])
        self.assertGreater(second[1], first[1] + first[3])
        editor.set(0, 1)
        editor.pump(200)
        self.assertEqual(editor.pixel(416, 29), ON)
        editor.ok("instance 1")
        self.assertEqual((editor.get(0), editor.pixel(416, 29)), (0.0, OFF))
        self.assertEqual(editor.quit(), 0)


class Resources(EditorTestCase):
    def test_cycles_of_a_clean_editor_leave_nothing_and_those_of_a_leaking_one_are_counted(self):
        for leaks in (False, True):
            with self.subTest(leaks=leaks):
                editor = self.start_editor(env={"FAKE_EDITOR_LEAKS": "1" if leaks else "0"})
                before = editor.resources()
                editor.ok("cycle 20")
                after = editor.resources()
                growth = {key: after[key] - before[key] for key in before}
                self.assertEqual(growth, {"gdi": 20, "windows": 20} if leaks else
                                 {"gdi": 0, "windows": 0})
                self.assertGreater(int(editor.ok("memory")[0]), 0)
                self.assertEqual(editor.quit(), 0)


class RunEnds(EditorTestCase):
    def test_the_end_of_stdin_ends_the_run_after_the_last_reply(self):
        status, out, _ = self.run_editor(stdin_text="get 0\n\n# a comment\ndisplay 0\n")
        self.assertEqual((status, out), (0, ["ok 0", "ok off"]))

    def test_closing_the_window_ends_the_run_and_closes_the_editor_and_the_effect(self):
        editor = self.start_editor()
        editor.pump(200)
        # Without a window manager, keys go to the window under the pointer.
        self.xdo.move(*editor.screen_point(100, 100))
        self.xdo.key("alt+F4")
        self.assertEqual(editor.wait(), 0)

    def test_a_script_runs_its_commands_and_quits_when_it_says_so(self):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as script:
            script.write("set 0 1\nget 0\nquit\n")
        self.addCleanup(os.unlink, script.name)
        status, out, _ = self.run_editor(["--script", "Z:" + script.name])
        self.assertEqual((status, out), (0, ["ok", "ok 1", "ok"]))

    def test_an_editor_that_does_not_open_ends_in_one_error_line_and_status_1(self):
        status, out, err = self.run_editor(env={"FAKE_EDITOR_OPEN_FAILS": "1"})
        self.assertEqual((status, out), (1, []))
        self.assertEqual([line for line in err if line.startswith("vsthost")],
                         ["vsthost: the effect's editor did not open (effEditOpen answered 0)"])


if __name__ == "__main__":
    main()
