// What only Qt can show: where each control lands in pixels, the focus
// chain, fonts and colours, the link's rectangle, and Clear leaving no
// widget behind.
#include "forms/qt/widgets.h"
#include "tests/support/qt_window.h"
#include "tests/support/url_recorder.h"

#include <QAccessible>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <QtMath>

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

namespace iitcalc {
namespace {

using namespace window;
using testing_support::QtWindowTest;

class QtWindow : public QtWindowTest {
protected:
    const forms::FormLine *line(std::string_view name) const
    {
        return dynamic_cast<const forms::FormLine *>(control(name));
    }
};

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
        {"Label43", {312, 88, 113, 17}},     {"Label10", {312, 56, 113, 17}},   {kHomePage, {144, 272, 121, 17}},
        {"Label1", {32, 56, 113, 17}},       {"Label2", {32, 88, 113, 17}},     {"Label3", {32, 120, 113, 17}},
        {kNotice, {48, 256, 465, 41}}};
    const qreal scale = window()->devicePixelRatioF();
    for (const auto &[name, pixels] : expected) {
        const QRect geometry = control(name)->geometry();
        EXPECT_EQ(QRectF(geometry.topLeft() * scale, geometry.size() * scale),
                  QRectF(pixels.topLeft() * scale, pixels.size() * scale))
            << name;
    }
    // A line's end points.
    EXPECT_EQ(line("Line1")->from(), QPoint(296, 40));
    EXPECT_EQ(line("Line1")->to(), QPoint(296, 176));
    EXPECT_EQ(line("Line2")->from(), QPoint(280, 40));
    EXPECT_EQ(line("Line2")->to(), QPoint(280, 176));
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

TEST_F(QtWindow, TypingCalculatesAndEnterPressesOnlyAFocusedButton)
{
    QTest::keyClicks(control(kIncome), "10000");
    QTest::keyClicks(control(kInsurance), "1000");
    // Enter in a box and Escape press nothing: neither button is the default.
    QTest::keyClick(control(kInsurance), Qt::Key_Return);
    QTest::keyClick(control(kInsurance), Qt::Key_Escape);
    EXPECT_EQ(text(kTaxBase), "");
    click(kCalculateButton);
    EXPECT_EQ(text(kTaxBase) + " " + text(kTaxPayable), "5500 545");
    QTest::keyClicks(control(kIncome), "0");
    control(kCalculateButton)->setFocus();
    QTest::keyClick(control(kCalculateButton), Qt::Key_Return);
    EXPECT_EQ(text(kTaxBase), "95500");
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

// Whether a pixel is clearly darker than the window's background.
bool ink(const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 160; }

TEST_F(QtWindow, DividerLinesShowAtThisScale)
{
    // Run at 1x and again at 1.25x, 1.5x, 1.75x and 2x (QT_SCALE_FACTOR),
    // offscreen and on an X server, where what reaches the screen is read.
    QImage image;
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        image = window()->grab().toImage();
    } else {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
        QTest::qWait(200);
        image = window()->screen()->grabWindow(window()->winId()).toImage();
    }
    const qreal scale = window()->devicePixelRatioF();
    for (const std::string_view name : {"Line1", "Line2"}) {
        const QPoint middle =
            control(name)->mapTo(window(), (line(name)->from() + line(name)->to()) / 2 - control(name)->pos());
        const int y = qRound(middle.y() * scale);
        int dark = 0;
        for (int x = qFloor((middle.x() - 1) * scale); x <= qCeil((middle.x() + 1) * scale); ++x)
            dark += ink(image, x, y) ? 1 : 0;
        EXPECT_GE(dark, 1) << name << " at " << scale << "x";
    }
}

// The lowest row of an image with ink in it, between two columns.
int lowestInk(const QImage &image, int left, int right)
{
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = left; x < right; ++x) {
            if (ink(image, x, y))
                return y;
        }
    }
    return -1;
}

