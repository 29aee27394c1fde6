// The contrast rule: WCAG's ratio, what a control is drawn in under light,
// dark and high-contrast palettes, and that every text of both windows reads
// at 4.5 : 1 or better in each of them.
#include "colors.h"
#include "text_colors.h"
#include "vt_about.h"
#include "vt_main_layout.h"

#include <QtTest>
#include <array>
#include <vector>

using namespace forms;

Q_DECLARE_METATYPE(forms::DrawnColors)

namespace {

constexpr Rgb hex(unsigned rgb) {
    return {static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
            static_cast<int>(rgb & 0xFF)};
}

// The system colours the layer resolves, as "#RRGGBB" numbers.
struct Theme {
    const char* name;
    bool contrastOn;
    unsigned window, windowText, highlight, highlightText, face, shadow, buttonText, light;
};

struct Palette final : SystemPalette, Theme {
    explicit Palette(const Theme& theme)
        : Theme(theme) {}

    Rgb systemColor(unsigned number) const override {
        switch (number) {
        case 5:
            return hex(window);
        case 8:
            return hex(windowText);
        case 13:
            return hex(highlight);
        case 14:
            return hex(highlightText);
        case 15:
            return hex(face);
        case 16:
            return hex(shadow);
        case 18:
            return hex(buttonText);
        default:
            return hex(light);
        }
    }
    bool highContrast() const override { return contrastOn; }
};

// Qt's own light palette and Adwaita's dark one, as Qt 6.4 and its GTK 3
// theme give them,
// Windows' default colours, and Windows' contrast themes (Aquatic, Desert,
// Dusk, Night sky; High Contrast Black and White of Windows 10), once as
// Windows has them and once as their colours alone, without the high-contrast
// setting (as under Wine, which cannot turn it on).
const std::vector<Palette>& palettes() {
    static const std::vector<Palette> all = [] {
        const std::vector<Theme> desktops{
            {"Qt light", false, 0xFFFFFF, 0x000000, 0x308CC6, 0xFFFFFF, 0xEFEFEF, 0x9F9F9F,
             0x000000, 0xFFFFFF},
            {"Adwaita dark", false, 0x242424, 0xF0F0F0, 0x308CC6, 0xF0F0F0, 0x323232, 0x212121,
             0xF0F0F0, 0x4B4B4B},
            {"Windows", false, 0xFFFFFF, 0x000000, 0x0078D7, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x000000,
             0xFFFFFF},
        };
        const std::vector<Theme> contrast{
            {"Aquatic", true, 0x202020, 0xFFFFFF, 0x8EE3F0, 0x263B50, 0x202020, 0xFFFFFF, 0xFFFFFF,
             0xFFFFFF},
            {"Desert", true, 0xFFFAEF, 0x3D3D3D, 0x903909, 0xFFF5E3, 0xFFFAEF, 0xC0C0C0, 0x202020,
             0xC0C0C0},
            {"Dusk", true, 0x2D3236, 0xFFFFFF, 0xA1BFDE, 0x212D3B, 0x2D3236, 0xFFFFFF, 0xB6F6F0,
             0xFFFFFF},
            {"Night sky", true, 0x000000, 0xFFFFFF, 0xD6B4FD, 0x2B2B2B, 0x292929, 0xFFFFFF,
             0xFFEE32, 0xFFFFFF},
            {"High Contrast Black", true, 0x000000, 0xFFFF00, 0x008000, 0xFFFFFF, 0x000000,
             0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
            {"High Contrast White", true, 0xFFFFFF, 0x000000, 0x37006E, 0xFFFFFF, 0xFFFFFF,
             0xC0C0C0, 0x000000, 0xC0C0C0},
        };
        std::vector<Palette> p(desktops.begin(), desktops.end());
        for (Theme theme : contrast) {
            p.emplace_back(theme);
            theme.contrastOn = false;
            p.emplace_back(theme);
        }
        return p;
    }();
    return all;
}

const Palette& palette(const char* name, bool contrastOn) {
    for (const Palette& p : palettes())
        if (QByteArray(p.name) == name && p.contrastOn == contrastOn)
            return p;
    qFatal("no palette %s", name);
}

constexpr OleColor kNavy = 0x00800000U;
constexpr OleColor kLightGrey = 0x00C0C0C0U;
constexpr OleColor kBlue = 0x00FF0000U;

} // namespace

class TextColorsTest : public QObject {
    Q_OBJECT

private slots:
    void contrastRatio_data() {
        QTest::addColumn<unsigned>("first");
        QTest::addColumn<unsigned>("second");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << 0x000000U << 0xFFFFFFU << 21.0;
        QTest::newRow("white on black, either order") << 0xFFFFFFU << 0x000000U << 21.0;
        QTest::newRow("a colour on itself") << 0x808080U << 0x808080U << 1.0;
        QTest::newRow("navy on a dark button face") << 0x000080U << 0x323232U << 1.25;
        QTest::newRow("white on the Start label") << 0xFFFFFFU << 0x707080U << 4.86;
        QTest::newRow("black on pure blue") << 0x000000U << 0x0000FFU << 2.44;
        QTest::newRow("navy on light grey") << 0x000080U << 0xC0C0C0U << 8.80;
    }

