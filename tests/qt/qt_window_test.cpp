// What only Qt can show: where each control lands in pixels and where the
// window opens, fonts and colours, the keys, the mouse and the wheel on real
// widgets, what assistive technology is told, and Clear leaving no widget
// behind. The rules themselves are the core's, tested on the fake.
#include "forms/form.h"
#include "forms/qt/qt_backend.h"
#include "forms/qt/widgets.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtMath>

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace iitcalc {
namespace {

using namespace window;

// The main window on the Qt backend (the offscreen platform in CTest), with
// every run-time failure recorded instead of shown.
class QtWindow : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<forms::Form>(mainFormLayout(), mainFormBindings(), std::make_unique<forms::QtBackend>(),
                                             [this](const forms::RunTimeFailure &f) { reports.push_back(f.report()); });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    }
    void TearDown() override
    {
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget *window() const { return forms::windowOf(*form); }
    template <class Widget = QWidget>
    Widget *control(std::string_view name) const
    {
        auto *widget = qobject_cast<Widget *>(forms::widgetOf(*form, name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(std::string_view name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    QString text(std::string_view box) const { return control<QLineEdit>(box)->text(); }
    const forms::FormLine *line(std::string_view name) const
    {
        return dynamic_cast<const forms::FormLine *>(control(name));
    }
    QScrollBar *bar() const { return control<QScrollBar>(kScrollBar); }

    std::unique_ptr<forms::Form> form;
    std::vector<std::string> reports;
};

TEST_F(QtWindow, EveryControlSitsAtItsPixelsInTheCentreOfTheScreen)
{
    // Where the core's geometry puts it, in logical pixels (15 twips each)
    // that Qt scales to the screen.
    for (const forms::ControlPlan &plan : form->controlPlans()) {
        const forms::ControlRecord &record = *plan.record;
        if (record.kind == forms::ControlKind::Line) {
            const forms::PixelPoint from = forms::lineStart(record), to = forms::lineEnd(record);
            EXPECT_EQ(std::pair(line(record.name)->from(), line(record.name)->to()),
                      std::pair(QPoint(from.x, from.y), QPoint(to.x, to.y)));
            continue;
        }
        const forms::PixelRect place = forms::pixelRect(record);
        EXPECT_EQ(control(record.name)->geometry(), QRect(place.left, place.top, place.width, place.height))
            << record.name;
    }
    EXPECT_EQ(window()->size(), QSize(616, 434));
    EXPECT_EQ(window()->minimumSize(), window()->maximumSize());
    EXPECT_EQ(window()->grab().size(), QSize(616, 434) * window()->devicePixelRatioF());
    QCoreApplication::processEvents(); // the icon's first loading waits for the window to show
    EXPECT_FALSE(window()->windowIcon().isNull());
    // Where the core's placement puts it: the whole frame in the middle of
    // the screen's free area, or at its edge when larger (at 1.5x and 2x the
    // offscreen screen is smaller than the window).
    const QRect area = window()->screen()->availableGeometry();
    const QRect frame = window()->frameGeometry();
    const forms::PixelPoint corner =
        forms::placeFrame({area.x(), area.y(), area.width(), area.height()}, frame.width(), frame.height());
    EXPECT_EQ(frame.topLeft(), QPoint(corner.x, corner.y));
}

TEST_F(QtWindow, TheKeysWalkTheTabOrderIntoSightAndPressOnlyAFocusedButton)
{
    form->setValue(kScrollBar, 13); // every control above the window's top
    EXPECT_EQ(QApplication::focusWidget(), control(kPanel));
    for (const std::string_view name :
         {kThreshold, kInsurance, kIncome, kTaxBase, kTaxPayable, kClearButton, kCalculateButton, kScrollBar, kPanel}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(name)) << name;
        if (name == kThreshold) {
            EXPECT_EQ(form->top(kPanel), -1500.0f) << "the threshold box was left out of sight";
        }
    }
    QTest::keyClicks(control(kIncome), "10000");
    QTest::keyClicks(control(kInsurance), "1000");
    // Enter in a box and Escape press nothing: neither button is the default.
    QTest::keyClick(control(kInsurance), Qt::Key_Return);
    QTest::keyClick(control(kInsurance), Qt::Key_Escape);
    EXPECT_EQ(text(kTaxBase), "");
    control(kCalculateButton)->setFocus();
    QTest::keyClick(control(kCalculateButton), Qt::Key_Return);
    EXPECT_EQ(text(kTaxBase) + " " + text(kTaxPayable), "5500 545");
    // The keypad's Enter, which Qt marks with the keypad modifier, too.
    control<QLineEdit>(kIncome)->setText("20000");
    QTest::keyClick(control(kCalculateButton), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(text(kTaxBase), "15500");
    EXPECT_TRUE(window()->isVisible());
}

TEST_F(QtWindow, TheScrollBarMovesOnReleaseAndOneStepInTheTroughAndWithTheWheel)
{
    QStyleOptionSlider option;
    option.initFrom(bar());
    option.orientation = Qt::Vertical;
    option.maximum = bar()->maximum();
    const QRect thumb =
        bar()->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar());
    QTest::mousePress(bar(), Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar(), thumb.center() + QPoint(0, 30));
    EXPECT_GT(bar()->sliderPosition(), 0);
    EXPECT_EQ(form->top(kPanel), 0.0f) << "the panel moved while the thumb was dragged";
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, thumb.center() + QPoint(0, 30));
    EXPECT_EQ(form->top(kPanel), -500.0f * static_cast<float>(bar()->value()));
    // The thumb let go where it was picked up raises no Change (which
    // would put back the panel moved here by hand).
    form->setValue(kScrollBar, 0);
    form->setTop(kPanel, -123);
    QTest::mousePress(bar(), Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar(), thumb.center() + QPoint(0, 30));
    QTest::mouseMove(bar(), thumb.center());
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(std::tuple(bar()->value(), form->top(kPanel)), std::tuple(0, -123.0f));
    // A click in the trough below the thumb: one step.
    QTest::mouseClick(bar(), Qt::LeftButton, {}, QPoint(bar()->width() / 2, thumb.bottom() + 8));
    EXPECT_EQ(bar()->value(), 1);
    // Two notches down over a box on the panel, then one up over the panel.
    const auto turn = [](QWidget *over, int delta) {
        QWheelEvent wheel(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), {}, {0, delta}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
        return wheel.isAccepted();
    };
    // (Qt hands a wheel event a control leaves alone up to its parent.)
    EXPECT_FALSE(turn(control(kIncome), -240));
    EXPECT_FALSE(turn(control("Label1"), -240));
    EXPECT_TRUE(turn(control(kPanel), -240));
    EXPECT_EQ(form->top(kPanel), -1500.0f);
    turn(control(kPanel), 120);
    EXPECT_EQ(bar()->value(), 2);
    // Over the bar itself, and with the whole panel above the window over
    // the bare window, where the panel was: the wheel still moves it.
    EXPECT_TRUE(turn(bar(), -120 * 11));
    EXPECT_EQ(bar()->value(), 13);
    EXPECT_TRUE(turn(window(), 120));
    EXPECT_EQ(form->top(kPanel), -6000.0f);
    EXPECT_TRUE(reports.empty());
}

TEST_F(QtWindow, FontsColoursAndTheLinkInFrontOfTheNotice)
{
    struct Expected {
        std::string_view name;
        int pixelSize;
        bool bold;
    };
    for (const Expected &row :
         {Expected{"Label49", 16, true}, Expected{"Label48", 14, true}, Expected{"Label1", 12, false},
          Expected{kIncome, 12, false}, Expected{kHomePage, 12, false}}) {
        const QFont font = control(row.name)->font();
        EXPECT_EQ(std::pair(font.pixelSize(), font.bold()), std::pair(row.pixelSize, row.bold)) << row.name;
    }
    EXPECT_EQ(control(kHomePage)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(control("Label1")->palette().color(QPalette::WindowText),
              window()->palette().color(QPalette::WindowText));
    QWidget *link = control(kHomePage);
    for (const QPoint corner : {link->geometry().topLeft(), link->geometry().center(), link->geometry().bottomRight()})
        EXPECT_EQ(link->parentWidget()->childAt(corner), link);
    EXPECT_EQ(control<QLabel>("Label2")->buddy(), control(kInsurance));
}

// The desktop's opener, xdg-open, as the only one on PATH for as long as it
// lives: it writes down each address it is handed, waits until the test lets
// it go (or gives up after ten seconds), then ends with the given status, or
// by a signal. None: no opener at all.
class FakeOpener {
public:
    enum class Ends { WithStatus, BySignal, Absent };

    explicit FakeOpener(Ends ends, int status = 0)
        : m_path(qgetenv("PATH"))
        , m_browser(qgetenv("BROWSER"))
    {
        if (ends != Ends::Absent) {
            QFile script(m_dir.filePath("xdg-open"));
            script.open(QIODevice::WriteOnly);
            const QString dir = m_dir.path();
            script.write(QStringLiteral("#!/bin/sh\n"
                                        "PATH=/usr/bin:/bin\n"
                                        "printf '%s\\n' \"$1\" >>'%1/opened'\n"
                                        "i=0\n"
                                        "while [ ! -e '%1/go' ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done\n"
                                        "[ -e '%1/go' ] && echo released >>'%1/opened'\n"
                                        "%2\n")
                             .arg(dir, ends == Ends::BySignal ? QStringLiteral("kill -9 $$")
                                                              : QStringLiteral("exit %1").arg(status))
                             .toUtf8());
            script.close();
            script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        }
        qputenv("PATH", m_dir.path().toUtf8());
        qunsetenv("BROWSER"); // where Qt looks for a browser of its own
    }
    ~FakeOpener()
    {
        release();
        qputenv("PATH", m_path);
        if (!m_browser.isNull())
            qputenv("BROWSER", m_browser);
    }
    FakeOpener(const FakeOpener &) = delete;
    FakeOpener &operator=(const FakeOpener &) = delete;

    void release() const
    {
        QFile go(m_dir.filePath("go"));
        go.open(QIODevice::WriteOnly);
    }
    // What it has written: an address a line, "released" once let go.
    QStringList lines() const
    {
        QFile opened(m_dir.filePath("opened"));
        return opened.open(QIODevice::ReadOnly) ? QString::fromUtf8(opened.readAll()).split('\n', Qt::SkipEmptyParts)
                                                : QStringList();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
    QByteArray m_browser;
};

// Reads and dismisses every message box that shows while it lives.
class MessageReader {
public:
    MessageReader()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->accept();
            }
        });
        m_poll.start(10);
    }
    QStringList texts;

private:
    QTimer m_poll;
};

TEST_F(QtWindow, TheLinkOpensOnAClickShowsTheHandAndIsALinkToScreenReaders)
{
    FakeOpener opener(FakeOpener::Ends::WithStatus, 0);
    opener.release();
    MessageReader messages;
    QWidget *link = control(kHomePage);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().bottomRight());
    QTest::mouseDClick(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(link);
    EXPECT_EQ(accessible->role(), QAccessible::Link);
    EXPECT_EQ(accessible->text(QAccessible::Name), "www.example.com");
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return opener.lines().count("released") == 2; }, 10000));
    EXPECT_EQ(opener.lines().filter("http").join(' ').toStdString(), "http://www.example.com http://www.example.com");

    QTest::mouseMove(link, link->rect().center());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    for (QWidget *other : window()->findChildren<QWidget *>())
        EXPECT_TRUE(other == link || other->cursor().shape() != Qt::PointingHandCursor)
            << other->objectName().toStdString();
    QTest::qWait(200); // for the openers' ends to arrive
    EXPECT_EQ(messages.texts.join('|').toStdString(), "");
}

