#pragma once
// Program-wide state of the montage desk that other parts read: the canvas
// rectangle of the last export picture, and whether the selection frame is drawn.
// (The desk geometry itself lives with the shell's globals.)

// Set by the export pass: the canvas rectangle the export picture covers, and the
// source size a full-resolution layer rendering reads (the same size at scale 1).
extern int ExportLeft;
extern int ExportTop;
extern int ExportWidth;
extern int ExportHeight;
extern int ExportSourceWidth;
extern int ExportSourceHeight;

// The desk draws the selection frame only while this is set; mouse tools clear it
// during drags that would smear it.
extern bool ShowSelectionFrame;

// Back to the start-up values (tests).
void ResetDeskGlobals();
