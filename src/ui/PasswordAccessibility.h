#pragma once

class QAccessibleEvent;

namespace tavolux::ui {

// Keeps what is typed into password fields from assistive tools: the text
// events of a line edit that hides its text are passed on with a star for
// each character (nothing where the field shows nothing). Installed once for
// the process; every other event goes on as it is.
void protectPasswordFields();

// What the installed handler does with one event.
void passOnAccessibilityEvent(QAccessibleEvent *event);

// Test seam: where the events go after the filter (by default the
// platform's assistive-technology bridge); an empty handler restores it.
using AccessibilityForward = void (*)(QAccessibleEvent *event);
void setAccessibilityForward(AccessibilityForward forward);

} // namespace tavolux::ui