TEST_F(QtWindow, ALinkTheDesktopCannotOpenIsNamedWithoutHoldingUpTheWindow)
{
    const QString warning = QString::fromStdString(window::homePageFailure());
    struct Row {
        const char *name;
        FakeOpener::Ends ends;
        int status;
        bool warns;
    };
    for (const Row &row :
         {Row{"no_browser", FakeOpener::Ends::WithStatus, 3, true},
          Row{"opened", FakeOpener::Ends::WithStatus, 0, false}, Row{"killed", FakeOpener::Ends::BySignal, 0, true},
          Row{"no_opener", FakeOpener::Ends::Absent, 0, true}}) {
        FakeOpener opener(row.ends, row.status);
        MessageReader messages;
        click(kHomePage);
        if (row.ends != FakeOpener::Ends::Absent) {
            // The click has returned while the opener still waits.
            ASSERT_TRUE(QTest::qWaitFor([&] { return !opener.lines().isEmpty(); }, 10000)) << row.name;
            EXPECT_EQ(messages.texts.join('|').toStdString(), "") << row.name;
            opener.release();
            EXPECT_TRUE(QTest::qWaitFor([&] { return opener.lines().contains("released"); }, 10000)) << row.name;
        }
        if (row.warns)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.texts.isEmpty(); }, 10000)) << row.name;
        else
            QTest::qWait(200);
        EXPECT_EQ(messages.texts.join('|').toStdString(), row.warns ? warning.toStdString() : "") << row.name;
    }
    EXPECT_TRUE(warning.contains("http://www.example.com"));
}

