// A quarter of a plate 80 wide, 4 thick, with a central hole of diameter 20,
// pulled along x: the two planes of symmetry x = 0 and y = 0 pass through the
// hole's centre. Physical groups name the faces a problem file loads and holds.
// Mesh with: gmsh -3 -format msh41 plate_hole.geo -o plate_hole.msh
SetFactory("OpenCASCADE");
DefineConstant[ a = 60, b = 40, t = 4, r = 10, h = 1, hFar = 8 ];
Box(1) = {0, 0, 0, a, b, t};
Cylinder(2) = {0, 0, -1, 0, 0, t + 2, r};
BooleanDifference(3) = { Volume{1}; Delete; }{ Volume{2}; Delete; };
e = 1e-3;
Physical Surface("symmetry_x") = Surface In BoundingBox{-e, -e, -e, e, b + e, t + e};
Physical Surface("symmetry_y") = Surface In BoundingBox{-e, -e, -e, a + e, e, t + e};
Physical Surface("pulled") = Surface In BoundingBox{a - e, -e, -e, a + e, b + e, t + e};
Physical Surface("hole") = Surface In BoundingBox{-e, -e, -e, r + e, r + e, t + e};
Physical Volume("plate") = {3};
// Small elements at the hole, growing to hFar away from it.
Field[1] = Distance;
Field[1].SurfacesList = {Surface In BoundingBox{-e, -e, -e, r + e, r + e, t + e}};
Field[2] = Threshold;
Field[2].InField = 1;
Field[2].SizeMin = h;
Field[2].SizeMax = hFar;
Field[2].DistMin = 0;
Field[2].DistMax = 40;
Background Field = 2;
Mesh.MeshSizeExtendFromBoundary = 0;
Mesh.MeshSizeFromPoints = 0;
Mesh.MeshSizeFromCurvature = 0;
