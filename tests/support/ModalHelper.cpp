#include "tests/support/ModalHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {
namespace {
int Pending = 0;

void Poll(std::shared_ptr<std::function<void(QWidget*)>> Action, QWidget* Before,
          std::shared_ptr<QElapsedTimer> Clock, int TimeoutMs) {
    QWidget* Modal = QApplication::activeModalWidget();
    if (Modal != nullptr && Modal != Before && Modal->isVisible()) {
        --Pending;
        (*Action)(Modal);
        return;
    }
    if (Clock->elapsed() > TimeoutMs) {
        --Pending;
        ADD_FAILURE() << "no modal window appeared";
        return;
    }
    QTimer::singleShot(5, [=] { Poll(Action, Before, Clock, TimeoutMs); });
}
} // namespace

void AnswerNextModal(std::function<void(QWidget*)> Action, int TimeoutMs) {
    ++Pending;
    auto Shared = std::make_shared<std::function<void(QWidget*)>>(std::move(Action));
    auto Clock = std::make_shared<QElapsedTimer>();
    Clock->start();
    QWidget* Before = QApplication::activeModalWidget();
    QTimer::singleShot(0, [=] { Poll(Shared, Before, Clock, TimeoutMs); });
}

void AnswerNextMessageBox(QMessageBox::StandardButton Button, QString* Text) {
    AnswerNextModal([Button, Text](QWidget* W) {
        auto* Box = qobject_cast<QMessageBox*>(W);
        if (Box == nullptr) {
            ADD_FAILURE() << "the modal window is not a message box";
            W->close();
            return;
        }
        if (Text != nullptr)
            *Text = Box->text();
        if (QAbstractButton* B = Box->button(Button))
            B->click();
        else
            Box->done(Button);
    });
}

void AnswerFileDialog(const QString& Path, int FilterIndex, const std::function<void()>& Then) {
    AnswerNextModal([Path, FilterIndex, Then](QWidget* W) {
        auto* Dialog = qobject_cast<QFileDialog*>(W);
        if (Dialog == nullptr) {
            ADD_FAILURE() << "the modal window is not a file dialog";
            W->close();
            return;
        }
        if (FilterIndex > 0)
            Dialog->selectNameFilter(Dialog->nameFilters().value(FilterIndex - 1));
        Dialog->selectFile(Path);
        static_cast<QDialog*>(Dialog)->accept();
        if (Then)
            Then();
    });
}

void CancelFileDialog() {
    AnswerNextModal([](QWidget* W) {
        EXPECT_NE(qobject_cast<QFileDialog*>(W), nullptr);
        static_cast<QDialog*>(W)->reject();
    });
}

bool AllAnswered() {
    return Pending == 0;
}

} // namespace testsupport
