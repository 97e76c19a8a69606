#pragma once
// Keys as the program's handlers number them (the Windows virtual-key codes), and
// the shift state as a set of flags. The one place that maps Qt's keys.
#include <Qt>

#include "platform/KeyCodes.h"

class QKeyEvent;

// 0 for keys without a code.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
int VirtualKeyOf(const QKeyEvent& event);
int ShiftStateOf(Qt::KeyboardModifiers modifiers);
