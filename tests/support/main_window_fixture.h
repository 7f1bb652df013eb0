#pragma once

#include "forms/form.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace iitcalc::testing_support {

// The main window, opened as the program opens it, with every run-time
// failure recorded instead of shown.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<forms::Form>(
            window::mainFormLayout(), window::mainFormBindings(),
            [this](QWidget *, const forms::RunTimeFailure &failure) { reports.push_back(failure.report()); });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->window()));
    }

    void TearDown() override
    {
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <class Widget = QWidget>
    Widget *control(const char *name) const
    {
        auto *widget = qobject_cast<Widget *>(form->widget(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QLineEdit *box(const char *name) const { return control<QLineEdit>(name); }
    QString text(const char *name) const { return box(name)->text(); }

    void type(const char *name, const QString &text)
    {
        QLineEdit *target = box(name);
        target->setFocus();
        target->selectAll();
        if (text.isEmpty())
            QTest::keyClick(target, Qt::Key_Delete);
        // Key events carrying the text, as an input method delivers it.
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }
    }

    // Replaces a box's text with a paste from the clipboard.
    void paste(const char *name, const QString &text)
    {
        QLineEdit *target = box(name);
        target->setFocus();
        target->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    }

    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    // Clear, then let the event loop delete the old window and activate the
    // new one, as it would between two user actions.
    void clear()
    {
        click("清空按钮");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->window()));
    }

    std::vector<QString> fieldTexts() const
    {
        return {text("个人收入"), text("五险一金之和"), text("个税起征点"), text("税基"), text("应缴税额")};
    }

    std::unique_ptr<forms::Form> form;
    std::vector<std::string> reports;
};

} // namespace iitcalc::testing_support
