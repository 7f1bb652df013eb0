#pragma once

#include "forms/form.h"
#include "forms/qt/qt_backend.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace iitcalc::testing_support {

// The main window on the Qt backend (the offscreen platform in CTest), for
// what only a real toolkit shows: pixels, focus, fonts, widgets left behind.
class QtWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<forms::Form>(window::mainFormLayout(), window::mainFormBindings(),
                                             std::make_unique<forms::QtBackend>(),
                                             [this](const forms::RunTimeFailure &f) { reports.push_back(f.report()); });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    }

    void TearDown() override
    {
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget *window() const { return forms::windowOf(*form); }

    template <class Widget = QWidget>
    Widget *control(std::string_view name) const
    {
        auto *widget = qobject_cast<Widget *>(forms::widgetOf(*form, name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void click(std::string_view name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    QString text(std::string_view box) const { return control<QLineEdit>(box)->text(); }
    std::vector<QString> fieldTexts() const
    {
        using namespace window;
        return {text(kIncome), text(kInsurance), text(kThreshold), text(kTaxBase), text(kTaxPayable)};
    }

    // Clear, then let the event loop delete the old window and activate the
    // new one, as it would between two user actions.
    void clear()
    {
        click(window::kClearButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    }

    std::unique_ptr<forms::Form> form;
    std::vector<std::string> reports;
};

} // namespace iitcalc::testing_support
