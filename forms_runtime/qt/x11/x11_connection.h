#pragma once
// Qt's connection to the X server and the few protocol helpers the backend
// builds on: atoms, properties, and client messages to the window manager.

#include <QList>
#include <xcb/xcb.h>

namespace forms::x11 {

// Qt's own connection, or null when Qt does not run on xcb.
xcb_connection_t* connection();

xcb_window_t rootWindow(xcb_connection_t* c);

// Interned once per name.
xcb_atom_t atom(xcb_connection_t* c, const char* name);

// A property of 32-bit items; empty when absent.
QList<quint32> property32(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type,
                          quint32 maxItems);

// True when a window manager is running that identifies itself through
// _NET_SUPPORTING_WM_CHECK (a dead one leaves the property behind).
bool windowManagerRuns(xcb_connection_t* c);

// True when the running window manager lists the atom in _NET_SUPPORTED.
bool windowManagerSupports(xcb_connection_t* c, const char* name);

// Sends an EWMH client message about window to the root window, where the
// window manager takes it, and flushes.
void sendToWindowManager(xcb_connection_t* c, xcb_window_t window, const char* type,
                         const quint32 (&data)[5]);

} // namespace forms::x11
