// The protocol between a window and its platform, on the scripted platform
// against every kind of window manager: a size assignment raises Resize
// inside itself, once, only on a change and with the size the window
// manager granted; what the window reads is what the window manager did;
// events wait for the running handler; an error ends the program.
#include "checked.h"
#include "control.h"
#include "runtime_error.h"
#include "scripted.h"
#include "test_window.h"
#include "window_request.h"

#include <functional>
#include <memory>

using namespace forms;
using namespace forms::scripted;
using namespace scripted_test;
using namespace test_window;
using Action = std::function<void()>;
using SL = QStringList;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(forms::scripted::SizeRule)
Q_DECLARE_METATYPE(forms::scripted::PlaceRule)

namespace {

using Getter = Single (Form::*)() const;
using Setter = void (Form::*)(Single);
struct Property {
    Getter get;
    Setter set;
};
const QHash<QString, Property> kProperties{{"Width", {&Form::Width, &Form::setWidth}},
                                           {"Height", {&Form::Height, &Form::setHeight}},
                                           {"Left", {&Form::Left, &Form::setLeft}},
                                           {"Top", {&Form::Top, &Form::setTop}}};

PixelSize outerSize(const Form& form) {
    return {pixelsX(form.Width()), pixelsY(form.Height())};
}

} // namespace

class ProtocolTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> m_session;
    std::unique_ptr<Form> m_form;
    SL m_log;

    Form& form() { return *m_form; }
    ScriptedWindow& window() { return windowOf(*m_form); }
    Control& ctl(const char* name, int index = -1) {
        return m_form->control(name, static_cast<Integer>(index));
    }
    void build() {
        m_form = std::make_unique<Form>(kWindow);
        m_form->setEndsProgramOnClose(true);
    }
    void start() {
        build();
        m_form->Show();
        scriptedPlatform().settle();
    }
    // Each Resize as "inside"/"later" with the outer size it read, in pixels.
    void logResizes(const bool& assigning) {
        m_form->Resize = [this, &assigning] {
            m_log << QStringLiteral("%1 %2x%3")
                         .arg(assigning ? "inside" : "later")
                         .arg(pixelsX(m_form->Width()))
                         .arg(pixelsY(m_form->Height()));
        };
    }

