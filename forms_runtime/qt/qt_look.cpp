#include "qt_look.h"

#include "colors.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QPalette>
#include <QStringList>

namespace forms::qt {

namespace {

// System colour numbers and the palette roles that play their part.
QPalette::ColorRole systemRole(unsigned number) {
    switch (number) {
    case 5: // window background
        return QPalette::Base;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 16: // button shadow
        return QPalette::Dark;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    default: // 8, window text
        return QPalette::WindowText;
    }
}

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

QColor toQColor(OleColor value) {
    checkedColor(value);
    if ((value & kSystemColorFlag) != 0)
        return QApplication::palette().color(QPalette::Active, systemRole(value & 0xFFU));
    return QColor(static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
                  static_cast<int>((value >> 16) & 0xFFU));
}

const SystemPalette& systemPalette() {
    class QtPalette final : public SystemPalette {
    public:
        Rgb systemColor(unsigned number) const override {
            const QColor c = toQColor(kSystemColorFlag | number);
            return {c.red(), c.green(), c.blue()};
        }
        bool highContrast() const override { return false; }
    };
    static const QtPalette palette;
    return palette;
}

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

QIcon windowIcon(const char* name) {
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QString::fromUtf8(name)).arg(size),
                     QSize(size, size));
    return icon;
}

} // namespace forms::qt
