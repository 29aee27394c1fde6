#include "form.h"

#include "backend.h"
#include "colors.h"
#include "runtime.h"
#include "runtime_error.h"
#include "scoped_count.h"
#include "screen.h"
#include "window_request.h"

#include <algorithm>

namespace forms {

Form::Form(const WindowSpec& layout)
    : m_name(layout.name)
    , m_caption(layout.caption)
    , m_backColor(checkedColor(layout.backColor == kDefaultColor ? kButtonFace : layout.backColor))
    , m_fixedSize(layout.border == BorderStyle::FixedDialog)
    , m_peer(platform().createWindow(*this, layout)) {
    // A layout that fails to build leaves no window behind: the members
    // made so far are freed as the exception leaves the constructor, the
    // controls before the window that holds them.
    buildControls(layout);
    buildMenus(layout);
    finishBuilding();
    m_peer->setBackColor(m_backColor);
    Runtime::get().registerForm(this);
}

Form::~Form() {
    Runtime::get().unregisterForm(this);
}

void Form::buildControls(const WindowSpec& layout) {
    for (const ControlSpec& c : layout.controls) {
        ControlPeer* container = c.container ? &control(c.container).peer() : nullptr;
        auto made = std::make_unique<Control>(*this, c);
        made->attach(m_peer->createControl(*made, c, container));
        m_controls.push_back(std::move(made));
    }
}

void Form::buildMenus(const WindowSpec& layout) {
    for (const MenuSpec& m : layout.menus) {
        if (m.parent)
            menu(m.parent); // raises for an entry whose menu is missing
        m_menus.push_back(std::make_unique<MenuEntry>(*this, m));
        m_peer->addMenuEntry(*m_menus.back(), m);
    }
}

// The tab order follows the tab indices, not the listing (which gives the
// drawing order).
void Form::finishBuilding() {
    std::vector<Control*> order;
    for (const auto& c : m_controls)
        if (c->TabIndex() >= 0 && c->takesFocus())
            order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    m_peer->finishBuilding(order);
}

Control& Form::control(const String& name, Integer index) const {
    for (const auto& c : m_controls)
        if (c->Name() == name && c->Index() == index)
            return *c;
    const String what = index >= 0 ? name + "(" + number(index) + ")" : name;
    raiseError(ErrorCode::ControlNotFound, what + " on " + m_name);
}

std::vector<Control*> Form::array(const String& name) const {
    std::vector<Control*> members;
    for (const auto& c : m_controls)
        if (c->Name() == name && c->Index() >= 0)
            members.push_back(c.get());
    if (members.empty())
        raiseError(ErrorCode::ControlNotFound, "array " + name + " on " + m_name);
    std::sort(members.begin(), members.end(),
              [](const Control* a, const Control* b) { return a->Index() < b->Index(); });
    return members;
}

MenuEntry& Form::menu(const String& name) const {
    for (const auto& m : m_menus)
        if (m->Name() == name)
            return *m;
    raiseError(ErrorCode::ControlNotFound, "menu " + name + " on " + m_name);
}

void Form::raiseEvent(const char* event, const std::function<void()>& handler) {
    if (!handler)
        return;
    Runtime::get().raise([event, handler] {
        Runtime::get().notifyHandler(event);
        handler();
    });
}

// What the backend reports ------------------------------------------------------

void Form::platformResized() {
    if (m_ownChange > 0 || !m_shown)
        return; // the layer's own change raises its own Resize
    if (m_startDeferred) {
        if (!m_peer->minimised()) {
            m_startDeferred = false;
            firstActivation();
        }
        return;
    }
    raiseResize();
}

void Form::platformClicked() {
    raiseEvent("Click", Click);
}

void Form::platformKeyDown(int keyCode, int shift) {
    if (KeyDown)
        raiseEvent("KeyDown", [this, keyCode, shift] { KeyDown(keyCode, shift); });
}

void Form::platformCloseRequested() {
    if (m_endsProgramOnClose) {
        Runtime::get().raise([] { Runtime::get().End(0); });
        return;
    }
    Hide();
}

void Form::platformMenuChosen(MenuEntry& entry) {
    raiseEvent("Click", entry.Click);
}

void Form::raiseResize() {
    raiseEvent("Resize", Resize);
}

void Form::raiseFrameChange() {
    if (FrameChange)
        raiseEvent("FrameChange", FrameChange);
    else
        raiseResize();
}

void Form::takeAnswer(PixelSize outerSeen, PixelSize clientSeen) {
    if (!m_peer->visible() || m_peer->minimised())
        return;
    if (m_peer->outerRect().size() != outerSeen)
        raiseResize();
    else if (m_peer->clientSize() != clientSeen)
        raiseFrameChange();
}

// Showing -------------------------------------------------------------------

void Form::load() {
    if (m_loaded)
        return;
    m_loaded = true;
    raiseEvent("Load", Load);
}

bool Form::Visible() const {
    return m_peer->visible();
}

void Form::setBackColor(OleColor color) {
    m_backColor = checkedColor(color);
    m_peer->setBackColor(color);
}

void Form::Show() {
    load();
    if (m_shown) {
        commitGeometry();
        ScopedCount change(m_ownChange);
        m_peer->show();
        return;
    }
    // Started minimised (a shortcut set to run minimised), the window is not
    // the active one and has no size the user sees: its first Resize and
    // Activate wait until it is restored, when its frame can be measured.
    if (m_peer->showsMinimised()) {
        {
            ScopedCount change(m_ownChange);
            m_peer->showFirst();
        }
        m_shown = true;
        if (m_peer->minimised())
            m_startDeferred = true;
        else
            firstActivation();
        return;
    }
    showAtFirst();
}

// The window is laid out and placed before it is mapped: its first Resize
// and Activate run first (and with Activate whatever it chooses), and the
// window is mapped once, at the rectangle they gave it, showing what they
// left. A window manager that tells its frame only as it frames the window
// gets the rectangle asked for again with it, before anything is painted.
// Where the window manager sizes the window otherwise as it maps it, that is
// its answer, and a Resize takes it in; another place is only taken.
void Form::showAtFirst() {
    m_showing = true;
    firstActivation();
    commitGeometry(); // when Show ran inside a handler, its assignments too
    const PixelRect wanted = m_peer->outerRect();
    const PixelSize laidOutFor = m_peer->clientSize();
    const PixelMargins reckoned = m_peer->frame();
    m_peer->holdPainting(true);
    {
        ScopedCount change(m_ownChange);
        m_peer->showFirst();
        releaseShownSize(*m_peer);
        const PixelMargins framed = m_peer->frame();
        if (m_peer->visible() && !m_peer->minimised() && framed != reckoned) {
            // The client area stands where it was asked to (then the outer
            // corner is asked for again too), or where the window manager
            // put it.
            const PixelRect now = m_peer->outerRect();
            const bool asAsked = now.x + framed.left == wanted.x + reckoned.left &&
                                 now.y + framed.top == wanted.y + reckoned.top;
            requestRect(*m_peer, {asAsked ? wanted.x : now.x, asAsked ? wanted.y : now.y,
                                  wanted.width, wanted.height});
        }
    }
    m_shown = true;
    m_showing = false;
    takeAnswer(wanted.size(), laidOutFor);
    if (!Runtime::get().handlerRunning())
        m_peer->holdPainting(false);
}

void Form::firstActivation() {
    raiseResize();
    Runtime::get().setActiveForm(this);
    raiseEvent("Activate", Activate);
}

void Form::ShowModal() {
    load();
    Runtime& runtime = Runtime::get();
    Form* previous = runtime.activeForm();
    m_peer->prepareModal(previous && previous != this ? &previous->peer() : nullptr);
    // What the handler that shows the window assigned takes effect first:
    // the window appears where it was put.
    runtime.commitGeometry();
    {
        ScopedCount change(m_ownChange);
        if (!m_shown)
            m_peer->showFirst();
        else
            m_peer->show();
        m_shown = true;
    }
    m_peer->activate();
    runtime.setActiveForm(this);
    raiseEvent("Activate", Activate);

    m_modal = true;
    {
        Runtime::ModalScope scope;
        if (m_peer->visible())
            m_peer->runModalLoop();
    }
    m_modal = false;
    if (runtime.ended())
        throw ProgramEnded{};
    // The window that was active before becomes active again.
    if (previous && previous != this) {
        runtime.setActiveForm(previous);
        previous->raiseEvent("Activate", previous->Activate);
    }
}

void Form::Hide() {
    commitGeometry();
    {
        ScopedCount change(m_ownChange);
        m_peer->hide();
    }
    if (m_modal)
        m_peer->endModalLoop();
}

void Form::holdPainting(bool hold) {
    m_peer->holdPainting(hold);
}

void Form::closeForEnd() {
    if (m_modal)
        m_peer->endModalLoop();
    ScopedCount change(m_ownChange);
    m_peer->hide();
}

} // namespace forms
