#!/usr/bin/env python3
"""The floor check on small made-up trees: each case adds one file to a sound tree."""
import importlib.util
import pathlib
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-floors.py"
script_module = importlib.util.spec_from_file_location("check_floors", SCRIPT)
check_floors = importlib.util.module_from_spec(script_module)
script_module.loader.exec_module(check_floors)

SOUND = {
    "platform/FileIo.h": "#include <string>\n",
    "data/QuestionSet.h": '#include "platform/FileIo.h"\n',
    "quiz/QuizEngine.h": '#include "data/QuestionSet.h"\n',
    "gui/Help.h": "#include <QString>\n",
    "quiz/QuizWindow.h": "class QLabel;\n",
    "quiz/QuizWindow.cpp": '#include "quiz/QuizWindow.h"\n#include "gui/Help.h"\n#include <QLabel>\n',
    "editor/DataListWindow.cpp": '#include "quiz/QuizWindow.h"\n#include <QMainWindow>\n',
    "app/LauncherWindow.cpp": '#include "editor/DataListWindow.cpp"\n',
    "cli/Cli.cpp": '#include "quiz/QuizEngine.h"\n',
    "platform/Shell.cpp": "#include <QDesktopServices>\n",
}

# (file added, its text, the fault expected or None)
CASES = [
    ("data/Loading.cpp", '#include "quiz/QuizEngine.h"\n', "quiz/ is above data/"),
    ("quiz/QuizEngine.cpp", '#include "quiz/QuizWindow.h"\n', "a core file includes no window file"),
    ("quiz/QuizEngine.cpp", '#include "app/LauncherWindow.cpp"\n', "app/ is the top floor"),
    ("gui/Fonts.cpp", '#include "quiz/QuizWindow.h"\n', "gui/ uses the core and itself only"),
    ("import/Dialog.cpp", '#include "quiz/QuizWindow.h"\n#include <QDialog>\n', "the windows of quiz/ are above those of import/"),
    ("cli/Quiz.cpp", '#include "gui/Help.h"\n', "rovik-cli uses the core only"),
    ("data/Fonts.cpp", "#include <QFont>\n", "data/ holds no windows"),
    ("editor/Logic.cpp", '#include "data/QuestionSet.h"\n', "editor/ holds windows only"),
    ("quiz/QuizEngine.cpp", '#include "cli/Cli.h"\n', "cli/ is above quiz/"),
    # A header whose .cpp draws windows is a window even without a Qt include of its own.
    ("data/Chart.cpp", '#include "quiz/Chart.h"\n', "quiz/ is above data/"),
    ("editor/Chart.cpp", '#include "quiz/QuizEngine.h"\n#include <QChart>\n', None),
    ("hotsync/Install.cpp", '#include "quiz/QuizEngine.h"\n#include "data/QuestionSet.h"\n', None),
    ("editor/Find.cpp", '#include "gui/Help.h"\n#include "quiz/QuizWindow.h"\n', None),
]


class CheckFloors(unittest.TestCase):
    def run_tree(self, extra):
        with tempfile.TemporaryDirectory() as folder:
            src = pathlib.Path(folder) / "src"
            for name, text in {**SOUND, **extra}.items():
                (src / name).parent.mkdir(parents=True, exist_ok=True)
                (src / name).write_text(text, encoding="utf-8")
            floors = check_floors.Floors(src)
            return [f for name in extra for f in floors.faults(name)], check_floors.main(src)

    def test_sound_tree_holds(self):
        faults, status = self.run_tree({})
        self.assertEqual(status, 0)
        self.assertEqual(faults, [])

    def test_each_case(self):
        for name, text, expected in CASES:
            with self.subTest(name=name, text=text):
                faults, status = self.run_tree({name: text})
                if expected is None:
                    self.assertEqual(faults, [])
                    self.assertEqual(status, 0)
                else:
                    self.assertTrue(any(expected in f for f in faults), faults)
                    self.assertEqual(status, 1)


if __name__ == "__main__":
    unittest.main()
