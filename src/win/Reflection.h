#pragma once

#include "win/Message.h"

// Sends a notification or control message that a child sent to its parent back to that child
// as REFLECT_BASE + message, and stores the child's answer in `m.result`. Returns false (and
// leaves `m` alone) when the message is not one that is reflected or names no child window.
bool ReflectNotification(Message& m);

// A parent's first step on WM_NOTIFY: when the sender is one of our controls that takes this
// notification back itself (Window::TakesOwnNotification), sends it back reflected and
// returns true with its answer in `m`.
bool ReflectToOwningControl(Message& m);
