#include "x11_connection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>

namespace forms::x11 {

xcb_connection_t* connection() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    static QHash<QByteArray, xcb_atom_t> cache;
    const QByteArray key(name);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(key.size()), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    cache.insert(key, value);
    return value;
}

QList<quint32> property32(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type,
                          quint32 maxItems) {
    QList<quint32> items;
    auto cookie = xcb_get_property(c, 0, w, prop, type, 0, maxItems);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (reply && reply->format == 32 && reply->type == type) {
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
        const int n = xcb_get_property_value_length(reply) / 4;
        items = QList<quint32>(data, data + n);
    }
    std::free(reply);
    return items;
}

bool windowManagerRuns(xcb_connection_t* c) {
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    const auto onRoot = property32(c, rootWindow(c), check, XCB_ATOM_WINDOW, 1);
    if (onRoot.isEmpty())
        return false;
    // A window manager that died leaves the property behind; its check
    // window names itself only while it lives.
    const auto onChild = property32(c, onRoot.first(), check, XCB_ATOM_WINDOW, 1);
    return !onChild.isEmpty() && onChild.first() == onRoot.first();
}

bool windowManagerSupports(xcb_connection_t* c, const char* name) {
    const auto supported =
        property32(c, rootWindow(c), atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024);
    return supported.contains(atom(c, name)) && windowManagerRuns(c);
}

void sendToWindowManager(xcb_connection_t* c, xcb_window_t window, const char* type,
                         const quint32 (&data)[5]) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, type);
    for (int i = 0; i < 5; ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(c, 0, rootWindow(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

} // namespace forms::x11
