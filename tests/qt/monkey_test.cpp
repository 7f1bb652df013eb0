// A seeded random session over the whole window: typing anything into any
// box, Calculate, Clear, scrolling, Tab, the link. After every step the
// window must still make sense. IITCALC_MONKEY_SEED replays a session and
// IITCALC_MONKEY_EVENTS makes it longer.
#include "calc/tax.h"
#include "tests/support/qt_window.h"
#include "tests/support/url_recorder.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <cstdlib>
#include <random>

namespace iitcalc {
namespace {

std::uint64_t environmentNumber(const char *name, std::uint64_t fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

std::u16string toU16(const QString &text)
{
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

class Monkey : public testing_support::QtWindowTest {
protected:
    std::mt19937_64 rng;

    QLineEdit *box(const char *name) const { return control<QLineEdit>(name); }

    void type(const char *name, const QString &typed)
    {
        QLineEdit *target = box(name);
        target->setFocus();
        target->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(target, Qt::Key_Delete);
        // Key events carrying the text, as an input method delivers it.
        for (const QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }
    }

    void paste(const char *name, const QString &pasted)
    {
        QLineEdit *target = box(name);
        target->setFocus();
        target->selectAll();
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    }

    std::size_t pick(std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(rng); }

    QString randomText()
    {
        static const QStringList pieces{"0",     "1",     "2",    "3",     "5",    "7",      "9",   "00",  ".",
                                        ",",     "-",     "+",    "E",     "e",    "&H",     "&O",  "F",   " ",
                                        "\t",    "元",    "万",   "１",    "５",   "，",     "。",  "abc", "3500",
                                        "10000", "1E308", "1E-5", "80000", "1500", "\u00a0", "🙂"};
        QString text;
        for (std::size_t n = pick(7); n > 0; --n)
            text += pieces[static_cast<qsizetype>(pick(static_cast<std::size_t>(pieces.size())))];
        return text;
    }

    void expectStartState()
    {
        EXPECT_EQ(fieldTexts(), (std::vector<QString>{"", "", "3500", "", ""}));
        EXPECT_EQ(control<QScrollBar>("滚动条")->value(), 0);
        EXPECT_EQ(form->top("大图框"), 0.0f);
    }

    void calculateAndCheck()
    {
        const auto before = fieldTexts();
        const std::size_t reportsBefore = reports.size();
        click("计算按钮");
        const auto expected = calculate(toU16(before[0]), toU16(before[1]), toU16(before[2]), systemSeparators());
        if (!expected) {
            ASSERT_EQ(reports.size(), reportsBefore + 1);
            EXPECT_EQ(reports.back(), window::failureReport(expected.error()));
            EXPECT_EQ(fieldTexts(), before);
            return;
        }
        ASSERT_EQ(reports.size(), reportsBefore);
        const auto after = fieldTexts();
        EXPECT_EQ(std::vector<QString>(after.begin(), after.begin() + 3),
                  std::vector<QString>(before.begin(), before.begin() + 3));
        EXPECT_EQ(toU16(after[3]), expected->taxBaseText.view());
        EXPECT_EQ(toU16(after[4]), expected->shownTaxPayable().view());
    }

    void scroll()
    {
        QScrollBar *bar = control<QScrollBar>("滚动条");
        switch (pick(3)) {
        case 0:
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, pick(2) ? 4 : bar->height() - 4));
            break;
        case 1:
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, static_cast<int>(20 + pick(65))));
            break;
        default: {
            bar->setFocus();
            const Qt::Key keys[] = {Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                    Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
            QTest::keyClick(bar, keys[pick(6)]);
        }
        }
        EXPECT_EQ(form->top("大图框"), -500.0f * static_cast<float>(bar->value()));
    }
};

TEST_F(Monkey, RandomSessionKeepsTheWindowSound)
{
    const std::uint64_t seed = environmentNumber("IITCALC_MONKEY_SEED", 20261206);
    const std::uint64_t events = environmentNumber("IITCALC_MONKEY_EVENTS", 2000);
    rng.seed(seed);
    testing_support::UrlRecorder desktop;
    QDesktopServices::setUrlHandler("http", &desktop, "open");
    const char *boxes[] = {"个人收入", "五险一金之和", "个税起征点", "税基", "应缴税额"};

    for (std::uint64_t step = 0; step < events && !HasFailure(); ++step) {
        SCOPED_TRACE("replay with IITCALC_MONKEY_SEED=" + std::to_string(seed) + ", failed at step " +
                     std::to_string(step));
        const std::size_t action = pick(100);
        if (action < 1) {
            // A paste far longer than a line edit holds by default arrives whole.
            const char *target = boxes[pick(5)];
            paste(target, QString(100000, QChar(u"0123456789"[pick(10)])));
            EXPECT_EQ(text(target).size(), 100000);
        } else if (action < 40) {
            type(boxes[pick(5)], randomText());
        } else if (action < 60) {
            calculateAndCheck();
        } else if (action < 63) {
            clear();
            expectStartState();
        } else if (action < 78) {
            scroll();
        } else if (action < 88) {
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : window(), Qt::Key_Tab);
        } else if (action < 93) {
            const qsizetype before = desktop.opened.size();
            click("主页");
            EXPECT_EQ(desktop.opened.size(), before + 1);
        } else {
            QWidget *link = control("主页");
            QTest::mouseMove(link, QPoint(static_cast<int>(pick(static_cast<std::size_t>(link->width()))), 8));
        }
        ASSERT_TRUE(window() && window()->isVisible());
    }
    QDesktopServices::unsetUrlHandler("http");
}

} // namespace
} // namespace iitcalc
