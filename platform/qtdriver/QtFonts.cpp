#include "QtFonts.h"

#include <QStringList>
#include <cmath>

QString StandInFontFamily(const QString& windowsFace) {
    static const QStringList sansFaces = {"ms shell dlg",  "ms shell dlg 2", "microsoft sans serif",
                                          "ms sans serif", "tahoma",         "arial",
                                          "segoe ui",      "helvetica",      ""};
    if (sansFaces.contains(windowsFace.trimmed().toLower())) return "Liberation Sans";
    if (windowsFace.compare("Courier New", Qt::CaseInsensitive) == 0) return "Liberation Mono";
    if (windowsFace.compare("Times New Roman", Qt::CaseInsensitive) == 0) return "Liberation Serif";
    return windowsFace;
}

QFont DialogFont(const QString& windowsFace, int pointSize, int dpi) {
    QFont font(StandInFontFamily(windowsFace));
    // Pixels rather than points, so that the size does not depend on the screen Qt reports.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pointSize * dpi / 72.0))));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont FontFromLogFont(const LOGFONT& logFont, int dpi) {
    QFont font = DialogFont(QString::fromLatin1(logFont.lfFaceName), 8, dpi);
    if (logFont.lfHeight != 0) font.setPixelSize(std::abs(static_cast<int>(logFont.lfHeight)));
    font.setBold(logFont.lfWeight >= FW_BOLD);
    font.setItalic(logFont.lfItalic != 0);
    return font;
}
