// The main window as built, driven through its controls: start-up, the size
// presets and border drags, the colour ribbon, the help and notice panes, the
// About dialog and a runtime error inside Resize.
#include "fonts.h"
#include "qt_forms.h"
#include "runtime.h"
#include "screen.h"
#include "vt_about.h"
#include "vt_main.h"
#include "vt_main_layout.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <memory>

using forms::Control;
using forms::Runtime;

namespace {

constexpr forms::Single kTwips = 15; // per pixel at 96 DPI

const QString kMark = QStringLiteral("\u00D7");

QString hex8(forms::OleColor colour) {
    return QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

// Twice a rectangle's centre, so that odd sizes compare exactly.
QPoint doubledCentre(const QRect& r) {
    return {2 * r.x() + r.width(), 2 * r.y() + r.height()};
}

enum class CloseBy { Mouse, Space, Enter, EscapeFirst };

// What the test saw while the modal About dialog was up.
struct AboutVisit {
    bool reached = false; // the dialog's modal loop ran
    bool shown = false;
    bool modal = false;
    bool okHadFocus = false;
    bool openAfterEscape = false;
    bool closed = false; // by the user's action, not by the test
    QRect aboutOuter, mainOuter;
    vistrum::VtAbout* about = nullptr;
};

} // namespace

class VtMainTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vistrum::VtMain> m_main;
    QStringList m_errors;
    QList<int> m_errorNumbers;
    QStringList m_events; // handlers as they start, "Event@depth"

    forms::Form& form() { return m_main->form(); }
    Control& ctl(const char* name, int index = -1) {
        return form().control(name, static_cast<forms::Integer>(index));
    }
    QRect outer() { return windowOf(form())->frameGeometry(); }

    static void settle() { QCoreApplication::processEvents(); }
    void start() {
        m_main->Show();
        settle();
    }
    void observe() {
        m_events.clear();
        Runtime::get().setHandlerObserver([this](const char* event, int depth) {
            m_events << QStringLiteral("%1@%2").arg(QLatin1String(event)).arg(depth);
        });
    }
    void click(Control& c) {
        QTest::mouseClick(widgetOf(c), Qt::LeftButton);
        settle();
    }
    void clickPreset(int i) { click(ctl("ScrSizeOpt", i)); }
    void clickSwatch(int i) { click(ctl("ColorBox", i)); }
    // A border drag: the window system resizes the window.
    void dragTo(QSize size) {
        windowOf(form())->resize(size);
        settle();
    }
    void moveBy(QPoint by) {
        windowOf(form())->move(windowOf(form())->pos() + by);
        settle();
    }
    void menu(const char* name) {
        actionOf(form().menu(name))->trigger();
        settle();
    }
    void activate() {
        form().raiseEvent("Activate", form().Activate);
        settle();
    }
    // A click at a point of a widget, routed by the window as the user's would be.
    void clickAt(QWidget* widget, QPoint at) {
        QTest::mouseClick(windowOf(form())->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(windowOf(form()), at));
        settle();
    }

    QList<int> selectedPresets() {
        QList<int> selected;
        for (int i = 0; i < 12; ++i)
            if (ctl("ScrSizeOpt", i).Value())
                selected << i;
        return selected;
    }
    QList<int> marks() {
        QList<int> marked;
        for (int i = 0; i < 24; ++i)
            if (ctl("ColorBox", i).Caption() == kMark)
                marked << i;
            else if (!ctl("ColorBox", i).Caption().empty())
                marked << -1000 - i; // a stray caption shows up as a mismatch
        return marked;
    }
    // Everything a handler may change, as text that QCOMPARE can show.
    QString state() {
        QString text;
        QDebug(&text) << outer() << selectedPresets() << ctl("CustomOpt").Enabled()
                      << ctl("CustomOpt").Value() << marks() << ctl("Shape1").Visible()
                      << ctl("Shape1").Left() << ctl("Shape1").Top() << hex8(form().BackColor())
                      << ctl("CurScrSize").Caption().c_str()
                      << ctl("CurBackColor").Caption().c_str() << ctl("Text1").Visible()
                      << ctl("Text2").Visible();
        for (int i = 0; i < 24; ++i)
            QDebug(&text) << widgetOf(ctl("ColorBox", i))->accessibleName();
        return text;
    }

