#pragma once
// Keys as the program's key handlers number them (the Windows virtual-key codes)
// and the shift state as flags. Qt's keys are mapped to these in one place
// (platform/qt/VirtualKeys.h); the logic that handles keys uses only these.

enum TShiftFlag : int { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

enum TVirtualKey : int {
  VK_BACK = 8,
  VK_RETURN = 13,
  VK_SHIFT = 16,
  VK_CONTROL = 17,
  VK_MENU = 18,  // Alt
  VK_ESCAPE = 27,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_INSERT = 45,
  VK_DELETE = 46,
  VK_LWIN = 91,  // the Super keys
  VK_RWIN = 92,
  VK_F1 = 112,
};
