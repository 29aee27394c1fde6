#include "fonts.h"

#include <QStringList>

namespace forms {

void installFontSubstitutes() {
    // Liberation Sans has Arial's metrics; it also stands in for the old
    // sans-serif screen face, whose sizes it matches closely.
    const QStringList standIns{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                               QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), standIns);
    QFont::insertSubstitutions(QStringLiteral("Arial"), standIns);
}

QFont makeFont(const FontSpec& spec) {
    QFont font(QString::fromLatin1(spec.face));
    font.setPointSizeF(static_cast<qreal>(spec.points));
    font.setWeight(spec.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace forms
