// The main window's handlers on the scripted platform: start-up, the presets
// on screens of several sizes and under window managers that grant less,
// border drags, minimising, the colour ribbon, the help and notice panes,
// the About dialog and a runtime error inside Resize. What the widgets of a
// real toolkit add is tested in tests/main_window.
#include "conversions.h"
#include "runtime_error.h"
#include "scripted.h"
#include "vt_about.h"
#include "vt_exact_size.h"
#include "vt_main.h"
#include "vt_main_layout.h"
#include "vt_main_state.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

using forms::Control;
using forms::PixelRect;
using forms::PixelSize;
using forms::Runtime;
using forms::Single;
using namespace forms::scripted;
using namespace scripted_test;
using SL = QStringList;
Q_DECLARE_METATYPE(std::function<void(forms::scripted::WindowManagerScript&)>)
Q_DECLARE_METATYPE(forms::PixelRect)
Q_DECLARE_METATYPE(std::vector<forms::PixelRect>)

namespace {

constexpr Single kTwips = 15; // per pixel at 96 DPI

QString text(const forms::String& s) {
    return QString::fromStdString(s.utf8());
}

QString hex8(forms::OleColor colour) {
    return QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

// Twice a rectangle's centre, so that odd sizes compare exactly.
QPoint doubledCentre(const PixelRect& r) {
    return {2 * r.x + r.width, 2 * r.y + r.height};
}

// What the test saw of the Exact Size dialog: as it opened, and after the
// user's entry.
struct ExactVisit {
    PixelRect dialogOuter, mainOuter;
    QString filledIn;        // "width x height" as the dialog opened
    bool widthReady = false; // the width focused, its text selected
    QString message;         // after the entry
    QString focus;           // the control with the focus after the entry, and
                             // whether its text is selected
    bool openAfter = false;
};

// What the test saw while the modal About dialog was up.
struct AboutVisit {
    bool shown = false;
    PixelRect aboutOuter, mainOuter;
    vistrum::VtAbout* about = nullptr;
};

} // namespace

class VtMainHandlersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> m_session;
    std::unique_ptr<vistrum::VtMain> m_main;

    forms::Form& form() { return m_main->form(); }
    ScriptedWindow& window() { return windowOf(form()); }
    Control& ctl(const char* name, int index = -1) {
        return form().control(name, static_cast<forms::Integer>(index));
    }
    PixelRect outer() { return window().outerRect(); }
    PixelRect rectOf(const char* name) { return peerOf(ctl(name)).rect(); }

    void start() {
        m_main->Show();
        scriptedPlatform().settle();
    }
    void click(Control& c) {
        peerOf(c).click();
        scriptedPlatform().settle();
    }
    void clickPreset(int i) { click(ctl("ScrSizeOpt", i)); }
    void clickSwatch(int i) { click(ctl("ColorBox", i)); }
    void dragTo(PixelSize size) {
        window().dragTo(size);
        scriptedPlatform().settle();
    }
    void menu(const char* name) {
        window().chooseMenu(name);
        scriptedPlatform().settle();
    }
    // The user drags the window by its title bar: a move is no resize.
    void moveTo(int x, int y) {
        const PixelRect c = window().client();
        const PixelRect o = outer();
        window().placed({x + c.x - o.x, y + c.y - o.y, c.width, c.height});
    }
    void activate() {
        form().raiseEvent("Activate", form().Activate);
        scriptedPlatform().settle();
    }

    QList<int> selectedPresets() { return vt_main_state::selectedPresets(form()); }
    QList<int> marks() { return vt_main_state::marks(form()); }
    // Everything a handler may change, as text that QCOMPARE can show.
    QString state() {
        const PixelRect r = outer();
        QString s = QStringLiteral("%1,%2 %3x%4 ").arg(r.x).arg(r.y).arg(r.width).arg(r.height);
        QDebug(&s) << selectedPresets() << ctl("CustomOpt").Enabled() << ctl("CustomOpt").Value()
                   << marks() << ctl("Shape1").Visible() << ctl("Shape1").Left()
                   << ctl("Shape1").Top() << hex8(form().BackColor())
                   << text(ctl("CurScrSize").Caption()) << text(ctl("CurBackColor").Caption())
                   << ctl("Text1").Visible() << ctl("Text2").Visible();
        for (int i = 0; i < 24; ++i)
            QDebug(&s) << text(peerOf(ctl("ColorBox", i)).accessibleName());
        return s;
    }

    // What every Resize leaves behind, whatever caused it.
    void checkResizeLayout() {
        const PixelRect r = outer();
        QCOMPARE(text(ctl("CurScrSize").Caption()),
                 QStringLiteral("Current screen size = %1 X %2").arg(r.width).arg(r.height));
        QVERIFY(!ctl("Text1").Visible() && !peerOf(ctl("Text1")).shown());
        QVERIFY(!ctl("Text2").Visible() && !peerOf(ctl("Text2")).shown());

        const PixelSize client = window().clientSize();
        const PixelRect frame = rectOf("Frame1");
        QVERIFY(qAbs(doubledCentre(frame).x() - client.width) <= 2);
        QVERIFY(qAbs(doubledCentre(frame).y() - client.height) <= 2);
        if (client.width < frame.width)
            QVERIFY(frame.x < 0 && ctl("Frame1").Left() < 0);
        if (client.height < frame.height)
            QVERIFY(frame.y < 0 && ctl("Frame1").Top() < 0);

        const PixelRect bar = rectOf("W95StartBar");
        QCOMPARE(bar.height, 24);
        QCOMPARE(bar.y + bar.height, client.height);
        QCOMPARE(bar.x, 0);
        QCOMPARE(bar.width, r.width);
        const PixelRect start = rectOf("Start");
        QCOMPARE(start.height, 24);
        QCOMPARE(start.y, bar.y);
        QCOMPARE(start.x, 0);
    }

