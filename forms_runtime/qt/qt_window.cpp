#include "qt_window.h"

#include "control.h"
#include "form.h"
#include "qt_controls.h"
#include "qt_look.h"
#include "qt_platform.h"
#include "qt_text.h"
#include "runtime_error.h"
#include "screen.h"
#include "widgets.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

namespace forms::qt {

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
                       std::chrono::milliseconds(QtWindow::kAnswerTimeoutMs)))
        return false;
    return ws::waitUntil(changed, std::chrono::milliseconds(QtWindow::kRefusalGraceMs));
}

Qt::WindowFlags windowFlags(BorderStyle border) {
    if (border == BorderStyle::FixedDialog)
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return Qt::Window;
}

} // namespace

QtWindow::QtWindow(Form& form, const WindowSpec& layout, QtPlatform& platform)
    : m_form(form)
    , m_platform(platform)
    , m_border(layout.border)
    , m_showInTaskbar(layout.showInTaskbar)
    , m_keyPreviewWanted(layout.keyPreview)
    , m_designClient(pixelsX(layout.clientWidth), pixelsY(layout.clientHeight))
    , m_window(new detail::FormWindow(*this, windowFlags(layout.border))) {
    const QString name = toQString(form.Name());
    m_window->setObjectName(name);
    m_window->setWindowTitle(toQString(layout.caption));
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_client = new detail::ClientArea(*this, m_window);
    m_client->setObjectName(name + QStringLiteral(".client"));
}

QtWindow::~QtWindow() {
    if (m_keyPreview)
        qApp->removeEventFilter(m_keyPreview.get());
    delete m_window.data();
}

QWidget* QtWindow::window() const {
    return m_window;
}

QWidget* QtWindow::clientArea() const {
    return m_client;
}

QAction* QtWindow::action(const MenuEntry& entry) const {
    const auto it = m_actions.find(&entry);
    return it == m_actions.end() ? nullptr : it->second;
}

// Building --------------------------------------------------------------------

std::unique_ptr<ControlPeer> QtWindow::createControl(Control& control, const ControlSpec& layout,
                                                     ControlPeer* container) {
    QWidget* parent = container ? static_cast<QtControl*>(container)->widget() : m_client;
    auto made = std::make_unique<QtControl>(control, layout, parent);
    m_controlWidgets.push_back(made->widget());
    return made;
}

