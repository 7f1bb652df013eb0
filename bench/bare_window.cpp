#include "bench/bare_window.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

namespace iitcalc::bench {

QWidget *buildBareWindow()
{
    auto *window = new QWidget;
    window->setObjectName("主窗体");
    window->setWindowTitle(QStringLiteral("个人所得税计算器（对照）"));
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    window->setFont(font);
    window->setFixedSize(616, 434);

    auto *bar = new QScrollBar(Qt::Vertical, window);
    bar->setGeometry(584, 0, 17, 105);
    bar->setRange(0, 13);
    auto *panel = new QFrame(window);
    panel->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    panel->setGeometry(8, 0, 569, 433);
    auto *client = new QWidget(panel);
    client->setGeometry(2, 2, 565, 429);

    new QPushButton(QStringLiteral("计算"), client);
    client->children().last()->setObjectName("计算按钮");
    static_cast<QWidget *>(client->children().last())->setGeometry(96, 200, 105, 25);
    auto *clear = new QPushButton(QStringLiteral("清空"), client);
    clear->setObjectName("清空按钮");
    clear->setGeometry(344, 200, 105, 25);
    const struct {
        const char *name;
        QRect rect;
    } boxes[] = {{"应缴税额", {432, 88, 121, 18}},
                 {"税基", {432, 56, 121, 18}},
                 {"个人收入", {152, 56, 121, 18}},
                 {"五险一金之和", {152, 88, 121, 18}},
                 {"个税起征点", {152, 120, 121, 18}}};
    for (const auto &box : boxes) {
        auto *edit = new QLineEdit(client);
        edit->setObjectName(QString::fromUtf8(box.name));
        edit->setGeometry(box.rect);
    }
    const struct {
        const char *caption;
        QRect rect;
        int pixels;
    } labels[] = {{"个人所得税计算器", {0, 0, 569, 17}, 16},
                  {"原始数据区", {32, 24, 209, 17}, 14},
                  {"计算结果区", {312, 24, 209, 17}, 14},
                  {"应缴税额", {312, 88, 113, 17}, 0},
                  {"税基", {312, 56, 113, 17}, 0},
                  {"www.example.com", {144, 272, 121, 17}, 0},
                  {"个人收入", {32, 56, 113, 17}, 0},
                  {"五险一金之和", {32, 88, 113, 17}, 0},
                  {"个税起征点", {32, 120, 113, 17}, 0},
                  {"本软件由iitcalc 开发组研发，内容仅供参考，\n欲知更多，请登录www.example.com；电话：010-00000000.",
                   {48, 256, 465, 41},
                   0}};
    for (const auto &label : labels) {
        auto *text = new QLabel(QString::fromUtf8(label.caption), client);
        text->setGeometry(label.rect);
        text->setAutoFillBackground(true);
        if (label.pixels) {
            QFont bold = text->font();
            bold.setPixelSize(label.pixels);
            bold.setBold(true);
            text->setFont(bold);
        }
    }
    for (const int x : {296, 280}) {
        auto *line = new QFrame(client);
        line->setFrameShape(QFrame::VLine);
        line->setGeometry(x, 40, 1, 136);
    }
    return window;
}

} // namespace iitcalc::bench
