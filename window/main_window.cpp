#include "window/main_window.h"

#include "calc/tax.h"
#include "calc/utf8.h"
#include "link/hand_cursor.h"
#include "link/hyperlink.h"
#include "window/layout.h"
#include "window/scrolling.h"

#include <optional>

namespace iitcalc::window {

std::string failureReport(RunTimeError error)
{
    std::string report = errorReport(error);
    switch (error) {
    case RunTimeError::TypeMismatch: // only the threshold is read strictly
        report += "\n个税起征点必须是一个数字，例如 3500。";
        break;
    case RunTimeError::Overflow:
        report += "\n数值超出了可以计算的范围。";
        break;
    }
    return report;
}

namespace {

[[noreturn]] void raise(RunTimeError error) { throw forms::RunTimeFailure(errorNumber(error), failureReport(error)); }

template <class T>
T valueOrRaise(const Result<T> &result)
{
    if (!result)
        raise(result.error());
    return *result;
}

} // namespace

void mainFormLoaded(forms::Form &form) { form.setMax(kScrollBar, valueOrRaise(scrollRangeFor(form.height(kPanel)))); }

void mainFormActivated(forms::Form &form) { form.setText(kThreshold, integerToText(kStandardThreshold).view()); }

void calculateClicked(forms::Form &form, const Separators &separators)
{
    const std::u16string insurance = form.text(kInsurance);
    const std::u16string threshold = form.text(kThreshold);
    const std::u16string income = form.text(kIncome);
    const TaxAssessment assessment = valueOrRaise(calculate(income, insurance, threshold, separators));
    form.setText(kTaxPayable, assessment.shownTaxPayable().view());
    form.setText(kTaxBase, assessment.taxBaseText.view());
}

void clearClicked(forms::Form &form)
{
    form.unload();
    form.show();
}

void scrollBarChanged(forms::Form &form) { form.setTop(kPanel, valueOrRaise(panelTopFor(form.value(kScrollBar)))); }

std::string homePageFailure()
{
    std::string text = "无法打开主页：这台电脑上没有可以打开网址的浏览器。\n请在浏览器的地址栏中输入 ";
    text += toUtf8(kHomePageAddress);
    text += " 。";
    return text;
}

void homePageClicked(forms::Form &form)
{
    // The same words whether the desktop refuses at once or its opener fails
    // after the click has returned.
    const auto tellUser = [&form] { form.showMessage(homePageFailure()); };
    if (!超级链接::openAddress(kHomePageAddress, tellUser))
        tellUser();
}

void homePageMouseMoved(forms::Form &) { 光标变手::setHandCursor(); }

void panelControlFocused(forms::Form &form)
{
    const std::string_view control = forms::runningEvent()->control;
    // The panel itself lies where the scroll bar's steps are counted from.
    const float top = control == kPanel ? 0.0f : form.top(control);
    const auto position = positionShowing(top, form.height(control), form.value(kScrollBar),
                                          valueOrRaise(scrollRangeFor(form.height(kPanel))),
                                          static_cast<float>(form.layout().clientHeight));
    if (position)
        form.setValue(kScrollBar, *position);
}

std::vector<forms::Binding> mainFormBindings()
{
    using forms::Event;
    // The user's locale does not change while the program runs: read at the
    // first Calculate, and kept as long as these bindings.
    const auto calculateInUserLocale = [separators = std::optional<Separators>()](forms::Form &form) mutable {
        if (!separators)
            separators = systemSeparators();
        calculateClicked(form, *separators);
    };
    std::vector<forms::Binding> bindings{
        {kMainForm, Event::Load, mainFormLoaded},
        {kMainForm, Event::Activate, mainFormActivated},
        {kCalculateButton, Event::Click, calculateInUserLocale},
        {kClearButton, Event::Click, clearClicked},
        {kScrollBar, Event::Change, scrollBarChanged},
        {kHomePage, Event::Click, homePageClicked},
        {kHomePage, Event::MouseMove, homePageMouseMoved},
        {kPanel, Event::GotFocus, panelControlFocused},
    };
    for (const forms::ControlRecord &control : mainFormLayout().controls) {
        if (control.parent == kPanel && forms::raises(control.kind, Event::GotFocus))
            bindings.push_back({control.name, Event::GotFocus, panelControlFocused});
    }
    return bindings;
}

} // namespace iitcalc::window
