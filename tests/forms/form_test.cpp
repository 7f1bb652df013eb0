#include "forms/form.h"
#include "window/main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace iitcalc::forms {
namespace {

// A small form of its own, so the layer can be driven into the failures
// the real layout never reaches.
constexpr std::array<ControlRecord, 3> kControls{{
    {.name = "大图框",
     .kind = ControlKind::PictureBox,
     .parent = "",
     .left = 0,
     .top = 0,
     .width = 3000,
     .height = 2000000000,
     .tabIndex = 0},
    {.name = "box",
     .kind = ControlKind::TextBox,
     .parent = "大图框",
     .left = 150,
     .top = 150,
     .width = 1500,
     .height = 300,
     .tabIndex = 1},
    {.name = "滚动条",
     .kind = ControlKind::ScrollBar,
     .parent = "",
     .left = 3000,
     .top = 0,
     .width = 255,
     .height = 1500,
     .tabIndex = 2},
}};
constexpr FormRecord kForm{.name = "form",
                           .caption = u"test",
                           .clientWidth = 3300,
                           .clientHeight = 3000,
                           .font = {"宋体", 9, false},
                           .iconPath = "",
                           .controls = kControls};

struct Recorder {
    std::vector<int> numbers;
    ErrorReporter reporter()
    {
        return [this](QWidget *, const RunTimeFailure &failure) { numbers.push_back(failure.number()); };
    }
};

TEST(Form, LoadFailureIsReportedOnceAndTheWindowStillOpens)
{
    Recorder recorder;
    // The panel's height gives a scroll range beyond 16 bits.
    Form form(kForm,
              {{"form", Event::Load,
                [](Form &f) {
                    f.setMax("滚动条", 0);
                    window::mainFormLoaded(f);
                }}},
              recorder.reporter());
    form.show();
    EXPECT_EQ(recorder.numbers, std::vector<int>{6});
    EXPECT_TRUE(form.window()->isVisible());
}

TEST(Form, PropertyAccessThatCannotWorkIsARunTimeFailure)
{
    Recorder recorder;
    Form form(kForm,
              {{"form", Event::Activate,
                [](Form &f) {
                    f.setText("box", u"written");
                    f.setText("no such control", u"x");
                    f.setText("box", u"never");
                }},
               {"box", Event::Click, [](Form &f) { (void)f.value("box"); }}},
              recorder.reporter());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.window()));
    EXPECT_EQ(recorder.numbers, std::vector<int>{kObjectRequired});
    EXPECT_EQ(qobject_cast<QLineEdit *>(form.widget("box"))->text(), "written");
    EXPECT_THROW((void)form.value("box"), RunTimeFailure);
    EXPECT_THROW((void)form.height("滚动条x"), RunTimeFailure);
}

TEST(Form, ClosingTheWindowUnloadsIt)
{
    Form form(kForm, {});
    form.show();
    QPointer<QWidget> window = form.window();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form.isLoaded());
    EXPECT_TRUE(window.isNull());
    form.show();
    EXPECT_TRUE(form.isLoaded());
}

} // namespace
} // namespace iitcalc::forms
