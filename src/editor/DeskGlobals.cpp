#include "editor/DeskGlobals.h"

int ExportLeft = 0;
int ExportTop = 0;
int ExportWidth = 0;
int ExportHeight = 0;
int ExportSourceWidth = 0;
int ExportSourceHeight = 0;
bool ShowSelectionFrame = true;

void ResetDeskGlobals() {
  ExportLeft = ExportTop = ExportWidth = ExportHeight = ExportSourceWidth = ExportSourceHeight = 0;
  ShowSelectionFrame = true;
}