void QtWindow::addMenuEntry(MenuEntry& entry, const MenuSpec& m) {
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(m_window);
        m_menuBar->setNativeMenuBar(false); // the menu bar is part of the outer size
    }
    const QString name = QString::fromUtf8(m.name);
    const QString caption = QString::fromUtf8(m.caption);
    QAction* action = nullptr;
    if (!m.parent) {
        QMenu* menu = m_menuBar->addMenu(caption);
        menu->setObjectName(name);
        m_menus[m.name] = menu;
        action = menu->menuAction();
    } else {
        QMenu* parent = m_menus.at(m.parent); // the shared part checked it exists
        action = isSeparator(m) ? parent->addSeparator() : parent->addAction(caption);
        if (m.shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(m.shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
    }
    action->setObjectName(name);
    m_actions[&entry] = action;
    QObject::connect(action, &QAction::triggered, m_window,
                     [this, &entry] { m_form.platformMenuChosen(entry); });
}

void QtWindow::finishBuilding(std::span<Control* const> tabOrder) {
    // The layout lists the topmost control first; raising from the last to
    // the first leaves each control above those listed after it.
    for (auto it = m_controlWidgets.rbegin(); it != m_controlWidgets.rend(); ++it)
        (*it)->raise();
    for (size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(static_cast<QtControl&>(tabOrder[i - 1]->peer()).widget(),
                             static_cast<QtControl&>(tabOrder[i]->peer()).widget());
    if (m_menuBar)
        m_menuHeight = m_menuBar->sizeHint().height();
    m_window->setParts(m_menuBar, m_menuHeight, m_client);
    if (m_keyPreviewWanted) {
        m_keyPreview = std::make_unique<detail::KeyPreview>(*this, m_window);
        qApp->installEventFilter(m_keyPreview.get());
    }
    const QSize window(m_designClient.width(), m_designClient.height() + m_menuHeight);
    if (m_border == BorderStyle::Sizable)
        m_window->resize(window);
    else
        m_window->setFixedSize(window);
}

// Geometry ------------------------------------------------------------------

PixelMargins QtWindow::extents() const {
    // A hidden window has no frame (window managers clear it on unmapping);
    // it gets back the one it had when it is shown again.
    if (!m_window->isVisible() && m_lastExtents)
        return *m_lastExtents;
    if (auto known = ws::frameExtents(m_window)) {
        m_platform.rememberFrame(m_border, *known);
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
    // Otherwise the frame of a window of the same kind is the best guess.
    return m_lastExtents.value_or(m_platform.lastFrame(m_border));
}

void QtWindow::createNativeWindow() const {
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
void QtWindow::focusFirstControl() {
    if (m_window->focusWidget())
        return;
    for (QWidget* w = m_window->nextInFocusChain(); w && w != m_window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(m_window) && w->isEnabled()) {
            w->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

PixelRect QtWindow::outerRect() const {
    const PixelMargins f = extents();
    const QRect client = m_window->geometry();
    return {client.x() - f.left, client.y() - f.top, client.width() + f.left + f.right,
            client.height() + f.top + f.bottom};
}

PixelSize QtWindow::clientSize() const {
    return {m_client->width(), m_client->height()};
}

bool QtWindow::visible() const {
    return m_window->isVisible();
}

bool QtWindow::minimised() const {
    return m_window->isMinimized();
}

void QtWindow::requestOuterPosition(std::optional<int> x, std::optional<int> y) {
    const PixelMargins f = extents();
    const QPoint client = m_window->geometry().topLeft();
    moveClientTo(QPoint(x ? *x + f.left : client.x(), y ? *y + f.top : client.y()));
}

// A visible window's move waits, bounded, for the window manager's answer,
// so that the next move or size request starts from where the window really
// stands, and Left and Top read it.
void QtWindow::moveClientTo(QPoint pos) {
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

void QtWindow::restoreIfMaximised() {
    if (!(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const PixelSize old = outerRect().size();
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
                const QSize outer =
                    client.grownBy({frame->left, frame->top, frame->right, frame->bottom});
                return outer != QSize(old.width, old.height);
            },
            std::chrono::milliseconds(kAnswerTimeoutMs));
    ws::processEventsExceptInput();
}

// Asks for a new client size and waits, bounded, for the window system's
// answer: a notification carrying the size asked for, or another size the
// window manager chose instead. A notification that still carries the old
// size answers an earlier request, such as a move.
void QtWindow::requestClientSize(QSize client) {
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

void QtWindow::requestOuterSize(PixelSize wanted) {
    if (!m_window->isVisible() || m_window->isMinimized()) {
        // Nothing to ask a window manager yet (or the window is iconified,
        // which it may refuse to size): take the size for later.
        const PixelMargins f = extents();
        m_window->resize(std::max(1, wanted.width - f.left - f.right),
                         std::max(1, wanted.height - f.top - f.bottom));
        return;
    }
    // The frame may differ from the one assumed (the window manager may have
    // framed the window only now); then ask again with the real frame.
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        const PixelMargins frame = extents();
        const QSize client(std::max(1, wanted.width - frame.left - frame.right),
                           std::max(1, wanted.height - frame.top - frame.bottom));
        if (client != m_window->size())
            requestClientSize(client);
        if (extents() == frame)
            break;
    }
    m_lastExtents = extents();
}

void QtWindow::setBackColor(OleColor color) {
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    m_client->setPalette(palette);
}

// Qt's notifications ----------------------------------------------------------

void QtWindow::onQtResize() {
    m_form.platformResized();
}

void QtWindow::onWindowStateChange(bool minimisedChanged) {
    // Minimising and restoring change no X geometry, yet they are resizes.
    if (minimisedChanged)
        m_form.platformResized();
}

void QtWindow::onFrameChanged() {
    if (!m_window->isVisible())
        return;
    const auto now = ws::frameExtents(m_window);
    if (!now || now == m_lastExtents)
        return;
    m_lastExtents = now;
    m_platform.rememberFrame(m_border, *now);
    // A new frame changes the outer size although the client stayed.
    m_form.platformResized();
}

// Showing -------------------------------------------------------------------

void QtWindow::showFirst() {
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
        m_platform.rememberFrame(m_border, *m_lastExtents);
    focusFirstControl();
    ws::releaseHeldInput();
}

void QtWindow::show() {
    m_window->show();
}

void QtWindow::hide() {
    m_window->hide();
}

void QtWindow::prepareModal(WindowPeer* owner) {
    m_window->setWindowModality(Qt::ApplicationModal);
    createNativeWindow(); // so that it can name its owner
    auto* ownerWindow = static_cast<QtWindow*>(owner);
    if (ownerWindow && ownerWindow->window()->windowHandle())
        m_window->windowHandle()->setTransientParent(ownerWindow->window()->windowHandle());
}

void QtWindow::activate() {
    m_window->raise();
    m_window->activateWindow();
    focusFirstControl();
}

void QtWindow::runModalLoop() {
    QEventLoop loop;
    m_modalLoop = &loop;
    m_platform.pushLoop(&loop);
    loop.exec();
    m_platform.popLoop(&loop);
    m_modalLoop = nullptr;
}

void QtWindow::endModalLoop() {
    if (m_modalLoop)
        m_modalLoop->quit();
}

void QtWindow::holdPainting(bool hold) {
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

} // namespace forms::qt
