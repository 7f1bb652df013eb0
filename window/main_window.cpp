#include "window/main_window.h"

#include "calc/tax.h"
#include "link/hand_cursor.h"
#include "link/hyperlink.h"
#include "window/layout.h"
#include "window/scrolling.h"

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

// The user's locale does not change while the program runs.
const Separators &userSeparators()
{
    static const Separators separators = systemSeparators();
    return separators;
}

} // namespace

void mainFormLoaded(forms::Form &form) { form.setMax(kScrollBar, valueOrRaise(scrollRangeFor(form.height(kPanel)))); }

void mainFormActivated(forms::Form &form) { form.setText(kThreshold, integerToText(kStandardThreshold).view()); }

void calculateClicked(forms::Form &form)
{
    const std::u16string insurance = form.text(kInsurance);
    const std::u16string threshold = form.text(kThreshold);
    const std::u16string income = form.text(kIncome);
    const TaxAssessment assessment = valueOrRaise(calculate(income, insurance, threshold, userSeparators()));
    form.setText(kTaxPayable, assessment.shownTaxPayable().view());
    form.setText(kTaxBase, assessment.taxBaseText.view());
}

void clearClicked(forms::Form &form)
{
    form.unload();
    form.show();
}

void scrollBarChanged(forms::Form &form) { form.setTop(kPanel, valueOrRaise(panelTopFor(form.value(kScrollBar)))); }

void homePageClicked(forms::Form &) { 超级链接::openAddress(kHomePageAddress); }

void homePageMouseMoved(forms::Form &) { 光标变手::setHandCursor(); }

std::vector<forms::Binding> mainFormBindings()
{
    using forms::Event;
    return {
        {kMainForm, Event::Load, mainFormLoaded},           {kMainForm, Event::Activate, mainFormActivated},
        {kCalculateButton, Event::Click, calculateClicked}, {kClearButton, Event::Click, clearClicked},
        {kScrollBar, Event::Change, scrollBarChanged},      {kHomePage, Event::Click, homePageClicked},
        {kHomePage, Event::MouseMove, homePageMouseMoved},
    };
}

} // namespace iitcalc::window
