#pragma once

class TFormMain;

// Once the main window is made: the windows that work on its desk and its
// controls (adjust, settings, layers, regions, preview) are handed it whenever
// they are made; the adjust window, made over its desk, is registered then. Kept apart from the main window so that those windows, which
// know the main window, are not known by it in turn.
void ConnectMainWindow(TFormMain& main);
