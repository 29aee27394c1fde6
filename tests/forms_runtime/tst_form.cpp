// A window built from a small layout of its own, driven through its widgets
// on the offscreen platform: stacking and focus order, fonts and colours,
// control arrays, option groups, where clicks and keys go, menus, size
// assignments and the one-handler-at-a-time dispatcher.
#include "checked.h"
#include "colors.h"
#include "control.h"
#include "core/test_window.h"
#include "fonts.h"
#include "form.h"
#include "qt_forms.h"
#include "runtime.h"
#include "screen.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <memory>

using namespace forms;
using namespace test_window;
using Action = std::function<void()>;
using SL = QStringList;
Q_DECLARE_METATYPE(Action)

class FormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form> m_form;
    SL m_log;              // handlers in the order they ran
    QList<int> m_reported; // errors that reached the reporter
    bool m_expectErrors = false;

    // "cmd" or "opt(1)".
    Control& ctl(const QString& displayName) const {
        const qsizetype open = displayName.indexOf(QLatin1Char('('));
        if (open < 0)
            return m_form->control(fromQString(displayName));
        const int index = displayName.mid(open + 1).chopped(1).toInt();
        return m_form->control(fromQString(displayName.left(open)), static_cast<Integer>(index));
    }

    void logClicks(const SL& names) {
        for (const QString& name : names)
            ctl(name).Click = [this, name] { m_log << name; };
    }

    bool showForm() {
        m_form->Show();
        return QTest::qWaitForWindowActive(windowOf(*m_form));
    }

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void init() {
        Runtime::get().resetForTesting();
        Runtime::get().setErrorReporter(
            [this](const RuntimeError& e) { m_reported << e.number(); });
        m_log.clear();
        m_reported.clear();
        m_expectErrors = false;
        m_form = std::make_unique<Form>(kWindow);
    }

    void cleanup() {
        m_form.reset();
        Runtime::get().setHandlerObserver(nullptr);
        Runtime::get().resetForTesting();
        if (!m_expectErrors)
            QCOMPARE(m_reported, QList<int>{});
    }

    // The earlier of two overlapping controls is drawn above the later one.
    void zOrderFollowsTheLayout_data() {
        QTest::addColumn<SL>("topAndUnder");
        QTest::addColumn<QPoint>("overlap"); // in the client area
        QTest::addColumn<QColor>("seen");
        QTest::newRow("labels") << SL{"lblA", "lblB"} << QPoint(250, 44) << toQColor(kRed);
        QTest::newRow("shapes") << SL{"shpA", "shpB"} << QPoint(270, 125) << toQColor(kGreen);
    }

    void zOrderFollowsTheLayout() {
        QFETCH(SL, topAndUnder);
        QFETCH(QPoint, overlap);
        QFETCH(QColor, seen);
        QVERIFY(showForm());
        const QObjectList stack = clientAreaOf(*m_form)->children(); // bottom first
        QVERIFY(stack.indexOf(widgetOf(ctl(topAndUnder[0]))) >
                stack.indexOf(widgetOf(ctl(topAndUnder[1]))));
        const QImage image = clientAreaOf(*m_form)->grab().toImage();
        QCOMPARE(image.pixelColor(overlap).name(), seen.name());
    }

    // Only option buttons, text boxes and command buttons take the focus,
    // in the order of their tab indices.
    void focusOrderFollowsTabIndices() {
        QHash<QWidget*, QString> names;
        for (const ControlSpec& entry : kControls) {
            QString name = QString::fromUtf8(entry.name);
            if (entry.index >= 0)
                name += QStringLiteral("(%1)").arg(entry.index);
            names.insert(widgetOf(ctl(name)), name);
        }
        SL order;
        QWidget* const first = widgetOf(ctl("cmd"));
        QWidget* w = first;
        for (int step = 0; step < 1000; ++step) {
            if (names.contains(w) && w->focusPolicy() != Qt::NoFocus)
                order << names.value(w);
            w = w->nextInFocusChain();
            if (w == first)
                break;
        }
        QCOMPARE(order, SL({"cmd", "txt", "opt(0)", "opt(1)", "opt(2)", "optX"}));
        for (const QString& name : order)
            QCOMPARE(widgetOf(ctl(name))->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(errorNumberOf([this] { ctl("lblA").SetFocus(); }), 438);
    }

    void fontsAndColoursFollowTheLayout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<OleColor>("back");
        QTest::addColumn<OleColor>("fore");
        QTest::newRow("8.25 pt, defaults") << "cmd" << 11 << false << kButtonFace << kWindowText;
        QTest::newRow("9.75 pt, explicit") << "lblB" << 13 << false << kBlue << kWhite;
        QTest::newRow("12 pt bold") << "lblA" << 16 << true << kRed << kWindowText;
        QTest::newRow("text box") << "txt" << 11 << false << OleColor{0x80000005} << kWindowText;
    }

    void fontsAndColoursFollowTheLayout() {
        QFETCH(QString, name);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(OleColor, back);
        QFETCH(OleColor, fore);
        const QWidget* w = widgetOf(ctl(name));
        const QFontInfo info(w->font());
        QCOMPARE(info.pixelSize(), pixelSize);
        QCOMPARE(info.bold(), bold);
        QCOMPARE(w->palette().color(w->backgroundRole()).name(), toQColor(back).name());
        QCOMPARE(w->palette().color(w->foregroundRole()).name(), toQColor(fore).name());
        QCOMPARE(clientAreaOf(*m_form)->palette().color(QPalette::Window).name(),
                 toQColor(kGrey).name());
    }

    // System colours follow the palette in force; an invalid value raises
    // 380 and leaves the control's colour as it was.
    void colourValues_data() {
        QTest::addColumn<OleColor>("value");
        QTest::addColumn<QColor>("expected"); // invalid: error 380
        QTest::newRow("explicit BGR") << OleColor{0x00FF8040} << QColor(0x40, 0x80, 0xFF);
        QTest::newRow("window text") << kWindowText << QColor(0x12, 0x34, 0x56);
        QTest::newRow("button face") << kButtonFace << QColor(0x65, 0x43, 0x21);
        QTest::newRow("unknown system colour") << OleColor{0x80000063} << QColor();
        QTest::newRow("stray bits in system colour") << OleColor{0x80000108} << QColor();
        QTest::newRow("high byte on explicit") << OleColor{0x01000000} << QColor();
        QTest::newRow("all bits") << OleColor{0xFFFFFFFF} << QColor();
    }

    void colourValues() {
        QFETCH(OleColor, value);
        QFETCH(QColor, expected);
        const QPalette saved = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(saved); });
        QPalette custom = saved;
        custom.setColor(QPalette::WindowText, QColor(0x12, 0x34, 0x56));
        custom.setColor(QPalette::Button, QColor(0x65, 0x43, 0x21));
        QApplication::setPalette(custom);

        Control& cmd = ctl("cmd");
        const OleColor before = cmd.BackColor();
        const int byConversion = errorNumberOf([&] { toQColor(value); });
        const int byControl = errorNumberOf([&] { cmd.setBackColor(value); });
        if (!expected.isValid()) {
            QCOMPARE(byConversion, 380);
            QCOMPARE(byControl, 380);
            QCOMPARE(cmd.BackColor(), before);
            return;
        }
        QCOMPARE(byConversion + byControl, 0);
        QCOMPARE(toQColor(value).name(), expected.name());
        QCOMPARE(cmd.BackColor(), value);
        QCOMPARE(widgetOf(cmd)->palette().color(QPalette::Button).name(), expected.name());
    }

    // A disabled control shows the platform's disabled text colour, also
    // where the layout gives it a text colour of its own; enabled again, it
    // shows its own.
    void disabledLooksDisabled_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<OleColor>("fore");
        QTest::newRow("option button, default colour") << "opt(0)" << kWindowText;
        QTest::newRow("label, white text") << "lblB" << kWhite;
        QTest::newRow("command button") << "cmd" << kWindowText;
    }

    void disabledLooksDisabled() {
        QFETCH(QString, name);
        QFETCH(OleColor, fore);
        QVERIFY(showForm());
        QWidget* w = widgetOf(ctl(name));
        const QPalette::ColorRole text = w->foregroundRole();
        const QColor disabled = QApplication::palette().color(QPalette::Disabled, text);
        QVERIFY(disabled != toQColor(fore));
        ctl(name).setEnabled(false);
        QCOMPARE(w->palette().color(QPalette::Disabled, text), disabled);
        QCOMPARE(w->palette().color(QPalette::Active, text), toQColor(fore));
        // What is drawn: the disabled colour, not the layout's.
        QCOMPARE(w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled, text),
                 disabled);
        ctl(name).setEnabled(true);
        QCOMPARE(w->palette().color(QPalette::Active, text), toQColor(fore));
    }

    void visibilityAndTexts() {
        QVERIFY(showForm());
        QCOMPARE(m_form->Caption(), ("Test window"));
        Control& hidden = ctl("lblHidden");
        QVERIFY(!hidden.Visible());
        QVERIFY(!widgetOf(hidden)->isVisible());
        for (const char* name : {"fra", "opt(2)", "lblA", "shpB", "txt", "cmd"})
            QVERIFY2(widgetOf(ctl(name))->isVisible(), name);
        hidden.setVisible(true);
        QVERIFY(widgetOf(hidden)->isVisible());

        Control& txt = ctl("txt");
        auto* edit = qobject_cast<QPlainTextEdit*>(widgetOf(txt));
        QVERIFY(edit);
        QCOMPARE(txt.Text(), ("first line\r\nsecond line"));
        QCOMPARE(edit->toPlainText(), ("first line\nsecond line"));
        txt.setCaption(("a\r\n\r\nb\r\n"));
        QCOMPARE(txt.Text(), ("a\r\n\r\nb\r\n"));
        QCOMPARE(edit->toPlainText(), ("a\n\nb\n"));
        QCOMPARE(ctl("cmd").Caption(), ("&Go"));
    }

    // The name a screen reader speaks is the text the control shows; a name
    // set on purpose survives later captions.
    void accessibleNamesFollowCaptions_data() {
        QTest::addColumn<SL>("row"); // control, initial name, new caption, new name
        QTest::newRow("frame") << SL{"fra", "Colour", "&Shades", "Shades"};
        QTest::newRow("option") << SL{"opt(0)", "Red", "&Crimson", "Crimson"};
        QTest::newRow("label") << SL{"lblA", "Top", "Heading", "Heading"};
        QTest::newRow("text box") << SL{"txt", "first line\nsecond line", "Tom & Jerry",
                                        "Tom & Jerry"};
        QTest::newRow("button") << SL{"cmd", "Go", "&Stop", "Stop"};
        QTest::newRow("button, doubled ampersand")
            << SL{"cmd", "Go", "Fish && Chips", "Fish & Chips"};
    }

    void accessibleNamesFollowCaptions() {
        QFETCH(SL, row);
        Control& c = ctl(row[0]);
        QCOMPARE(widgetOf(c)->accessibleName(), row[1]);
        c.setCaption(fromQString(row[2]));
        QCOMPARE(widgetOf(c)->accessibleName(), row[3]);
        c.setAccessibleName(("custom"));
        c.setCaption(("&Later"));
        QCOMPARE(widgetOf(c)->accessibleName(), ("custom"));
    }

    // Each step selects an option ("!": clears it). A selection raises the
    // option's Click and deselects only the options of the same container.
    void optionGroupsPerContainer_data() {
        QTest::addColumn<SL>("steps");
        QTest::addColumn<SL>("selected");
        QTest::newRow("one in frame") << SL{"opt(1)"} << SL{"opt(1)"};
        QTest::newRow("two in frame") << SL{"opt(0)", "opt(2)"} << SL{"opt(2)"};
        QTest::newRow("outside, then frame") << SL{"optX", "opt(1)"} << SL{"opt(1)", "optX"};
        QTest::newRow("frame, outside, frame")
            << SL{"opt(0)", "optX", "opt(2)"} << SL{"opt(2)", "optX"};
        QTest::newRow("select and clear") << SL{"opt(0)", "!opt(0)"} << SL{};
    }

    void optionGroupsPerContainer() {
        QFETCH(SL, steps);
        QFETCH(SL, selected);
        const SL all{"opt(0)", "opt(1)", "opt(2)", "optX"};
        logClicks(all);
        SL clicks;
        for (const QString& step : steps) {
            const bool clear = step.startsWith(QLatin1Char('!'));
            ctl(clear ? step.mid(1) : step).setValue(!clear);
            if (!clear)
                clicks << step;
        }
        SL on;
        for (const QString& name : all)
            if (ctl(name).Value())
                on << name;
        QCOMPARE(on, selected);
        QCOMPARE(m_log, clicks);
    }

    // A real mouse click, routed by the window to whatever lies at the point.
    void clicksReachTheRightHandler_data() {
        QTest::addColumn<QPoint>("point"); // in the client area
        QTest::addColumn<SL>("handlers");
        QTest::newRow("bare client area") << QPoint(350, 228) << SL{"frmTest"};
        QTest::newRow("shape alone") << QPoint(320, 150) << SL{"frmTest"};
        QTest::newRow("overlapping shapes") << QPoint(270, 125) << SL{"frmTest"};
        QTest::newRow("label alone") << QPoint(320, 60) << SL{"lblB"};
        QTest::newRow("overlapping labels") << QPoint(250, 44) << SL{"lblA"};
        QTest::newRow("frame") << QPoint(150, 118) << SL{"fra"};
        QTest::newRow("text box") << QPoint(60, 190) << SL{"txt"};
    }

    void clicksReachTheRightHandler() {
        QFETCH(QPoint, point);
        QFETCH(SL, handlers);
        QVERIFY(showForm());
        logClicks({"lblA", "lblB", "shpA", "shpB", "fra", "txt"});
        m_form->Click = [this] { m_log << "frmTest"; };
        QTest::mouseClick(windowOf(*m_form)->windowHandle(), Qt::LeftButton, {},
                          clientAreaOf(*m_form)->mapTo(windowOf(*m_form), point));
        QCoreApplication::processEvents();
        QCOMPARE(m_log, handlers);
    }

    // The window system activating the window (the user came back from
    // another program) is no Activate; neither is showing it again.
    void onlyTheFirstShowingActivates() {
        m_form->Activate = [this] { m_log << "Activate"; };
        QVERIFY(showForm());
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(windowOf(*m_form), &activate);
        m_form->Show();
        QCoreApplication::processEvents();
        QCOMPARE(m_log, SL{"Activate"});
    }

    // Captions, shortcuts and separators; choosing an entry, by the action
    // or by its shortcut from the keyboard, raises its Click.
    void menuEntries_data() {
        QTest::addColumn<SL>("row"); // entry, caption, shortcut
        QTest::newRow("top level") << SL{"mnuFile", "&File", ""};
        QTest::newRow("Ctrl+O") << SL{"mnuOpen", "&Open...", "Ctrl+O"};
        QTest::newRow("separator") << SL{"mnuSep", "-", ""};
        QTest::newRow("Ctrl+Q") << SL{"mnuExit", "E&xit", "Ctrl+Q"};
        QTest::newRow("F1") << SL{"mnuContents", "&Contents", "F1"};
    }

    void menuEntries() {
        QFETCH(SL, row);
        MenuEntry& entry = m_form->menu(fromQString(row[0]));
        QCOMPARE(entry.Caption(), row[1]);
        QCOMPARE(actionOf(entry)->isSeparator(), row[1] == QLatin1String("-"));
        QCOMPARE(actionOf(entry)->shortcut(), QKeySequence(row[2]));
        if (actionOf(entry)->isSeparator())
            return; // nothing to choose
        QVERIFY(showForm());
        entry.Click = [this, row] { m_log << row[0]; };
        actionOf(entry)->trigger();
        QCOMPARE(m_log, SL{row[0]});
        if (row[2].isEmpty())
            return;
        ctl("cmd").SetFocus();
        QTest::keySequence(widgetOf(ctl("cmd")), QKeySequence(row[2]));
        QCOMPARE(m_log, SL({row[0], row[0]}));
    }

    // With key preview the window's KeyDown sees each key first, once, with
    // its code and shift state (modifier keys are keys too); a key never
    // changes a text box.
    void keyPreview_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<SL>("seen"); // code/shift
        QTest::newRow("letter in text box") << "txt" << QKeySequence("A") << SL{"65/0"};
        QTest::newRow("shifted letter in text box")
            << "txt" << QKeySequence("Shift+A") << SL{"16/1", "65/1"};
        QTest::newRow("backspace in text box") << "txt" << QKeySequence("Backspace") << SL{"8/0"};
        QTest::newRow("paste in text box") << "txt" << QKeySequence("Ctrl+V") << SL{"17/2", "86/2"};
        QTest::newRow("digit on option in frame") << "opt(1)" << QKeySequence("5") << SL{"53/0"};
        QTest::newRow("arrow on option") << "optX" << QKeySequence("Left") << SL{"37/0"};
        QTest::newRow("ctrl letter on button")
            << "cmd" << QKeySequence("Ctrl+K") << SL{"17/2", "75/2"};
    }

    void keyPreview() {
        QFETCH(QString, focus);
        QFETCH(QKeySequence, keys);
        QFETCH(SL, seen);
        QVERIFY(showForm());
        m_form->KeyDown = [this](int code, int shift) {
            m_log << QStringLiteral("%1/%2").arg(code).arg(shift);
        };
        QApplication::clipboard()->setText(("pasted"));
        Control& target = ctl(focus);
        target.SetFocus();
        QCOMPARE(QApplication::focusWidget(), widgetOf(target));
        QTest::keySequence(widgetOf(target), keys);
        QCOMPARE(m_log, seen);
        QCOMPARE(ctl("txt").Text(), ("first line\r\nsecond line"));
        QCOMPARE(qobject_cast<QPlainTextEdit*>(widgetOf(ctl("txt")))->toPlainText(),
                 ("first line\nsecond line"));
    }

    // A dialog as the user works it with the keyboard. Each step is
    // "focus NAME", "type TEXT", "key KEY" or "disable NAME". A text box
    // that takes the focus from the program or by Tab has its text
    // selected, so that typing replaces it; Enter presses the focused
    // button or else the default one, Escape the cancel button.
    void dialogKeys_data() {
        QTest::addColumn<SL>("steps");
        QTest::addColumn<SL>("clicks");
        QTest::addColumn<SL>("texts"); // of txtWidth and txtHeight afterwards
        QTest::newRow("typed, then Enter")
            << SL{"focus txtWidth", "type 1920", "key Return"} << SL{"cmdOk"} << SL{"1920", "480"};
        QTest::newRow("typed, then keypad Enter")
            << SL{"focus txtHeight", "type 9x", "key Enter"} << SL{"cmdOk"} << SL{"640", "9x"};
        QTest::newRow("typed, then Escape")
            << SL{"focus txtWidth", "type 12", "key Escape"} << SL{"cmdCancel"} << SL{"12", "480"};
        QTest::newRow("Tab to the next text box")
            << SL{"focus txtWidth", "key Tab", "type 768", "key Return"} << SL{"cmdOk"}
            << SL{"640", "768"};
        QTest::newRow("Enter on the cancel button")
            << SL{"focus cmdCancel", "key Return"} << SL{"cmdCancel"} << SL{"640", "480"};
        QTest::newRow("Escape on the default button")
            << SL{"focus cmdOk", "key Escape"} << SL{"cmdCancel"} << SL{"640", "480"};
        QTest::newRow("Enter, default button disabled")
            << SL{"disable cmdOk", "focus txtWidth", "key Return"} << SL{} << SL{"640", "480"};
        QTest::newRow("Escape, cancel button disabled")
            << SL{"disable cmdCancel", "focus txtWidth", "key Escape"} << SL{} << SL{"640", "480"};
    }

    void dialogKeys() {
        QFETCH(SL, steps);
        QFETCH(SL, clicks);
        QFETCH(SL, texts);
        m_form = std::make_unique<Form>(kDialog);
        logClicks({"cmdOk", "cmdCancel"});
        QVERIFY(showForm());
        const QHash<QString, Qt::Key> keys{{"Return", Qt::Key_Return},
                                           {"Enter", Qt::Key_Enter},
                                           {"Escape", Qt::Key_Escape},
                                           {"Tab", Qt::Key_Tab}};
        for (const QString& step : steps) {
            const QString what = step.section(QLatin1Char(' '), 0, 0);
            const QString arg = step.section(QLatin1Char(' '), 1);
            if (what == QLatin1String("focus"))
                ctl(arg).SetFocus();
            else if (what == QLatin1String("disable"))
                ctl(arg).setEnabled(false);
            else if (what == QLatin1String("type"))
                QTest::keyClicks(QApplication::focusWidget(), arg);
            else
                QTest::keyClick(QApplication::focusWidget(), keys.value(arg),
                                arg == QLatin1String("Enter") ? Qt::KeypadModifier
                                                              : Qt::NoModifier);
        }
        QCOMPARE(m_log, clicks);
        QCOMPARE(ctl("txtWidth").Text(), texts[0]);
        QCOMPARE(ctl("txtHeight").Text(), texts[1]);
        // What the program sets is what it reads, and what the box shows.
        ctl("txtWidth").setText("1366");
        QCOMPARE(ctl("txtWidth").Text(), "1366");
        QCOMPARE(qobject_cast<QLineEdit*>(widgetOf(ctl("txtWidth")))->text(), "1366");
        // Its name for a screen reader is not its text, which is its value.
        QVERIFY(widgetOf(ctl("txtWidth"))->accessibleName().isEmpty());
    }

    // The outer size is the frame Qt reports (offscreen draws a thin one),
    // the menu bar and the client area; a size assignment gives exactly it.
    void outerSizeIsFrameMenuBarAndClient() {
        QVERIFY(showForm());
        Form& f = *m_form;
        QCOMPARE(f.ScaleWidth(), 5400.0F);
        QCOMPARE(f.ScaleHeight(), 3600.0F);
        f.setWidth(f.Width() + 1500);
        f.setHeight(f.Height() - 750);
        const QWidget* window = windowOf(f);
        const QSize frame = window->frameGeometry().size() - window->size();
        QCOMPARE(f.Width(), twipsX(window->frameGeometry().width()));
        QCOMPARE(f.Height(), twipsY(window->frameGeometry().height()));
        QCOMPARE(f.ScaleWidth(), 6900.0F);
        QCOMPARE(f.ScaleWidth(), f.Width() - twipsX(frame.width()));
        QCOMPARE(f.ScaleHeight(),
                 f.Height() - twipsY(frame.height()) - twipsY(menuBarOf(f)->height()));
    }

    // The offscreen screen is 96 dpi: 15 twips per pixel, and the screen's
    // size in twips.
    void screenFromQt() {
        QCOMPARE(Screen().TwipsPerPixelX(), 15.0F);
        QCOMPARE(Screen().TwipsPerPixelY(), 15.0F);
        const QRect geometry = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(Screen().Width(), static_cast<Single>(geometry.width()) * 15.0F);
        QCOMPARE(Screen().Height(), static_cast<Single>(geometry.height()) * 15.0F);
    }
};

QTEST_MAIN(FormTest)
#include "tst_form.moc"
