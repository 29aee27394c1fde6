// A window built from a small layout of its own, driven through its widgets
// on the offscreen platform: stacking and focus order, fonts and colours,
// control arrays, option groups, where clicks and keys go, menus, size
// assignments and the one-handler-at-a-time dispatcher.
#include "checked.h"
#include "colors.h"
#include "control.h"
#include "fonts.h"
#include "form.h"
#include "qt_forms.h"
#include "runtime.h"
#include "screen.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <memory>

using namespace forms;
using Action = std::function<void()>;
using SL = QStringList;
Q_DECLARE_METATYPE(Action)

namespace {

constexpr FontSpec kSmall{"MS Sans Serif", 8.25F, false};
constexpr FontSpec kMedium{"Arial", 9.75F, false};
constexpr FontSpec kLarge{"Arial", 12.0F, true};
constexpr OleColor kDef = kDefaultColor;
constexpr OleColor kRed = rgb(255, 0, 0);
constexpr OleColor kGreen = rgb(0, 255, 0);
constexpr OleColor kBlue = rgb(0, 0, 255);
constexpr OleColor kWhite = rgb(255, 255, 255);
constexpr OleColor kGrey = rgb(192, 192, 192);

// At 15 twips per pixel the client area is 360 x 240 pixels. The "opt"
// array is listed out of index order, and tab indices differ from the
// listing order, so that neither can stand in for the other. lblA overlaps
// lblB at (240..300, 28..48); shpA overlaps shpB at (240..300, 100..140).
// clang-format off
constexpr ControlSpec kControls[] = {
    {"fra", Kind::Frame, nullptr, -1, 120, 120, 2400, 1800, "&Colour", kSmall, kDef, kDef, 0, 0, 0},
    {"opt", Kind::OptionButton, "fra", 2, 120, 1200, 2100, 300, "&Blue", kSmall, kDef, kDef, 0, 5, 0},
    {"opt", Kind::OptionButton, "fra", 0, 120, 240, 2100, 300, "&Red", kSmall, kDef, kDef, 0, 3, 0},
    {"opt", Kind::OptionButton, "fra", 1, 120, 720, 2100, 300, "&Green", kSmall, kDef, kDef, 0, 4, 0},
    {"optX", Kind::OptionButton, nullptr, -1, 120, 2040, 2400, 300, "&Other", kSmall, kDef, kDef, 0, 6, 0},
    {"lblA", Kind::Label, nullptr, -1, 3000, 120, 1500, 600, "Top", kLarge, kRed, kDef, Centred, 7, 0},
    {"lblB", Kind::Label, nullptr, -1, 3600, 420, 1500, 600, "Under", kMedium, kBlue, kWhite, Bordered, 8, 0},
    {"shpA", Kind::Shape, nullptr, -1, 3000, 1200, 1500, 900, nullptr, {}, kGreen, 0, Filled, -1, 1},
    {"shpB", Kind::Shape, nullptr, -1, 3600, 1500, 1500, 900, nullptr, {}, kBlue, 0, Filled | NoBorderLine, -1, 0},
    {"txt", Kind::TextBox, nullptr, -1, 120, 2460, 2400, 600, "first line\r\nsecond line", kSmall, kDef, kDef, 0, 2, 0},
    {"cmd", Kind::CommandButton, nullptr, -1, 3000, 2700, 1200, 420, "&Go", kSmall, kDef, kDef, 0, 1, 0},
    {"lblHidden", Kind::Label, nullptr, -1, 3000, 3195, 1500, 300, "Hidden", kSmall, kDef, kDef, Hidden, 9, 0},
};
constexpr MenuSpec kMenus[] = {
    {"mnuFile", nullptr, "&File", nullptr},
    {"mnuOpen", "mnuFile", "&Open...", "Ctrl+O"},
    {"mnuSep", "mnuFile", "-", nullptr},
    {"mnuExit", "mnuFile", "E&xit", "Ctrl+Q"},
    {"mnuHelp", nullptr, "&Help", nullptr},
    {"mnuContents", "mnuHelp", "&Contents", "F1"},
};
constexpr WindowSpec kWindow{"frmTest", "Test window", 5400, 3600, kGrey, BorderStyle::Sizable, true, true, kControls, kMenus};
constexpr ControlSpec kOrphan[] = {
    {"orphan", Kind::Label, "nowhere", -1, 0, 0, 600, 300, "", kSmall, kDef, kDef, 0, -1, 0},
};
constexpr WindowSpec kBroken{"frmBroken", "", 3000, 2000, kDef, BorderStyle::Sizable, false, true, kOrphan, {}};
// clang-format on

using Getter = Single (Form::*)() const;
using Setter = void (Form::*)(Single);
const QHash<QString, std::pair<Getter, Setter>> kProperties{
    {"Width", {&Form::Width, &Form::setWidth}},
    {"Height", {&Form::Height, &Form::setHeight}},
    {"Left", {&Form::Left, &Form::setLeft}},
    {"Top", {&Form::Top, &Form::setTop}}};

int errorNumber(const Action& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

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
        QCOMPARE(errorNumber([this] { ctl("lblA").SetFocus(); }), 438);
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
        const int byConversion = errorNumber([&] { toQColor(value); });
        const int byControl = errorNumber([&] { cmd.setBackColor(value); });
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

    void arrayMembersInIndexOrder() {
        const std::vector<Control*> members = m_form->array("opt");
        SL captions;
        for (size_t i = 0; i < members.size(); ++i) {
            QCOMPARE(static_cast<size_t>(members[i]->Index()), i);
            QCOMPARE(&ctl(QStringLiteral("opt(%1)").arg(i)), members[i]);
            captions << toQString(members[i]->Caption());
        }
        QCOMPARE(captions, SL({"&Red", "&Green", "&Blue"}));
    }

    void missingNamesRaise730_data() {
        QTest::addColumn<Action>("lookup");
        QTest::addColumn<QString>("named");
        QTest::newRow("control") << Action([this] { ctl("Missing"); }) << "Missing";
        QTest::newRow("index past the array") << Action([this] { ctl("opt(7)"); }) << "opt(7)";
        QTest::newRow("array name, no index") << Action([this] { ctl("opt"); }) << "opt";
        QTest::newRow("index on a single control") << Action([this] { ctl("cmd(0)"); }) << "cmd";
        QTest::newRow("array") << Action([this] { m_form->array("Missing"); }) << "Missing";
        QTest::newRow("menu") << Action([this] { m_form->menu("mnuMissing"); }) << "mnuMissing";
    }

    void missingNamesRaise730() {
        QFETCH(Action, lookup);
        QFETCH(QString, named);
        try {
            lookup();
            QFAIL("no error raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 730);
            QVERIFY2(toQString(e.text()).contains(named), e.text().c_str());
        }
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

    void showRaisesLoadResizeActivateOnce_data() {
        QTest::addColumn<bool>("loadFirst");
        QTest::newRow("show alone") << false;
        QTest::newRow("load, then show") << true;
    }

    void showRaisesLoadResizeActivateOnce() {
        QFETCH(bool, loadFirst);
        m_form->Load = [this] { m_log << "Load"; };
        m_form->Resize = [this] { m_log << "Resize"; };
        m_form->Activate = [this] { m_log << "Activate"; };
        if (loadFirst) {
            m_form->load();
            QCOMPARE(m_log, SL{"Load"});
        }
        QVERIFY(showForm());
        const SL expected{"Load", "Resize", "Activate"};
        QCOMPARE(m_log, expected);
        // The window system activating the window (the user came back from
        // another program) is no Activate; neither is showing it again.
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(windowOf(*m_form), &activate);
        m_form->Show();
        QCoreApplication::processEvents();
        QCOMPARE(m_log, expected);
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

    // A size assignment raises Resize inside itself, once, and only when the
    // size changed; a move raises none.
    void sizeAssignments_data() {
        QTest::addColumn<QString>("property");
        QTest::addColumn<Single>("delta");
        QTest::addColumn<Single>("change"); // what the property reads afterwards
        QTest::addColumn<int>("resizes");
        QTest::newRow("wider") << "Width" << 1500.0F << 1500.0F << 1;
        QTest::newRow("narrower") << "Width" << -1500.0F << -1500.0F << 1;
        QTest::newRow("taller") << "Height" << 750.0F << 750.0F << 1;
        QTest::newRow("same width") << "Width" << 0.0F << 0.0F << 0;
        QTest::newRow("under a pixel wider") << "Width" << 5.0F << 0.0F << 0;
        QTest::newRow("left") << "Left" << 1500.0F << 1500.0F << 0;
        QTest::newRow("top") << "Top" << 900.0F << 900.0F << 0;
    }

    void sizeAssignments() {
        QFETCH(QString, property);
        QFETCH(Single, delta);
        QFETCH(Single, change);
        QFETCH(int, resizes);
        QVERIFY(showForm());
        Form& f = *m_form;
        QCOMPARE(f.ScaleWidth(), 5400.0F);
        QCOMPARE(f.ScaleHeight(), 3600.0F);
        const auto [getter, setter] = kProperties.value(property);
        const auto get = [&] { return (f.*getter)(); };
        const auto set = [&](Single v) { (f.*setter)(v); };
        bool assigning = false;
        int inside = 0;
        int outside = 0;
        f.Resize = [&] { ++(assigning ? inside : outside); };
        const Single before = get();
        assigning = true;
        set(before + delta);
        assigning = false;
        QCOMPARE(inside, resizes);
        QCoreApplication::processEvents();
        QCOMPARE(outside, 0);
        QCOMPARE(get(), before + change);
        // The outer size is the frame Qt reports (offscreen draws a thin
        // one), the menu bar and the client area.
        const QWidget* window = windowOf(f);
        const QSize frame = window->frameGeometry().size() - window->size();
        QCOMPARE(f.Width(), twipsX(window->frameGeometry().width()));
        QCOMPARE(f.ScaleWidth(), f.Width() - twipsX(frame.width()));
        QCOMPARE(f.ScaleHeight(),
                 f.Height() - twipsY(frame.height()) - twipsY(menuBarOf(f)->height()));
    }

    void eventsRaisedInAHandlerWait() {
        QVERIFY(showForm());
        SL starts;
        Runtime::get().setHandlerObserver([&](const char* event, int depth) {
            starts << QStringLiteral("%1@%2").arg(event).arg(depth);
        });
        logClicks({"opt(1)", "lblA"});
        m_form->Resize = [this] { m_log << "Resize"; };
        ctl("cmd").Click = [this] {
            m_log << "cmd begins";
            ctl("opt(1)").setValue(true);
            ctl("lblA").raiseClick();
            m_form->setWidth(m_form->Width() + 1500); // its Resize runs right here
            m_log << "cmd ends";
        };
        QTest::mouseClick(widgetOf(ctl("cmd")), Qt::LeftButton);
        QCOMPARE(m_log, SL({"cmd begins", "Resize", "cmd ends", "opt(1)", "lblA"}));
        QCOMPARE(starts, SL({"Click@1", "Resize@2", "Click@1", "Click@1"}));
        QVERIFY(!Runtime::get().handlerRunning());
    }

    // An error ends the handler, is reported once and ends the program with
    // status 1: the event queued before it and all later ones never run.
    void runtimeErrorEndsTheProgram_data() {
        QTest::addColumn<Action>("failing");
        QTest::addColumn<int>("reported"); // 0: none
        QTest::addColumn<int>("status");
        QTest::newRow("raised error")
            << Action([] { raiseError(ErrorCode::InvalidPropertyValue); }) << 380 << 1;
        QTest::newRow("missing control") << Action([this] { ctl("Missing"); }) << 730 << 1;
        QTest::newRow("zero width") << Action([this] { m_form->setWidth(0); }) << 380 << 1;
        QTest::newRow("error in the assignment's Resize") << Action([this] {
            m_form->Resize = [] { nextCounter(32767); };
            m_form->setWidth(m_form->Width() + 1500);
        }) << 6 << 1;
        QTest::newRow("window built with a missing container")
            << Action([] { Form broken(kBroken); }) << 730 << 1;
        QTest::newRow("exception of another kind")
            << Action([] { throw std::bad_alloc(); }) << 51 << 1;
        QTest::newRow("End") << Action([] { Runtime::get().End(0); }) << 0 << 0;
    }

    void runtimeErrorEndsTheProgram() {
        QFETCH(Action, failing);
        QFETCH(int, reported);
        QFETCH(int, status);
        m_expectErrors = true;
        QVERIFY(showForm());
        bool finished = false;
        logClicks({"lblA"});
        ctl("cmd").Click = [&] {
            ctl("lblA").raiseClick(); // queued, then dropped by the end
            failing();
            finished = true;
        };
        ctl("cmd").raiseClick();
        QCOMPARE(m_reported, reported ? QList<int>{reported} : QList<int>{});
        QVERIFY(Runtime::get().ended());
        QCOMPARE(Runtime::get().exitStatus(), status);
        QVERIFY(!finished);
        QVERIFY(!m_form->Visible());
        ctl("lblA").raiseClick();
        QCOMPARE(m_log, SL{});

        Runtime::get().resetForTesting();
        ctl("lblA").raiseClick();
        QCOMPARE(m_log, SL{"lblA"});
    }
};

QTEST_MAIN(FormTest)
#include "tst_form.moc"