    void contrastRatio() {
        QFETCH(unsigned, first);
        QFETCH(unsigned, second);
        QFETCH(double, ratio);
        QCOMPARE(qRound(forms::contrastRatio(hex(first), hex(second)) * 100), qRound(ratio * 100));
    }

    // What the windows' texts are drawn in where the rule has to decide.
    void drawnColours_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<unsigned>("flags");
        QTest::addColumn<OleColor>("back");
        QTest::addColumn<OleColor>("fore");
        QTest::addColumn<QByteArray>("palette");
        QTest::addColumn<bool>("contrastOn");
        QTest::addColumn<DrawnColors>("drawn");
        const int label = static_cast<int>(Kind::Label);
        const unsigned sample = Centred | Bordered | ColorSample;
        QTest::newRow("readout, light: navy stays")
            << label << 0U << kButtonFace << kNavy << QByteArray("Qt light") << false
            << DrawnColors{kButtonFace, kNavy};
        QTest::newRow("readout, dark: button text")
            << label << 0U << kButtonFace << kNavy << QByteArray("Adwaita dark") << false
            << DrawnColors{kButtonFace, kButtonText};
        QTest::newRow("About's version line, dark: no light system text reads, black does")
            << label << 0U << kLightGrey << kWindowText << QByteArray("Adwaita dark") << false
            << DrawnColors{kLightGrey, 0x00000000U};
        QTest::newRow("mark on the blue swatch, light: highlighted text")
            << label << sample << kBlue << OleColor{0} << QByteArray("Qt light") << false
            << DrawnColors{kBlue, kHighlightText};
        QTest::newRow("Start, Windows: white on grey-blue stays")
            << label << 0U << rgb(112, 112, 128) << OleColor{0x00FFFFFF} << QByteArray("Windows")
            << false << DrawnColors{rgb(112, 112, 128), 0x00FFFFFFU};
        QTest::newRow("Start, high contrast: the face and button text")
            << label << 0U << rgb(112, 112, 128) << OleColor{0x00FFFFFF} << QByteArray("Night sky")
            << true << DrawnColors{kButtonFace, kButtonText};
        QTest::newRow("option button, high contrast: button text, not window text")
            << static_cast<int>(Kind::OptionButton) << 0U << kButtonFace << kWindowText
            << QByteArray("Night sky") << true << DrawnColors{kButtonFace, kButtonText};
        QTest::newRow("pane, high contrast: the window's pair")
            << static_cast<int>(Kind::TextBox) << 0U << kLightGrey << kNavy << QByteArray("Desert")
            << true << DrawnColors{kWindowBackground, kWindowText};
        QTest::newRow("swatch, high contrast: keeps its colour and its readable mark")
            << label << sample << kBlue << OleColor{0x00E0E0E0} << QByteArray("Desert") << true
            << DrawnColors{kBlue, 0x00E0E0E0U};
        QTest::newRow("marker, high contrast: text colour for its line")
            << static_cast<int>(Kind::Shape) << 0U << kButtonFace << OleColor{0x00FFFFFF}
            << QByteArray("Dusk") << true << DrawnColors{kButtonFace, kWindowText};
        QTest::newRow("task bar, high contrast: the face, its line as before")
            << static_cast<int>(Kind::Shape) << unsigned{Filled} << OleColor{0x00808080}
            << kWindowText << QByteArray("High Contrast White") << true
            << DrawnColors{kButtonFace, kWindowText};
        QTest::newRow("task bar, light: as designed")
            << static_cast<int>(Kind::Shape) << unsigned{Filled} << OleColor{0x00808080}
            << kWindowText << QByteArray("Qt light") << false
            << DrawnColors{0x00808080U, kWindowText};
    }

