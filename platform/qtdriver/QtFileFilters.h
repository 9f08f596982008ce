// A file dialog's filter as MFC writes it, for Qt's file dialog.
#pragma once

#include <afxstr.h>

#include <QStringList>

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||" as {"Text Files (*.txt)", "All Files (*.*)"};
// a name without its patterns in parentheses gets them, as Qt reads the patterns from there.
QStringList QtNameFilters(const CString& filter);
