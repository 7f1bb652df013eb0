// The forms core on the in-memory backend: checking a layout before anything
// is built, dispatch that never lets an exception out, property failures,
// and Activate once per opening.
#include "forms/fake/fake_backend.h"
#include "forms/form.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace iitcalc::forms {
namespace {

using K = ControlKind;

// A control at no particular place, and a form holding the given ones.
// clang-format off
ControlRecord rec(std::string_view name, K kind, std::string_view parent = "", int tabIndex = -1)
{
    return {.name = name, .kind = kind, .parent = parent, .left = 0, .top = 0, .width = 300, .height = 300,
            .tabIndex = tabIndex};
}

FormRecord formOf(std::span<const ControlRecord> controls)
{
    return {.name = "form", .caption = u"test", .clientWidth = 3000, .clientHeight = 3000,
            .font = {"宋体", 9, false}, .iconPath = "", .controls = controls};
}
// clang-format on

void nothing(Form &) {}
Binding bind(std::string_view control, Event event) { return {control, event, nothing}; }

const ControlRecord kPanel = rec("panel", K::PictureBox, "", 0);
const ControlRecord kBox = rec("a", K::TextBox);

ControlRecord withBuddy(ControlRecord record, std::string_view buddy) { return record.buddy = buddy, record; }
ControlRecord scrolled(ControlRecord record, std::string_view bar) { return record.scrolledBy = bar, record; }
ControlRecord addressed(ControlRecord record, bool link)
{
    return record.link = link, record.address = u"http://www.example.com", record;
}

TEST(CheckLayout, NamesTheControlAndTheFault)
{
    struct Row {
        const char *name;
        std::vector<ControlRecord> controls;
        std::vector<Binding> bindings;
        std::string fault; // empty: none; else what the one fault line contains
    };
    // clang-format off
    const Row rows[] = {
    Row{"sound", {kPanel, rec("b", K::CommandButton, "panel", 1), rec("l", K::Label, "form")},
              {bind("b", Event::Click), bind("l", Event::MouseMove), bind("form", Event::Load)}, ""},
    Row{"unknown_parent", {rec("b", K::Label, "x")}, {}, "\"b\": parent \"x\" does not exist"},
    Row{"parent_after_child", {rec("b", K::Label, "panel"), kPanel}, {}, "\"b\": parent \"panel\" comes after"},
    Row{"parent_not_a_container", {kBox, rec("b", K::Label, "a")}, {}, "\"b\": parent \"a\" is not a picture box"},
    Row{"duplicate_name", {kBox, rec("a", K::Label)}, {}, "\"a\": the name is given twice"},
    Row{"name_of_the_form", {rec("form", K::Label)}, {}, "\"form\": the name is given twice"},
    Row{"empty_name", {rec("", K::Label)}, {}, "no name"},
    Row{"tab_index_twice", {rec("a", K::TextBox, "", 0), rec("b", K::TextBox, "", 0)}, {}, "\"b\": TabIndex 0 is also \"a\"'s"},
    Row{"binding_without_control", {kBox}, {bind("b", Event::Click)}, "\"b\": a handler is bound but no such control"},
    Row{"click_on_a_text_box", {kBox}, {bind("a", Event::Click)}, "\"a\": a handler is bound to an event"},
    Row{"change_on_a_button", {rec("a", K::CommandButton)}, {bind("a", Event::Change)}, "never raises"},
    Row{"load_on_a_control", {rec("a", K::Label)}, {bind("a", Event::Load)}, "never raises"},
    Row{"click_on_the_form", {}, {bind("form", Event::Click)}, "\"form\": a handler is bound to an event"},
    Row{"two_handlers_for_one_event", {kBox}, {bind("form", Event::Load), bind("form", Event::Load)}, "two handlers"},
    Row{"empty_handler", {rec("a", K::Label)}, {{"a", Event::Click, {}}}, "no handler"},
    Row{"buddy_not_a_box", {withBuddy(rec("l", K::Label), "b"), rec("b", K::CommandButton)}, {}, "\"l\": buddy \"b\" is not a text box"},
    Row{"buddy_missing", {withBuddy(rec("l", K::Label), "x")}, {}, "buddy \"x\""},
    Row{"scrolled_by_a_box", {scrolled(kPanel, "a"), kBox}, {}, "\"panel\": only a picture box is scrolled"},
    Row{"a_label_scrolled", {scrolled(rec("l", K::Label), "bar"), rec("bar", K::ScrollBar)}, {}, "only a picture box"},
    Row{"address_of_no_link", {addressed(rec("l", K::Label), false)}, {}, "\"l\": an address is given to a control that is not a link"},
    Row{"address_of_a_link", {addressed(rec("l", K::Label), true)}, {}, ""}};
    // clang-format on
    for (const Row &row : rows) {
        const auto faults = checkLayout(formOf(row.controls), row.bindings);
        ASSERT_EQ(faults.size(), row.fault.empty() ? 0u : 1u) << row.name;
        if (!row.fault.empty()) {
            EXPECT_NE(faults[0].find(row.fault), std::string::npos) << row.name << ": " << faults[0];
        }
    }
}

TEST(CheckLayout, TheMainWindowIsSound)
{
    EXPECT_EQ(checkLayout(window::mainFormLayout(), window::mainFormBindings()), std::vector<std::string>{});
}

std::vector<std::string_view> names(const Form &form, std::span<const ControlIndex> indices)
{
    std::vector<std::string_view> result;
    for (const ControlIndex index : indices)
        result.push_back(form.layout().controls[index].name);
    return result;
}

TEST(Plan, TheMainWindowsOrdersAndNames)
{
    const Form form(window::mainFormLayout(), window::mainFormBindings(), std::make_unique<FakeBackend>());
    const WindowPlan &plan = form.windowPlan();
    // Labels carry a TabIndex but never take the focus.
    EXPECT_EQ(names(form, plan.tabOrder),
              (std::vector<std::string_view>{"大图框", "个税起征点", "五险一金之和", "个人收入", "税基", "应缴税额",
                                             "清空按钮", "计算按钮", "滚动条"}));
    // The layout lists the controls front to back: the link over the notice.
    const auto stacking = names(form, plan.backToFront);
    EXPECT_EQ(stacking.front(), "Label57");
    EXPECT_EQ(stacking.back(), "滚动条");
    EXPECT_LT(std::find(stacking.begin(), stacking.end(), "Label57"),
              std::find(stacking.begin(), stacking.end(), "主页"));
    EXPECT_EQ(names(form, plan.readingOrder),
              (std::vector<std::string_view>{"大图框", "滚动条", "Label49", "Label48", "Label47", "Label1", "个人收入",
                                             "Label10", "税基", "Label2", "五险一金之和", "Label43", "应缴税额",
                                             "Label3", "个税起征点", "计算按钮", "清空按钮", "Label57", "主页"}));
    std::map<std::string_view, std::string_view> buddies; // box: label
    for (const Buddy &buddy : plan.buddies)
        buddies[form.layout().controls[buddy.box].name] = form.layout().controls[buddy.label].name;
    EXPECT_EQ(buddies, (std::map<std::string_view, std::string_view>{{"个人收入", "Label1"},
                                                                     {"五险一金之和", "Label2"},
                                                                     {"个税起征点", "Label3"},
                                                                     {"税基", "Label10"},
                                                                     {"应缴税额", "Label43"}}));

    std::map<std::string_view, std::u16string_view> named;
    for (const ControlPlan &control : form.controlPlans())
        named[control.record->name] = control.accessibleName;
    EXPECT_EQ(named["五险一金之和"], u"五险一金之和"); // from its caption label
    EXPECT_EQ(named["大图框"], u"计算器面板");
    EXPECT_EQ(named["计算按钮"], u"计算");
    EXPECT_EQ(named["Line1"], u"");
    EXPECT_EQ(named["Label57"].find(u'\n'), std::u16string_view::npos);
    EXPECT_NE(named["Label57"].find(u"欲知更多"), std::u16string_view::npos);
}

TEST(FormDeathTest, AFaultyLayoutStopsTheBuildLoudly)
{
    const std::array controls{rec("b", K::CommandButton, "nowhere")};
    const auto build = [&] { Form form(formOf(controls), {}, std::make_unique<FakeBackend>()); };
#ifdef NDEBUG
    EXPECT_THROW(build(), LayoutError);
#else
    EXPECT_DEATH(build(), "\"b\": parent \"nowhere\" does not exist");
#endif
}

// A small form on the fake backend, its failures recorded.
class SmallForm : public testing::Test {
protected:
    std::unique_ptr<Form> build(std::span<const ControlRecord> controls, std::vector<Binding> bindings)
    {
        auto backend = std::make_unique<FakeBackend>();
        fake = backend.get();
        reports.clear();
        auto form =
            std::make_unique<Form>(formOf(controls), std::move(bindings), std::move(backend),
                                   [this](const RunTimeFailure &failure) { reports.push_back(failure.report()); });
        form->show();
        return form;
    }

