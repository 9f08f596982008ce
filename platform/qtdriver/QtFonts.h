// The fonts of the Windows dialogs, taken from Debian's metric-compatible families.
#pragma once

#include <afxdc.h>

#include <QFont>
#include <QString>

// "MS Shell Dlg", "Microsoft Sans Serif", "Tahoma", "Arial", ... as the family that stands in for
// them with the same widths (Liberation Sans); other faces pass through.
QString StandInFontFamily(const QString& windowsFace);
// The font a dialog template names, pointSize points at dpi dots per inch.
QFont DialogFont(const QString& windowsFace, int pointSize, int dpi);
// A LOGFONT on a surface of dpi dots per inch; lfHeight 0 is the dialog font, 8 points.
QFont FontFromLogFont(const LOGFONT& logFont, int dpi);
