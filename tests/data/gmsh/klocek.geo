// A 2 x 1 x 1 block with named groups: its volume, the face x = 0, the face
// x = 2, an edge and a corner. Meshed with
//   gmsh -3 klocek.geo -format msh41 -o klocek41.msh
//   gmsh -3 klocek.geo -format msh22 -o klocek22.msh
SetFactory("OpenCASCADE");
Box(1) = {0, 0, 0, 2, 1, 1};
Physical Volume("klocek") = {1};
Physical Surface("utwierdzenie") = {1};
Physical Surface("obciazenie") = {2};
Physical Curve(7) = {1};
Physical Point("naroze") = {1};
Mesh.CharacteristicLengthMax = 0.7;
