#pragma once

class TGL;
class TProst3;
class TMaterial;
class TSt;
class TP1;
class TWYNOB;
class TS1;
class TDANEOB;
class TProst2;
class TProst1;

// The ten windows of the program, created once at start-up and reachable from
// every command for the whole run.
extern TGL* GL;
extern TProst3* Prost3;
extern TMaterial* Material;
extern TSt* St;
extern TP1* P1;
extern TWYNOB* WYNOB;
extern TS1* S1;
extern TDANEOB* DANEOB;
extern TProst2* Prost2;
extern TProst1* Prost1;

// Creates the main window and then the nine dialogs, in this order, and sets
// the pointers above. The dialogs are hidden.
void CreateWindows();
// Destroys them in reverse order and clears the pointers.
void DestroyWindows();