    // A quarter of the free space left and above, to the nearest pixel.
    void checkQuarterPosition(PixelSize size) {
        const PixelSize screen = scriptedPlatform().screenSize();
        QVERIFY(qAbs(outer().x - (screen.width - size.width) / 4.0) <= 0.5);
        QVERIFY(qAbs(outer().y - (screen.height - size.height) / 4.0) <= 0.5);
        QCOMPARE(form().Left() / kTwips, Single(outer().x));
        QCOMPARE(form().Top() / kTwips, Single(outer().y));
    }

    // Opens About and, once its modal loop runs, measures it and closes it
    // by the close box or by OK.
    AboutVisit visitAbout(bool byCloseBox = false) {
        AboutVisit v;
        scriptedPlatform().whileModal([&] {
            v.about = m_main->aboutIfCreated();
            forms::Form& dialog = v.about->form();
            v.shown =
                dialog.Visible() && windowOf(dialog).focus() == &peerOf(dialog.control("Command1"));
            v.aboutOuter = windowOf(dialog).outerRect();
            v.mainOuter = outer();
            if (byCloseBox)
                windowOf(dialog).clickCloseBox();
            else
                peerOf(dialog.control("Command1")).click();
        });
        menu("About");
        return v;
    }

    // Opens Exact Size (Ctrl+E) and, once its modal loop runs, reads it and
    // works it as the user would: types the width, Tab, the height, then
    // `how`: Enter, Escape, a click on OK or Cancel, or on the close box. A
    // dialog still open after that is cancelled with Escape.
    ExactVisit visitExactSize(const QString& width, const QString& height, const QString& how) {
        ExactVisit v;
        scriptedPlatform().whileModal([&] {
            forms::Form& dialog = m_main->exactSizeIfCreated()->form();
            ScriptedWindow& w = windowOf(dialog);
            const auto box = [&](const char* name) -> ScriptedControl& {
                return peerOf(dialog.control(name));
            };
            v.dialogOuter = w.outerRect();
            v.mainOuter = outer();
            v.filledIn = text(box("WidthTxt").text()) + " x " + text(box("HeightTxt").text());
            v.widthReady = w.focus() == &box("WidthTxt") && box("WidthTxt").allSelected() &&
                           dialog.control("MessageLbl").Caption().empty();
            box("WidthTxt").type(width.toStdString());
            w.pressKey(0x09);
            box("HeightTxt").type(height.toStdString());
            if (how == QLatin1String("Enter"))
                w.pressKey(0x0D);
            else if (how == QLatin1String("Escape"))
                w.pressKey(0x1B);
            else if (how == QLatin1String("close box"))
                w.clickCloseBox();
            else
                box(how == QLatin1String("OK") ? "OkCmd" : "CancelCmd").click();
            v.message = text(dialog.control("MessageLbl").Caption());
            if (w.focus())
                v.focus = text(w.focus()->control().Name()) +
                          (w.focus()->allSelected() ? ", selected" : "");
            v.openAfter = dialog.Visible();
            if (v.openAfter)
                w.pressKey(0x1B);
        });
        menu("Exact");
        return v;
    }

private slots:
    void init() {
        m_session = std::make_unique<Session>();
        m_main = std::make_unique<vistrum::VtMain>();
    }

    void cleanup() {
        m_main.reset();
        const QList<int> errors = m_session->errors;
        m_session.reset();
        QCOMPARE(scriptedPlatform().abandonedModalLoops(), 0);
        if (QByteArray(QTest::currentTestFunction()) != "zeroTwipsPerPixelEndsProgram")
            QCOMPARE(errors, QList<int>{});
    }

    // The window is mapped once, laid out and placed: the first picture the
    // user sees is the final one. Where the window manager places it
    // otherwise as it maps it, its answer is taken; one that tells its frame
    // only as it frames the window gets the rectangle asked for again with
    // it, before anything is painted.
    void startUp_data() {
        QTest::addColumn<std::function<void(WindowManagerScript&)>>("script");
        QTest::addColumn<std::vector<PixelRect>>("shown");
        using Script = std::function<void(WindowManagerScript&)>;
        QTest::newRow("frame told before mapping")
            << Script([](auto&) {}) << std::vector<PixelRect>{{96, 72, 640, 480}};
        QTest::newRow("placed by the window manager") << Script([](auto& wm) {
            wm.placesAtMapping = forms::PixelPoint{10, 20};
        }) << std::vector<PixelRect>{{10, 20, 640, 480}};
        QTest::newRow("frame told only when mapped")
            << Script([](auto& wm) { wm.answersFrameRequests = false; })
            << std::vector<PixelRect>{{92, 49, 648, 507}, {96, 72, 640, 480}};
    }

