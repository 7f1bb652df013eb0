// What only Qt can show: where each control lands in pixels, the focus
// chain, fonts and colours, the link's rectangle, and Clear leaving no
// widget behind.
#include "tests/support/qt_window.h"
#include "tests/support/url_recorder.h"

#include <QDesktopServices>

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

namespace iitcalc {
namespace {

using namespace window;
using testing_support::QtWindowTest;

class QtWindow : public QtWindowTest {};

TEST_F(QtWindow, EveryControlSitsAtItsPixels)
{
    // Left, top, width, height in the parent's client area: twips / 15,
    // rounded, times the scale the tests run at (1, or 2 through
    // QT_SCALE_FACTOR) in device pixels.
    const std::pair<std::string_view, QRect> expected[] = {
        {kScrollBar, {584, 0, 17, 105}},     {kPanel, {8, 0, 569, 433}},        {kCalculateButton, {96, 200, 105, 25}},
        {kClearButton, {344, 200, 105, 25}}, {kTaxPayable, {432, 88, 121, 18}}, {kTaxBase, {432, 56, 121, 18}},
        {kIncome, {152, 56, 121, 18}},       {kInsurance, {152, 88, 121, 18}},  {kThreshold, {152, 120, 121, 18}},
        {"Label49", {0, 0, 569, 17}},        {"Label48", {32, 24, 209, 17}},    {"Label47", {312, 24, 209, 17}},
        {"Label43", {312, 88, 113, 17}},     {"Label10", {312, 56, 113, 17}},   {"Line1", {296, 40, 1, 136}},
        {"Line2", {280, 40, 1, 136}},        {kHomePage, {144, 272, 121, 17}},  {"Label1", {32, 56, 113, 17}},
        {"Label2", {32, 88, 113, 17}},       {"Label3", {32, 120, 113, 17}},    {kNotice, {48, 256, 465, 41}}};
    const qreal scale = window()->devicePixelRatioF();
    for (const auto &[name, pixels] : expected) {
        const QRect geometry = control(name)->geometry();
        EXPECT_EQ(QRectF(geometry.topLeft() * scale, geometry.size() * scale),
                  QRectF(pixels.topLeft() * scale, pixels.size() * scale))
            << name;
    }
    EXPECT_EQ(window()->size(), QSize(616, 434));
    EXPECT_EQ(window()->minimumSize(), window()->maximumSize());
    EXPECT_EQ(window()->grab().size(), QSize(616, 434) * scale);
}

TEST_F(QtWindow, TabWalksTheFocusOrderAndLabelsNeverTakeIt)
{
    EXPECT_EQ(QApplication::focusWidget(), control(kPanel));
    for (const std::string_view name :
         {kThreshold, kInsurance, kIncome, kTaxBase, kTaxPayable, kClearButton, kCalculateButton, kScrollBar, kPanel}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(name)) << name;
    }
    for (QLabel *label : window()->findChildren<QLabel *>())
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
}

TEST_F(QtWindow, TypingAndClickingCalculate)
{
    QTest::keyClicks(control(kIncome), "10000");
    QTest::keyClicks(control(kInsurance), "1000");
    click(kCalculateButton);
    EXPECT_EQ(control<QLineEdit>(kTaxBase)->text(), "5500");
    EXPECT_EQ(control<QLineEdit>(kTaxPayable)->text(), "545");
    // Enter in a box and Escape press nothing: neither button is the default.
    QTest::keyClicks(control(kIncome), "0");
    QTest::keyClick(control(kIncome), Qt::Key_Return);
    QTest::keyClick(control(kIncome), Qt::Key_Escape);
    EXPECT_EQ(control<QLineEdit>(kTaxBase)->text(), "5500");
    EXPECT_TRUE(window()->isVisible());
}

TEST_F(QtWindow, FontsColoursAndTheLinkInFrontOfTheNotice)
{
    struct Expected {
        std::string_view name;
        int pixelSize;
        bool bold;
    };
    for (const Expected &row :
         {Expected{"Label49", 16, true}, Expected{"Label48", 14, true}, Expected{"Label47", 14, true},
          Expected{"Label1", 12, false}, Expected{kIncome, 12, false}, Expected{kHomePage, 12, false}}) {
        const QFont font = control(row.name)->font();
        EXPECT_EQ(font.pixelSize(), row.pixelSize) << row.name;
        EXPECT_EQ(font.bold(), row.bold) << row.name;
    }
    EXPECT_EQ(control(kHomePage)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(control("Label1")->palette().color(QPalette::WindowText),
              window()->palette().color(QPalette::WindowText));

    QWidget *link = control(kHomePage);
    QWidget *notice = control(kNotice);
    EXPECT_EQ(link->x() - notice->x(), 96); // 1440 twips: the eight characters before the address
    EXPECT_EQ(link->y() - notice->y(), 16); // 240 twips: the notice's second line
    for (const QPoint corner : {link->geometry().topLeft(), link->geometry().center(), link->geometry().bottomRight()})
        EXPECT_EQ(link->parentWidget()->childAt(corner), link);
    for (const auto &[label, box] :
         {std::pair{"Label1", kIncome}, std::pair{"Label2", kInsurance}, std::pair{"Label3", kThreshold},
          std::pair{"Label10", kTaxBase}, std::pair{"Label43", kTaxPayable}})
        EXPECT_EQ(control<QLabel>(label)->buddy(), control(box));
}

TEST_F(QtWindow, ALinkClickIsAPressAndReleaseInsideAndADoubleClickCountsOnce)
{
    testing_support::UrlRecorder desktop;
    QDesktopServices::setUrlHandler("http", &desktop, "open");
    QWidget *link = control(kHomePage);
    for (const QPoint point : {link->rect().topLeft(), link->rect().bottomRight()})
        QTest::mouseClick(link, Qt::LeftButton, {}, point);
    QTest::mouseDClick(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::RightButton);
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
    QDesktopServices::unsetUrlHandler("http");
    EXPECT_EQ(desktop.opened, QList<QUrl>(2, QUrl("http://www.example.com")));
}

TEST_F(QtWindow, TheHandShowsOnTheLinkAndNowhereElse)
{
    QWidget *link = control(kHomePage);
    QTest::mouseMove(link, link->rect().center());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    for (QWidget *other : window()->findChildren<QWidget *>()) {
        if (other != link) {
            EXPECT_NE(other->cursor().shape(), Qt::PointingHandCursor) << other->objectName().toStdString();
        }
    }
}

std::size_t liveObjects()
{
    std::size_t count = static_cast<std::size_t>(qApp->findChildren<QObject *>().size());
    for (QWidget *top : QApplication::topLevelWidgets())
        count += 1 + static_cast<std::size_t>(top->findChildren<QObject *>().size());
    return count;
}

TEST_F(QtWindow, ClearLeavesNoWidgetBehindAndTheProgramGoesOn)
{
    bool lastWindowClosed = false;
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { lastWindowClosed = true; });
    clear();
    const std::size_t before = liveObjects();
    const auto widgetsBefore = QApplication::allWidgets().size();
    QPointer<QWidget> old = window();
    for (int i = 0; i < 200; ++i) {
        click(kClearButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(liveObjects(), before);
    EXPECT_EQ(QApplication::allWidgets().size(), widgetsBefore);
    EXPECT_FALSE(lastWindowClosed);
    EXPECT_TRUE(window()->isVisible());
}

TEST_F(QtWindow, DestroyingTheFormWithAWindowAwaitingDeletionLeavesNothingToCallBack)
{
    QPointer<QWidget> old = window();
    click(kClearButton); // the old window now waits for the event loop
    QPointer<QScrollBar> oldBar = old->findChild<QScrollBar *>();
    form.reset();
    EXPECT_TRUE(old.isNull());
    EXPECT_TRUE(oldBar.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace
} // namespace iitcalc
