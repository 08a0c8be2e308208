// The one guard that keeps exceptions out of Qt's event loop. Qt's frames
// are not exception-safe, so nothing may unwind through them: every handler
// that Qt calls (a connected signal, an overridden event handler) runs its
// body through Guarded, and what escapes the body ends the command at the
// application's error display.
#pragma once

#include "gui/Dialogs.h"

#include <QObject>
#include <QWidget>

#include <exception>
#include <type_traits>

namespace gui {

template <class Body>
void Guarded(QWidget* parent, Body&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ShowApplicationError(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        ShowApplicationError(parent, QStringLiteral("Neznana napaka"));
    }
}

namespace detail {

// A handler takes the signal's arguments or none; a member function is
// called on the receiver.
template <class Receiver, class Handler, class... Args>
void CallHandler(Receiver* receiver, Handler& handler, const Args&... args) {
    if constexpr (std::is_member_function_pointer_v<Handler>) {
        if constexpr (std::is_invocable_v<Handler&, Receiver*, const Args&...>)
            (receiver->*handler)(args...);
        else
            (receiver->*handler)();
    } else if constexpr (std::is_invocable_v<Handler&, const Args&...>) {
        handler(args...);
    } else {
        handler();
    }
}

}  // namespace detail

// connect() whose handler runs through Guarded, with the receiver as the
// error display's parent and as the connection's context.
template <class Sender, class Signal, class Receiver, class Handler>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver, Handler handler) {
    static_assert(std::is_base_of_v<QWidget, Receiver>, "the receiver parents the error display");
    return QObject::connect(sender, signal, receiver, [receiver, handler](const auto&... args) mutable {
        Guarded(receiver, [&] { detail::CallHandler(receiver, handler, args...); });
    });
}

}  // namespace gui