    void startUp() {
        QFETCH(std::function<void(WindowManagerScript&)>, script);
        QFETCH(std::vector<PixelRect>, shown);
        script(wm());
        m_main = std::make_unique<vistrum::VtMain>();
        QString mapped;
        window().whenMapped = [this, &mapped] { mapped = state(); };
        const int paints = window().paints();
        m_session->observe();
        start();
        QCOMPARE(window().shownRects(), shown);
        QCOMPARE(window().paints() - paints, 1);
        checkResizeLayout();
        QCOMPARE(outer(), shown.back());
        QCOMPARE(mapped.section(' ', 2), state().section(' ', 2)); // but the rectangle
        QCOMPARE(outer().size(), (PixelSize{640, 480}));
        QCOMPARE(selectedPresets(), QList<int>{0});
        QVERIFY(!ctl("CustomOpt").Enabled());
        QVERIFY(!ctl("CustomOpt").Value());
        QCOMPARE(text(ctl("CurScrSize").Caption()), "Current screen size = 640 X 480");
        QCOMPARE(text(ctl("CurBackColor").Caption()), "Color = 8000000F Hex");
        QCOMPARE(marks(), QList<int>());
        QVERIFY(!ctl("Shape1").Visible());
        QVERIFY(m_main->Activated);
        QVERIFY(!m_main->PresetSizing);
        // Load, the first Resize and Activate; the preset's Click waits for
        // Activate to return and then resizes twice, inside itself. A frame
        // told only at mapping lays the window out again for it.
        SL events{"Load@1", "Resize@1", "Activate@1", "Click@1", "Resize@2", "Resize@2"};
        if (shown.size() > 1)
            events << "FrameChange@1";
        QCOMPARE(m_session->events, events);
    }

