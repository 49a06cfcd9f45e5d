#!/usr/bin/env python3
"""The batch command's files read back by the real VTK library and by Python's
csv module, compared with what the main window computes and its results
browser shows for the same model file.

Usage: batch_results_test.py QOR3D_BATCH WINDOW_RESULTS MODEL.q3d
"""
import csv
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

from vtkmodules.vtkIOXML import vtkXMLUnstructuredGridReader

BATCH, WINDOW, MODEL = sys.argv[1:4]
STRESS_NAMES = ["Naprężenie x", "Naprężenie y", "Naprężenie z", "Naprężenie yz", "Naprężenie xz",
                "Naprężenie xy", "Naprężenie red."]
C_LOCALE = dict(os.environ, LC_ALL="C.UTF-8")


def bits(value):
    """The bits of the 32-bit float nearest to `value`."""
    return struct.unpack("<I", struct.pack("<f", value))[0]


class SavedModel:
    """The tables of a model file, as the file states them."""

    def __init__(self, text):
        lines = text.splitlines()
        self.nodes, self.elements, self.materials, self.supports = map(int, lines[0].split()[1:5])
        self.lines = lines
        self.coordinates = [list(map(float, line.split())) for line in lines[1:1 + self.nodes]]
        first = 1 + self.nodes
        self.connectivity = [list(map(int, line.split())) for line in lines[first:first + self.elements]]

    def with_supports(self, count):
        """The same model held by its first `count` supports only."""
        header = self.lines[0].split()
        header[4] = str(count)
        first = 1 + self.nodes + self.elements + self.materials
        kept = self.lines[1:first + count] + self.lines[first + self.supports:]
        return "\n".join([" ".join(header)] + kept) + "\n"

    def with_tail(self, values):
        """The same model with `values` in the file's tail, the densities."""
        return "\n".join(self.lines[:-self.elements] + values) + "\n"


def window_results(model, densities):
    """What the window computes and shows, from the window_results helper."""
    arguments = [WINDOW, model] + (["--densities"] if densities else [])
    output = subprocess.run(arguments, check=True, capture_output=True, text=True, env=C_LOCALE).stdout
    results = {"message": [], "element": {}, "node": {}}
    for line in output.splitlines():
        kind, *fields = line.split("\t")
        if kind == "message":
            results["message"].append("\n".join(f for f in fields if f))
        elif kind == "element":
            results["element"][int(fields[0])] = (fields[1:8], [int(f, 16) for f in fields[8:15]])
        elif kind == "node":
            results["node"][int(fields[0])] = (fields[1].split(" , "), [int(f, 16) for f in fields[2:5]])
    return results


def run_batch(arguments, env=C_LOCALE):
    return subprocess.run([BATCH] + arguments, capture_output=True, text=True, env=env)


def polish_locale(folder):
    """An environment with pl_PL.UTF-8 in force, compiled into `folder` where
    the machine lacks it; None when the C library cannot use it."""
    env = dict(os.environ, LC_ALL="pl_PL.UTF-8")
    probe = lambda: subprocess.run(["printf", "%g", "0.5"], capture_output=True, text=True, env=env).stdout
    if probe() != "0,5":
        subprocess.run(["localedef", "-i", "pl_PL", "-f", "UTF-8", os.path.join(folder, "pl_PL.UTF-8")],
                       capture_output=True)
        env["LOCPATH"] = folder
    return env if probe() == "0,5" else None


class BatchResultsTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="qor-batch-results-")
        with open(MODEL, encoding="ascii") as f:
            self.model = SavedModel(f.read())

    def tearDown(self):
        shutil.rmtree(self.folder)

    def path(self, name):
        return os.path.join(self.folder, name)

    def write_model(self, name, text):
        with open(self.path(name), "w", encoding="ascii") as f:
            f.write(text)
        return self.path(name)

    def assert_as_browser(self, value, text):
        """The browser's text is the value to its 7 significant digits."""
        shown = float(text.replace(",", "."))
        self.assertTrue(math.isclose(value, shown, rel_tol=5.0001e-7, abs_tol=0.0), f"{value} shown as {text}")

    def model_variants(self):
        """The model as saved, and with uneven densities in its tail, used or not."""
        uneven = [str(0.25 + 0.5 * (e % 4)) for e in range(self.model.elements)]
        dense = self.write_model("dense.q3d", self.model.with_tail(uneven))
        return [("as saved", MODEL, False), ("densities used", dense, True), ("densities unused", dense, False)]

    def test_vtu_read_by_vtk_holds_the_window_results_bit_for_bit(self):
        for name, model, densities in self.model_variants():
            with self.subTest(name):
                window = window_results(model, densities)
                self.assertEqual(window["message"], ["Obliczono."])
                vtu = self.path("out.vtu")
                batch = run_batch([model, "--vtk", vtu] + (["--densities"] if densities else []))
                self.assertEqual(batch.returncode, 0, batch.stderr)

                reader = vtkXMLUnstructuredGridReader()
                reader.SetFileName(vtu)
                reader.Update()
                self.assertEqual(reader.GetErrorCode(), 0)
                grid = reader.GetOutput()
                self.assertEqual(grid.GetNumberOfPoints(), self.model.nodes)
                self.assertEqual(grid.GetNumberOfCells(), self.model.elements)
                for n in range(self.model.nodes):
                    point = grid.GetPoint(n)
                    self.assertEqual([bits(c) for c in point], [bits(c) for c in self.model.coordinates[n]])
                    displacement = grid.GetPointData().GetArray("Przemieszczenie").GetTuple3(n)
                    texts, stored = window["node"][n + 1]
                    self.assertEqual([bits(u) for u in displacement], stored, f"node {n + 1}")
                    for u, text in zip(displacement, texts):
                        self.assert_as_browser(u, text)
                cells = grid.GetCellData()
                self.assertEqual(cells.GetScalars().GetName(), "Naprężenie red.")
                for e in range(self.model.elements):
                    cell = grid.GetCell(e)
                    self.assertEqual(cell.GetCellType(), 10)
                    self.assertEqual([cell.GetPointId(k) + 1 for k in range(4)], self.model.connectivity[e][:4])
                    self.assertEqual(cells.GetArray("Materiał").GetValue(e), self.model.connectivity[e][4])
                    texts, stored = window["element"][e + 1]
                    values = [cells.GetArray(array).GetValue(e) for array in STRESS_NAMES]
                    self.assertEqual([bits(v) for v in values], stored, f"element {e + 1}")
                    for v, text in zip(values, texts):
                        self.assert_as_browser(v, text)

    def test_csv_read_by_python_holds_the_window_results_bit_for_bit(self):
        window = window_results(MODEL, False)
        nodes, elements = self.path("wezly.csv"), self.path("elementy.csv")
        batch = run_batch([MODEL, "--nodes-csv", nodes, "--elements-csv", elements])
        self.assertEqual(batch.returncode, 0, batch.stderr)
        with open(nodes, newline="", encoding="ascii") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0], ["wezel", "x", "y", "z", "ux", "uy", "uz"])
        self.assertEqual([int(row[0]) for row in rows[1:]], list(range(1, self.model.nodes + 1)))
        for row in rows[1:]:
            n = int(row[0])
            self.assertEqual([bits(float(v)) for v in row[1:4]], [bits(c) for c in self.model.coordinates[n - 1]])
            self.assertEqual([bits(float(v)) for v in row[4:7]], window["node"][n][1], f"node {n}")
        with open(elements, newline="", encoding="ascii") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0], ["element", "wezel1", "wezel2", "wezel3", "wezel4", "material", "sigma_x",
                                   "sigma_y", "sigma_z", "tau_yz", "tau_xz", "tau_xy", "naprezenie_red"])
        self.assertEqual(len(rows), self.model.elements + 1)
        for row in rows[1:]:
            e = int(row[0])
            self.assertEqual([int(v) for v in row[1:6]], self.model.connectivity[e - 1])
            self.assertEqual([bits(float(v)) for v in row[6:13]], window["element"][e][1], f"element {e}")

    def test_polish_locale_still_writes_points(self):
        env = polish_locale(self.folder)
        if env is None:
            self.skipTest("no pl_PL.UTF-8 locale and localedef failed")
        outputs = ["--vtk", "out.vtu", "--nodes-csv", "n.csv", "--elements-csv", "e.csv", "--save", "out.q3d"]
        written = {}
        for name, environment in [("C", C_LOCALE), ("pl", env)]:
            arguments = [MODEL] + [self.path(name + a) if not a.startswith("--") else a for a in outputs]
            batch = run_batch(arguments, environment)
            self.assertEqual(batch.returncode, 0, batch.stderr)
            files = []
            for a in outputs[1::2]:
                with open(self.path(name + a), encoding="utf-8") as f:
                    files.append(f.read())
            written[name] = (batch.stdout, files)
        self.assertEqual(written["pl"], written["C"])
        self.assertIn("Maks. naprężenie : ", written["pl"][0])
        self.assertRegex(written["pl"][0], r"Maks\. przemieszcz\. : \d+\.\d{7}\n")

    def test_a_mechanism_is_refused_by_both_and_nothing_is_written(self):
        mechanism = self.write_model("mechanism.q3d", self.model.with_supports(3))
        batch = run_batch([mechanism, "--vtk", self.path("out.vtu"), "--save", self.path("out.q3d")])
        # The window's message box and its informative text, line by line.
        window = window_results(mechanism, False)["message"]
        self.assertEqual(len(window), 1)
        self.assertTrue(window[0].startswith("Błąd podczas obliczeń\nWęzeł "), window)
        self.assertEqual((batch.returncode, batch.stderr), (2, window[0] + "\n"))
        self.assertEqual(os.listdir(self.folder), ["mechanism.q3d"])

    def test_model_beyond_the_window_in_binary_vtu_and_a_deck_ccx_agrees_with(self):
        """A cantilever of 1116 nodes, beyond the window's store: the .vtu in
        VTK's compressed binary form holds what the CSV tables hold, and ccx,
        run on the --inp deck, computes the same displacements."""
        generator = os.path.join(os.path.dirname(__file__), "..", "..", "bench", "batch", "cantilever.py")
        model = self.path("large.q3d")
        subprocess.run([sys.executable, generator, "30", "5", "5", model], check=True)
        files = {name: self.path(name) for name in ("out.vtu", "n.csv", "e.csv", "deck.inp")}
        for solver in ("iterative", "direct"):
            batch = run_batch([model, "--solver", solver, "--vtk", files["out.vtu"], "--nodes-csv", files["n.csv"],
                               "--elements-csv", files["e.csv"], "--inp", files["deck.inp"]])
            self.assertEqual(batch.returncode, 0, batch.stderr)
            with open(files["out.vtu"], "rb") as f:
                head = f.read(400)
            self.assertIn(b'header_type="UInt64" compressor="vtkZLibDataCompressor"', head)
            reader = vtkXMLUnstructuredGridReader()
            reader.SetFileName(files["out.vtu"])
            reader.Update()
            self.assertEqual(reader.GetErrorCode(), 0)
            grid = reader.GetOutput()
            with open(files["n.csv"], newline="", encoding="ascii") as f:
                nodes = list(csv.reader(f))[1:]
            with open(files["e.csv"], newline="", encoding="ascii") as f:
                elements = list(csv.reader(f))[1:]
            self.assertEqual((grid.GetNumberOfPoints(), grid.GetNumberOfCells()), (1116, 4500))
            moved = grid.GetPointData().GetArray("Przemieszczenie")
            for n, row in enumerate(nodes):
                self.assertEqual([bits(c) for c in grid.GetPoint(n)], [bits(float(v)) for v in row[1:4]])
                self.assertEqual([bits(u) for u in moved.GetTuple3(n)], [bits(float(v)) for v in row[4:7]])
            cells = grid.GetCellData()
            for e, row in enumerate(elements):
                cell = grid.GetCell(e)
                self.assertEqual([cell.GetPointId(k) + 1 for k in range(4)], [int(v) for v in row[1:5]])
                self.assertEqual(cells.GetArray("Materiał").GetValue(e), int(row[5]))
                self.assertEqual([bits(cells.GetArray(a).GetValue(e)) for a in STRESS_NAMES],
                                 [bits(float(v)) for v in row[6:13]])
        ccx = shutil.which("ccx")
        if ccx is None:
            self.skipTest("no ccx")
        subprocess.run([ccx, "-i", "deck"], cwd=self.folder, capture_output=True, check=True,
                       env=dict(os.environ, OMP_NUM_THREADS="1"))
        with open(self.path("deck.dat"), encoding="ascii") as f:
            lines = f.read().split("displacements")[1].split("stresses")[0].splitlines()
        theirs = {int(p[0]): [float(v) for v in p[1:4]] for p in (line.split() for line in lines) if len(p) == 4}
        largest = max(abs(float(v)) for row in nodes for v in row[4:7])
        self.assertEqual(len(theirs), 1116)
        for row in nodes:
            for ours, other in zip(row[4:7], theirs[int(row[0])]):
                # ccx prints 7 significant digits.
                self.assertLess(abs(float(ours) - other), 1e-6 * largest, f"node {row[0]}")

    def test_runs_without_the_windowing_toolkit(self):
        libraries = subprocess.run(["ldd", BATCH], capture_output=True, text=True, check=True).stdout
        self.assertNotIn("libQt", libraries)
        usage = run_batch(["--help"], dict(C_LOCALE, DISPLAY="", QT_QPA_PLATFORM=""))
        self.assertEqual(usage.returncode, 0)
        self.assertTrue(usage.stdout.startswith("Użycie: qor3d-batch MODEL.q3d"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
