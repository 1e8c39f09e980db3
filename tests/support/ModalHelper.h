#pragma once
// Answers the next modal window that a test's call opens. Arm it before the call that shows the
// window; it waits (pumping events) for the window to become the active modal widget, then runs
// the action on it. The action usually clicks a button or calls done()/reject().

#include <QMessageBox>
#include <QWidget>

#include <functional>

namespace testsupport {

/// Runs Action on the next modal widget that appears within TimeoutMs milliseconds.
/// Returns immediately; the action runs from the event loop of the modal window.
void AnswerNextModal(std::function<void(QWidget*)> Action, int TimeoutMs = 5000);

/// Answers the next message box with Button; records its text in *Text when given.
void AnswerNextMessageBox(QMessageBox::StandardButton Button, QString* Text = nullptr);

/// Answers the next file dialog: picks the name filter FilterIndex (from 1; 0 keeps the
/// dialog's), types Path and accepts; then runs Then (to arm the answer to a window that the
/// choice opens).
void AnswerFileDialog(const QString& Path, int FilterIndex = 0, const std::function<void()>& Then = {});
/// Cancels the next file dialog.
void CancelFileDialog();

/// True when every armed answer has run (tests check it after the call returned).
bool AllAnswered();

} // namespace testsupport