TEST_F(QtWindow, DescendersShowWhole)
{
    // The layout's font, and a taller one such as another CJK font brings,
    // in a box of the layout's height: the lowest ink of "gjpqy" lies as far
    // below the baseline as when drawn with room to spare.
    const qreal scale = window()->devicePixelRatioF();
    for (const int pixelSize : {12, 15}) {
        QFont font = control(kIncome)->font();
        font.setPixelSize(pixelSize);
        QImage reference(QSize(200, 60) * scale, QImage::Format_RGB32);
        reference.setDevicePixelRatio(scale);
        reference.fill(Qt::white);
        QPainter painter(&reference);
        painter.setFont(font);
        painter.drawText(QPoint(4, 30), QStringLiteral("gjpqy"));
        painter.end();

        forms::FormTextBox box(control(kIncome)->parentWidget());
        box.setText(QStringLiteral("gjpqy"));
        box.setGeometry(0, 0, 121, 18);
        box.setFont(font);
        box.fitTextHeight();
        const QImage shown = box.grab().toImage();
        const int top = box.inputMethodQuery(Qt::ImCursorRectangle).toRect().top();
        const int below = lowestInk(reference, 0, reference.width()) - qRound(30 * scale);
        const int baseline = qRound((top + QFontMetrics(font).ascent()) * scale);
        // (A fractional scale may round the baseline either way by a pixel.)
        EXPECT_GE(lowestInk(shown, qCeil(2 * scale), shown.width() - qCeil(2 * scale)),
                  baseline + below - (scale == qRound(scale) ? 0 : 1))
            << pixelSize << " px at " << scale << "x";
    }
}

TEST_F(QtWindow, WrittenResultsReadFromTheirStartAndLongPastesArriveWhole)
{
    QTest::keyClicks(control(kIncome), "1234567890123456789");
    click(kCalculateButton);
    for (const std::string_view name : {kTaxBase, kTaxPayable})
        EXPECT_EQ(control<QLineEdit>(name)->cursorPosition(), 0) << name;

    QApplication::clipboard()->setText(QString(40000, QLatin1Char('7')));
    control(kIncome)->setFocus();
    QTest::keyClick(control(kIncome), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(control<QLineEdit>(kIncome)->text().size(), 40000 + 19);
}

TEST_F(QtWindow, ThePanelAndTheScrollBarShowTheFocus)
{
    for (const std::string_view name : {kPanel, kScrollBar}) {
        control(kIncome)->setFocus();
        const QImage without = control(name)->grab().toImage();
        control(name)->setFocus();
        EXPECT_NE(control(name)->grab().toImage(), without) << name;
    }
}

TEST_F(QtWindow, AssistiveTechnologyReadsTheWindowInOrderAndCanPressTheLink)
{
    QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(control(kPanel));
    EXPECT_EQ(panel->text(QAccessible::Name), "计算器面板");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control(kScrollBar))->text(QAccessible::Name), "滚动页面");

    QAccessibleInterface *client = QAccessible::queryAccessibleInterface(control(kIncome))->parent();
    QStringList order;
    for (int i = 0; i < client->childCount(); ++i)
        order << client->child(i)->object()->objectName();
    EXPECT_EQ(order, QStringList({"Label49", "Label48", "Label47", "Label1", "个人收入", "Label10", "税基", "Label2",
                                  "五险一金之和", "Label43", "应缴税额", "Label3", "个税起征点", "计算按钮", "清空按钮",
                                  "Label57", "主页"}));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(control(kNotice))->text(QAccessible::Name).contains('\n'));

    QAccessibleInterface *link = QAccessible::queryAccessibleInterface(control(kHomePage));
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name), "www.example.com");
    testing_support::UrlRecorder desktop;
    QDesktopServices::setUrlHandler("http", &desktop, "open");
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QDesktopServices::unsetUrlHandler("http");
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl("http://www.example.com")});
}

TEST_F(QtWindow, QtsOwnWordsSpeakTheUsersLanguage)
{
    forms::loadToolkitTranslations(QLocale(QLocale::Chinese, QLocale::China));
    std::unique_ptr<QMenu> menu(control<QLineEdit>(kIncome)->createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_FALSE(menu->actions().first()->text().contains("Undo")) << menu->actions().first()->text().toStdString();
    forms::loadToolkitTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(QtWindow, TheErrorReportSaysWhatToDoWithASharpIcon)
{
    // The backend's own report, a modal box: read it, then dismiss it.
    QString text;
    qreal iconScale = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        iconScale = box->iconPixmap().devicePixelRatio();
        box->accept();
    });
    form->backend().showMessage(window::failureReport(RunTimeError::TypeMismatch), forms::MessageKind::Error);
    EXPECT_EQ(text, "运行时错误 13：类型不匹配\n个税起征点必须是一个数字，例如 3500。");
    EXPECT_GE(iconScale, window()->devicePixelRatioF());
}

} // namespace
} // namespace iitcalc
