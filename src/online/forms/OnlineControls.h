#pragma once
// Controls the online windows make alike.
#include <QRect>

class QLabel;
class QWidget;

// A label named `name` at `bounds`, light text for the skins' dark wells.
QLabel* NewOnlineLabel(QWidget* parent, const char* name, QRect bounds);