    FakeBackend *fake = nullptr;
    std::vector<std::string> reports;
};

// One whose button runs what a test asks for.
class Dispatch : public SmallForm {
protected:
    const std::array<ControlRecord, 3> controls{rec("box", K::TextBox, "", 1), rec("button", K::CommandButton, "", 2),
                                                rec("line", K::Line)};

    std::unique_ptr<Form> open(Handler onClick, Handler onActivate = nothing)
    {
        return build(controls,
                     {{"button", Event::Click, std::move(onClick)}, {"form", Event::Activate, std::move(onActivate)}});
    }
};

// A panel scrolled by a bar of three positions, with a box on the panel.
class Scrolling : public SmallForm {
protected:
    void SetUp() override
    {
        form = build(controls, {{"form", Event::Load, [](Form &f) { f.setMax("bar", 3); }},
                                {"bar", Event::Change, [this](Form &f) { changes.push_back(f.value("bar")); }},
                                {"button", Event::Click, [this](Form &f) { f.setValue("bar", next); }}});
    }

    const std::array<ControlRecord, 5> controls{scrolled(kPanel, "bar"), rec("bar", K::ScrollBar, "", 1),
                                                rec("box", K::TextBox, "panel", 2), rec("other", K::PictureBox),
                                                rec("button", K::CommandButton, "", 3)};
    std::unique_ptr<Form> form;
    std::vector<std::int16_t> changes;
    std::int16_t next = 0;
};

TEST_F(Scrolling, TheWheelAnywhereOverTheWindowTurnsTheBarOnePositionANotch)
{
    struct Row {
        const char *name;
        std::vector<std::pair<const char *, int>> turns; // over, delta
        std::vector<std::int16_t> changes;
    };
    const Row rows[] = {
        {"over a control on the panel", {{"box", -120}}, {1}},
        {"over the panel, notches down and up", {{"panel", -240}, {"panel", 120}}, {2, 1}},
        {"over the bar itself", {{"bar", -120}}, {1}},
        {"over the bare window", {{"", -360}}, {3}},
        {"over a picture box nothing scrolls", {{"other", -120}}, {1}},
        {"over a button beside the panel", {{"button", -120}}, {1}},
        {"up at the top, past the end", {{"panel", 120}, {"panel", -1200}, {"panel", -120}}, {3}},
        {"fine steps add up to a notch", {{"panel", -60}, {"box", -59}, {"bar", -1}}, {1}},
        {"and cancel out", {{"panel", -100}, {"panel", 100}, {"panel", -100}}, {}},
        {"the largest turns", {{"panel", -2147483647}, {"panel", 2147483647}, {"", -2147483647 - 1}}, {3, 0, 3}},
        {"short of a notch, forgotten in a new window", {{"panel", -100}, {"reopen", 0}, {"panel", -100}}, {}},
    };
    for (const Row &row : rows) {
        form->unload(); // a fresh window: nothing left over of an earlier turn
        form->show();
        changes.clear();
        for (const auto &[over, delta] : row.turns) {
            if (std::string_view(over) == "reopen")
                form->unload(), form->show();
            else
                fake->turnWheelBy(over, delta);
        }
        EXPECT_EQ(changes, row.changes) << row.name;
    }
}

TEST_F(Scrolling, WritingValueRaisesChangeOnceItMovesAndRefusesWhatIsOutOfRange)
{
    for (const int value : {2, 2, 0, 3})
        next = static_cast<std::int16_t>(value), fake->click("button");
    EXPECT_EQ(changes, (std::vector<std::int16_t>{2, 0, 3}));
    EXPECT_TRUE(reports.empty());
    for (const int value : {-1, 4})
        next = static_cast<std::int16_t>(value), fake->click("button");
    EXPECT_EQ(reports, std::vector<std::string>(2, "运行时错误 380：无效的属性值"));
    EXPECT_EQ(fake->control("bar").value, 3);
}

TEST_F(Scrolling, ChangeFollowsEveryRequestThatMovesTheBarAndNoOther)
{
    struct Row {
        const char *name;
        std::function<void(FakeBackend &)> act;
        std::int16_t value;
        std::vector<std::int16_t> changes;
    };
    const Row rows[] = {
        {"steps down and back", [](FakeBackend &b) { b.scrollBy("bar", 2), b.scrollBy("bar", -1); }, 1, {1, 2, 1}},
        {"a step past either end",
         [](FakeBackend &b) { b.scrollBy("bar", -1), b.scroll("bar", ScrollRequest::ToBottom), b.scrollBy("bar", 1); },
         3,
         {3}},
        {"home and end",
         [](FakeBackend &b) { b.scroll("bar", ScrollRequest::ToBottom), b.scroll("bar", ScrollRequest::ToTop); },
         0,
         {3, 0}},
        {"a drag moves the thumb alone", [](FakeBackend &b) { b.dragThumb("bar", 2); }, 0, {}},
        {"the thumb let go elsewhere",
         [](FakeBackend &b) { b.dragThumb("bar", 1), b.dragThumb("bar", 2), b.releaseThumb("bar"); },
         2,
         {2}},
        {"the thumb let go where it was",
         [](FakeBackend &b) { b.dragThumb("bar", 2), b.dragThumb("bar", 0), b.releaseThumb("bar"); },
         0,
         {}},
        {"the thumb let go past the end",
         [](FakeBackend &b) { b.dragThumb("bar", 40), b.releaseThumb("bar"); },
         3,
         {3}},
    };
    for (const Row &row : rows) {
        form->unload();
        form->show();
        changes.clear();
        row.act(*fake);
        EXPECT_EQ(form->value("bar"), row.value) << row.name;
        EXPECT_EQ(changes, row.changes) << row.name;
    }
}

TEST_F(Scrolling, AMaxBelowTheValueMovesItToTheNewEndWithOneChange)
{
    struct Row {
        const char *name;
        std::int16_t before, max;
        std::int16_t value;
        std::vector<std::int16_t> changes;
    };
    const Row rows[] = {{"below the value", 3, 1, 1, {1}},          {"at the value", 2, 2, 2, {}},
                        {"above the value", 2, 9, 2, {}},           {"zero", 2, 0, 0, {0}},
                        {"negative: Max..0 holds 0", 0, -2, 0, {}}, {"negative from above", 3, -2, 0, {0}}};
    for (const Row &row : rows) {
        form->setMax("bar", 9);
        form->setValue("bar", row.before);
        changes.clear();
        form->setMax("bar", row.max);
        EXPECT_EQ(std::tuple(form->value("bar"), changes, fake->control("bar").range),
                  std::tuple(row.value, row.changes, scrollRange(row.max)))
            << row.name;
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(Dispatch, EnterOnAFocusedButtonClicksItOnceAndTheCoreKeepsWhatItTakes)
{
    int clicks = 0;
    const auto form = open([&](Form &) { ++clicks; });
    fake->click("button");
    clicks = 0;
    const bool taken[] = {fake->pressKey(Key::Enter), fake->pressKey(Key::Enter, false, true),
                          fake->pressKey(Key::Escape), fake->pressKey(Key::Enter, true)};
    EXPECT_EQ(std::vector<bool>(std::begin(taken), std::end(taken)), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(clicks, 1);
    fake->type("box", u"x");
    EXPECT_TRUE(fake->pressKey(Key::Enter));
    EXPECT_EQ(clicks, 1);
}

TEST_F(Dispatch, WhateverAHandlerThrowsIsReportedOnceAndTheWindowStaysOpen)
{
    struct Row {
        Handler handler;
        std::string report;
    };
    const Row rows[] = {
        {[](Form &) { throw runTimeFailure(6, "溢出"); }, "运行时错误 6：溢出"},
        {[](Form &) { throw std::bad_alloc(); }, "运行时错误 7：内存不足"},
        {[](Form &) { throw std::length_error("too long"); }, "运行时错误 51：内部错误（too long）"},
        {[](Form &) { throw 42; }, "运行时错误 51：内部错误"},
        // Property access that cannot work.
        {[](Form &f) { f.setText("nobody", u"x"); }, "运行时错误 424：要求对象"},
        {[](Form &f) { (void)f.text("button"); }, "运行时错误 438：对象不支持该属性或方法"},
        {[](Form &f) { (void)f.value("box"); }, "运行时错误 438：对象不支持该属性或方法"},
        {[](Form &f) { f.setMax("box", 1); }, "运行时错误 438：对象不支持该属性或方法"},
        {[](Form &f) { f.setTop("line", 1); }, "运行时错误 438：对象不支持该属性或方法"},
        {[](Form &f) { (void)f.height("form"); }, "运行时错误 438：对象不支持该属性或方法"},
    };
    for (const Row &row : rows) {
        auto form = open([&](Form &f) {
            f.setText("box", u"written");
            row.handler(f);
            f.setText("box", u"never");
        });
        fake->click("button");
        EXPECT_EQ(reports, std::vector<std::string>{row.report});
        EXPECT_TRUE(fake->shown()) << row.report;
        EXPECT_EQ(fake->control("box").text, u"written") << row.report;
    }
    auto form = open(nothing);
    form->unload();
    EXPECT_THROW((void)form->text("box"), RunTimeFailure);
}

TEST_F(Dispatch, NoEventIsRunningOnceAHandlerHasReturnedOrThrown)
{
    std::vector<std::string> seen;
    const auto running = [&] { return runningEvent() ? std::string(runningEvent()->control) : std::string("none"); };
    auto form = open(
        [&](Form &f) {
            seen.push_back(running());
            f.unload(); // Clear's way: the window again, Load and Activate inside this handler
            f.show();
            seen.push_back(running());
            throw std::runtime_error("after");
        },
        [&](Form &) { seen.push_back(running()); });
    seen.clear();
    fake->click("button");
    seen.push_back(running());
    EXPECT_EQ(seen, (std::vector<std::string>{"button", "form", "button", "none"}));
}

TEST_F(Dispatch, ActivateRunsOncePerOpening)
{
    int activations = 0;
    auto form = open(nothing, [&](Form &) { ++activations; });
    fake->activate();
    fake->activate();
    EXPECT_EQ(activations, 1);
    form->unload();
    form->show();
    EXPECT_EQ(activations, 2);
}

TEST_F(Dispatch, NothingReachesAFormWhoseWindowIsGone)
{
    int clicks = 0;
    auto form = open([&](Form &) { ++clicks; });
    form->unload();
    fake->click("button");
    fake->activate();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(fake->built());

    // Nor is anything shown when Load itself unloads the window.
    auto backend = std::make_unique<FakeBackend>();
    FakeBackend *raw = backend.get();
    Form unloading(formOf(controls), {{"form", Event::Load, [](Form &f) { f.unload(); }}}, std::move(backend));
    unloading.show();
    EXPECT_FALSE(unloading.isLoaded());
    EXPECT_FALSE(raw->shown());
}

} // namespace
} // namespace iitcalc::forms
