#include "form.h"

#include "colors.h"
#include "runtime.h"
#include "runtime_error.h"
#include "screen.h"
#include "widgets.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>
#include <algorithm>

namespace forms {

namespace {

using namespace std::chrono_literals;

// Waits, bounded, for the window system's answer to a request: a
// notification counted after `seen` that `changed` accepts. One that still
// carries the old state may answer an earlier request, or refuse this one
// in place (a tiling window manager refuses every size): it is taken as a
// refusal once no other answer follows it shortly. Returns whether the
// answer changed something.
bool awaitAnswer(const std::function<quint64()>& arrived, quint64 seen,
                 const std::function<bool()>& changed) {
    if (!ws::waitUntil([&] { return arrived() > seen; },
                       std::chrono::milliseconds(Form::kAnswerTimeoutMs)))
        return false;
    return ws::waitUntil(changed, std::chrono::milliseconds(Form::kRefusalGraceMs));
}

// The frame last seen on any window: the best guess for a window the window
// manager has not framed yet.
ws::FrameExtents g_lastFrame;

Qt::WindowFlags windowFlags(const WindowSpec& layout) {
    if (layout.border == BorderStyle::FixedDialog)
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return Qt::Window;
}

} // namespace

QString MenuEntry::Caption() const {
    return m_action->isSeparator() ? QStringLiteral("-") : m_action->text();
}

Form::Form(const WindowSpec& layout)
    : m_name(QString::fromUtf8(layout.name))
    , m_backColor(layout.backColor)
    , m_sizable(layout.border == BorderStyle::Sizable)
    , m_showInTaskbar(layout.showInTaskbar)
    , m_window(new detail::FormWindow(*this, windowFlags(layout))) {
    try {
        build(layout);
    } catch (...) {
        // A layout that fails to build leaves no window behind.
        if (m_keyPreview)
            qApp->removeEventFilter(m_keyPreview.get());
        delete m_window.data();
        throw;
    }
    Runtime::get().registerForm(this);
}

void Form::build(const WindowSpec& layout) {
    ws::install();
    m_window->setObjectName(m_name);
    m_window->setWindowTitle(QString::fromUtf8(layout.caption));
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_client = new detail::ClientArea(*this, m_window);
    m_client->setObjectName(m_name + QStringLiteral(".client"));
    if (!layout.menus.empty())
        buildMenus(layout);
    m_window->setParts(m_menuBar, m_menuHeight, m_client);
    buildControls(layout);
    applyTabOrder();
    setBackColor(layout.backColor);
    if (layout.keyPreview) {
        m_keyPreview = std::make_unique<detail::KeyPreview>(*this, m_window);
        qApp->installEventFilter(m_keyPreview.get());
    }
    const QSize client(pixelsX(layout.clientWidth), pixelsY(layout.clientHeight));
    const QSize window(client.width(), client.height() + m_menuHeight);
    if (m_sizable)
        m_window->resize(window);
    else
        m_window->setFixedSize(window);
}

Form::~Form() {
    Runtime::get().unregisterForm(this);
    if (m_keyPreview)
        qApp->removeEventFilter(m_keyPreview.get());
    delete m_window.data();
}

QWidget* Form::window() const {
    return m_window;
}

QWidget* Form::clientArea() const {
    return m_client;
}

void Form::buildControls(const WindowSpec& layout) {
    for (const ControlSpec& c : layout.controls) {
        QWidget* parent = m_client;
        if (c.container)
            parent = control(QString::fromUtf8(c.container)).widget();
        m_controls.push_back(std::make_unique<Control>(*this, c, parent));
    }
    // The layout lists the topmost control first; raising from the last to
    // the first leaves each control above those listed after it.
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it)
        (*it)->widget()->raise();
}

void Form::applyTabOrder() {
    std::vector<Control*> order;
    for (const auto& c : m_controls)
        if (c->TabIndex() >= 0 && c->widget()->focusPolicy() != Qt::NoFocus)
            order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->widget(), order[i]->widget());
}

