// The forms core on the in-memory backend: checking a layout before anything
// is built, dispatch that never lets an exception out, property failures,
// and Activate once per opening.
#include "forms/fake/fake_backend.h"
#include "forms/form.h"
#include "tests/support/row_name.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace iitcalc::forms {
namespace {

ControlRecord control(std::string_view name, ControlKind kind, std::string_view parent, int tabIndex = -1)
{
    return {.name = name,
            .kind = kind,
            .parent = parent,
            .left = 0,
            .top = 0,
            .width = 300,
            .height = 300,
            .tabIndex = tabIndex};
}

FormRecord formOf(std::span<const ControlRecord> controls)
{
    return {.name = "form",
            .caption = u"test",
            .clientWidth = 3000,
            .clientHeight = 3000,
            .font = {"宋体", 9, false},
            .iconPath = "",
            .controls = controls};
}

void nothing(Form &) {}

struct LayoutRow {
    const char *name;
    std::vector<ControlRecord> controls;
    std::vector<Binding> bindings;
    std::string fault; // empty: none; else what the one fault line contains
};
IITCALC_PRINTABLE_ROW(LayoutRow)

class CheckLayout : public testing::TestWithParam<LayoutRow> {};

TEST_P(CheckLayout, NamesTheControlAndTheFault)
{
    const LayoutRow &row = GetParam();
    const auto faults = checkLayout(formOf(row.controls), row.bindings);
    if (row.fault.empty()) {
        EXPECT_TRUE(faults.empty()) << faults.front();
        return;
    }
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_NE(faults[0].find(row.fault), std::string::npos) << faults[0];
}

using K = ControlKind;
const ControlRecord kPanel = control("panel", K::PictureBox, "", 0);

INSTANTIATE_TEST_SUITE_P(
    Rows, CheckLayout,
    testing::Values(
        LayoutRow{"sound",
                  {kPanel, control("b", K::CommandButton, "panel", 1), control("l", K::Label, "form")},
                  {{"b", Event::Click, nothing}, {"l", Event::MouseMove, nothing}, {"form", Event::Load, nothing}},
                  ""},
        LayoutRow{"unknown_parent",
                  {control("b", K::CommandButton, "nowhere")},
                  {},
                  "\"b\": parent \"nowhere\" does not exist"},
        LayoutRow{"parent_after_child",
                  {control("b", K::CommandButton, "panel"), kPanel},
                  {},
                  "\"b\": parent \"panel\" comes after"},
        LayoutRow{"parent_not_a_container",
                  {control("t", K::TextBox, ""), control("b", K::CommandButton, "t")},
                  {},
                  "\"b\": parent \"t\" is not a picture box"},
        LayoutRow{"duplicate_name",
                  {control("t", K::TextBox, ""), control("t", K::Label, "")},
                  {},
                  "\"t\": the name is given twice"},
        LayoutRow{"name_of_the_form", {control("form", K::TextBox, "")}, {}, "\"form\": the name is given twice"},
        LayoutRow{"empty_name", {control("", K::TextBox, "")}, {}, "no name"},
        LayoutRow{"tab_index_twice",
                  {control("a", K::TextBox, "", 3), control("b", K::TextBox, "", 3)},
                  {},
                  "\"b\": TabIndex 3 is also \"a\"'s"},
        LayoutRow{"binding_without_control",
                  {control("a", K::TextBox, "")},
                  {{"b", Event::Click, nothing}},
                  "\"b\": a handler is bound but no such control"},
        LayoutRow{"click_on_a_text_box",
                  {control("a", K::TextBox, "")},
                  {{"a", Event::Click, nothing}},
                  "\"a\": a handler is bound to an event"},
        LayoutRow{"change_on_a_button",
                  {control("a", K::CommandButton, "")},
                  {{"a", Event::Change, nothing}},
                  "never raises"},
        LayoutRow{"load_on_a_control", {control("a", K::Label, "")}, {{"a", Event::Load, nothing}}, "never raises"},
        LayoutRow{
            "click_on_the_form", {}, {{"form", Event::Click, nothing}}, "\"form\": a handler is bound to an event"},
        LayoutRow{"two_handlers_for_one_event",
                  {control("a", K::Label, "")},
                  {{"a", Event::Click, nothing}, {"a", Event::Click, nothing}},
                  "two handlers"},
        LayoutRow{"empty_handler", {control("a", K::Label, "")}, {{"a", Event::Click, {}}}, "no handler"}),
    testing_support::RowName());

TEST(CheckLayout, TheMainWindowIsSound)
{
    EXPECT_EQ(checkLayout(window::mainFormLayout(), window::mainFormBindings()), std::vector<std::string>{});
}

TEST(FormDeathTest, AFaultyLayoutStopsTheBuildLoudly)
{
    const std::array controls{control("b", K::CommandButton, "nowhere")};
    const auto build = [&] { Form form(formOf(controls), {}, std::make_unique<FakeBackend>()); };
#ifdef NDEBUG
    EXPECT_THROW(build(), LayoutError);
#else
    EXPECT_DEATH(build(), "\"b\": parent \"nowhere\" does not exist");
#endif
}

// A small form whose handlers throw what a test asks for.
class Dispatch : public testing::Test {
protected:
    const std::array<ControlRecord, 3> controls{
        control("box", K::TextBox, "", 1), control("button", K::CommandButton, "", 2), control("line", K::Line, "")};

