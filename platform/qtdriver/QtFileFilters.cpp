#include "QtFileFilters.h"

#include <afxdlgs.h>

QStringList QtNameFilters(const CString& filter) {
    QStringList filters;
    for (const CFileFilterEntry& entry : AfxParseFileFilter(filter)) {
        const QString name = QString::fromUtf8(entry.name.GetString()).trimmed();
        const QString patterns =
            QString::fromUtf8(entry.pattern.GetString()).trimmed().replace(';', ' ');
        // Qt reads the patterns from the parentheses at the end of the name.
        filters << (name.endsWith(')') && name.contains(patterns) ? name
                                                                  : name + " (" + patterns + ")");
    }
    return filters;
}