    void drawnColours() {
        QFETCH(int, kind);
        QFETCH(unsigned, flags);
        QFETCH(OleColor, back);
        QFETCH(OleColor, fore);
        QFETCH(QByteArray, palette);
        QFETCH(bool, contrastOn);
        QFETCH(DrawnColors, drawn);
        const DrawnColors got = drawnColors(static_cast<Kind>(kind), flags, back, fore,
                                            ::palette(palette.constData(), contrastOn));
        QCOMPARE(QString::number(got.back, 16), QString::number(drawn.back, 16));
        QCOMPARE(QString::number(got.fore, 16), QString::number(drawn.fore, 16));
    }

    // Every control of both windows that shows text, in every palette: the
    // text reads at 4.5 : 1; a layout colour that reads is kept where high
    // contrast is off; under high contrast only colour samples keep a colour
    // of their own.
    void everyTextReads_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < palettes().size(); ++i) {
            const Palette& p = palettes()[i];
            QTest::newRow(p.name + QByteArray(p.contrastOn ? "" : ", colours only"))
                << static_cast<int>(i);
        }
    }

    void everyTextReads() {
        QFETCH(int, index);
        const Palette& p = palettes()[static_cast<std::size_t>(index)];
        int texts = 0;
        for (const WindowSpec* window : {&vistrum::kVtMainLayout, &vistrum::kVtAboutLayout}) {
            for (const ControlSpec& c : window->controls) {
                if (c.kind == Kind::Shape)
                    continue;
                const OleColor back =
                    c.backColor == kDefaultColor ? defaultBackColor(c.kind) : c.backColor;
                const OleColor fore = c.foreColor == kDefaultColor ? kWindowText : c.foreColor;
                const DrawnColors drawn = drawnColors(c.kind, c.flags, back, fore, p);
                const double ratio =
                    forms::contrastRatio(resolve(drawn.fore, p), resolve(drawn.back, p));
                const QByteArray what = QByteArray(c.name) + "(" + QByteArray::number(c.index) +
                                        ") reads at " + QByteArray::number(ratio, 'f', 2);
                QVERIFY2(ratio >= kReadableContrast, what);
                const bool reads =
                    forms::contrastRatio(resolve(fore, p), resolve(back, p)) >= kReadableContrast;
                if (!p.contrastOn && reads)
                    QVERIFY2(drawn.fore == fore && drawn.back == back, c.name);
                const bool ownBack = (drawn.back & kSystemColorFlag) == 0;
                if (p.contrastOn)
                    QVERIFY2(ownBack == hasFlag(c.flags, ColorSample), c.name);
                ++texts;
            }
        }
        QCOMPARE(texts, 45 - 2 + 4); // two shapes in the main window, none in About
    }
};

QTEST_GUILESS_MAIN(TextColorsTest)
#include "tst_text_colors.moc"