    void presetSizesAndPlacesWindow_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 12; ++i)
            QTest::newRow(vistrum::kPresetCaptions[static_cast<size_t>(i)]) << i;
    }

    void presetSizesAndPlacesWindow() {
        QFETCH(int, index);
        start();
        dragTo({700, 520}); // leaves no preset selected, so the click is a change
        QCOMPARE(selectedPresets(), QList<int>());
        clickPreset(index);
        const vistrum::OuterSize preset = vistrum::kPresetSizes[static_cast<size_t>(index)];
        const PixelSize size{preset.width, preset.height};
        QCOMPARE(outer().size(), size);
        checkResizeLayout();
        checkQuarterPosition(size);
        QCOMPARE(selectedPresets(), QList<int>{index});
        QVERIFY(!ctl("CustomOpt").Enabled());
        QVERIFY(!ctl("CustomOpt").Value());
        QVERIFY(!m_main->PresetSizing);
    }

    // Each size of the Sizes menu, chosen while a preset is selected: the
    // window takes it at the quarter position as from a preset, and Custom
    // Size ends selected and available. Where the window manager keeps the
    // window within the screen, the readout shows the size it granted.
    void menuSizeActsAsPreset_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("cutToScreen");
        for (size_t i = 0; i < vistrum::kMenuSizes.size(); ++i)
            QTest::newRow(vistrum::kMenuSizes[i].entry) << int(i) << false;
        QTest::newRow("Size3840x2160, cut to the screen") << 12 << true;
    }

    void menuSizeActsAsPreset() {
        QFETCH(int, index);
        QFETCH(bool, cutToScreen);
        start();
        clickPreset(2);
        if (cutToScreen)
            wm().sizes = SizeRule::ClampToScreen;
        const vistrum::MenuSize& m = vistrum::kMenuSizes[static_cast<size_t>(index)];
        menu(m.entry);
        const PixelSize screen = scriptedPlatform().screenSize();
        const PixelSize size = cutToScreen ? PixelSize{std::min<int>(m.size.width, screen.width),
                                                       std::min<int>(m.size.height, screen.height)}
                                           : PixelSize{m.size.width, m.size.height};
        QCOMPARE(outer().size(), size);
        checkResizeLayout();
        checkQuarterPosition(size);
        QCOMPARE(selectedPresets(), QList<int>());
        QVERIFY(ctl("CustomOpt").Enabled());
        QVERIFY(ctl("CustomOpt").Value());
        QVERIFY(!m_main->PresetSizing);
    }

    // The size the command line asks for is the one the first activation
    // gives, instead of "640 X 480": through the preset's button where it
    // is one of the twelve, with Custom Size selected otherwise.
    void startsAtSizeAsked_data() {
        QTest::addColumn<PixelSize>("size");
        QTest::addColumn<int>("preset"); // -1: Custom Size
        QTest::newRow("1024 X 768") << PixelSize{1024, 768} << 2;
        QTest::newRow("1920 x 1080") << PixelSize{1920, 1080} << -1;
        QTest::newRow("641 x 480") << PixelSize{641, 480} << -1;
    }

    void startsAtSizeAsked() {
        QFETCH(PixelSize, size);
        QFETCH(int, preset);
        m_main->setStartSize(
            {static_cast<forms::Integer>(size.width), static_cast<forms::Integer>(size.height)});
        start();
        QCOMPARE(outer().size(), size);
        checkResizeLayout();
        checkQuarterPosition(size);
        QCOMPARE(selectedPresets(), preset < 0 ? QList<int>() : QList<int>{preset});
        QCOMPARE(ctl("CustomOpt").Enabled(), preset < 0);
        QCOMPARE(ctl("CustomOpt").Value(), preset < 0);
        QVERIFY(m_main->Activated);
    }

    // The quarter position on screens of several sizes, also off the screen
    // for a window larger than it; with several monitors, on the one that
    // holds most of the window, whatever way the size is chosen.
    void quarterPositionOnAnyScreen_data() {
        QTest::addColumn<PixelSize>("screen");
        QTest::addColumn<std::vector<PixelRect>>("monitors"); // none: one, the screen
        QTest::addColumn<QPoint>("from");                     // the window's corner first
        QTest::addColumn<QString>("choice");                  // a preset's index, or a menu entry
        QTest::addColumn<QPoint>("place");
        const std::vector<PixelRect> one;
        const std::vector<PixelRect> sideBySide{{0, 0, 1024, 768}, {1024, 0, 1024, 768}};
        const std::vector<PixelRect> above{{0, 0, 1024, 768}, {0, -768, 1024, 768}};
        const QPoint asStarted(96, 72);
        QTest::newRow("640 X 480 on 1024 x 768")
            << PixelSize{1024, 768} << one << asStarted << "0" << QPoint(96, 72);
        QTest::newRow("1024 X 768 on 1024 x 768")
            << PixelSize{1024, 768} << one << asStarted << "2" << QPoint(0, 0);
        QTest::newRow("3200 X 1200 on 1024 x 768")
            << PixelSize{1024, 768} << one << asStarted << "11" << QPoint(-544, -108);
        QTest::newRow("1280 X 1024 on 1920 x 1080")
            << PixelSize{1920, 1080} << one << QPoint(320, 150) << "4" << QPoint(160, 14);
        QTest::newRow("1152 X 870 on 1366 x 768")
            << PixelSize{1366, 768} << one << QPoint(363, 72) << "3" << QPoint(54, -26);
        QTest::newRow("800 X 600 on the right of two")
            << PixelSize{2048, 768} << sideBySide << QPoint(1200, 100) << "1" << QPoint(1080, 42);
        QTest::newRow("800 X 600, most of the window on the left of two")
            << PixelSize{2048, 768} << sideBySide << QPoint(600, 100) << "1" << QPoint(56, 42);
        QTest::newRow("1920 X 1080 from the menu, on the right of two")
            << PixelSize{2048, 768} << sideBySide << QPoint(1100, 50) << "Size1920x1080"
            << QPoint(1024 - 224, -78);
        QTest::newRow("800 X 600 on the one above, its origin negative")
            << PixelSize{1024, 768} << above << QPoint(100, -600) << "1" << QPoint(56, -726);
    }

    void quarterPositionOnAnyScreen() {
        QFETCH(PixelSize, screen);
        QFETCH(std::vector<PixelRect>, monitors);
        QFETCH(QPoint, from);
        QFETCH(QString, choice);
        QFETCH(QPoint, place);
        scriptedPlatform().setScreen(screen);
        for (const PixelRect& m : monitors)
            wm().monitors.push_back({m, 96});
        start();
        moveTo(from.x(), from.y());
        bool isPreset = false;
        const int preset = choice.toInt(&isPreset);
        if (isPreset)
            clickPreset(preset);
        else
            menu(qPrintable(choice));
        QCOMPARE(QPoint(outer().x, outer().y), place);
        checkResizeLayout();
    }

    // At the DPIs of 112.5, 137.5, 175 and 225 % the readout shows whole
    // pixels after every preset and a border drag.
    void readoutInWholePixelsAtEveryScale_data() {
        QTest::addColumn<double>("dpi");
        for (const int dpi : {108, 132, 168, 216})
            QTest::newRow(qPrintable(QString::number(dpi))) << double(dpi);
    }

    void readoutInWholePixelsAtEveryScale() {
        QFETCH(double, dpi);
        scriptedPlatform().setDpi(dpi);
        scriptedPlatform().setScreen({1920, 1080});
        m_main = std::make_unique<vistrum::VtMain>(); // laid out at this DPI
        start();
        for (int i = 0; i < 12; ++i) {
            clickPreset(i);
            checkResizeLayout();
        }
        dragTo({956, 533});
        QCOMPARE(text(ctl("CurScrSize").Caption()), "Current screen size = 956 X 533");
    }

    // Every preset under window managers of every convention: the readout
    // is the outer size the window has, also where the window manager grants
    // less or changes the size as it moves the window. A preset granted in
    // full stays selected; where the window manager grants another size,
    // Custom Size is selected, as for any size the program did not choose,
    // and the window stands at the quarter position of the size it has.
    void presetsUnderEveryWindowManager_data() {
        QTest::addColumn<std::function<void(WindowManagerScript&)>>("script");
        QTest::addColumn<bool>("cutToScreen");
        QTest::addColumn<bool>("titleBarOnScreen");
        QTest::addColumn<bool>("placed"); // false: only the readout is checked
        using Script = std::function<void(WindowManagerScript&)>;
        QTest::newRow("grants all") << Script([](auto&) {}) << false << false << true;
        QTest::newRow("cuts to the screen")
            << Script([](auto& wm) { wm.sizes = SizeRule::ClampToScreen; }) << true << false
            << true;
        QTest::newRow("cuts to the screen once the size is released")
            << Script([](auto& wm) { wm.cutsToScreenAfter = Millis(3); }) << true << false << true;
        QTest::newRow("keeps the title bar on the screen")
            << Script([](auto& wm) { wm.keepsTitleBarOnScreen = true; }) << false << true << true;
        QTest::newRow("puts the client area at the place")
            << Script([](auto& wm) { wm.places = PlaceRule::ClientAreaAtP; }) << false << false
            << true;
        QTest::newRow("shifts the window by its frame")
            << Script([](auto& wm) { wm.places = PlaceRule::FrameOffByEdge; }) << false << false
            << true;
        QTest::newRow("answers late")
            << Script([](auto& wm) { wm.answerAfter = Millis(700); }) << false << false << false;
        QTest::newRow("sizes the window as it moves it")
            << Script([](auto& wm) { wm.growsOnMove = 22; }) << false << false << false;
    }

    void presetsUnderEveryWindowManager() {
        QFETCH(std::function<void(WindowManagerScript&)>, script);
        QFETCH(bool, cutToScreen);
        QFETCH(bool, titleBarOnScreen);
        QFETCH(bool, placed);
        start();
        script(wm());
        const PixelSize screen = scriptedPlatform().screenSize();
        for (int i = 0; i < 12; ++i) {
            dragTo({500, 400}); // every preset a change of size
            clickPreset(i);
            scriptedPlatform().advance(Millis(2000));
            const PixelRect r = outer();
            // The readout never lies.
            QCOMPARE(text(ctl("CurScrSize").Caption()),
                     QStringLiteral("Current screen size = %1 X %2").arg(r.width).arg(r.height));
            checkResizeLayout();
            if (!placed)
                continue;
            const vistrum::OuterSize p = vistrum::kPresetSizes[static_cast<size_t>(i)];
            const PixelSize size = cutToScreen ? PixelSize{std::min<int>(p.width, screen.width),
                                                           std::min<int>(p.height, screen.height)}
                                               : PixelSize{p.width, p.height};
            QCOMPARE(r.size(), size);
            const bool cut = size != PixelSize{p.width, p.height};
            QCOMPARE(selectedPresets(), cut ? QList<int>() : QList<int>{i});
            QCOMPARE(ctl("CustomOpt").Value(), cut);
            const int quarterY = (screen.height - size.height) / 4;
            QVERIFY2(qAbs(r.x - (screen.width - size.width) / 4.0) <= 0.5, qPrintable(state()));
            if (titleBarOnScreen && quarterY < 0)
                QCOMPARE(r.y, 0);
            else
                QVERIFY2(qAbs(r.y - (screen.height - size.height) / 4.0) <= 0.5,
                         qPrintable(state()));
        }
    }

    // Started minimised (a shortcut set to run minimised): nothing is laid
    // out until the window is restored; then the start-up runs as usual,
    // with the frame the window has.
    void startedMinimised() {
        wm().mapsMinimised = true;
        wm().frame = {7, 31, 7, 7};
        wm().answersFrameRequests = false; // the frame is known only once shown
        m_session->observe();
        m_main->Show();
        scriptedPlatform().settle();
        QCOMPARE(m_session->events, SL{"Load@1"});
        QVERIFY(window().minimised());
        window().restore();
        scriptedPlatform().settle();
        QCOMPARE(m_session->events,
                 SL({"Load@1", "Resize@1", "Activate@1", "Click@1", "Resize@2", "Resize@2"}));
        QCOMPARE(outer().size(), (PixelSize{640, 480}));
        checkQuarterPosition({640, 480});
        checkResizeLayout();
        QCOMPARE(selectedPresets(), QList<int>{0});
    }

    // A laptop at 200 % (192 DPI, the system's) with a screen at 100 % to its
    // right. Dragged across, the window keeps its outer size in device
    // pixels and its preset, stands where the system suggests, and its task
    // bar is laid out again for the client area the new frame leaves; a
    // maximised window is the system's to move; About keeps its client area
    // on either monitor, also dragged across while it is open.
    void monitorsOfDifferentScale() {
        scriptedPlatform().setDpi(192);
        scriptedPlatform().setScreen({1920, 1080});
        wm().monitors = {{{0, 0, 1920, 1080}, 192}, {{1920, 0, 1920, 1080}, 96}};
        m_main = std::make_unique<vistrum::VtMain>(); // laid out at the system's DPI
        start();
        QCOMPARE(window().dpi(), 192);
        QCOMPARE(window().frame(), (forms::PixelMargins{8, 46, 8, 8}));
        QCOMPARE(outer(), (PixelRect{320, 150, 640, 480}));
        clickPreset(2);
        QCOMPARE(outer(), (PixelRect{224, 78, 1024, 768}));

        for (const auto& [to, dpi, frame] :
             {std::tuple{QPoint(2200, 200), 96, forms::PixelMargins{4, 23, 4, 4}},
              std::tuple{QPoint(100, 50), 192, forms::PixelMargins{8, 46, 8, 8}}}) {
            moveTo(to.x(), to.y());
            scriptedPlatform().settle();
            QCOMPARE(window().dpi(), dpi);
            QCOMPARE(form().monitorDpi(), dpi);
            QCOMPARE(window().frame(), frame);
            QCOMPARE(outer(), (PixelRect{to.x(), to.y(), 1024, 768}));
            checkResizeLayout();
            QCOMPARE(selectedPresets(), QList<int>{2});
            QVERIFY(!ctl("CustomOpt").Enabled());
        }

        window().maximise();
        scriptedPlatform().settle();
        const int requests = window().requests();
        const PixelRect c = window().client();
        window().placed({c.x + 1920, c.y, c.width, c.height}); // the system moves it across
        scriptedPlatform().settle();
        QCOMPARE(window().dpi(), 96);
        QVERIFY(window().maximised());
        QCOMPARE(window().requests(), requests);
        window().restore();
        scriptedPlatform().settle();

        PixelSize aboutClient;
        const auto aboutClientOn = [&](QPoint mainAt, std::optional<QPoint> dragTo) {
            moveTo(mainAt.x(), mainAt.y());
            scriptedPlatform().settle();
            scriptedPlatform().whileModal([&] {
                ScriptedWindow& dialog = windowOf(m_main->aboutIfCreated()->form());
                if (dragTo) {
                    const PixelRect dc = dialog.client();
                    const PixelRect o = dialog.outerRect();
                    dialog.placed(
                        {dragTo->x() + dc.x - o.x, dragTo->y() + dc.y - o.y, dc.width, dc.height});
                }
                aboutClient = dialog.clientSize();
                peerOf(m_main->aboutIfCreated()->form().control("Command1")).click();
            });
            menu("About");
            return aboutClient;
        };
        const PixelSize designed{466, 272}; // 3495 x 2040 twips at 192 DPI
        QCOMPARE(aboutClientOn({300, 100}, std::nullopt), designed);
        QCOMPARE(aboutClientOn({2300, 100}, std::nullopt), designed);
        QCOMPARE(aboutClientOn({300, 100}, QPoint(2400, 300)), designed);
    }

    void dragChoosesCustomSize_data() {
        QTest::addColumn<PixelSize>("size");
        QTest::newRow("wider") << PixelSize{900, 500};
        QTest::newRow("taller") << PixelSize{640, 700};
        QTest::newRow("one pixel narrower") << PixelSize{639, 480};
        QTest::newRow("smaller than the frame") << PixelSize{180, 150};
    }

    void dragChoosesCustomSize() {
        QFETCH(PixelSize, size);
        start();
        menu("Help");
        QVERIFY(ctl("Text2").Visible());
        const PixelRect before = outer();
        dragTo(size);
        QCOMPARE(outer(), (PixelRect{before.x, before.y, size.width, size.height}));
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
        const vistrum::OuterSize preset = vistrum::kPresetSizes[static_cast<size_t>(second)];
        QCOMPARE(outer().size(), (PixelSize{preset.width, preset.height}));
        checkQuarterPosition({preset.width, preset.height});
        QVERIFY(!m_main->PresetSizing);
        moveTo(30, 40);
        dragTo({700, 500});
        QCOMPARE(outer(), (PixelRect{30, 40, 700, 500}));
        QVERIFY(ctl("CustomOpt").Enabled());
        QVERIFY(ctl("CustomOpt").Value());
        checkResizeLayout();
    }

    // Minimising and restoring are resizes like any other: they choose
    // Custom Size and never move the window.
    void minimiseAndRestoreChooseCustomSize() {
        start();
        clickPreset(2);
        const PixelRect placed = outer();
        window().minimise();
        scriptedPlatform().settle();
        QVERIFY(ctl("CustomOpt").Value());
        QCOMPARE(selectedPresets(), QList<int>());
        window().restore();
        scriptedPlatform().settle();
        QVERIFY(ctl("CustomOpt").Value());
        QCOMPARE(outer(), placed);
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
        QVERIFY(shape.Visible() && peerOf(shape).shown());
        QCOMPARE(shape.Left(), swatch.Left());
        QCOMPARE(shape.Top(), swatch.Top());
        QCOMPARE(peerOf(shape).rect(), peerOf(swatch).rect());
        const forms::OleColor colour = vistrum::kSwatches[static_cast<size_t>(index)].back;
        QCOMPARE(form().BackColor(), colour);
        QCOMPARE(window().backColor(), colour);
        QCOMPARE(text(ctl("CurBackColor").Caption()),
                 QStringLiteral("Color = %1 Hex").arg(hex8(colour)));
        const QString rgb = QStringLiteral("red %1, green %2, blue %3")
                                .arg(colour & 0xFF)
                                .arg((colour >> 8) & 0xFF)
                                .arg((colour >> 16) & 0xFF);
        QCOMPARE(text(peerOf(swatch).accessibleName()), rgb + QStringLiteral(", selected"));
        QVERIFY(!text(peerOf(ctl("ColorBox", first)).accessibleName()).endsWith("selected"));
    }

    void clickingMarkedSwatchAgainChangesNothing() {
        start();
        clickSwatch(12);
        const QString before = state();
        m_session->observe();
        clickSwatch(12);
        QCOMPARE(m_session->events, SL{"Click@1"}); // the click did arrive
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
        QCOMPARE(text(ctl("CurBackColor").Caption()),
                 QStringLiteral("Color = %1 Hex").arg(hex8(vistrum::kSwatches[20].back)));
        QCOMPARE(selectedPresets(), QList<int>{3});

        // A system colour reads 800000nn, and matches no swatch.
        form().setBackColor(0x80000005U);
        activate();
        QCOMPARE(text(ctl("CurBackColor").Caption()), "Color = 80000005 Hex");
        QCOMPARE(marks(), (QList<int>{12, 20}));
    }

    void paneOpensCentredOnFrame_data() {
        QTest::addColumn<SL>("entries");
        QTest::addColumn<PixelSize>("size"); // 0 x 0: as started
        const PixelSize asStarted;
        QTest::newRow("help") << SL{"Help"} << asStarted;
        QTest::newRow("shareware") << SL{"ShareWare"} << asStarted;
        QTest::newRow("help then shareware") << SL{"Help", "ShareWare"} << asStarted;
        QTest::newRow("shareware then help") << SL{"ShareWare", "Help"} << asStarted;
        QTest::newRow("help twice") << SL{"Help", "Help"} << asStarted;
        QTest::newRow("help, small window") << SL{"Help"} << PixelSize{200, 160};
        QTest::newRow("shareware, wide window") << SL{"ShareWare"} << PixelSize{1000, 400};
    }

    void paneOpensCentredOnFrame() {
        QFETCH(SL, entries);
        QFETCH(PixelSize, size);
        start();
        if (size.width > 0)
            dragTo(size);
        Control& frame = ctl("Frame1");
        PixelRect previous;
        QString previousEntry;
        for (const QString& entry : entries) {
            menu(qPrintable(entry));
            const bool help = entry == QLatin1String("Help");
            Control& pane = ctl(help ? "Text2" : "Text1");
            Control& other = ctl(help ? "Text1" : "Text2");
            QVERIFY(pane.Visible() && peerOf(pane).shown());
            QVERIFY(!other.Visible() && !peerOf(other).shown());
            // Same centre as the frame; the wider pane overhangs both sides alike.
            QCOMPARE(pane.Left() + pane.Width() / 2, frame.Left() + frame.Width() / 2);
            QCOMPARE(pane.Top() + pane.Height() / 2, frame.Top() + frame.Height() / 2);
            const Single leftOverhang = frame.Left() - pane.Left();
            QVERIFY(leftOverhang > 0);
            QCOMPARE(pane.Left() + pane.Width() - (frame.Left() + frame.Width()), leftOverhang);
            if (entry == previousEntry)
                QCOMPARE(peerOf(pane).rect(), previous); // opened again: stays where it was
            previous = peerOf(pane).rect();
            previousEntry = entry;
        }
    }

    // A click on the window, on the task bar (a shape, which takes no
    // clicks) or on the pane closes it; so do a key and any resize.
    void paneCloses_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("how");
        for (const char* entry : {"Help", "ShareWare"})
            for (const char* how : {"client area", "task bar", "pane", "key", "drag", "preset"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(entry, how)))
                    << QByteArray(entry) << QByteArray(how);
    }

    void paneCloses() {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, how);
        start();
        menu(entry.constData());
        Control& pane = ctl(entry == "Help" ? "Text2" : "Text1");
        QVERIFY(pane.Visible());
        const forms::String before = pane.Caption();
        if (how == "client area")
            window().clickClientArea();
        else if (how == "task bar")
            peerOf(ctl("W95StartBar")).click();
        else if (how == "pane")
            peerOf(pane).click();
        else if (how == "key")
            window().pressKey('A');
        else if (how == "drag")
            window().dragTo({700, 500});
        else
            peerOf(ctl("ScrSizeOpt", 1)).click();
        scriptedPlatform().settle();
        QVERIFY(!pane.Visible() && !peerOf(pane).shown());
        QVERIFY(!ctl("Text1").Visible() && !ctl("Text2").Visible());
        QCOMPARE(pane.Caption(), before);
    }

    void aboutCentredOnMainWindow_data() {
        QTest::addColumn<QPoint>("place"); // of the main window; (0, 0): where it is
        QTest::addColumn<int>("preset");   // -1: as started
        QTest::addColumn<bool>("openedBefore");
        QTest::addColumn<bool>("offScreen"); // the centred dialog leaves the screen
        QTest::newRow("as started") << QPoint() << -1 << false << false;
        QTest::newRow("after the window moved") << QPoint(250, 160) << -1 << true << false;
        QTest::newRow("window partly off the screen") << QPoint(700, 600) << -1 << false << true;
        QTest::newRow("3200 X 1200") << QPoint() << 11 << false << true;
    }

    void aboutCentredOnMainWindow() {
        QFETCH(QPoint, place);
        QFETCH(int, preset);
        QFETCH(bool, openedBefore);
        QFETCH(bool, offScreen);
        start();
        if (preset >= 0)
            clickPreset(preset);
        vistrum::VtAbout* first = nullptr;
        if (openedBefore)
            first = visitAbout().about;
        if (!place.isNull())
            moveTo(place.x(), place.y());
        const AboutVisit v = visitAbout();
        QVERIFY(v.shown);
        QCOMPARE(v.mainOuter, outer());
        const QPoint offset = doubledCentre(v.aboutOuter) - doubledCentre(v.mainOuter);
        QVERIFY(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2);
        // Nothing keeps the dialog on the screen.
        const PixelSize screen = scriptedPlatform().screenSize();
        const PixelRect a = v.aboutOuter;
        const bool inside = a.x >= 0 && a.y >= 0 && a.x + a.width <= screen.width &&
                            a.y + a.height <= screen.height;
        QCOMPARE(!inside, offScreen);
        QVERIFY(!v.about->form().Visible());
        if (first)
            QCOMPARE(v.about, first); // one dialog for the whole run
    }

    // OK hides the dialog; the main window is active again and its
    // Activate runs, changing nothing. A dialog closed by its close box
    // opens again, centred.
    void closingAboutReactivatesMainWindow() {
        start();
        clickPreset(3);
        clickSwatch(12);
        moveTo(20, 10);
        const QString before = state();
        m_session->observe();
        QVERIFY(visitAbout().shown);
        // The menu's Click, OK's Click, then the main window's Activate.
        QCOMPARE(m_session->events, SL({"Click@1", "Click@1", "Activate@1"}));
        QCOMPARE(state(), before);
        QVERIFY(m_main->Activated);

        const AboutVisit closed = visitAbout(true);
        QVERIFY(closed.shown && !closed.about->form().Visible());
        const AboutVisit again = visitAbout();
        QVERIFY(again.shown);
        QCOMPARE(doubledCentre(again.aboutOuter), doubledCentre(closed.aboutOuter));
        QCOMPARE(state(), before);
    }

    // The Exact Size dialog, filled in with the window's size and centred on
    // it, with good and bad entries. A good one is taken as a menu size is
    // (a preset's size through its button); a bad one leaves the dialog open
    // with a message and the value selected to be typed anew, and changes
    // nothing; Escape and Cancel change nothing.
    void exactSizeEntries_data() {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("how");
        QTest::addColumn<PixelSize>("size"); // 0 x 0: nothing changes
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // where a bad entry leaves it
        const auto row = [](const char* name, const char* width, const char* height,
                            const char* how, PixelSize size, const QString& message = {},
                            const char* focus = "") {
            QTest::newRow(name) << width << height << how << size << message
                                << (*focus ? QString(focus) + ", selected" : QString());
        };
        const PixelSize none;
        const QString whole = QStringLiteral("The %1 must be a whole number of pixels.");
        const QString range = QStringLiteral("The %1 must be from 100 to 16,384 pixels.");
        row("1000 x 700, Enter", "1000", "700", "Enter", {1000, 700});
        row("1000 x 700, OK", "1000", "700", "OK", {1000, 700});
        row("blanks around", " 1366 ", "768 ", "Enter", {1366, 768});
        row("leading zeros", "0900", "0700", "Enter", {900, 700});
        row("a preset's size", "1024", "768", "Enter", {1024, 768});
        row("the least", "100", "100", "Enter", {100, 100});
        row("the most", "16384", "16384", "Enter", {16384, 16384});
        // As a preset that is selected already: no change of size, no move.
        row("the size it has", "800", "600", "Enter", none);
        row("1000 x 700, Escape", "1000", "700", "Escape", none);
        row("1000 x 700, Cancel", "1000", "700", "Cancel", none);
        row("1000 x 700, close box", "1000", "700", "close box", none);
        row("decimal", "12.5", "700", "Enter", none, whole.arg("width"), "WidthTxt");
        row("empty", "", "700", "Enter", none, whole.arg("width"), "WidthTxt");
        row("letters", "abc", "700", "OK", none, whole.arg("width"), "WidthTxt");
        row("negative", "-800", "600", "Enter", none, whole.arg("width"), "WidthTxt");
        row("plus sign", "+800", "600", "Enter", none, whole.arg("width"), "WidthTxt");
        row("both in one", "1920x1080", "600", "Enter", none, whole.arg("width"), "WidthTxt");
        row("unit", "800", "600px", "Enter", none, whole.arg("height"), "HeightTxt");
        row("one below the least", "99", "700", "Enter", none, range.arg("width"), "WidthTxt");
        row("zero", "800", "0", "Enter", none, range.arg("height"), "HeightTxt");
        row("one above the most", "800", "16385", "Enter", none, range.arg("height"), "HeightTxt");
        row("twenty digits", "99999999999999999999", "700", "Enter", none, range.arg("width"),
            "WidthTxt");
        row("both bad: the width named", "1.5", "0", "Enter", none, whole.arg("width"), "WidthTxt");
    }

    void exactSizeEntries() {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, how);
        QFETCH(PixelSize, size);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        start();
        clickPreset(1);
        moveTo(40, 30);
        const QString before = state();
        for (int visit = 0; visit < 2; ++visit) { // opened again, it starts afresh
            const ExactVisit v = visitExactSize(width, height, how);
            QCOMPARE(v.filledIn, QStringLiteral("800 x 600"));
            QVERIFY(v.widthReady);
            const QPoint offset = doubledCentre(v.dialogOuter) - doubledCentre(v.mainOuter);
            QVERIFY(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2);
            QCOMPARE(v.message, message);
            QCOMPARE(v.openAfter, !message.isEmpty());
            if (!message.isEmpty())
                QCOMPARE(v.focus, focus);
            if (size.width > 0)
                break;
            QCOMPARE(state(), before);
        }
        if (size.width == 0)
            return;
        QCOMPARE(outer().size(), size);
        checkResizeLayout();
        checkQuarterPosition(size);
        const bool preset = size == PixelSize{1024, 768};
        QCOMPARE(selectedPresets(), preset ? QList<int>{2} : QList<int>());
        QCOMPARE(ctl("CustomOpt").Value(), !preset);
        QVERIFY(!m_main->PresetSizing);
    }

    // A screen that reports zero twips per pixel fails in Resize's first
    // division: the error is reported and the program ends.
    void zeroTwipsPerPixelEndsProgram() {
        start();
        m_session->observe();
        forms::Screen().fakeTwipsPerPixel(0.0F);
        window().dragTo({700, 500});
        forms::Screen().fakeTwipsPerPixel(std::nullopt);
        QCOMPARE(m_session->events, SL{"Resize@1"});
        QCOMPARE(m_session->errors.size(), 1);
        const QList<int> floatingPoint{int(forms::ErrorCode::Overflow),
                                       int(forms::ErrorCode::DivisionByZero),
                                       int(forms::ErrorCode::InvalidFloat)};
        QVERIFY(floatingPoint.contains(m_session->errors.first()));
        QVERIFY(Runtime::get().ended());
        QCOMPARE(Runtime::get().exitStatus(), 1);
        QVERIFY(!form().Visible());
    }
};

QTEST_APPLESS_MAIN(VtMainHandlersTest)
#include "tst_vt_main_handlers.moc"
