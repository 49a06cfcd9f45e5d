#!/usr/bin/env python3
"""A plate with a hole meshed by the real gmsh command, computed by the batch
through a problem file, against the same model saved by --save as a native
file and computed again by the band path; and a bad problem refused.

Usage: gmsh_problem_test.py QOR3D_BATCH GMSH PLATE.geo
"""
import csv
import os
import subprocess
import sys
import tempfile
import unittest

BATCH, GMSH, GEO = sys.argv[1:4]
PROBLEM = """QOR3DProblem
mesh "plate hole.msh"   # blanks in the name
material E=210000 nu=0.3 group=plate
support group=symmetry_x dirs=x
support plane=y:0 dirs=y
support plane=z:0 dirs=z
force group=pulled total=4000,0,0
pressure group=hole p=15
"""


def run(*arguments):
    return subprocess.run([BATCH, *arguments], capture_output=True, text=True, env=dict(os.environ, LC_ALL="C.UTF-8"))


def stresses(path):
    with open(path, newline="") as f:
        return [[float(v) for v in row[6:]] for row in list(csv.reader(f))[1:]]


class GmshProblemTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = lambda name: os.path.join(self.dir.name, name)

    def tearDown(self):
        self.dir.cleanup()

    def mesh(self, version):
        subprocess.run([GMSH, "-3", "-format", version, "-setnumber", "h", "4", GEO, "-o", self.path("plate hole.msh")],
                       check=True, capture_output=True)

    def test_problem_computes_as_its_saved_model(self):
        for version in ("msh41", "msh22"):
            with self.subTest(version=version):
                self.mesh(version)
                with open(self.path("problem.txt"), "w") as f:
                    f.write(PROBLEM)
                first = run(self.path("problem.txt"), "--save", self.path("saved.q3d"), "--elements-csv",
                            self.path("a.csv"))
                self.assertEqual(first.returncode, 0, first.stderr)
                again = run(self.path("saved.q3d"), "--elements-csv", self.path("b.csv"))
                self.assertEqual(again.returncode, 0, again.stderr)
                counts = lambda out: [line for line in out.splitlines() if "Liczba" in line]
                self.assertEqual(counts(first.stdout), counts(again.stdout))
                with open(self.path("saved.q3d")) as f:
                    lines = f.read().splitlines()
                nodes, elements, materials, supports = map(int, lines[0].split()[1:5])
                self.assertEqual(lines[1 + nodes + elements], "210000 0.3")
                forces = [list(map(float, line.split()))
                          for line in lines[1 + nodes + elements + materials + supports:][:nodes]]
                # The pressure pushes the solid away from the hole, in x and in y
                # by 15 times the hole's projected area, 10 × 4.
                self.assertAlmostEqual(sum(f[0] for f in forces) / (4000 + 15 * 10 * 4), 1, delta=1e-4)
                self.assertAlmostEqual(sum(f[1] for f in forces) / (15 * 10 * 4), 1, delta=1e-4)
                a, b = stresses(self.path("a.csv")), stresses(self.path("b.csv"))
                self.assertEqual(len(a), elements)
                largest = max(abs(v) for row in a for v in row)
                self.assertGreater(largest, 4000 / (30 * 4))
                # The saved file keeps six digits of coordinates and forces.
                for row_a, row_b in zip(a, b):
                    for x, y in zip(row_a, row_b):
                        self.assertAlmostEqual(x, y, delta=1e-4 * largest)

    def test_bad_problem_writes_nothing(self):
        self.mesh("msh41")
        with open(self.path("problem.txt"), "w") as f:
            f.write(PROBLEM.replace("group=pulled", "group=pulld"))
        result = run(self.path("problem.txt"), "--vtk", self.path("out.vtu"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("wiersz 7: siatka nie ma grupy \"pulld\"; ma grupy: symmetry_x (powierzchnia)", result.stderr)
        self.assertFalse(os.path.exists(self.path("out.vtu")))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
