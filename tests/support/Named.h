#pragma once
// Finds a form's widget (or action, or menu) by its object name, as the form's .ui file names it,
// so that tests reach a window the way a person does: by the controls it shows, not its members.

#include <QDialog>
#include <QObject>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace testsupport {

/// The descendant of Form named Name, of type W; a window of its own that Form owns (a dialog
/// it opened) is not searched. Fails the test when there is no such child, or more than one.
template <class W>
W* Named(const QObject& Form, const char* Name) {
    W* Found = nullptr;
    int Count = 0;
    for (W* Candidate : Form.findChildren<W*>(QString::fromLatin1(Name))) {
        bool InDialog = false;
        for (const QObject* Up = Candidate->parent(); Up != nullptr && Up != &Form; Up = Up->parent())
            InDialog = InDialog || qobject_cast<const QDialog*>(Up) != nullptr;
        if (!InDialog) {
            Found = Candidate;
            ++Count;
        }
    }
    if (Count != 1) {
        const std::string Message = std::string("form ") + Form.objectName().toStdString() + " has " +
                                    std::to_string(Count) + " children named " + Name;
        ADD_FAILURE() << Message;
        throw std::logic_error(Message);
    }
    return Found;
}

} // namespace testsupport
