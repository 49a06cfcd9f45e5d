#!/usr/bin/env python3
"""Writes the benchmark cantilever as a model file: a bar 10 x 1 x 1 of
NX x NY x NZ blocks, each block split into six tetrahedra as the program's
divided cuboid splits it, E = 200000, nu = 0.3, every node at x = 0 held in
x, y and z, and 100 in -z shared equally by the nodes of the end face x = 10.

    cantilever.py NX NY NZ OUT.q3d
"""
import sys

# Corners of a block in the generator's order (bit 0: z, bit 1: x, bit 2: y)
# and its six tetrahedra, as the program builds them.
TETRAHEDRA = ((1, 2, 4, 8), (1, 2, 8, 5), (2, 8, 5, 6), (1, 3, 4, 7), (1, 7, 8, 5), (1, 8, 4, 7))


def main():
    nx, ny, nz = (int(v) for v in sys.argv[1:4])
    out = sys.argv[4]
    a, b, c = 10.0 / nx, 1.0 / ny, 1.0 / nz

    def node(i, j, k):
        return (i * (ny + 1) + j) * (nz + 1) + k + 1

    nodes = (nx + 1) * (ny + 1) * (nz + 1)
    elements = 6 * nx * ny * nz
    held = [node(0, j, k) for j in range(ny + 1) for k in range(nz + 1)]
    tip = [node(nx, j, k) for j in range(ny + 1) for k in range(nz + 1)]
    lines = ["QOR3DAscii %d %d 1 %d 0" % (nodes, elements, 3 * len(held))]
    lines += ["%g %g %g" % (i * a, j * b, k * c)
              for i in range(nx + 1) for j in range(ny + 1) for k in range(nz + 1)]
    for i in range(nx):
        for j in range(ny):
            for k in range(nz):
                corner = [0] + [node(i + ((q >> 1) & 1), j + ((q >> 2) & 1), k + (q & 1)) for q in range(8)]
                lines += ["%d %d %d %d 1" % tuple(corner[t] for t in tet) for tet in TETRAHEDRA]
    lines.append("200000 0.3")
    lines += ["%d 0" % (3 * (n - 1) + d) for n in held for d in (1, 2, 3)]
    share = "0 0 %g" % (-100.0 / len(tip))
    tip_set = set(tip)
    lines += [share if n in tip_set else "0 0 0" for n in range(1, nodes + 1)]
    lines += ["0"] * elements
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