void Form::buildMenus(const WindowSpec& layout) {
    m_menuBar = new QMenuBar(m_window);
    m_menuBar->setNativeMenuBar(false); // the menu bar is part of the outer size
    QHash<QString, QMenu*> menus;
    for (const MenuSpec& m : layout.menus) {
        const QString name = QString::fromUtf8(m.name);
        const QString caption = QString::fromUtf8(m.caption);
        QAction* action = nullptr;
        if (!m.parent) {
            QMenu* menu = m_menuBar->addMenu(caption);
            menu->setObjectName(name);
            menus.insert(name, menu);
            action = menu->menuAction();
        } else {
            QMenu* parent = menus.value(QString::fromUtf8(m.parent));
            if (!parent)
                raiseError(ErrorCode::ControlNotFound,
                           QStringLiteral("menu %1").arg(QString::fromUtf8(m.parent)));
            action =
                caption == QLatin1String("-") ? parent->addSeparator() : parent->addAction(caption);
            if (m.shortcut) {
                action->setShortcut(QKeySequence(QString::fromLatin1(m.shortcut)));
                action->setShortcutContext(Qt::WindowShortcut);
            }
        }
        action->setObjectName(name);
        auto entry = std::make_unique<MenuEntry>(name, action);
        MenuEntry* raw = entry.get();
        QObject::connect(action, &QAction::triggered, m_window,
                         [this, raw] { raiseEvent("Click", raw->Click); });
        m_menus.push_back(std::move(entry));
    }
    m_menuHeight = m_menuBar->sizeHint().height();
}

Control& Form::control(const QString& name, Integer index) const {
    for (const auto& c : m_controls)
        if (c->Name() == name && c->Index() == index)
            return *c;
    const QString what = index >= 0 ? QStringLiteral("%1(%2)").arg(name).arg(index) : name;
    raiseError(ErrorCode::ControlNotFound, QStringLiteral("%1 on %2").arg(what, m_name));
}

QList<Control*> Form::array(const QString& name) const {
    QList<Control*> members;
    for (const auto& c : m_controls)
        if (c->Name() == name && c->Index() >= 0)
            members.append(c.get());
    if (members.isEmpty())
        raiseError(ErrorCode::ControlNotFound, QStringLiteral("array %1 on %2").arg(name, m_name));
    std::sort(members.begin(), members.end(),
              [](const Control* a, const Control* b) { return a->Index() < b->Index(); });
    return members;
}

MenuEntry& Form::menu(const QString& name) const {
    for (const auto& m : m_menus)
        if (m->Name() == name)
            return *m;
    raiseError(ErrorCode::ControlNotFound, QStringLiteral("menu %1 on %2").arg(name, m_name));
}

void Form::raiseEvent(const char* event, const std::function<void()>& handler) {
    if (!handler)
        return;
    Runtime::get().raise([event, handler] {
        Runtime::get().notifyHandler(event);
        handler();
    });
}

// Geometry ------------------------------------------------------------------

ws::FrameExtents Form::extents() const {
    // A hidden window has no frame (window managers clear it on unmapping);
    // it gets back the one it had when it is shown again.
    if (!m_window->isVisible() && m_lastExtents)
        return *m_lastExtents;
    if (auto known = ws::frameExtents(m_window)) {
        g_lastFrame = *known;
        return *known;
    }
    if (!ws::hasWindowManager())
        return {};
    // A window not yet shown can ask the window manager which frame it will
    // get, so that its outer size is exact before its first showing.
    if (!m_frameRequested && !m_window->isVisible()) {
        m_frameRequested = true;
        createNativeWindow();
        if (ws::requestFrameExtents(m_window))
            ws::waitUntil([this] { return ws::frameExtents(m_window).has_value(); },
                          std::chrono::milliseconds(kAnswerTimeoutMs));
        if (auto known = ws::frameExtents(m_window))
            return *known;
    }
    return m_lastExtents.value_or(g_lastFrame);
}