    // What every Resize leaves behind, whatever caused it.
    void checkResizeLayout() {
        const QRect r = outer();
        QCOMPARE(ctl("CurScrSize").Caption(),
                 QStringLiteral("Current screen size = %1 X %2").arg(r.width()).arg(r.height()));
        QVERIFY(!ctl("Text1").Visible() && !widgetOf(ctl("Text1"))->isVisible());
        QVERIFY(!ctl("Text2").Visible() && !widgetOf(ctl("Text2"))->isVisible());

        const QSize client = clientAreaOf(form())->size();
        const QRect frame = widgetOf(ctl("Frame1"))->geometry();
        QVERIFY(qAbs(doubledCentre(frame).x() - client.width()) <= 2);
        QVERIFY(qAbs(doubledCentre(frame).y() - client.height()) <= 2);
        if (client.width() < frame.width())
            QVERIFY(frame.x() < 0 && ctl("Frame1").Left() < 0);
        if (client.height() < frame.height())
            QVERIFY(frame.y() < 0 && ctl("Frame1").Top() < 0);

        const QRect bar = widgetOf(ctl("W95StartBar"))->geometry();
        QCOMPARE(bar.height(), 24);
        QCOMPARE(bar.y() + bar.height(), client.height());
        QCOMPARE(bar.x(), 0);
        QCOMPARE(bar.width(), r.width());
        const QRect start = widgetOf(ctl("Start"))->geometry();
        QCOMPARE(start.height(), 24);
        QCOMPARE(start.y(), bar.y());
        QCOMPARE(start.x(), 0);
    }

    // The window's place for a preset size: a quarter of the free space
    // left and above, to the nearest pixel. The offscreen platform moves a
    // window placed left of or above the screen on by its frame's width
    // (a plain QWidget does the same), so that much is allowed there.
    void checkQuarterPosition(QSize size) {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        const double x = (screen.width() - size.width()) / 4.0;
        const double y = (screen.height() - size.height()) / 4.0;
        const QRect client = windowOf(form())->geometry();
        const auto near = [](int at, double wanted, int shift) {
            return qAbs(at - wanted) <= 0.5 || (wanted < 0 && qAbs(at - shift - wanted) <= 0.5);
        };
        QVERIFY(near(outer().x(), x, client.x() - outer().x()));
        QVERIFY(near(outer().y(), y, client.y() - outer().y()));
        QCOMPARE(form().Left() / kTwips, forms::Single(outer().x()));
        QCOMPARE(form().Top() / kTwips, forms::Single(outer().y()));
    }

    // Opens About and, once its modal loop runs, measures it and closes it.
    AboutVisit visitAbout(CloseBy by) {
        AboutVisit v;
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, this, [&] {
            vistrum::VtAbout* about = m_main->aboutIfCreated();
            if (!about || QThread::currentThread()->loopLevel() == 0)
                return; // not in the dialog's loop yet
            poll.stop();
            v.reached = true;
            v.about = about;
            QWidget* dialog = windowOf(about->form());
            QWidget* ok = widgetOf(about->form().control("Command1"));
            v.shown = dialog->isVisible();
            v.modal = QApplication::activeModalWidget() == dialog;
            v.aboutOuter = dialog->frameGeometry();
            v.mainOuter = outer();
            v.okHadFocus = QApplication::focusWidget() == ok;
            QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : ok;
            switch (by) {
            case CloseBy::Mouse:
                QTest::mouseClick(ok, Qt::LeftButton);
                break;
            case CloseBy::Space:
                QTest::keyClick(focus, Qt::Key_Space);
                break;
            case CloseBy::Enter:
                QTest::keyClick(focus, Qt::Key_Return);
                break;
            case CloseBy::EscapeFirst:
                QTest::keyClick(focus, Qt::Key_Escape);
                settle();
                v.openAfterEscape = dialog->isVisible();
                QTest::mouseClick(ok, Qt::LeftButton);
                break;
            }
            settle();
            v.closed = !dialog->isVisible();
            if (!v.closed)
                about->form().Hide(); // ends the modal loop whatever went wrong
        });
        poll.start();
        menu("About");
        poll.stop();
        return v;
    }

