// The main window's layout tables checked against the rules they must keep:
// control names and arrays, preset captions against their sizes, the colour
// ribbon, geometry at design, the two pane texts and the menu tree.
#include "colors.h"
#include "fonts.h"
#include "form.h"
#include "qt_forms.h"
#include "vt_main.h"
#include "vt_main_layout.h"

#include <QAction>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QtTest>

using forms::ControlSpec;
using vistrum::kVtMainLayout;

namespace {

constexpr forms::Single kTwipsPerPixel = 15;

QString nameOf(const ControlSpec& c) {
    const QString name = c.name;
    return c.index >= 0 ? QStringLiteral("%1(%2)").arg(name).arg(c.index) : name;
}

const ControlSpec* find(const char* name, forms::Integer index = -1) {
    for (const ControlSpec& c : kVtMainLayout.controls)
        if (qstrcmp(c.name, name) == 0 && c.index == index)
            return &c;
    return nullptr;
}

QList<forms::Integer> indicesOf(const char* name) {
    QList<forms::Integer> indices;
    for (const ControlSpec& c : kVtMainLayout.controls)
        if (qstrcmp(c.name, name) == 0)
            indices.append(c.index);
    std::sort(indices.begin(), indices.end());
    return indices;
}

QList<forms::Integer> range(int count) {
    QList<forms::Integer> r;
    for (int i = 0; i < count; ++i)
        r.append(static_cast<forms::Integer>(i));
    return r;
}

} // namespace

class VtMainLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void controlNamesAndArrays() {
        QCOMPARE(kVtMainLayout.controls.size(), size_t{45});
        QSet<QString> seen;
        for (const ControlSpec& c : kVtMainLayout.controls) {
            QVERIFY2(!seen.contains(nameOf(c)), qPrintable(nameOf(c) + " listed twice"));
            seen.insert(nameOf(c));
        }
        // Two arrays with indices from 0 up, without gaps.
        QCOMPARE(indicesOf("ScrSizeOpt"), range(12));
        QCOMPARE(indicesOf("ColorBox"), range(24));
        // A name is either an array or a single control, never both.
        for (const ControlSpec& c : kVtMainLayout.controls)
            if (c.index < 0)
                QVERIFY2(indicesOf(c.name) == QList<forms::Integer>{-1}, c.name);
    }

    void presetCaptionsMatchSizes_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 12; ++i)
            QTest::newRow(vistrum::kPresetCaptions[static_cast<size_t>(i)]) << i;
    }

    void presetCaptionsMatchSizes() {
        QFETCH(int, index);
        const auto i = static_cast<size_t>(index);
        const vistrum::OuterSize size = vistrum::kPresetSizes[i];
        const QString expected = QStringLiteral("%1 X %2").arg(size.width).arg(size.height);
        QCOMPARE(QString::fromUtf8(vistrum::kPresetCaptions[i]), expected);
        const ControlSpec* button = find("ScrSizeOpt", static_cast<forms::Integer>(index));
        QVERIFY(button);
        QCOMPARE(QString::fromUtf8(button->caption), expected);
        // The right-hand column is the left-hand one at double width.
        if (index >= 6) {
            const vistrum::OuterSize single = vistrum::kPresetSizes[i - 6];
            QCOMPARE(size.width, single.width * 2);
            QCOMPARE(size.height, single.height);
        }
    }

    void swatchColoursAndMarks() {
        QSet<forms::OleColor> colours;
        for (size_t i = 0; i < vistrum::kSwatches.size(); ++i) {
            const vistrum::Swatch& s = vistrum::kSwatches[i];
            QVERIFY2(!colours.contains(s.back), qPrintable(QString::number(i)));
            colours.insert(s.back);
            QVERIFY(s.back != kVtMainLayout.backColor);
            QCOMPARE(s.back & 0xFF000000U, 0U); // a plain colour, not a system one
            const bool dark = i == 9 || i == 17;
            QCOMPARE(s.mark, dark ? forms::OleColor{0x00E0E0E0} : forms::OleColor{0});
            // The built swatch takes its colours from this table.
            const ControlSpec* box = find("ColorBox", static_cast<forms::Integer>(i));
            QVERIFY(box);
            QCOMPARE(box->backColor, s.back);
            QCOMPARE(box->foreColor, s.mark);
            QCOMPARE(QByteArray(box->container), QByteArray("Frame1"));
        }
        QCOMPARE(kVtMainLayout.backColor, forms::OleColor{0x8000000F});
    }

    void tabIndicesAreUnique() {
        QHash<forms::Integer, QString> owner;
        for (const ControlSpec& c : kVtMainLayout.controls) {
            if (c.tabIndex < 0)
                continue;
            QVERIFY2(!owner.contains(c.tabIndex),
                     qPrintable(QStringLiteral("%1 and %2 share tab index %3")
                                    .arg(owner.value(c.tabIndex), nameOf(c))
                                    .arg(c.tabIndex)));
            owner.insert(c.tabIndex, nameOf(c));
        }
    }

    void controlsLieInsideTheirContainers() {
        QStringList outside;
        for (const ControlSpec& c : kVtMainLayout.controls) {
            forms::Single width = kVtMainLayout.clientWidth;
            forms::Single height = kVtMainLayout.clientHeight;
            if (c.container) {
                const ControlSpec* container = find(c.container);
                QVERIFY2(container, c.container);
                QCOMPARE(container->kind, forms::Kind::Frame);
                width = container->width;
                height = container->height;
            }
            QVERIFY2(c.width > 0 && c.height > 0, qPrintable(nameOf(c)));
            if (c.left < 0 || c.top < 0 || c.left + c.width > width || c.top + c.height > height)
                outside.append(nameOf(c));
        }
        // No control overhangs its container at design; the task bar's
        // run-time width and the panes' overhang of the frame come later.
        QCOMPARE(outside, QStringList());
        QCOMPARE(kVtMainLayout.clientWidth, forms::Single{9270});
        QCOMPARE(kVtMainLayout.clientHeight, forms::Single{4965});
    }

    // The window as built, before it is shown (a resize re-lays out the
    // frame and the task bar): every control at its layout's twips, whole
    // pixels at 96 DPI, relative to its container.
    void builtControlsStandWhereTheLayoutPutsThem() {
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96.0);
        vistrum::VtMain main;
        const auto pixels = [](forms::Single twips) { return int(std::lround(twips / 15.0)); };
        QStringList misplaced;
        for (const ControlSpec& c : kVtMainLayout.controls) {
            const QWidget* widget = widgetOf(main.form().control(c.name, c.index));
            const QRect want(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height));
            const QWidget* container = c.container ? widgetOf(main.form().control(c.container))
                                                   : clientAreaOf(main.form());
            if (widget->geometry() != want || widget->parentWidget() != container)
                misplaced << QStringLiteral("%1 at %2")
                                 .arg(nameOf(c), QDebug::toString(widget->geometry()));
        }
        QCOMPARE(misplaced, QStringList());
    }

    void swatchesOverlapByOnePixel() {
        for (int i = 0; i < 24; ++i) {
            const ControlSpec* box = find("ColorBox", static_cast<forms::Integer>(i));
            QVERIFY(box);
            QCOMPARE(box->width, forms::Single{255});
            QCOMPARE(box->height, forms::Single{255});
            const ControlSpec* right =
                i % 8 < 7 ? find("ColorBox", static_cast<forms::Integer>(i + 1)) : nullptr;
            const ControlSpec* below =
                i < 16 ? find("ColorBox", static_cast<forms::Integer>(i + 8)) : nullptr;
            // 255 twips at a pitch of 240: neighbours share one pixel.
            if (right)
                QCOMPARE(QPointF(right->left - box->left, right->top - box->top),
                         QPointF(box->width - kTwipsPerPixel, 0));
            if (below)
                QCOMPARE(QPointF(below->left - box->left, below->top - box->top),
                         QPointF(0, box->height - kTwipsPerPixel));
        }
    }

    void helpTextIsExact() {
        const char expected[] =
            "Select an option button to instantly set \"Vistrum\" to the screen size shown.\r\n"
            "\r\n"
            "Or use the mouse to resize \"Vistrum\" to a custom size by dragging any border.\r\n"
            "\r\n"
            "Change the background color by clicking a color you like in the color selection "
            "ribbon.\r\n";
        QCOMPARE(QByteArray(vistrum::kHelpText), QByteArray(expected));
        QCOMPARE(QByteArray(find("Text2")->caption), QByteArray(expected));
    }

    void noticeEndsWithAddressLines() {
        const QString notice = QString::fromUtf8(vistrum::kNoticeText);
        QCOMPARE(QByteArray(find("Text1")->caption), QByteArray(vistrum::kNoticeText));
        QVERIFY(!notice.endsWith(QLatin1Char('\n')));
        // Text boxes hold CR LF line ends, and only those.
        QCOMPARE(notice.count(QLatin1Char('\n')), notice.count(QStringLiteral("\r\n")));
        QCOMPARE(notice.count(QLatin1Char('\r')), notice.count(QStringLiteral("\r\n")));
        const QStringList lines = notice.split(QStringLiteral("\r\n"));
        QVERIFY(lines.size() > 3);
        const QStringList labels{QStringLiteral("Name:"), QStringLiteral("Street:"),
                                 QStringLiteral("Town:")};
        for (int k = 0; k < 3; ++k) {
            const QString& line = lines.at(lines.size() - 3 + k);
            QVERIFY2(line.startsWith(labels.at(k)), qPrintable(line));
            // A blank to fill in, at the same column on all three lines.
            QVERIFY2(line.contains(QStringLiteral("_____")), qPrintable(line));
            QCOMPARE(line.indexOf(QLatin1Char('_')), lines.last().indexOf(QLatin1Char('_')));
        }
    }

    void paneTextFitsItsPane_data() {
        QTest::addColumn<QByteArray>("pane");
        QTest::newRow("notice in Text1") << QByteArray("Text1");
        QTest::newRow("help in Text2") << QByteArray("Text2");
    }

    void paneTextFitsItsPane() {
        QFETCH(QByteArray, pane);
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96.0);
        const ControlSpec* entry = find(pane.constData());
        QVERIFY(entry);
        QCOMPARE(entry->kind, forms::Kind::TextBox);
        const QFontMetrics metrics(forms::qt::makeFont(entry->font));
        QString text = QString::fromUtf8(entry->caption);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        // The pane keeps a margin of two pixels around its text.
        const int margin = 2;
        const int width = qRound(entry->width / kTwipsPerPixel) - 2 * margin;
        const int height = qRound(entry->height / kTwipsPerPixel) - 2 * margin;
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text);
        QVERIFY2(needed.width() <= width, qPrintable(QString::number(needed.width())));
        QVERIFY2(needed.height() <= height, qPrintable(QString::number(needed.height())));
    }

    void windowSpec() {
        QCOMPARE(QByteArray(kVtMainLayout.caption), QByteArray("Vistrum V2.1"));
        QCOMPARE(kVtMainLayout.border, forms::BorderStyle::Sizable);
        QVERIFY(kVtMainLayout.keyPreview); // keys reach the window first, to close the panes
        // The option buttons form one group: the frame's.
        QCOMPARE(QByteArray(find("CustomOpt")->container), QByteArray("Frame1"));
        QCOMPARE(QByteArray(find("CustomOpt")->caption), QByteArray("Custom Size"));
    }

    // Each size of the Sizes menu is an entry of that menu, in order, whose
    // caption reads as the size; none is a preset, and none comes twice.
    void menuSizesMatchTheirEntries() {
        forms::Form form(kVtMainLayout);
        const QMenu* sizes = menuBarOf(form)->findChild<QMenu*>("Sizes");
        QVERIFY(sizes);
        QList<QAction*> shown;
        for (QAction* a : sizes->actions())
            if (!a->isSeparator())
                shown << a;
        QSet<QString> seen;
        for (size_t i = 0; i < vistrum::kMenuSizes.size(); ++i) {
            const vistrum::MenuSize& m = vistrum::kMenuSizes[i];
            const QString caption = QStringLiteral("%1 X %2").arg(m.size.width).arg(m.size.height);
            QCOMPARE(form.menu(m.entry).Caption(), caption);
            QCOMPARE(actionOf(form.menu(m.entry)), shown.value(static_cast<qsizetype>(i)));
            QVERIFY2(!seen.contains(caption), qPrintable(caption));
            seen.insert(caption);
            QVERIFY2(std::find(vistrum::kPresetSizes.begin(), vistrum::kPresetSizes.end(),
                               m.size) == vistrum::kPresetSizes.end(),
                     qPrintable(caption));
        }
    }

    void menus_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("parent");
        QTest::addColumn<int>("position"); // among the entries of its parent
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        const QKeySequence none;
        QTest::newRow("File") << QByteArray("File") << QByteArray() << 0 << "&File" << none;
        QTest::newRow("Exit") << QByteArray("Exit") << QByteArray("File") << 0 << "E&xit"
                              << QKeySequence(Qt::CTRL | Qt::Key_Q);
        QTest::newRow("Sizes") << QByteArray("Sizes") << QByteArray() << 1 << "&Sizes" << none;
        QTest::newRow("Size1280x720")
            << QByteArray("Size1280x720") << QByteArray("Sizes") << 0 << "1280 X 720" << none;
        QTest::newRow("SizesBar1")
            << QByteArray("SizesBar1") << QByteArray("Sizes") << 7 << "-" << none;
        QTest::newRow("Size3840x2160")
            << QByteArray("Size3840x2160") << QByteArray("Sizes") << 14 << "3840 X 2160" << none;
        QTest::newRow("Exact") << QByteArray("Exact") << QByteArray("Sizes") << 16
                               << "&Exact Size..." << QKeySequence(Qt::CTRL | Qt::Key_E);
        QTest::newRow("Hel") << QByteArray("Hel") << QByteArray() << 2 << "&Help" << none;
        QTest::newRow("Help") << QByteArray("Help") << QByteArray("Hel") << 0 << "Vistrum &Help"
                              << QKeySequence(Qt::Key_F1);
        QTest::newRow("ShareWare")
            << QByteArray("ShareWare") << QByteArray("Hel") << 1 << "&ShareWare" << none;
        QTest::newRow("Bar") << QByteArray("Bar") << QByteArray("Hel") << 2 << "-" << none;
        QTest::newRow("About") << QByteArray("About") << QByteArray("Hel") << 3 << "&About Vistrum"
                               << none;
    }

    void menus() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, parent);
        QFETCH(int, position);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QCOMPARE(kVtMainLayout.menus.size(), size_t{25});

        // The table entry.
        const forms::MenuSpec* entry = nullptr;
        for (const forms::MenuSpec& m : kVtMainLayout.menus)
            if (name == m.name)
                entry = &m;
        QVERIFY(entry);
        QCOMPARE(QByteArray(entry->parent), parent);
        QCOMPARE(QString::fromUtf8(entry->caption), caption);

        // The menu as built.
        forms::Form form(kVtMainLayout);
        QAction* action = actionOf(form.menu(name.constData()));
        QCOMPARE(form.menu(name.constData()).Caption(), caption);
        QCOMPARE(action->isSeparator(), caption == QLatin1String("-"));
        QCOMPARE(action->shortcut(), shortcut);
        QWidget* holder = menuBarOf(form);
        if (!parent.isEmpty())
            holder = menuBarOf(form)->findChild<QMenu*>(parent);
        QVERIFY(holder);
        QCOMPARE(holder->actions().indexOf(action), position);
    }
};

QTEST_MAIN(VtMainLayoutTest)
#include "tst_vt_main_layout.moc"
