#pragma once
// Keys as the program's handlers number them (the Windows virtual-key codes), and
// the shift state as a set of flags. The one place that maps Qt's keys.
#include <Qt>

class QKeyEvent;

enum TShiftFlag : int { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
constexpr int VK_F1 = 112;
constexpr int VK_ESCAPE = 27;
constexpr int VK_RETURN = 13;

// 0 for keys without a code.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
int VirtualKeyOf(const QKeyEvent& event);
int ShiftStateOf(Qt::KeyboardModifiers modifiers);
