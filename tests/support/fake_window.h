#pragma once

#include "forms/fake/fake_backend.h"
#include "forms/form.h"
#include "link/recording/link_recorder.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace iitcalc::testing_support {

// The main window opened on the in-memory backend, as the program opens
// it, with every run-time failure recorded instead of shown.
class FakeWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        link_recorder::requests() = {};
        auto backend = std::make_unique<forms::FakeBackend>();
        fake = backend.get();
        form = std::make_unique<forms::Form>(window::mainFormLayout(), window::mainFormBindings(), std::move(backend),
                                             [this](const forms::RunTimeFailure &f) { reports.push_back(f.report()); });
        form->show();
    }

    std::u16string text(std::string_view box) const { return fake->control(box).text; }
    std::vector<std::u16string> fieldTexts() const
    {
        using namespace window;
        return {text(kIncome), text(kInsurance), text(kThreshold), text(kTaxBase), text(kTaxPayable)};
    }
    std::int16_t scrollValue() const { return fake->control(window::kScrollBar).value; }
    float panelTop() const { return fake->control(window::kPanel).top; }

    forms::FakeBackend *fake = nullptr;
    std::unique_ptr<forms::Form> form;
    std::vector<std::string> reports;
};

inline const std::vector<std::u16string> kStartFields{u"", u"", u"3500", u"", u""};

} // namespace iitcalc::testing_support