private slots:
    void init() {
        m_session = std::make_unique<Session>();
        m_log.clear();
    }

    void cleanup() {
        const QList<int> errors = m_session->errors;
        m_form.reset();
        m_session.reset();
        QCOMPARE(scriptedPlatform().abandonedModalLoops(), 0);
        if (!QTest::currentTestFailed() &&
            QByteArray(QTest::currentTestFunction()) != "runtimeErrorEndsTheProgram")
            QCOMPARE(errors, QList<int>{});
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
        QTest::newRow("top") << "Top" << -900.0F << -900.0F << 0;
    }

    void sizeAssignments() {
        QFETCH(QString, property);
        QFETCH(Single, delta);
        QFETCH(Single, change);
        QFETCH(int, resizes);
        start();
        QCOMPARE(form().ScaleWidth(), 5400.0F);
        QCOMPARE(form().ScaleHeight(), 3600.0F);
        const Property p = kProperties.value(property);
        bool assigning = false;
        logResizes(assigning);
        const Single before = (form().*p.get)();
        assigning = true;
        (form().*p.set)(before + delta);
        assigning = false;
        scriptedPlatform().settle();
        QCOMPARE(m_log.size(), resizes);
        QVERIFY(m_log.filter("later").isEmpty());
        QCOMPARE((form().*p.get)(), before + change);
        // The outer size is the frame, the menu bar and the client area.
        const PixelMargins f = window().frame();
        QCOMPARE(form().ScaleWidth(), form().Width() - twipsX(f.left + f.right));
        QCOMPARE(form().ScaleHeight(), form().Height() - twipsY(f.top + f.bottom) -
                                           twipsY(ScriptedWindow::kMenuBarHeight));
    }

    // A handler's assignments are collected: reads give what was assigned,
    // each change of size runs Resize inside itself with the size assigned,
    // and the window gets one request when the handler returns. Whatever
    // the window manager does with it, the window then reads what it did:
    // where that is another size, a Resize follows before anything is
    // painted; an answer that comes after the wait is a change of size like
    // a border drag.
    void handlerChangesAreOneRequest_data() {
        QTest::addColumn<SizeRule>("rule");
        QTest::addColumn<int>("answerAfter"); // ms, -1: never
        QTest::addColumn<QRect>("asked");     // outer; an empty height keeps the height
        QTest::addColumn<SL>("resizes");
        QTest::addColumn<QRect>("ends");
        QTest::addColumn<int>("shown"); // rectangles the user sees after the start
        QTest::addColumn<int>("requests");
        // 360 x 240, a menu bar of 20 and a frame of 4, 23, 4, 4; the client
        // area at 0, 0.
        const QRect start(-4, -23, 368, 287);
        QTest::newRow("granted") << SizeRule::Grant << 5 << QRect(96, 72, 800, 600)
                                 << SL{"inside 800x287", "inside 800x600"}
                                 << QRect(96, 72, 800, 600) << 1 << 1;
        QTest::newRow("larger than the screen")
            << SizeRule::Grant << 5 << QRect(-544, -108, 3200, 1200)
            << SL{"inside 3200x287", "inside 3200x1200"} << QRect(-544, -108, 3200, 1200) << 1 << 1;
        QTest::newRow("cut to the screen")
            << SizeRule::ClampToScreen << 5 << QRect(-544, -108, 3200, 1200)
            << SL{"inside 3200x287", "inside 3200x1200", "later 1024x768"} << QRect(0, 0, 1024, 768)
            << 1 << 2;
        QTest::newRow("cut to a size") << SizeRule::ClampTo << 5 << QRect(10, 20, 1000, 500)
                                       << SL{"inside 1000x287", "inside 1000x500", "later 900x500"}
                                       << QRect(10, 20, 900, 500) << 1 << 1;
        QTest::newRow("size refused") << SizeRule::Refuse << 5 << QRect(96, 72, 800, 600)
                                      << SL{"inside 800x287", "inside 800x600", "later 368x287"}
                                      << QRect(96, 72, 368, 287) << 1 << 1;
        QTest::newRow("answered late") << SizeRule::Grant << 800 << QRect(0, 0, 800, 0)
                                       << SL{"inside 800x287", "later 368x287", "later 800x287"}
                                       << QRect(0, -23, 800, 287) << 1 << 1;
        QTest::newRow("never answered") << SizeRule::Grant << -1 << QRect(-4, 0, 800, 0)
                                        << SL{"inside 800x287", "later 368x287"} << start << 0 << 1;
    }

    void handlerChangesAreOneRequest() {
        QFETCH(SizeRule, rule);
        QFETCH(int, answerAfter);
        QFETCH(QRect, asked);
        QFETCH(SL, resizes);
        QFETCH(QRect, ends);
        QFETCH(int, shown);
        QFETCH(int, requests);
        start();
        QCOMPARE(window().outerRect(), (PixelRect{-4, -23, 368, 287}));
        wm().sizes = rule;
        wm().largest = {900, 700};
        wm().answerAfter = answerAfter < 0 ? std::nullopt : std::optional(Millis(answerAfter));
        bool inside = false;
        logResizes(inside);
        // A preset's pattern: the width, then the place, then the height.
        ctl("cmd").Click = [&] {
            inside = true;
            form().setWidth(twipsX(asked.width()));
            form().setLeft(twipsX(asked.x()));
            QCOMPARE(form().Left(), twipsX(asked.x()));
            if (asked.height() > 0) {
                form().setHeight(twipsY(asked.height()));
                form().setTop(twipsY(asked.y()));
            }
            QCOMPARE(outerSize(form()).width, asked.width());
            QCOMPARE(form().ScaleWidth(), twipsX(asked.width() - 8));
            inside = false;
        };
        const int requestsBefore = window().requests();
        const int paints = window().paints();
        ctl("cmd").raiseClick();
        QCOMPARE(window().requests() - requestsBefore, requests);
        QCOMPARE(window().paints() - paints, 1);
        scriptedPlatform().advance(Millis(2000));
        QCOMPARE(m_log, resizes);
        const PixelRect r = window().outerRect();
        QCOMPARE(QRect(r.x, r.y, r.width, r.height), ends);
        QCOMPARE(outerSize(form()), r.size());
        QCOMPARE(static_cast<int>(window().shownRects().size()) - 1, shown);
    }

    // A maximised window is restored before it is sized: the dimension not
    // assigned is the one it had before, not the screen's.
    void maximisedWindowIsRestoredFirst() {
        start();
        form().setHeight(twipsY(500));
        window().maximise();
        scriptedPlatform().settle();
        QVERIFY(window().maximised());
        QCOMPARE(outerSize(form()), (PixelSize{1024, 768}));
        bool assigning = true;
        logResizes(assigning);
        form().setWidth(twipsX(700));
        QVERIFY(!window().maximised());
        QCOMPARE(m_log, SL{"inside 700x500"});
    }

    // A minimised window takes a size for when it is restored and is never
    // moved; neither raises a Resize.
    void minimisedWindowIsNotSizedOrMoved() {
        start();
        window().minimise();
        scriptedPlatform().settle();
        const PixelRect before = window().client();
        bool assigning = true;
        logResizes(assigning);
        form().setLeft(twipsX(300));
        form().setWidth(twipsX(700));
        QCOMPARE(m_log, SL{});
        QCOMPARE(window().client().x, before.x);
        window().restore();
        QCOMPARE(outerSize(form()).width, 700);
    }

    // A frame that the window manager changes after mapping changes the
    // outer size: a Resize from the dispatcher, and the next size asked for
    // reckons with the new frame.
    void frameChangedAfterMapping() {
        wm().frameAfterMapping = PixelMargins{8, 30, 8, 8};
        build();
        bool assigning = false;
        logResizes(assigning);
        form().Show();
        m_log.clear();
        scriptedPlatform().advance(Millis(200));
        QCOMPARE(m_log, SL{"later 376x298"});
        assigning = true;
        form().setWidth(twipsX(640));
        QCOMPARE(outerSize(form()), (PixelSize{640, 298}));
        QCOMPARE(window().client().width, 624);
    }

    // The outer corner stands where it was asked to, whatever convention the
    // window manager follows: one that takes the place for the client
    // area's, or shifts the window by its frame, is seen in its answer and
    // asked once more, and is known from then on: the next move lands at
    // once. A window its rule keeps at the screen's edge is not asked again.
    void outerCornerStandsWhereAsked_data() {
        QTest::addColumn<PlaceRule>("rule");
        QTest::addColumn<bool>("titleBarOnScreen");
        QTest::addColumn<QPoint>("asked");
        QTest::addColumn<QPoint>("placed");
        QTest::addColumn<int>("requests"); // for Left and Top together
        QTest::newRow("exact") << PlaceRule::Exact << false << QPoint(100, -50) << QPoint(100, -50)
                               << 1;
        QTest::newRow("title bar kept on the screen")
            << PlaceRule::Exact << true << QPoint(100, -50) << QPoint(100, 0) << 1;
        QTest::newRow("client area at the place")
            << PlaceRule::ClientAreaAtP << false << QPoint(100, 50) << QPoint(100, 50) << 2;
        QTest::newRow("off by the frame")
            << PlaceRule::FrameOffByEdge << false << QPoint(-100, 50) << QPoint(-100, 50) << 2;
        QTest::newRow("off by the frame, title bar on the screen")
            << PlaceRule::FrameOffByEdge << true << QPoint(100, -50) << QPoint(100, 0) << 2;
    }

    void outerCornerStandsWhereAsked() {
        QFETCH(PlaceRule, rule);
        QFETCH(bool, titleBarOnScreen);
        QFETCH(QPoint, asked);
        QFETCH(QPoint, placed);
        QFETCH(int, requests);
        start();
        wm().places = rule;
        wm().keepsTitleBarOnScreen = titleBarOnScreen;
        QPoint to = asked;
        ctl("cmd").Click = [&] {
            form().setLeft(twipsX(to.x()));
            form().setTop(twipsY(to.y()));
        };
        for (const int expected : {requests, 1}) {
            const int before = window().moveRequests();
            ctl("cmd").raiseClick();
            QCOMPARE(window().moveRequests() - before, expected);
            QCOMPARE(form().Left(), twipsX(placed.x()));
            QCOMPARE(form().Top(), twipsY(placed.y()));
            // What Left and Top read is where the window manager put it.
            QCOMPARE(window().outerRect().x, placed.x());
            QCOMPARE(window().outerRect().y, placed.y());
            to += QPoint(30, 20);
            placed += QPoint(30, placed.y() == 0 ? 0 : 20);
        }
    }

    // A window manager that changes the size while the nested Resize runs
    // (it sizes the window as the handler moves it): the change is not lost
    // but raises a Resize of its own once the handler is done, with the
    // size the window has.
    void sizeChangedDuringTheNestedResizeIsNotLost() {
        start();
        wm().growsOnMove = 22;
        bool inside = false;
        m_form->Resize = [this, &inside] {
            m_log << QStringLiteral("%1 %2x%3")
                         .arg(inside ? "inside" : "later")
                         .arg(pixelsX(m_form->Width()))
                         .arg(pixelsY(m_form->Height()));
            if (inside)
                m_form->setLeft(m_form->Left() + 150); // as a preset's Resize does
        };
        ctl("cmd").Click = [this, &inside] {
            inside = true;
            form().setWidth(twipsX(640));
            inside = false;
        };
        ctl("cmd").raiseClick();
        scriptedPlatform().settle();
        QCOMPARE(m_log, SL({"inside 640x287", "later 640x309"}));
        QCOMPARE(outerSize(form()), (PixelSize{640, 309}));
    }

    // A window manager that cuts a window larger than the screen once the
    // program no longer holds its size (jwm): the cut is waited for and
    // taken in with a Resize before anything is painted. Seen once, it is
    // known: the next such size is asked for without holding it, and the
    // window goes to the size it keeps in one step.
    void sizeCutOnceReleasedIsLearned() {
        start();
        wm().cutsToScreenAfter = Millis(3);
        bool inside = false;
        logResizes(inside);
        int height = 1200;
        ctl("cmd").Click = [&] {
            inside = true;
            form().setHeight(twipsY(height));
            inside = false;
        };
        ctl("cmd").raiseClick();
        QCOMPARE(m_log, SL({"inside 368x1200", "later 368x768"}));
        QCOMPARE(window().shownRects().size(), size_t(3)); // the start, granted, cut
        window().dragTo({368, 500});
        scriptedPlatform().settle();
        m_log.clear();
        height = 1100;
        ctl("cmd").raiseClick();
        QCOMPARE(m_log, SL({"inside 368x1100", "later 368x768"}));
        QCOMPARE(window().shownRects().size(), size_t(5)); // ... the drag, cut at once
    }

    // A window manager that cuts a request larger than the screen before it
    // looks at the size held just after it, and grows the window to the
    // size held then: onto the screen (metacity), or where asked a moment
    // later (mutter). The first such request shows the cut; from then on the
    // size is held before the request, and the next one is one request and
    // one picture. Each ends where asked, its title bar on the screen.
    void sizeHeldFirstIsLearned_data() {
        QTest::addColumn<bool>("whereAsked");
        QTest::newRow("grown onto the screen") << false;
        QTest::newRow("grown where asked, later") << true;
    }

    void sizeHeldFirstIsLearned() {
        QFETCH(bool, whereAsked);
        start();
        wm().sizes = SizeRule::ClampToScreen;
        wm().heldSize = WindowManagerScript::HeldSize::GrantedIfFirst;
        wm().growsToHeldWhereAsked = whereAsked;
        wm().keepsTitleBarOnScreen = true;
        // Pictures shown and requests made for one handler that sets r.
        const auto set = [&](PixelRect r) {
            ctl("cmd").Click = [&, r] {
                form().setWidth(twipsX(r.width));
                form().setHeight(twipsY(r.height));
                form().setLeft(twipsX(r.x));
                form().setTop(twipsY(r.y));
            };
            const auto shown = window().shownRects().size();
            const int requests = window().requests();
            ctl("cmd").raiseClick();
            scriptedPlatform().settle();
            return QPair<int, int>(static_cast<int>(window().shownRects().size() - shown),
                                   window().requests() - requests);
        };
        const PixelRect large{-144, -108, 1600, 1200}, small{96, 72, 640, 480};
        const PixelRect largeGranted{-144, 0, 1600, 1200};
        QVERIFY(set(large).first > 1);
        QCOMPARE(window().outerRect(), largeGranted);
        QVERIFY(windowManagerRecord().holdsSizeFirst);
        QCOMPARE(set(small), (QPair<int, int>(1, 1)));
        QCOMPARE(set(large), (QPair<int, int>(1, 1)));
        QCOMPARE(window().outerRect(), largeGranted);
        QCOMPARE(outerSize(form()), largeGranted.size());
    }

    void showRaisesLoadResizeActivateOnce_data() {
        QTest::addColumn<bool>("loadFirst");
        QTest::newRow("show alone") << false;
        QTest::newRow("load, then show") << true;
    }

    void showRaisesLoadResizeActivateOnce() {
        QFETCH(bool, loadFirst);
        build();
        m_session->observe();
        form().Load = [] {};
        form().Resize = [] {};
        form().Activate = [] {};
        if (loadFirst) {
            form().load();
            QCOMPARE(m_session->events, SL{"Load@1"});
        }
        form().Show();
        form().Show(); // showing it again is no first showing
        scriptedPlatform().settle();
        QCOMPARE(m_session->events, SL({"Load@1", "Resize@1", "Activate@1"}));
    }

    void arrayMembersInIndexOrder() {
        build();
        const std::vector<Control*> members = form().array("opt");
        SL captions;
        for (size_t i = 0; i < members.size(); ++i) {
            QCOMPARE(static_cast<size_t>(members[i]->Index()), i);
            QCOMPARE(&ctl("opt", static_cast<int>(i)), members[i]);
            captions << QString::fromStdString(members[i]->Caption().utf8());
        }
        QCOMPARE(captions, SL({"&Red", "&Green", "&Blue"}));
    }

    void missingNamesRaise730_data() {
        QTest::addColumn<Action>("lookup");
        QTest::addColumn<QString>("named");
        QTest::newRow("control") << Action([this] { ctl("Missing"); }) << "Missing";
        QTest::newRow("index past the array") << Action([this] { ctl("opt", 7); }) << "opt(7)";
        QTest::newRow("array name, no index") << Action([this] { ctl("opt"); }) << "opt";
        QTest::newRow("index on a single control") << Action([this] { ctl("cmd", 0); }) << "cmd";
        QTest::newRow("array") << Action([this] { form().array("Missing"); }) << "Missing";
        QTest::newRow("menu") << Action([this] { form().menu("mnuMissing"); }) << "mnuMissing";
    }

    void missingNamesRaise730() {
        QFETCH(Action, lookup);
        QFETCH(QString, named);
        build();
        try {
            lookup();
            QFAIL("no error raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 730);
            QVERIFY2(QString::fromStdString(e.text().utf8()).contains(named), e.text().c_str());
        }
    }

    // Events raised while a handler runs wait for it; the Resize of a size
    // assignment runs inside it. The window is painted once, at the end.
    void eventsRaisedInAHandlerWait() {
        start();
        m_session->observe();
        for (const char* name : {"lblA"})
            ctl(name).Click = [this, name] { m_log << name; };
        ctl("opt", 1).Click = [this] { m_log << "opt(1)"; };
        form().Resize = [this] { m_log << "Resize"; };
        ctl("cmd").Click = [this] {
            m_log << "cmd begins";
            ctl("opt", 1).setValue(true);
            ctl("lblA").raiseClick();
            form().setWidth(form().Width() + 1500); // its Resize runs right here
            form().setLeft(form().Left() + 150);
            m_log << "cmd ends";
        };
        const int paints = window().paints();
        peerOf(ctl("cmd")).click();
        QCOMPARE(m_log, SL({"cmd begins", "Resize", "cmd ends", "opt(1)", "lblA"}));
        QCOMPARE(m_session->events, SL({"Click@1", "Resize@2", "Click@1", "Click@1"}));
        QVERIFY(!Runtime::get().handlerRunning());
        QCOMPARE(window().paints(), paints + 1);
    }

    // An error ends the handler, is reported once and ends the program with
    // status 1: the event queued before it and all later ones never run, and
    // the place the handler gave the window before it is never asked for.
    void runtimeErrorEndsTheProgram_data() {
        QTest::addColumn<Action>("failing");
        QTest::addColumn<int>("reported"); // 0: none
        QTest::addColumn<int>("status");
        QTest::newRow("raised error")
            << Action([] { raiseError(ErrorCode::InvalidPropertyValue); }) << 380 << 1;
        QTest::newRow("missing control") << Action([this] { ctl("Missing"); }) << 730 << 1;
        QTest::newRow("zero width") << Action([this] { form().setWidth(0); }) << 380 << 1;
        QTest::newRow("error in the assignment's Resize") << Action([this] {
            form().Resize = [] { nextCounter(32767); };
            form().setWidth(form().Width() + 1500);
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
        start();
        bool finished = false;
        ctl("lblA").Click = [this] { m_log << "lblA"; };
        const PixelRect before = window().outerRect();
        const int requests = window().requests();
        ctl("cmd").Click = [&] {
            ctl("lblA").raiseClick(); // queued, then dropped by the end
            form().setLeft(form().Left() + 1500);
            failing();
            finished = true;
        };
        ctl("cmd").raiseClick();
        QCOMPARE(m_session->errors, reported ? QList<int>{reported} : QList<int>{});
        QVERIFY(Runtime::get().ended());
        QCOMPARE(Runtime::get().exitStatus(), status);
        QCOMPARE(scriptedPlatform().quitStatus(), std::optional(status));
        QVERIFY(!finished);
        QCOMPARE(window().requests(), requests);
        QCOMPARE(window().outerRect(), before);
        QVERIFY(!form().Visible());
        ctl("lblA").raiseClick();
        QCOMPARE(m_log, SL{});

        Runtime::get().resetForTesting();
        ctl("lblA").raiseClick();
        QCOMPARE(m_log, SL{"lblA"});
    }

    // Closing the main window ends the program; closing another only hides it.
    void closeBox() {
        start();
        Form dialog(kWindow);
        dialog.Show();
        windowOf(dialog).clickCloseBox();
        QVERIFY(!dialog.Visible());
        QVERIFY(!Runtime::get().ended());
        window().clickCloseBox();
        QVERIFY(Runtime::get().ended());
        QCOMPARE(Runtime::get().exitStatus(), 0);
        QVERIFY(!form().Visible());
    }
};

QTEST_APPLESS_MAIN(ProtocolTest)
#include "tst_protocol.moc"
