// The main window as built on Qt, driven through its widgets: what the
// widgets show and how real clicks and keys reach them. The handlers' logic
// is tested on the scripted platform (tests/core).
#include "fonts.h"
#include "qt_forms.h"
#include "runtime.h"
#include "screen.h"
#include "vt_about.h"
#include "vt_exact_size.h"
#include "vt_main.h"
#include "vt_main_layout.h"
#include "vt_main_state.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <memory>

using forms::Control;
using forms::Runtime;

namespace {

constexpr forms::Single kTwips = 15; // per pixel at 96 DPI

// Twice a rectangle's centre, so that odd sizes compare exactly.
QPoint doubledCentre(const QRect& r) {
    return {2 * r.x() + r.width(), 2 * r.y() + r.height()};
}

enum class CloseBy { Mouse, Space, Enter, Escape };

// What the test saw while the modal About dialog was up.
struct AboutVisit {
    bool reached = false; // the dialog's modal loop ran
    bool shown = false;
    bool modal = false;
    bool okHadFocus = false;
    bool closed = false; // by the user's action, not by the test
    QRect aboutOuter, mainOuter;
    vistrum::VtAbout* about = nullptr;
};

} // namespace

class VtMainTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vistrum::VtMain> m_main;
    QStringList m_errors;
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
    void moveBy(QPoint by) {
        windowOf(form())->move(windowOf(form())->pos() + by);
        settle();
    }
    void menu(const char* name) {
        actionOf(form().menu(name))->trigger();
        settle();
    }
    // A click at a point of a widget, routed by the window as the user's would be.
    void clickAt(QWidget* widget, QPoint at) {
        QTest::mouseClick(windowOf(form())->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(windowOf(form()), at));
        settle();
    }

    QList<int> selectedPresets() { return vt_main_state::selectedPresets(form()); }
    QList<int> marks() { return vt_main_state::marks(form()); }
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
            case CloseBy::Escape:
                QTest::keyClick(focus, Qt::Key_Escape);
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

    // Opens Exact Size with Ctrl+E and, once its modal loop runs, types
    // into the focused box and presses keys: each step is "type TEXT" or
    // "key Tab|Return|Escape". Returns the message the dialog shows then, or
    // "closed"; a dialog still open is closed by the test.
    QString visitExactSize(const QStringList& steps) {
        QString seen;
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, this, [&] {
            vistrum::VtExactSize* exact = m_main->exactSizeIfCreated();
            if (!exact || QThread::currentThread()->loopLevel() == 0)
                return; // not in the dialog's loop yet
            poll.stop();
            QWidget* dialog = windowOf(exact->form());
            const QHash<QString, Qt::Key> keys{
                {"Tab", Qt::Key_Tab}, {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape}};
            for (const QString& step : steps) {
                QWidget* focus = QApplication::focusWidget();
                if (step.startsWith(QLatin1String("type ")))
                    QTest::keyClicks(focus, step.mid(5));
                else
                    QTest::keyClick(focus, keys.value(step.mid(4)));
                settle();
            }
            seen = dialog->isVisible()
                       ? static_cast<QLabel*>(widgetOf(exact->form().control("MessageLbl")))->text()
                       : QStringLiteral("closed");
            if (dialog->isVisible())
                exact->form().Hide();
        });
        poll.start();
        windowOf(form())->activateWindow();
        if (QTest::qWaitForWindowActive(windowOf(form())))
            QTest::keyClick(windowOf(form()), Qt::Key_E, Qt::ControlModifier);
        settle();
        poll.stop();
        return seen;
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
        m_events.clear();
        Runtime::get().setErrorReporter([this](const forms::RuntimeError& e) {
            m_errors << QStringLiteral("%1: %2").arg(e.number()).arg(toQString(e.text()));
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
        // Activate to return and then resizes twice, inside itself. All runs
        // before the window is shown; Qt's offscreen platform tells the thin
        // frame it draws only then, and the window is laid out for it.
        const QStringList expected{"Load@1",   "Resize@1", "Activate@1",   "Click@1",
                                   "Resize@2", "Resize@2", "FrameChange@1"};
        QCOMPARE(m_events, expected);
    }

    // Each swatch as the user sees it once clicked: the marker drawn over it,
    // its colour on the window, the mark readable on it.
    void swatchShownMarked_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 24; ++i)
            QTest::newRow(qPrintable(QString::number(i))) << i;
    }

    void swatchShownMarked() {
        QFETCH(int, index);
        start();
        clickSwatch(index);
        Control& swatch = ctl("ColorBox", index);
        Control& shape = ctl("Shape1");
        QVERIFY(widgetOf(shape)->isVisible());
        QCOMPARE(widgetOf(shape)->geometry(), widgetOf(swatch)->geometry());
        // The marker is drawn over the swatch, not hidden beneath it.
        const QObjectList stack = widgetOf(swatch)->parent()->children();
        QVERIFY(stack.indexOf(widgetOf(shape)) > stack.indexOf(widgetOf(swatch)));
        const QColor shown = widgetOf(swatch)->palette().color(QPalette::Window);
        QCOMPARE(shown, toQColor(vistrum::kSwatches[static_cast<size_t>(index)].back));
        QCOMPARE(clientAreaOf(form())->palette().color(QPalette::Window), shown);
        QVERIFY(widgetOf(swatch)->accessibleName().endsWith(QLatin1String(", selected")));
        // The mark stays readable: light on the dark swatches, black elsewhere.
        const QColor mark = widgetOf(swatch)->palette().color(QPalette::WindowText);
        QVERIFY(qAbs(mark.lightness() - shown.lightness()) >= 96);
    }

    // An open pane lies on top of the frame, where the user sees it.
    void paneShownOverFrame_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::newRow("help") << QByteArray("Help");
        QTest::newRow("shareware") << QByteArray("ShareWare");
    }

    void paneShownOverFrame() {
        QFETCH(QByteArray, entry);
        start();
        menu(entry.constData());
        QWidget* pane = widgetOf(ctl(entry == "Help" ? "Text2" : "Text1"));
        QVERIFY(pane->isVisible());
        QWidget* atCentre = clientAreaOf(form())->childAt(pane->geometry().center());
        QVERIFY(atCentre && (atCentre == pane || pane->isAncestorOf(atCentre)));
        QVERIFY(pane->geometry().contains(widgetOf(ctl("Frame1"))->geometry().center()));
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

    // Exact Size through its real widgets: what is typed replaces the size
    // it was filled in with; Enter takes it, Escape leaves everything as it
    // was, and a bad value is named in the dialog.
    void exactSizeByKeyboard_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QSize>("size");
        QTest::newRow("typed over, Enter")
            << QStringList{"type 1000", "key Tab", "type 700", "key Return"} << "closed"
            << QSize(1000, 700);
        QTest::newRow("typed over, Escape")
            << QStringList{"type 1000", "key Tab", "type 700", "key Escape"} << "closed"
            << QSize(640, 480);
        QTest::newRow("bad width, Enter")
            << QStringList{"type 10.5", "key Return"}
            << "The width must be a whole number of pixels." << QSize(640, 480);
    }

    void exactSizeByKeyboard() {
        QFETCH(QStringList, steps);
        QFETCH(QString, seen);
        QFETCH(QSize, size);
        start();
        QCOMPARE(visitExactSize(steps), seen);
        QCOMPARE(outer().size(), size);
        checkResizeLayout();
        QCOMPARE(ctl("CustomOpt").Value(), size != QSize(640, 480));
    }

    // Every text of Exact Size fits its label at 96 DPI, the messages
    // included: each is made by a bad value in one box.
    void exactSizeTextsFit() {
        vistrum::VtExactSize dialog;
        forms::Form& f = dialog.form();
        QStringList cut;
        const auto check = [&](const char* name) {
            auto* label = static_cast<QLabel*>(widgetOf(f.control(name)));
            if (label->heightForWidth(label->width()) > label->height())
                cut << label->text();
        };
        check("Label1");
        check("Label2");
        for (const char* bad : {"x", "1"}) {
            for (const char* box : {"WidthTxt", "HeightTxt"}) {
                dialog.Prepare(640, 480);
                f.control(box).setText(bad);
                static_cast<QPushButton*>(widgetOf(f.control("OkCmd")))->click();
                QVERIFY(!f.control("MessageLbl").Caption().empty());
                check("MessageLbl");
            }
        }
        QCOMPARE(cut, QStringList());
    }

    // OK closes the dialog, by the mouse, Space or Enter; so does Escape,
    // as in any dialog.
    void aboutCloses_data() {
        QTest::addColumn<int>("by");
        QTest::newRow("mouse on OK") << int(CloseBy::Mouse);
        QTest::newRow("space on OK") << int(CloseBy::Space);
        QTest::newRow("enter on OK") << int(CloseBy::Enter);
        QTest::newRow("escape") << int(CloseBy::Escape);
    }

    void aboutCloses() {
        QFETCH(int, by);
        start();
        const AboutVisit v = visitAbout(static_cast<CloseBy>(by));
        QVERIFY(v.reached && v.shown);
        QVERIFY(v.okHadFocus);
        QVERIFY2(v.closed, "the dialog stayed open");
    }
};

QTEST_MAIN(VtMainTest)
#include "tst_vt_main.moc"
