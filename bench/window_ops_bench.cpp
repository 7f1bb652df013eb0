// Calculate and Clear in the real window, each beside the same work done in
// the bare baseline window, in one run; prints the ratios.
#include "bench/bare_window.h"
#include "bench/interleaved.h"
#include "calc/tax.h"
#include "forms/form.h"
#include "forms/qt/qt_backend.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace iitcalc;

std::unique_ptr<forms::Form> openMainWindow()
{
    auto form =
        std::make_unique<forms::Form>(window::mainFormLayout(), window::mainFormBindings(),
                                      std::make_unique<forms::QtBackend>(), [](const forms::RunTimeFailure &) {});
    form->show();
    if (!QTest::qWaitForWindowExposed(forms::windowOf(*form)))
        std::fputs("the window was never shown\n", stderr);
    return form;
}

void ours_calculate(benchmark::State &state)
{
    auto form = openMainWindow();
    qobject_cast<QLineEdit *>(forms::widgetOf(*form, "个人收入"))->setText("10000");
    qobject_cast<QLineEdit *>(forms::widgetOf(*form, "五险一金之和"))->setText("1000");
    auto *button = qobject_cast<QPushButton *>(forms::widgetOf(*form, "计算按钮"));
    for (auto _ : state)
        button->click(); // both fields are written before click() returns
    if (qobject_cast<QLineEdit *>(forms::widgetOf(*form, "应缴税额"))->text() != "545")
        state.SkipWithError("wrong result");
}

// The bare window's button does the least a calculator could: read three
// boxes, subtract, write two.
void bare_calculate(benchmark::State &state)
{
    std::unique_ptr<QWidget> window(bench::buildBareWindow());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        state.SkipWithError("the window was never shown");
    const auto box = [&](const char *name) { return window->findChild<QLineEdit *>(QString::fromUtf8(name)); };
    QLineEdit *income = box("个人收入"), *insurance = box("五险一金之和"), *threshold = box("个税起征点");
    QLineEdit *tax = box("应缴税额"), *base = box("税基");
    income->setText("10000");
    insurance->setText("1000");
    threshold->setText("3500");
    auto *button = window->findChild<QPushButton *>("计算按钮");
    QObject::connect(button, &QPushButton::clicked, [=] {
        const double t = income->text().toDouble() - insurance->text().toDouble() - threshold->text().toDouble();
        tax->setText(QString::number(t * 0.2 - 555, 'g', 15));
        base->setText(QString::number(t, 'g', 15));
    });
    for (auto _ : state)
        button->click();
}

void ours_clear(benchmark::State &state)
{
    auto form = openMainWindow();
    for (auto _ : state) {
        qobject_cast<QPushButton *>(forms::widgetOf(*form, "清空按钮"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void bare_rebuild(benchmark::State &state)
{
    std::unique_ptr<QWidget> window(bench::buildBareWindow());
    window->show();
    for (auto _ : state) {
        window.reset(bench::buildBareWindow());
        window->show();
        window->activateWindow();
        QCoreApplication::processEvents();
    }
}

BENCHMARK(ours_calculate);
BENCHMARK(bare_calculate);
BENCHMARK(ours_clear)->Unit(benchmark::kMicrosecond);
BENCHMARK(bare_rebuild)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the median of each.
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration ? run.repetitions <= 1 : run.aggregate_name == "median")
                m_seconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    void printRatios() const
    {
        const double calc = m_seconds.at("ours_calculate"), bareCalc = m_seconds.at("bare_calculate");
        const double clear = m_seconds.at("ours_clear"), bareClear = m_seconds.at("bare_rebuild");
        std::printf("\n%-10s %12s %12s %8s %10s\n", "action", "ours", "bare Qt", "ratio", "target");
        std::printf("%-10s %9.1f us %9.1f us %7.2fx %10s\n", "Calculate", calc * 1e6, bareCalc * 1e6, calc / bareCalc,
                    "<=0.5x");
        std::printf("%-10s %9.2f ms %9.2f ms %7.2fx %10s\n", "Clear", clear * 1e3, bareClear * 1e3, clear / bareClear,
                    "<=1.05x");
    }

private:
    std::map<std::string, double> m_seconds;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    iitcalc::bench::initializeInterleaved(argc, argv, 7);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