TEST_F(QtWindow, AssistiveTechnologyReadsAWindowAPanelAndTheControlsInOrder)
{
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window())->role(), QAccessible::Window);
    QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(control(kPanel));
    EXPECT_EQ(panel->role(), QAccessible::Pane);
    EXPECT_EQ(panel->text(QAccessible::Name), "计算器面板");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control(kScrollBar))->text(QAccessible::Name), "滚动页面");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control(kInsurance))->text(QAccessible::Name), "五险一金之和");
    QAccessibleInterface *client = QAccessible::queryAccessibleInterface(control(kIncome))->parent();
    QStringList order;
    for (int i = 0; i < client->childCount(); ++i)
        order << client->child(i)->object()->objectName();
    EXPECT_EQ(order.mid(0, 5), QStringList({"Label49", "Label48", "Label47", "Label1", "个人收入"}));
    EXPECT_EQ(order.size(), 17);
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
    click(kClearButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
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

TEST_F(QtWindow, DescendersShowWhole)
{
    // The layout's font, and a taller one such as another CJK font brings,
    // in a box of the layout's height: the room the box leaves its text (its
    // contents less the text margins) is as tall as the font's lines.
    for (const int pixelSize : {12, 15}) {
        forms::FormTextBox box(control(kIncome)->parentWidget());
        box.setGeometry(0, 0, 121, 18);
        QFont font = box.font();
        font.setPixelSize(pixelSize);
        box.setFont(font);
        box.fitTextHeight();
        QStyleOptionFrame option;
        option.initFrom(&box);
        option.lineWidth = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
        const QRect room =
            box.style()->subElementRect(QStyle::SE_LineEditContents, &option, &box).marginsRemoved(box.textMargins());
        EXPECT_GE(room.height(), QFontMetrics(font).height()) << pixelSize << " px";
    }
}

TEST_F(QtWindow, ALongResultShowsFromItsStartWithTheWholeTextAsItsTip)
{
    QTest::keyClicks(control(kIncome), "123456789012345678");
    click(kCalculateButton);
    for (const std::string_view name : {kTaxBase, kTaxPayable}) {
        EXPECT_EQ(control<QLineEdit>(name)->cursorPosition(), 0) << name;
        EXPECT_EQ(control(name)->toolTip(), text(name)) << name;
    }
    EXPECT_EQ(text(kTaxBase), "1.23456789012342E+17");
    control<QLineEdit>(kTaxBase)->selectAll();
    QTest::keyClicks(control(kTaxBase), "5500");
    EXPECT_EQ(control(kTaxBase)->toolTip(), "") << "a text that fits has no tip";
    // A paste is kept whole, however long, and its tip is the core's.
    QApplication::clipboard()->setText(QString(40000, QLatin1Char('7')));
    control(kIncome)->setFocus();
    QTest::keyClick(control(kIncome), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(control<QLineEdit>(kIncome)->text().size(), 40000 + 18);
    EXPECT_EQ(control(kIncome)->toolTip().size(), 320 + 7 + 1);
}

TEST_F(QtWindow, ThePanelAndTheScrollBarShowTheFocusOneLogicalPixelWide)
{
    const qreal scale = window()->devicePixelRatioF();
    for (const std::string_view name : {kPanel, kScrollBar}) {
        control(kIncome)->setFocus();
        const QImage without = control(name)->grab().toImage();
        control(name)->setFocus();
        const QImage with = control(name)->grab().toImage();
        // Across the middle row from the left edge: the columns that changed.
        const int y = with.height() / 2;
        int changed = 0;
        for (int x = 0; x < with.width() / 2; ++x)
            changed += with.pixel(x, y) != without.pixel(x, y) ? 1 : 0;
        EXPECT_GE(changed, qFloor(scale)) << name << " at " << scale << "x";
        EXPECT_LE(changed, qCeil(scale)) << name << " at " << scale << "x";
    }
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
    QStringList buttons;
    qreal iconScale = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        for (const QAbstractButton *button : box->buttons())
            buttons.append(button->text());
        iconScale = box->iconPixmap().devicePixelRatio();
        box->accept();
    });
    form->backend().showMessage(window::failureReport(RunTimeError::TypeMismatch), forms::MessageKind::Error);
    EXPECT_EQ(text, "运行时错误 13：类型不匹配\n个税起征点必须是一个数字，例如 3500。");
    EXPECT_EQ(buttons, QStringList{"确定"}) << "in the program's language, whatever Qt's";
    EXPECT_GE(iconScale, window()->devicePixelRatioF());
}

} // namespace
} // namespace iitcalc
