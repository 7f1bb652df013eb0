#include "link/hyperlink.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/url_recorder.h"

#include <QDesktopServices>
#include <QUrl>

namespace iitcalc {
namespace {

using testing_support::UrlRecorder;

class HomePageLink : public testing_support::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (const char *scheme : {"http", "https", "file", "mailto"})
            QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    }
    void TearDown() override
    {
        for (const char *scheme : {"http", "https", "file", "mailto"})
            QDesktopServices::unsetUrlHandler(scheme);
        MainWindowTest::TearDown();
    }
    QWidget *link() const { return control("主页"); }

    UrlRecorder recorder;
};

TEST_F(HomePageLink, AClickAnywhereInTheLabelOpensTheAddressOnce)
{
    const QRect inside = link()->rect();
    for (const QPoint point : {inside.topLeft(), inside.center(), inside.bottomRight(), inside.topRight()}) {
        recorder.opened.clear();
        QTest::mouseClick(link(), Qt::LeftButton, {}, point);
        ASSERT_EQ(recorder.opened.size(), 1);
        EXPECT_EQ(recorder.opened[0], QUrl("http://www.example.com"));
    }
}

TEST_F(HomePageLink, TwoClicksOpenTwiceADoubleClickOnce)
{
    QTest::mouseClick(link(), Qt::LeftButton);
    QTest::mouseClick(link(), Qt::LeftButton);
    EXPECT_EQ(recorder.opened.size(), 2);

    recorder.opened.clear();
    // A double-click arrives as press, release, double-click press, release.
    QTest::mousePress(link(), Qt::LeftButton);
    QTest::mouseRelease(link(), Qt::LeftButton);
    QTest::mouseDClick(link(), Qt::LeftButton);
    QTest::mouseRelease(link(), Qt::LeftButton);
    EXPECT_EQ(recorder.opened.size(), 1);

    // Another button, or letting go outside, is no click.
    QTest::mouseClick(link(), Qt::RightButton);
    QTest::mousePress(link(), Qt::LeftButton);
    QTest::mouseRelease(link(), Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(recorder.opened.size(), 1);
}

TEST_F(HomePageLink, TheHandShowsOverTheLabelAndTheArrowOffIt)
{
    QWidget *panelClient = link()->parentWidget();
    const QPoint over = link()->geometry().center();
    const QPoint off = control("计算按钮")->geometry().topLeft() - QPoint(10, 10);

    QTest::mouseMove(panelClient, over);
    QTest::mouseMove(link(), link()->rect().center());
    const auto shapeAt = [](QWidget *parent, QPoint point) {
        QWidget *under = QApplication::widgetAt(parent->mapToGlobal(point));
        return under ? under->cursor().shape() : Qt::BlankCursor;
    };
    EXPECT_EQ(shapeAt(panelClient, over), Qt::PointingHandCursor);
    QTest::mouseMove(panelClient, off);
    EXPECT_EQ(shapeAt(panelClient, off), Qt::ArrowCursor);
}

TEST(Hyperlink, OnlyWebAddressesReachTheDesktop)
{
    UrlRecorder recorder;
    for (const char *scheme : {"http", "https", "file"})
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    超级链接::openAddress(u"file:///etc/passwd");
    超级链接::openAddress(u"not a url at all");
    超级链接::openAddress(u"https://www.example.com/a?b=c");
    for (const char *scheme : {"http", "https", "file"})
        QDesktopServices::unsetUrlHandler(scheme);
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened[0], QUrl("https://www.example.com/a?b=c"));
}

} // namespace
} // namespace iitcalc
