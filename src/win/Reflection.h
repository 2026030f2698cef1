#pragma once

#include "win/Message.h"

// Sends a notification or control message that a child sent to its parent back to that child
// as REFLECT_BASE + message, and stores the child's answer in `m.result`. Returns false (and
// leaves `m` alone) when the message is not one that is reflected or names no child window.
bool ReflectNotification(Message& m);
