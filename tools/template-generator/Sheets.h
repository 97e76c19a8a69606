#pragma once
// The button sheets of the default interface that belong to the templates: the
// main window's template strip (one row per type, its icon a small copy of one of
// the type's templates, then the scroll buttons) and the template browser's
// buttons, slider and thumb.
#include <QImage>
#include <vector>

#include "editor/TemplateDesign.h"

// `modelsIcon` is the ready solutions' button's picture.
QImage StripSheet(const TTemplateStripDesign& design, const std::vector<QImage>& icons, const QImage& modelsIcon);
QImage BrowserSheet();