    std::unique_ptr<Form> open(Handler onClick, Handler onActivate = nothing)
    {
        auto backend = std::make_unique<FakeBackend>();
        fake = backend.get();
        auto form = std::make_unique<Form>(
            formOf(controls),
            std::vector<Binding>{{"button", Event::Click, std::move(onClick)},
                                 {"form", Event::Activate, std::move(onActivate)}},
            std::move(backend), [this](const RunTimeFailure &failure) { reports.push_back(failure.report()); });
        form->show();
        return form;
    }

    FakeBackend *fake = nullptr;
    std::vector<std::string> reports;
};

TEST_F(Dispatch, WhateverAHandlerThrowsIsReportedOnceAndTheWindowStaysOpen)
{
    struct Row {
        const char *name;
        Handler handler;
        std::string report;
    };
    const Row rows[] = {
        {"run-time failure", [](Form &) { throw runTimeFailure(6, "溢出"); }, "运行时错误 6：溢出"},
        {"out of memory", [](Form &) { throw std::bad_alloc(); }, "运行时错误 7：内存不足"},
        {"other exception", [](Form &) { throw std::length_error("too long"); }, "运行时错误 51：内部错误（too long）"},
        {"not an exception", [](Form &) { throw 42; }, "运行时错误 51：内部错误"},
    };
    for (const Row &row : rows) {
        reports.clear();
        auto form = open([&](Form &f) {
            f.setText("box", u"written");
            row.handler(f);
        });
        fake->click("button");
        EXPECT_EQ(reports, std::vector<std::string>{row.report}) << row.name;
        EXPECT_TRUE(fake->shown()) << row.name;
        EXPECT_EQ(fake->control("box").text, u"written") << row.name;
    }
}

TEST_F(Dispatch, PropertyAccessThatCannotWorkIsARunTimeFailure)
{
    struct Row {
        const char *name;
        Handler access;
        int number;
    };
    const Row rows[] = {
        {"no such control", [](Form &f) { f.setText("nobody", u"x"); }, kObjectRequired},
        {"text of a button", [](Form &f) { (void)f.text("button"); }, kNoSuchProperty},
        {"value of a box", [](Form &f) { (void)f.value("box"); }, kNoSuchProperty},
        {"max of a box", [](Form &f) { f.setMax("box", 1); }, kNoSuchProperty},
        {"top of a line", [](Form &f) { f.setTop("line", 1); }, kNoSuchProperty},
        {"height of the form", [](Form &f) { (void)f.height("form"); }, kNoSuchProperty},
    };
    for (const Row &row : rows) {
        auto form = open(row.access);
        EXPECT_THROW(row.access(*form), RunTimeFailure) << row.name;
        try {
            row.access(*form);
        } catch (const RunTimeFailure &failure) {
            EXPECT_EQ(failure.number(), row.number) << row.name;
        }
    }
    auto form = open(nothing);
    form->unload();
    EXPECT_THROW((void)form->text("box"), RunTimeFailure);
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

TEST_F(Dispatch, ALoadThatUnloadsLeavesNothingShown)
{
    auto backend = std::make_unique<FakeBackend>();
    FakeBackend *raw = backend.get();
    Form form(formOf(controls), {{"form", Event::Load, [](Form &f) { f.unload(); }}}, std::move(backend));
    form.show();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_FALSE(raw->shown());
}

TEST_F(Dispatch, NoEventReachesAFormAfterItsWindowIsGone)
{
    int clicks = 0;
    auto form = open([&](Form &) { ++clicks; });
    form->unload();
    fake->click("button");
    fake->activate();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(fake->built());
}

} // namespace
} // namespace iitcalc::forms
