// A seeded random session over the whole window: typing into any box,
// Calculate, Clear, scrolling, Tab. What Calculate shows is judged
// by an oracle of the test's own -- amounts typed as whole fen, the table
// worked in exact integers -- never by the program's calculation.
// IITCALC_MONKEY_SEED replays a session and IITCALC_MONKEY_EVENTS makes it
// longer.
#include "tests/support/qt_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <cstdlib>
#include <optional>
#include <random>

namespace iitcalc {
namespace {

std::uint64_t environmentNumber(const char *name, std::uint64_t fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

// An amount in hundredths of a fen as the window writes it: no grouping, no
// trailing zeros (the four decimals are exact in a double this small).
QString written(long long hundredths)
{
    QString text = QString::number(static_cast<double>(hundredths) / 10000, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// The monthly table in fen and percent: the tax on a taxable amount, in
// hundredths of a fen, or nothing at or below zero.
std::optional<long long> taxOn(long long fen)
{
    struct Row {
        long long upper;
        long long percent;
        long long deduction;
    };
    constexpr Row table[] = {
        {150000, 3, 0},        {450000, 10, 10500},   {900000, 20, 55500},       {3500000, 25, 100500},
        {5500000, 30, 275500}, {8000000, 35, 550500}, {(1LL << 62), 45, 1350500}};
    if (fen <= 0)
        return std::nullopt;
    for (const Row &row : table) {
        if (fen <= row.upper)
            return fen * row.percent - row.deduction * 100;
    }
    return std::nullopt;
}

class Monkey : public testing_support::QtWindowTest {
protected:
    std::mt19937_64 rng;
    // What the input boxes hold, as the test typed it: fen, or nothing for a
    // threshold that is not a number.
    long long income = 0;
    long long insurance = 0;
    std::optional<long long> threshold = 350000;

    std::size_t pick(std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(rng); }

    void type(std::string_view name, const QString &typed)
    {
        QLineEdit *target = control<QLineEdit>(name);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Delete);
        // Key events carrying the text, as an input method delivers it.
        for (const QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
        }
    }

    // An amount as a person might type it, with what the lenient reading
    // makes of it in fen.
    std::pair<QString, long long> amount()
    {
        const long long fen = static_cast<long long>(pick(3) == 0 ? pick(20000000) : pick(200) * 5000);
        QString text = QString::number(fen / 100);
        if (fen % 100 != 0)
            text += QStringLiteral(".%1").arg(fen % 100, 2, 10, QLatin1Char('0'));
        switch (pick(5)) {
        case 0: // full-width digits, as an input method types them
            for (QChar &c : text)
                c = c.isDigit() ? QChar(c.unicode() - u'0' + 0xFF10) : (c == QLatin1Char('.') ? QChar(0xFF0E) : c);
            break;
        case 1: // a unit or junk after it, which ends the reading
            text += QStringList{"元", "abc", ",000", "  "}[static_cast<qsizetype>(pick(4))];
            break;
        case 2: // nothing at all reads 0
            return {pick(2) ? QString() : QStringLiteral("无"), 0};
        default:
            break;
        }
        return {text, fen};
    }

    void calculateAndJudge()
    {
        const std::size_t reportsBefore = reports.size();
        click(window::kCalculateButton);
        if (!threshold) {
            ASSERT_EQ(reports.size(), reportsBefore + 1);
            EXPECT_EQ(reports.back(), "运行时错误 13：类型不匹配\n个税起征点必须是一个数字，例如 3500。");
            return;
        }
        ASSERT_EQ(reports.size(), reportsBefore);
        const long long taxable = income - insurance - *threshold;
        EXPECT_EQ(text(window::kTaxBase), written(taxable * 100));
        EXPECT_EQ(text(window::kTaxPayable), written(taxOn(taxable).value_or(0)));
    }
};

TEST_F(Monkey, RandomSessionShowsWhatTheTableSays)
{
    const std::uint64_t seed = environmentNumber("IITCALC_MONKEY_SEED", 20261207);
    const std::uint64_t events = environmentNumber("IITCALC_MONKEY_EVENTS", 2000);
    rng.seed(seed);

    for (std::uint64_t step = 0; step < events && !HasFailure(); ++step) {
        SCOPED_TRACE("replay with IITCALC_MONKEY_SEED=" + std::to_string(seed) + ", failed at step " +
                     std::to_string(step));
        const std::size_t action = pick(100);
        if (action < 25) {
            const auto [typed, fen] = amount();
            const bool ofIncome = action < 15;
            type(ofIncome ? window::kIncome : window::kInsurance, typed);
            (ofIncome ? income : insurance) = fen;
        } else if (action < 32) {
            const bool number = pick(4) != 0;
            const long long fen = static_cast<long long>(pick(100)) * 10000;
            type(window::kThreshold,
                 number ? QString::number(fen / 100) : QStringList{"", "abc", "35元"}[static_cast<qsizetype>(pick(3))]);
            threshold = number ? std::optional(fen) : std::nullopt;
        } else if (action < 36) {
            type(pick(2) ? window::kTaxBase : window::kTaxPayable, QStringLiteral("手写"));
        } else if (action < 60) {
            calculateAndJudge();
        } else if (action < 63) {
            clear();
            income = insurance = 0;
            threshold = 350000;
            EXPECT_EQ(fieldTexts(), (std::vector<QString>{"", "", "3500", "", ""}));
            EXPECT_EQ(form->top(window::kPanel), 0.0f);
        } else if (action < 78) {
            QScrollBar *bar = control<QScrollBar>(window::kScrollBar);
            bar->setFocus();
            const Qt::Key keys[] = {Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                    Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
            QTest::keyClick(bar, keys[pick(6)]);
            EXPECT_EQ(form->top(window::kPanel), -500.0f * static_cast<float>(bar->value()));
        } else {
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : window(), Qt::Key_Tab);
        }
        ASSERT_TRUE(window() && window()->isVisible());
    }
}

} // namespace
} // namespace iitcalc
