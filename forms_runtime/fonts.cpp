#include "fonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace forms {

namespace {

// Liberation Sans has Arial's metrics; it also stands in for the old
// sans-serif screen face, whose sizes it matches closely.
const QStringList& standIns() {
    static const QStringList faces{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                   QStringLiteral("DejaVu Sans")};
    return faces;
}

// The family to ask for: the face itself where it is installed, otherwise the
// first stand-in that is. Looked up once per face, because letting the font
// system search for a missing face costs more than building the window.
QString resolvedFamily(const QString& face) {
    static QHash<QString, QString> resolved;
    if (auto it = resolved.constFind(face); it != resolved.constEnd())
        return *it;
    QString family = face;
    if (!QFontDatabase::hasFamily(face)) {
        for (const QString& standIn : standIns()) {
            if (QFontDatabase::hasFamily(standIn)) {
                family = standIn;
                break;
            }
        }
    }
    resolved.insert(face, family);
    return family;
}

} // namespace

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), standIns());
    QFont::insertSubstitutions(QStringLiteral("Arial"), standIns());
}

QFont makeFont(const FontSpec& wanted) {
    QFont font(resolvedFamily(QString::fromLatin1(wanted.face)));
    font.setPointSizeF(static_cast<qreal>(wanted.points));
    font.setWeight(wanted.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace forms
