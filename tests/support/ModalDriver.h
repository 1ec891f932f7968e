#pragma once

#include <QWidget>

#include <functional>

// Runs an action on the next modal window that opens (a dialog's exec() does not return until
// it is closed, so the test has to act from inside its loop). The action runs once, as soon as
// a modal widget other than the one active now appears; it gives up after timeoutMs, and when
// the test that asked for it has ended (its action may refer to that test's locals).
void WhenModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);
