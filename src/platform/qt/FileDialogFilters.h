#pragma once
// The name filters every file dialog is given (see platform/FileFilter.h).
#include <QStringList>
#include <string_view>
#include <vector>

#include "platform/FileFilter.h"

QStringList QtNameFilterList(const std::vector<TFileFilter>& filters);
// From the Windows form "caption|*.a;*.b|...".
QStringList QtNameFilterList(std::string_view windowsFilter);

class QFileDialog;
// A name typed without extension in `dialog` takes the extension of the filter
// chosen at the time it is accepted (see FilterDefaultSuffix). Call it after
// setting the dialog's filters; calling it again is harmless.
void FollowFilterSuffix(QFileDialog& dialog);