private slots:
    void initTestCase() {
        installFontSubstitutes();
        QVERIFY(QGuiApplication::primaryScreen());
        QCOMPARE(forms::Screen().TwipsPerPixelX(), kTwips);
        QCOMPARE(forms::Screen().TwipsPerPixelY(), kTwips);
    }

    void init() {
        m_errors.clear();
        m_errorNumbers.clear();
        m_events.clear();
        Runtime::get().setErrorReporter([this](const forms::RuntimeError& e) {
            m_errors << QStringLiteral("%1: %2").arg(e.number()).arg(toQString(e.text()));
            m_errorNumbers << e.number();
        });
        m_main = std::make_unique<vistrum::VtMain>();
    }

    void cleanup() {
        m_main.reset();
        forms::Screen().fakeTwipsPerPixel(std::nullopt);
        Runtime::get().setHandlerObserver({});
        Runtime::get().setErrorReporter({});
        Runtime::get().resetForTesting();
        QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(QLatin1Char('\n'))));
    }

    void startUp() {
        observe();
        start();
        QCOMPARE(form().Width() / kTwips, forms::Single{640});
        QCOMPARE(form().Height() / kTwips, forms::Single{480});
        QCOMPARE(outer().size(), QSize(640, 480));
        QCOMPARE(selectedPresets(), QList<int>{0});
        QVERIFY(!ctl("CustomOpt").Enabled());
        QVERIFY(!ctl("CustomOpt").Value());
        QCOMPARE(ctl("CurScrSize").Caption(), QStringLiteral("Current screen size = 640 X 480"));
        QCOMPARE(ctl("CurBackColor").Caption(), QStringLiteral("Color = 8000000F Hex"));
        QCOMPARE(marks(), QList<int>());
        QVERIFY(!ctl("Shape1").Visible() && !widgetOf(ctl("Shape1"))->isVisible());
        checkResizeLayout();
        checkQuarterPosition(QSize(640, 480));
        QVERIFY(m_main->Activated);
        QVERIFY(!m_main->PresetSizing);
        // Load, the first Resize and Activate; the preset's Click waits for
        // Activate to return and then resizes twice, inside itself.
        const QStringList expected{"Load@1",  "Resize@1", "Activate@1",
                                   "Click@1", "Resize@2", "Resize@2"};
        QCOMPARE(m_events, expected);
    }

    void presetSizesAndPlacesWindow_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 12; ++i)
            QTest::newRow(vistrum::kPresetCaptions[static_cast<size_t>(i)]) << i;
    }

    void presetSizesAndPlacesWindow() {
        QFETCH(int, index);
        start();
        dragTo(QSize(700, 520)); // leaves no preset selected, so the click is a change
        QCOMPARE(selectedPresets(), QList<int>());
        clickPreset(index);
        const vistrum::PresetSize preset = vistrum::kPresetSizes[static_cast<size_t>(index)];
        const QSize size(preset.width, preset.height);
        QCOMPARE(outer().size(), size);
        checkResizeLayout();
        checkQuarterPosition(size);
        QCOMPARE(selectedPresets(), QList<int>{index});
        QVERIFY(!ctl("CustomOpt").Enabled());
        QVERIFY(!ctl("CustomOpt").Value());
        QVERIFY(!m_main->PresetSizing);
    }

    void dragChoosesCustomSize_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wider") << QSize(900, 500);
        QTest::newRow("taller") << QSize(640, 700);
        QTest::newRow("one pixel narrower") << QSize(639, 480);
        QTest::newRow("smaller than the frame") << QSize(180, 150);
    }

    void dragChoosesCustomSize() {
        QFETCH(QSize, size);
        start();
        menu("Help");
        QVERIFY(ctl("Text2").Visible());
        const QPoint place = outer().topLeft();
        dragTo(size);
        QCOMPARE(windowOf(form())->size(), size);
        QCOMPARE(outer().topLeft(), place);
        QVERIFY(ctl("CustomOpt").Enabled());
        QVERIFY(ctl("CustomOpt").Value());
        QCOMPARE(selectedPresets(), QList<int>());
        checkResizeLayout();
    }

    // A preset that keeps one dimension runs a single Resize; the flag it
    // set for the other must not survive into the next border drag.
    void presetKeepingOneDimension_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("640 X 480 then 1280 X 480") << 0 << 6;
        QTest::newRow("800 X 600 then 1600 X 600") << 1 << 7;
        QTest::newRow("1280 X 480 then 1280 X 1024") << 6 << 4;
    }

    void presetKeepingOneDimension() {
        QFETCH(int, first);
        QFETCH(int, second);
        start();
        clickPreset(first);
        clickPreset(second);
        const vistrum::PresetSize preset = vistrum::kPresetSizes[static_cast<size_t>(second)];
        QCOMPARE(outer().size(), QSize(preset.width, preset.height));
        checkQuarterPosition(QSize(preset.width, preset.height));
        QVERIFY(!m_main->PresetSizing);

        // Moving runs no Resize; it only brings the window fully on the screen.
        moveBy(QPoint(30, 40) - outer().topLeft());
        const QPoint place = outer().topLeft();
        dragTo(QSize(700, 500));
        QCOMPARE(outer().topLeft(), place);
        QVERIFY(ctl("CustomOpt").Enabled());
        QVERIFY(ctl("CustomOpt").Value());
        checkResizeLayout();
    }

    // Each swatch clicked after another one: one mark, the marker on it, its
    // colour on the window and in the readout.
    void swatchColoursWindow_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("index");
        for (int i = 0; i < 24; ++i)
            QTest::newRow(qPrintable(QStringLiteral("%1 then %2").arg((i + 12) % 24).arg(i)))
                << (i + 12) % 24 << i;
    }

    void swatchColoursWindow() {
        QFETCH(int, first);
        QFETCH(int, index);
        start();
        clickSwatch(first);
        clickSwatch(index);
        QCOMPARE(marks(), QList<int>{index});
        Control& swatch = ctl("ColorBox", index);
        Control& shape = ctl("Shape1");
        QVERIFY(shape.Visible() && widgetOf(shape)->isVisible());
        QCOMPARE(shape.Left(), swatch.Left());
        QCOMPARE(shape.Top(), swatch.Top());
        QCOMPARE(widgetOf(shape)->geometry(), widgetOf(swatch)->geometry());
        // The marker is drawn over the swatch, not hidden beneath it.
        const QObjectList stack = widgetOf(swatch)->parent()->children();
        QVERIFY(stack.indexOf(widgetOf(shape)) > stack.indexOf(widgetOf(swatch)));

        const QColor shown = widgetOf(swatch)->palette().color(QPalette::Window);
        QCOMPARE(clientAreaOf(form())->palette().color(QPalette::Window), shown);
        QCOMPARE(form().BackColor(), vistrum::kSwatches[static_cast<size_t>(index)].back);
        // Eight digits, stored blue byte first.
        const QString digits = QStringLiteral("00%1%2%3")
                                   .arg(shown.blue(), 2, 16, QLatin1Char('0'))
                                   .arg(shown.green(), 2, 16, QLatin1Char('0'))
                                   .arg(shown.red(), 2, 16, QLatin1Char('0'))
                                   .toUpper();
        QCOMPARE(ctl("CurBackColor").Caption(), QStringLiteral("Color = %1 Hex").arg(digits));
        const QString rgb = QStringLiteral("red %1, green %2, blue %3")
                                .arg(shown.red())
                                .arg(shown.green())
                                .arg(shown.blue());
        QCOMPARE(widgetOf(swatch)->accessibleName(), rgb + QStringLiteral(", selected"));
        QVERIFY(!widgetOf(ctl("ColorBox", first))->accessibleName().endsWith("selected"));
        // The mark stays readable: light on the dark swatches, black elsewhere.
        const QColor mark = widgetOf(swatch)->palette().color(QPalette::WindowText);
        QVERIFY(qAbs(mark.lightness() - shown.lightness()) >= 96);
    }

    void clickingMarkedSwatchAgainChangesNothing() {
        start();
        clickSwatch(12);
        const QString before = state();
        observe();
        clickSwatch(12);
        QCOMPARE(m_events, QStringList{"Click@1"}); // the click did arrive
        QCOMPARE(state(), before);
    }

    void laterActivateKeepsChoices() {
        start();
        clickPreset(3);
        clickSwatch(12);
        const QString before = state();
        activate();
        QCOMPARE(state(), before); // no return to 640 X 480, the mark stays

        // A colour set elsewhere gets its swatch marked; none is cleared.
        form().setBackColor(vistrum::kSwatches[20].back);
        activate();
        QCOMPARE(marks(), (QList<int>{12, 20}));
        QCOMPARE(ctl("Shape1").Left(), ctl("ColorBox", 20).Left());
        QCOMPARE(ctl("Shape1").Top(), ctl("ColorBox", 20).Top());
        QCOMPARE(ctl("CurBackColor").Caption(),
                 QStringLiteral("Color = %1 Hex").arg(hex8(vistrum::kSwatches[20].back)));
        QCOMPARE(selectedPresets(), QList<int>{3});

        // A system colour reads 800000nn, and matches no swatch.
        form().setBackColor(0x80000005U);
        activate();
        QCOMPARE(ctl("CurBackColor").Caption(), QStringLiteral("Color = 80000005 Hex"));
        QCOMPARE(marks(), (QList<int>{12, 20}));
    }

    void paneOpensCentredOnFrame_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QSize>("size"); // invalid: as started
        const QSize asStarted;
        QTest::newRow("help") << QStringList{"Help"} << asStarted;
        QTest::newRow("shareware") << QStringList{"ShareWare"} << asStarted;
        QTest::newRow("help then shareware") << QStringList{"Help", "ShareWare"} << asStarted;
        QTest::newRow("shareware then help") << QStringList{"ShareWare", "Help"} << asStarted;
        QTest::newRow("help twice") << QStringList{"Help", "Help"} << asStarted;
        QTest::newRow("help, small window") << QStringList{"Help"} << QSize(200, 160);
        QTest::newRow("shareware, wide window") << QStringList{"ShareWare"} << QSize(1000, 400);
    }

    void paneOpensCentredOnFrame() {
        QFETCH(QStringList, entries);
        QFETCH(QSize, size);
        start();
        if (size.isValid())
            dragTo(size);
        Control& frame = ctl("Frame1");
        QRect previous;
        QString previousEntry;
        for (const QString& entry : entries) {
            menu(qPrintable(entry));
            const bool help = entry == QLatin1String("Help");
            Control& pane = ctl(help ? "Text2" : "Text1");
            Control& other = ctl(help ? "Text1" : "Text2");
            QVERIFY(pane.Visible() && widgetOf(pane)->isVisible());
            QVERIFY(!other.Visible() && !widgetOf(other)->isVisible());
            // Same centre as the frame; the wider pane overhangs both sides alike.
            QCOMPARE(pane.Left() + pane.Width() / 2, frame.Left() + frame.Width() / 2);
            QCOMPARE(pane.Top() + pane.Height() / 2, frame.Top() + frame.Height() / 2);
            const forms::Single leftOverhang = frame.Left() - pane.Left();
            QVERIFY(leftOverhang > 0);
            QCOMPARE(pane.Left() + pane.Width() - (frame.Left() + frame.Width()), leftOverhang);
            const QRect shown = widgetOf(pane)->geometry();
            // On top of the frame, where the user sees it.
            QWidget* atCentre = clientAreaOf(form())->childAt(shown.center());
            QVERIFY(atCentre &&
                    (atCentre == widgetOf(pane) || widgetOf(pane)->isAncestorOf(atCentre)));
            if (entry == previousEntry)
                QCOMPARE(shown, previous); // opened again: stays where it was
            previous = shown;
            previousEntry = entry;
        }
    }

    void paneClosesOnClick_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("where");
        for (const char* entry : {"Help", "ShareWare"})
            for (const char* where : {"client area", "task bar", "pane"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(entry, where)))
                    << QByteArray(entry) << QByteArray(where);
    }

    void paneClosesOnClick() {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, where);
        start();
        menu(entry.constData());
        Control& pane = ctl(entry == "Help" ? "Text2" : "Text1");
        QVERIFY(pane.Visible());
        const forms::String before = pane.Caption();
        if (where == "client area") {
            const QPoint free(5, 5);
            QVERIFY(!clientAreaOf(form())->childAt(free));
            clickAt(clientAreaOf(form()), free);
        } else if (where == "task bar") {
            QWidget* bar = widgetOf(ctl("W95StartBar"));
            const QPoint at(bar->width() - 10, bar->height() / 2);
            QVERIFY(!widgetOf(ctl("Start"))->geometry().contains(bar->mapToParent(at)));
            clickAt(bar, at);
        } else {
            clickAt(widgetOf(pane), widgetOf(pane)->rect().center());
        }
        QVERIFY(!pane.Visible() && !widgetOf(pane)->isVisible());
        QVERIFY(!ctl("Text1").Visible() && !ctl("Text2").Visible());
        QCOMPARE(pane.Caption(), before);
    }

    void keyClosesPaneUnchanged_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("focus"); // control name, empty: nothing
        QTest::addColumn<int>("key");
        QTest::newRow("letter in help pane")
            << QByteArray("Help") << QByteArray("Text2") << int(Qt::Key_A);
        QTest::newRow("delete in notice pane")
            << QByteArray("ShareWare") << QByteArray("Text1") << int(Qt::Key_Delete);
        QTest::newRow("letter, preset focused")
            << QByteArray("Help") << QByteArray("ScrSizeOpt") << int(Qt::Key_X);
        QTest::newRow("letter, nothing focused")
            << QByteArray("ShareWare") << QByteArray() << int(Qt::Key_Q);
    }

    void keyClosesPaneUnchanged() {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, focus);
        QFETCH(int, key);
        start();
        windowOf(form())->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(windowOf(form())));
        menu(entry.constData());
        Control& pane = ctl(entry == "Help" ? "Text2" : "Text1");
        QVERIFY(pane.Visible());
        QWidget* target = windowOf(form());
        if (focus.isEmpty()) {
            if (QApplication::focusWidget())
                QApplication::focusWidget()->clearFocus();
            QVERIFY(!QApplication::focusWidget());
        } else {
            target = widgetOf(ctl(focus.constData(), focus == "ScrSizeOpt" ? 0 : -1));
            target->setFocus();
            QCOMPARE(QApplication::focusWidget(), target);
        }
        const QString text = static_cast<QPlainTextEdit*>(widgetOf(pane))->toPlainText();
        const forms::String caption = pane.Caption();
        QTest::keyClick(target, static_cast<Qt::Key>(key));
        settle();
        QCOMPARE(static_cast<QPlainTextEdit*>(widgetOf(pane))->toPlainText(), text);
        QCOMPARE(pane.Caption(), caption);
        QVERIFY2(!pane.Visible(), "a key press leaves the pane open");
    }

    void aboutCentredOnMainWindow_data() {
        QTest::addColumn<QPoint>("shift");
        QTest::addColumn<int>("preset"); // -1: as started
        QTest::addColumn<bool>("openedBefore");
        QTest::addColumn<bool>("offScreen"); // the centred dialog leaves the screen
        QTest::newRow("as started") << QPoint() << -1 << false << false;
        QTest::newRow("after the window moved") << QPoint(150, 90) << -1 << true << false;
        QTest::newRow("window partly off the screen") << QPoint(500, 400) << -1 << false << true;
        QTest::newRow("3200 X 1200") << QPoint() << 11 << false << true;
    }

    void aboutCentredOnMainWindow() {
        QFETCH(QPoint, shift);
        QFETCH(int, preset);
        QFETCH(bool, openedBefore);
        QFETCH(bool, offScreen);
        start();
        if (preset >= 0)
            clickPreset(preset);
        vistrum::VtAbout* first = nullptr;
        if (openedBefore) {
            const AboutVisit earlier = visitAbout(CloseBy::Mouse);
            QVERIFY(earlier.reached && earlier.closed);
            first = earlier.about;
        }
        moveBy(shift);
        const AboutVisit v = visitAbout(CloseBy::Mouse);
        QVERIFY(v.reached && v.shown && v.modal);
        QCOMPARE(v.mainOuter, outer());
        const QPoint offset = doubledCentre(v.aboutOuter) - doubledCentre(v.mainOuter);
        QVERIFY(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2);
        // Nothing keeps the dialog on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(!screen.contains(v.aboutOuter), offScreen);
        QVERIFY(v.closed);
        QVERIFY(!v.about->form().Visible());
        if (first)
            QCOMPARE(v.about, first); // one dialog for the whole run
    }

    void aboutClosesOnlyByOk_data() {
        QTest::addColumn<int>("by");
        QTest::newRow("mouse on OK") << int(CloseBy::Mouse);
        QTest::newRow("space on OK") << int(CloseBy::Space);
        QTest::newRow("enter on OK") << int(CloseBy::Enter);
        QTest::newRow("escape, then OK") << int(CloseBy::EscapeFirst);
    }

    void aboutClosesOnlyByOk() {
        QFETCH(int, by);
        start();
        const AboutVisit v = visitAbout(static_cast<CloseBy>(by));
        QVERIFY(v.reached && v.shown);
        QVERIFY(v.okHadFocus);
        if (static_cast<CloseBy>(by) == CloseBy::EscapeFirst)
            QVERIFY2(v.openAfterEscape, "Escape closed the About dialog");
        QVERIFY2(v.closed, "the dialog stayed open");
    }

    void closingAboutReactivatesMainWindow() {
        start();
        clickPreset(3);
        clickSwatch(12);
        moveBy(QPoint(20, 10));
        const QString before = state();
        observe();
        const AboutVisit v = visitAbout(CloseBy::Mouse);
        QVERIFY(v.reached && v.closed);
        // The menu's Click, OK's Click, then the main window's Activate.
        QCOMPARE(m_events, (QStringList{"Click@1", "Click@1", "Activate@1"}));
        QCOMPARE(state(), before);
        QVERIFY(m_main->Activated);
    }

    // Last: ending the program also tells Qt's event loops to quit, which
    // would cut short the modal loops of any test after it.
    void zeroTwipsPerPixelEndsProgram() {
        start();
        observe();
        forms::Screen().fakeTwipsPerPixel(0.0F);
        dragTo(QSize(700, 500));
        forms::Screen().fakeTwipsPerPixel(std::nullopt);
        QCOMPARE(m_events, QStringList{"Resize@1"});
        QCOMPARE(m_errorNumbers.size(), 1);
        const QList<int> floatingPoint{int(forms::ErrorCode::Overflow),
                                       int(forms::ErrorCode::DivisionByZero),
                                       int(forms::ErrorCode::InvalidFloat)};
        QVERIFY2(floatingPoint.contains(m_errorNumbers.first()), qPrintable(m_errors.first()));
        QVERIFY(Runtime::get().ended());
        QCOMPARE(Runtime::get().exitStatus(), 1);
        QVERIFY(!form().Visible());
        m_errors.clear();
    }
};

QTEST_MAIN(VtMainTest)
#include "tst_vt_main.moc"