void Form::createNativeWindow() const {
    if (m_window->testAttribute(Qt::WA_WState_Created))
        return;
    m_window->winId();
    // Qt names a window without a caption after the application; the caption
    // is the title, also when empty.
    if (m_window->windowTitle().isEmpty())
        ws::setTitle(m_window, QString());
    if (!m_showInTaskbar)
        ws::skipTaskbar(m_window);
}

// The first control in tab order that can take the focus gets it, as when a
// window is first shown.
void Form::focusFirstControl() {
    if (m_window->focusWidget())
        return;
    for (QWidget* w = m_window->nextInFocusChain(); w && w != m_window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(m_window) && w->isEnabled()) {
            w->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

QSize Form::outerPixels() const {
    const ws::FrameExtents f = extents();
    return {m_window->width() + f.left + f.right, m_window->height() + f.top + f.bottom};
}

Single Form::Width() const {
    return twipsX(outerPixels().width());
}

Single Form::Height() const {
    return twipsY(outerPixels().height());
}

Single Form::Left() const {
    return twipsX(m_window->geometry().x() - extents().left);
}

Single Form::Top() const {
    return twipsY(m_window->geometry().y() - extents().top);
}

Single Form::ScaleWidth() const {
    return twipsX(m_client->width());
}

Single Form::ScaleHeight() const {
    return twipsY(m_client->height());
}

void Form::setLeft(Single twips) {
    const int x = pixelsX(twips);
    // A minimised window is never moved.
    if (m_window->isMinimized())
        return;
    moveClientTo(QPoint(x + extents().left, m_window->geometry().y()));
}

void Form::setTop(Single twips) {
    const int y = pixelsY(twips);
    if (m_window->isMinimized())
        return;
    moveClientTo(QPoint(m_window->geometry().x(), y + extents().top));
}

// A visible window's move waits, bounded, for the window manager's answer,
// so that the next move or size request starts from where the window really
// stands, and Left and Top read it.
void Form::moveClientTo(QPoint pos) {
    if (!m_window->isVisible()) {
        m_window->setGeometry(QRect(pos, m_window->size()));
        return;
    }
    ws::processEventsExceptInput();
    const QPoint old = m_window->geometry().topLeft();
    if (old == pos)
        return;
    const quint64 seen = ws::configureNotes(m_window).placed;
    if (!ws::requestMove(m_window, pos))
        return;
    // The answer carries the place asked for, or another one the window
    // manager chose instead.
    awaitAnswer([this] { return ws::configureNotes(m_window).placed; }, seen,
                [&] { return ws::configureNotes(m_window).position != old; });
    ws::processEventsExceptInput();
}

void Form::setWidth(Single twips) {
    const int width = pixelsX(twips);
    if (width <= 0)
        raiseError(ErrorCode::InvalidPropertyValue, QStringLiteral("Width of %1").arg(m_name));
    setOuterSize(width, std::nullopt);
}

void Form::setHeight(Single twips) {
    const int height = pixelsY(twips);
    if (height <= 0)
        raiseError(ErrorCode::InvalidPropertyValue, QStringLiteral("Height of %1").arg(m_name));
    setOuterSize(std::nullopt, height);
}

void Form::restoreIfMaximised() {
    if (!(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QSize old = outerPixels();
    const QSize normal = m_window->normalGeometry().size();
    const auto maximisedFrame = ws::frameExtents(m_window);
    m_window->setWindowState(m_window->windowState() &
                             ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    ws::flush();
    // Window managers put the borders and the size back in steps (openbox:
    // first the width, with the maximised frame and height, then the rest)
    // and may clear the maximised state before the last step. Sizes asked
    // for in between would keep the screen's height or be off by the
    // borders: wait for the size the window had before it was maximised,
    // with its borders back, or for the bound.
    if (ws::reportsAnswers())
        ws::waitUntil(
            [&] {
                const ws::ConfigureNotes notes = ws::configureNotes(m_window);
                const QSize client(notes.width, notes.height);
                const auto frame = ws::frameExtents(m_window);
                if (!frame || ws::maximisedByWindowManager(m_window))
                    return false;
                if (!normal.isEmpty())
                    return client == normal && frame != maximisedFrame;
                return client.grownBy({frame->left, frame->top, frame->right, frame->bottom}) !=
                       old;
            },
            std::chrono::milliseconds(kAnswerTimeoutMs));
    ws::processEventsExceptInput();
}

// Asks for a new client size and waits, bounded, for the window system's
// answer: a notification carrying the size asked for, or another size the
// window manager chose instead. A notification that still carries the old
// size answers an earlier request, such as a move.
void Form::requestClientSize(QSize client) {
    // Takes in what the window system said before, so no earlier
    // notification is mistaken for this answer.
    ws::processEventsExceptInput();
    const QSize old = m_window->size();
    const quint64 seen = ws::configureNotes(m_window).count;
    ws::holdMinimumSize(m_window, client);
    m_window->resize(client);
    ws::flush();
    if (!ws::reportsAnswers()) {
        ws::releaseMinimumSize(m_window);
        return;
    }
    const bool answered = awaitAnswer([this] { return ws::configureNotes(m_window).count; }, seen,
                                      [&] {
                                          const ws::ConfigureNotes notes =
                                              ws::configureNotes(m_window);
                                          const QSize carried(notes.width, notes.height);
                                          return carried == client || carried != old;
                                      });
    ws::releaseMinimumSize(m_window);
    ws::flush();
    // Lets Qt take in the geometry the answer carried.
    ws::processEventsExceptInput();

    // Qt keeps the size it asked for when the window manager refuses without
    // changing anything; the handlers must see the size the window has.
    const ws::ConfigureNotes notes = ws::configureNotes(m_window);
    const QSize actual = notes.count > seen ? QSize(notes.width, notes.height) : old;
    if (!answered && m_window->size() != actual)
        m_window->resize(actual);
}

void Form::setOuterSize(std::optional<int> width, std::optional<int> height) {
    // The dimension not assigned keeps its size.
    const auto wantedFrom = [&](QSize outer) {
        return QSize(width.value_or(outer.width()), height.value_or(outer.height()));
    };
    if (!m_window->isVisible() || m_window->isMinimized()) {
        // Nothing to ask a window manager yet (or the window is iconified,
        // which it may refuse to size): take the size for later.
        const QSize wanted = wantedFrom(outerPixels());
        const ws::FrameExtents f = extents();
        m_window->resize(std::max(1, wanted.width() - f.left - f.right),
                         std::max(1, wanted.height() - f.top - f.bottom));
        return;
    }
    const QSize before = outerPixels();
    if (wantedFrom(before) == before)
        return;

    ++m_sizeChange;
    struct Done {
        int& n;
        ~Done() { --n; }
    } done{m_sizeChange};

    restoreIfMaximised();
    // A maximised window keeps the other dimension it had before it was
    // maximised, not the screen's.
    const QSize wanted = wantedFrom(outerPixels());
    // The frame may differ from the one assumed (the window manager may have
    // framed the window only now); then ask again with the real frame.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ws::FrameExtents frame = extents();
        const QSize client(std::max(1, wanted.width() - frame.left - frame.right),
                           std::max(1, wanted.height() - frame.top - frame.bottom));
        if (client != m_window->size())
            requestClientSize(client);
        if (extents() == frame)
            break;
    }
    m_lastExtents = extents();

    if (outerPixels() != before)
        Runtime::get().runNested([this] {
            Runtime::get().notifyHandler("Resize");
            if (Resize)
                Resize();
        });
}

// Qt's notifications ----------------------------------------------------------

void Form::onQtResize() {
    if (m_sizeChange > 0 || !m_shown)
        return; // the layer's own change raises its own Resize
    raiseResize();
}

void Form::onWindowStateChange(bool minimisedChanged) {
    // Minimising and restoring change no X geometry, yet they are resizes.
    if (minimisedChanged && m_shown && m_sizeChange == 0)
        raiseResize();
}

void Form::onFrameChanged() {
    if (!m_window->isVisible())
        return;
    const auto now = ws::frameExtents(m_window);
    if (!now || now == m_lastExtents)
        return;
    m_lastExtents = now;
    g_lastFrame = *now;
    // A new frame changes the outer size although the client stayed.
    if (m_shown && m_sizeChange == 0 && m_window->isVisible())
        raiseResize();
}

void Form::raiseResize() {
    raiseEvent("Resize", Resize);
}

void Form::onCloseRequest() {
    if (m_endsProgramOnClose) {
        Runtime::get().raise([] { Runtime::get().End(0); });
        return;
    }
    Hide();
}

void Form::onKeyPress(int keyCode, int shift) {
    if (KeyDown)
        raiseEvent("KeyDown", [this, keyCode, shift] { KeyDown(keyCode, shift); });
}

// Showing -------------------------------------------------------------------

void Form::load() {
    if (m_loaded)
        return;
    m_loaded = true;
    raiseEvent("Load", Load);
}

bool Form::Visible() const {
    return m_window->isVisible();
}

QString Form::Caption() const {
    return m_window->windowTitle();
}

void Form::setBackColor(OleColor color) {
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    m_client->setPalette(palette);
    m_backColor = color;
}

void Form::firstShow() {
    ++m_sizeChange;
    struct Done {
        int& n;
        ~Done() { --n; }
    } done{m_sizeChange};

    m_window->show();
    ws::flush();
    const bool framed = ws::reportsFrames();
    ws::waitUntil(
        [this, framed] {
            QWindow* handle = m_window->windowHandle();
            return handle && handle->isExposed() &&
                   (!framed || ws::frameExtents(m_window).has_value());
        },
        1000ms);
    ws::processEventsExceptInput();
    m_lastExtents = ws::frameExtents(m_window);
    if (m_lastExtents)
        g_lastFrame = *m_lastExtents;
    focusFirstControl();
}

void Form::Show() {
    load();
    if (m_shown) {
        m_window->show();
        return;
    }
    ws::setFrameChangedCallback([](quintptr) {
        // Any window's frame may have changed; each checks its own.
        for (Form* form : Runtime::get().forms())
            form->onFrameChanged();
    });
    firstShow();
    m_shown = true;
    ws::releaseHeldInput();
    raiseResize();
    Runtime::get().setActiveForm(this);
    raiseEvent("Activate", Activate);
}

void Form::ShowModal() {
    load();
    Runtime& runtime = Runtime::get();
    Form* previous = runtime.activeForm();
    m_window->setWindowModality(Qt::ApplicationModal);
    createNativeWindow(); // so that it can name its owner
    if (previous && previous != this && previous->window()->windowHandle())
        m_window->windowHandle()->setTransientParent(previous->window()->windowHandle());
    if (!m_shown) {
        firstShow();
        m_shown = true;
    } else {
        m_window->show();
    }
    m_window->raise();
    m_window->activateWindow();
    focusFirstControl();
    runtime.setActiveForm(this);
    raiseEvent("Activate", Activate);

    QEventLoop loop;
    m_modalLoop = &loop;
    {
        Runtime::ModalScope scope(loop);
        if (m_window->isVisible())
            loop.exec();
    }
    m_modalLoop = nullptr;
    if (runtime.ended())
        throw ProgramEnded{};
    // The window that was active before becomes active again.
    if (previous && previous != this) {
        runtime.setActiveForm(previous);
        previous->raiseEvent("Activate", previous->Activate);
    }
}

void Form::Hide() {
    m_window->hide();
    if (m_modalLoop)
        m_modalLoop->quit();
}

void Form::holdPainting(bool hold) {
    if (!m_window || m_window->updatesEnabled() == !hold)
        return;
    if (hold) {
        m_window->setUpdatesEnabled(false);
        return;
    }
    m_window->setUpdatesEnabled(true);
    // Qt drops the exposures and resizes it is told about while a window's
    // updates are off (a tiling window manager exposes the window it has
    // just resized); paint the whole window now, once.
    if (m_window->isVisible())
        m_window->repaint();
}

void Form::closeForEnd() {
    if (m_modalLoop)
        m_modalLoop->quit();
    m_window->hide();
}

} // namespace forms
