// What only the real Win32 controls can show, under Wine on a virtual
// display, driven through the system's input queue as a person drives them:
// where each control lands in pixels at the window's DPI, fonts, the link
// over its twin in the notice, the focus order, Calculate and the keys, the
// error report, Clear leaving nothing behind, the scroll bar, the link and
// its hand, and the end of the program.
#include "calc/run_time_error.h"
#include "forms/form.h"
#include "forms/win32/win32_backend.h"
#include "link/hyperlink.h"
#include "link/win32/shell_open.h"
#include "tests/support/row_name.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// Rectangles in EXPECT_EQ, as {left, top, width, height}. (RECT is the
// system's, in the global namespace, where lookup finds these.)
bool operator==(const RECT &a, const RECT &b) { return EqualRect(&a, &b) != FALSE; }
std::ostream &operator<<(std::ostream &out, const RECT &r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right - r.left << ", " << r.bottom - r.top << "}";
}

namespace iitcalc {
namespace {

using namespace window;

const std::vector<std::u16string> kStartFields{u"", u"", u"3500", u"", u""};

RECT rect(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
bool dark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }
bool blue(COLORREF c) { return GetBValue(c) > 160 && GetRValue(c) < 100 && GetGValue(c) < 100; }

std::wstring fromUtf8(const std::string &text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// A window's client area as it is on the screen, one COLORREF per pixel.
struct Picture {
    int width;
    int height;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Picture capture(HWND hwnd)
{
    UpdateWindow(GetAncestor(hwnd, GA_ROOT));
    RECT client;
    GetClientRect(hwnd, &client);
    Picture picture{client.right, client.bottom, {}};
    const HDC screen = GetDC(hwnd);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> bits(static_cast<std::size_t>(picture.width * picture.height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(picture.height), bits.data(), &info, DIB_RGB_COLORS);
    for (const RGBQUAD &bit : bits)
        picture.pixels.push_back(RGB(bit.rgbRed, bit.rgbGreen, bit.rgbBlue));
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(hwnd, screen);
    return picture;
}

int windowsOfThisThread()
{
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND top, LPARAM counter) {
            ++*reinterpret_cast<int *>(counter);
            EnumChildWindows(
                top, [](HWND, LPARAM inner) { return ++*reinterpret_cast<int *>(inner), TRUE; }, counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

std::vector<std::wstring> g_opened;

class Win32Window : public testing::Test {
protected:
    void SetUp() override
    {
        g_opened.clear();
        m_shellOpen = std::exchange(超级链接::win32::shellOpen, [](const wchar_t *a) { g_opened.emplace_back(a); });
        SetCursorPos(0, 0); // away from where the window opens
        open({}, true);
    }
    void TearDown() override
    {
        form.reset();
        pump();
        超级链接::win32::shellOpen = m_shellOpen;
    }

    // The main window as the program opens it; run-time failures recorded,
    // or shown in the backend's own box.
    void open(forms::Win32Backend::Options options, bool recordReports)
    {
        form.reset();
        pump();
        forms::ErrorReporter reporter;
        if (recordReports)
            reporter = [this](const forms::RunTimeFailure &f) { reports.push_back(f.report()); };
        form = std::make_unique<forms::Form>(mainFormLayout(), mainFormBindings(),
                                             std::make_unique<forms::Win32Backend>(options), reporter);
        form->show();
        pump();
        ASSERT_EQ(GetActiveWindow(), window());
    }

    // Handles what has arrived or arrives within a moment, as the program's
    // loop does; true when WM_QUIT came.
    bool pump()
    {
        bool quit = false;
        for (int idle = 0; idle < 3;) {
            MSG message;
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ++idle;
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                continue;
            }
            idle = 0;
            if (message.message == WM_QUIT)
                quit = true;
            else if (!forms::translateDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        return quit;
    }

    HWND window() const { return forms::windowOf(*form); }
    HWND control(std::string_view name) const { return forms::controlOf(*form, name); }
    UINT dpi() const { return GetDpiForWindow(window()); }
    int scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, static_cast<int>(dpi()), 96); }
    RECT placeOf(HWND hwnd) const // in the parent's client area
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT *>(&r), 2);
        return r;
    }
    std::u16string text(std::string_view box) const
    {
        wchar_t buffer[256] = {};
        GetWindowTextW(control(box), buffer, 256);
        return std::u16string(buffer, buffer + wcslen(buffer));
    }
    std::vector<std::u16string> fieldTexts() const
    {
        return {text(kIncome), text(kInsurance), text(kThreshold), text(kTaxBase), text(kTaxPayable)};
    }

    void send(const std::vector<INPUT> &inputs)
    {
        SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT *>(inputs.data()), sizeof(INPUT));
        pump();
    }
    static INPUT button(DWORD flags, DWORD time)
    {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        input.mi.time = time;
        return input;
    }
    // Each click well after the last, so that none is taken for the second
    // half of a double-click.
    static DWORD clickTime()
    {
        static DWORD last = 0;
        return last = std::max<DWORD>(GetTickCount(), last + GetDoubleClickTime() + 1);
    }
    // The pointer to a point of a control's client area (its centre when
    // not given).
    void pointAt(HWND hwnd, POINT point = {-1, -1})
    {
        RECT client;
        GetClientRect(hwnd, &client);
        if (point.x < 0)
            point = {client.right / 2, client.bottom / 2};
        ClientToScreen(hwnd, &point);
        // Wine hears of the pointer from the X server too, a little later,
        // and may briefly put it back where it was: wait until it stays put.
        SetCursorPos(point.x, point.y);
        for (int stable = 0, round = 0; stable < 2 && round < 100; ++round) {
            pump();
            POINT now{};
            GetCursorPos(&now);
            stable = now.x == point.x && now.y == point.y ? stable + 1 : 0;
            if (stable == 0)
                SetCursorPos(point.x, point.y);
        }
        send({button(MOUSEEVENTF_MOVE, 0)}); // a move of nothing, for the window under it
    }
    void click(HWND hwnd, POINT point = {-1, -1})
    {
        pointAt(hwnd, point);
        const DWORD time = clickTime();
        send({button(MOUSEEVENTF_LEFTDOWN, time), button(MOUSEEVENTF_LEFTUP, time)});
    }
    void click(std::string_view name) { click(control(name)); }
    void press(WORD key, bool shift = false)
    {
        std::vector<INPUT> inputs;
        const auto add = [&](WORD vk, DWORD flags) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        };
        if (shift)
            add(VK_SHIFT, 0);
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
        if (shift)
            add(VK_SHIFT, KEYEVENTF_KEYUP);
        send(inputs);
    }
    // Clicks into a box and types after what it holds.
    void typeInto(std::string_view box, std::u16string_view typed)
    {
        click(box);
        SendMessageW(control(box), EM_SETSEL, static_cast<WPARAM>(GetWindowTextLengthW(control(box))), -1);
        std::vector<INPUT> inputs;
        for (const char16_t c : typed) {
            for (const DWORD flags : {DWORD{KEYEVENTF_UNICODE}, DWORD{KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}) {
                INPUT input{};
                input.type = INPUT_KEYBOARD;
                input.ki.wScan = c;
                input.ki.dwFlags = flags;
                inputs.push_back(input);
            }
        }
        send(inputs);
    }

    std::unique_ptr<forms::Form> form;
    std::vector<std::string> reports;

private:
    超级链接::win32::ShellOpen m_shellOpen = nullptr;
};

TEST_F(Win32Window, EveryControlSitsAtItsPixels)
{
    // Left, top, width, height in the parent's client area at 96 dpi: twips
    // / 15, rounded; at 192 dpi (the same test in a prefix set to it) twice
    // as many.
    const std::pair<std::string_view, RECT> expected[] = {
        {kScrollBar, rect(584, 0, 17, 105)},        {kPanel, rect(8, 0, 569, 433)},
        {kCalculateButton, rect(96, 200, 105, 25)}, {kClearButton, rect(344, 200, 105, 25)},
        {kTaxPayable, rect(432, 88, 121, 18)},      {kTaxBase, rect(432, 56, 121, 18)},
        {kIncome, rect(152, 56, 121, 18)},          {kInsurance, rect(152, 88, 121, 18)},
        {kThreshold, rect(152, 120, 121, 18)},      {"Label49", rect(0, 0, 569, 17)},
        {"Label48", rect(32, 24, 209, 17)},         {"Label47", rect(312, 24, 209, 17)},
        {"Label43", rect(312, 88, 113, 17)},        {"Label10", rect(312, 56, 113, 17)},
        {kHomePage, rect(144, 272, 121, 17)},       {"Label1", rect(32, 56, 113, 17)},
        {"Label2", rect(32, 88, 113, 17)},          {"Label3", rect(32, 120, 113, 17)},
        {kNotice, rect(48, 256, 465, 41)}};
    for (const auto &[name, at96] : expected) {
        const RECT want{scaled(at96.left), scaled(at96.top), scaled(at96.right), scaled(at96.bottom)};
        EXPECT_EQ(placeOf(control(name)), want) << name << " at " << dpi() << " dpi";
    }
    RECT client;
    GetClientRect(window(), &client);
    EXPECT_EQ(client, rect(0, 0, scaled(616), scaled(434)));
    const auto style = GetWindowLongPtrW(window(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU), WS_MINIMIZEBOX | WS_SYSMENU);

    // The two lines, one pixel wide from (x, 40) to (x, 176) on the panel,
    // both ends included.
    const Picture panel = capture(control(kPanel));
    for (const int x : {scaled(296), scaled(280)}) {
        for (int y = scaled(40); y <= scaled(176); ++y)
            ASSERT_TRUE(dark(panel.at(x, y))) << "line at x " << x << ", y " << y;
        for (const POINT beside : {POINT{x, scaled(40) - 1}, POINT{x, scaled(176) + 1}, POINT{x - 1, scaled(100)},
                                   POINT{x + 1, scaled(100)}})
            EXPECT_FALSE(dark(panel.at(beside.x, beside.y))) << beside.x << ", " << beside.y;
    }
}

TEST_F(Win32Window, FontsAndNoMissingGlyphs)
{
    const std::tuple<std::string_view, int, bool> expected[] = {
        // name, em pixels at 96 dpi, bold
        {"Label49", 16, true}, {"Label48", 14, true},  {"Label47", 14, true},         {"Label1", 12, false},
        {kIncome, 12, false},  {kHomePage, 12, false}, {kCalculateButton, 12, false}, {kNotice, 12, false}};
    for (const auto &[name, pixels, bold] : expected) {
        const HWND hwnd = control(name);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        ASSERT_NE(GetObjectW(font, sizeof logFont, &logFont), 0) << name;
        EXPECT_EQ(logFont.lfHeight, -scaled(pixels)) << name;
        EXPECT_EQ(logFont.lfWeight, bold ? FW_BOLD : FW_NORMAL) << name;
        EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET) << name;
        EXPECT_STREQ(logFont.lfFaceName, L"宋体") << name;

        // Whatever stands in for 宋体 has every character shown: no boxes.
        wchar_t shown[128] = L"个人所得税计算器０１２３４５６７８９";
        if (name != kIncome)
            GetWindowTextW(hwnd, shown, 128);
        const HDC dc = GetDC(hwnd);
        const HGDIOBJ old = SelectObject(dc, font);
        std::vector<WORD> glyphs(wcslen(shown));
        GetGlyphIndicesW(dc, shown, static_cast<int>(glyphs.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), WORD{0xFFFF}), 0) << name;
    }
}

TEST_F(Win32Window, TheBlueAddressLiesExactlyOverItsTwinInTheNotice)
{
    const HWND link = control(kHomePage);
    const RECT area = placeOf(link);
    const auto inkUnderTheLink = [&](const Picture &picture) {
        std::vector<bool> ink;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x)
                ink.push_back(picture.at(x, y) != GetSysColor(COLOR_BTNFACE));
        }
        return ink;
    };
    ShowWindow(link, SW_HIDE);
    const Picture notice = capture(control(kPanel));
    ShowWindow(link, SW_SHOW);
    const Picture both = capture(control(kPanel));
    EXPECT_EQ(inkUnderTheLink(both), inkUnderTheLink(notice)) << "the link's text is not where the notice's address is";
    // Whichever of the two is painted last, the link's text stays in front.
    RedrawWindow(control(kNotice), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(capture(control(kPanel)).pixels == both.pixels) << "the notice painted over the link";

    int bluePixels = 0;
    for (int y = 0; y < both.height; ++y) {
        for (int x = 0; x < both.width; ++x) {
            if (blue(both.at(x, y))) {
                ++bluePixels;
                EXPECT_TRUE(PtInRect(&area, POINT{x, y})) << "blue outside the link at " << x << ", " << y;
            }
        }
    }
    EXPECT_GT(bluePixels, 0);
}

TEST_F(Win32Window, TabWalksTheFocusOrderAndLabelsNeverTakeIt)
{
    EXPECT_EQ(GetFocus(), control(kPanel));
    for (const std::string_view name :
         {kThreshold, kInsurance, kIncome, kTaxBase, kTaxPayable, kClearButton, kCalculateButton, kScrollBar, kPanel}) {
        press(VK_TAB);
        EXPECT_EQ(GetFocus(), control(name)) << name;
    }
    press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), control(kScrollBar));
    for (const std::string_view label : {std::string_view("Label49"), std::string_view("Label1"), kHomePage, kNotice})
        EXPECT_EQ(GetWindowLongPtrW(control(label), GWL_STYLE) & WS_TABSTOP, 0) << label;
}

TEST_F(Win32Window, TypingAndClickingCalculateAndWhatEnterAndEscapeDo)
{
    EXPECT_EQ(fieldTexts(), kStartFields);
    typeInto(kIncome, u"10000");
    typeInto(kInsurance, u"1000");
    click(kCalculateButton);
    EXPECT_EQ(fieldTexts(), (std::vector<std::u16string>{u"10000", u"1000", u"3500", u"5500", u"545"}));
    // Enter in a box and Escape press nothing: neither button is the default.
    typeInto(kIncome, u"0");
    press(VK_RETURN);
    press(VK_ESCAPE);
    EXPECT_EQ(text(kTaxBase), u"5500");
    EXPECT_TRUE(IsWindowVisible(window()));
    // Enter presses a button that has the focus, as Space does.
    SetFocus(control(kCalculateButton));
    press(VK_RETURN);
    EXPECT_EQ(text(kTaxBase), u"95500");
    typeInto(kIncome, u"0");
    SetFocus(control(kCalculateButton));
    press(VK_SPACE);
    EXPECT_EQ(text(kTaxBase), u"995500");
    // What the program writes is shown from its start.
    DWORD start = 1;
    SendMessageW(control(kTaxBase), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(start, 0u);
    EXPECT_TRUE(reports.empty());
}

// The box the backend shows for a run-time failure, read and dismissed by a
// timer that runs in the box's own message loop.
struct SeenReport {
    int boxes = 0;
    HWND owner = nullptr;
    std::wstring text;
} g_seen;

void CALLBACK readAndDismissReport(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = FindWindowW(L"#32770", L"个人所得税计算器");
    if (!box)
        return;
    KillTimer(nullptr, timer);
    ++g_seen.boxes;
    g_seen.owner = GetWindow(box, GW_OWNER);
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256); // the message's own control
    g_seen.text = text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(Win32Window, TheErrorReportIsTheWindowsOwnAndChangesNothing)
{
    open({}, false);
    typeInto(kIncome, u"10000");
    click(kThreshold);
    SendMessageW(control(kThreshold), EM_SETSEL, 0, -1);
    press(VK_DELETE);
    const std::vector<std::u16string> before = fieldTexts();
    ASSERT_EQ(before[2], u"");

    g_seen = {};
    SetTimer(nullptr, 0, 50, readAndDismissReport);
    click(kCalculateButton);
    EXPECT_EQ(g_seen.boxes, 1);
    EXPECT_EQ(g_seen.owner, window());
    EXPECT_EQ(g_seen.text, fromUtf8(failureReport(RunTimeError::TypeMismatch)));
    // Back to the window, which kept every field: the activation that came
    // back with it is not a new opening.
    EXPECT_EQ(fieldTexts(), before);
    EXPECT_EQ(GetActiveWindow(), window());
}

TEST_F(Win32Window, ClearRecentresAndLeavesNothingBehind)
{
    SetWindowPos(window(), nullptr, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    typeInto(kIncome, u"123");
    typeInto(kThreshold, u"9");
    click(kClearButton);
    const int windows = windowsOfThisThread();
    for (int round = 0; round < 20; ++round) {
        const HWND old = window();
        std::set<HFONT> oldFonts;
        for (const forms::ControlRecord &record : mainFormLayout().controls) {
            if (const HWND hwnd = control(record.name))
                oldFonts.insert(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        }
        click(kClearButton);
        ASSERT_FALSE(IsWindow(old)) << "round " << round;
        for (const HFONT font : oldFonts)
            EXPECT_EQ(GetObjectType(font), 0u) << "a font of the old window is still there";
        EXPECT_EQ(windowsOfThisThread(), windows) << "round " << round;
    }
    EXPECT_EQ(fieldTexts(), kStartFields);
    EXPECT_EQ(GetFocus(), control(kPanel));
    EXPECT_EQ(GetActiveWindow(), window());

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT frame;
    GetWindowRect(window(), &frame);
    const RECT &work = monitor.rcWork;
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 1) << frame;
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 1) << frame;
}

struct EndRow {
    const char *name;
    bool close; // the close box, or else Clear
};
IITCALC_PRINTABLE_ROW(EndRow)

class ProgramEnd : public Win32Window, public testing::WithParamInterface<EndRow> {};

TEST_P(ProgramEnd, OnlyClosingTheLastWindowEndsTheMessageLoop)
{
    open({.quitWhenLastWindowCloses = true}, true);
    const HWND old = window();
    if (GetParam().close)
        PostMessageW(old, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        click(kClearButton);
    EXPECT_EQ(pump(), GetParam().close);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(form->isLoaded(), !GetParam().close);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgramEnd, testing::Values(EndRow{"close_box", true}, EndRow{"clear", false}),
                         testing_support::RowName());

TEST_F(Win32Window, TheScrollBarMovesThePanelInStepsOf500Twips)
{
    const HWND bar = control(kScrollBar);
    const HWND panel = control(kPanel);
    int low = -1;
    int high = -1;
    GetScrollRange(bar, SB_CTL, &low, &high);
    EXPECT_EQ(std::pair(low, high), std::pair(0, 13));
    EXPECT_EQ(placeOf(panel).top, 0);
    const auto pixelsFor = [&](int steps) { return static_cast<int>(std::lround(-500.0 * steps * dpi() / 1440)); };

    // The down arrow, clicked: one step, and everything on the panel moves
    // with it.
    RECT button;
    GetWindowRect(control(kCalculateButton), &button);
    RECT client;
    GetClientRect(bar, &client);
    click(bar, POINT{client.right / 2, client.bottom - GetSystemMetricsForDpi(SM_CYVSCROLL, dpi()) / 2});
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
    EXPECT_EQ(placeOf(panel).top, dpi() == 96 ? -33 : -67);
    RECT moved;
    GetWindowRect(control(kCalculateButton), &moved);
    EXPECT_EQ(moved.top - button.top, placeOf(panel).top);

    // Dragging the thumb moves nothing until it is let go.
    SendMessageW(window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
    SendMessageW(window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 5);
    EXPECT_EQ(placeOf(panel).top, pixelsFor(5));

    // The keys, with the scroll bar focused: to the end and back.
    SetFocus(bar);
    press(VK_END);
    EXPECT_EQ(placeOf(panel).top, pixelsFor(13));
    press(VK_HOME);
    EXPECT_EQ(placeOf(panel).top, 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Win32Window, ALinkClickIsAPressAndReleaseInsideAndADoubleClickCountsOnce)
{
    const HWND link = control(kHomePage);
    RECT client;
    GetClientRect(link, &client);
    click(link, POINT{0, 0});
    click(link, POINT{client.right - 1, client.bottom - 1});
    pointAt(link);
    const DWORD first = clickTime();
    send({button(MOUSEEVENTF_LEFTDOWN, first), button(MOUSEEVENTF_LEFTUP, first),
          button(MOUSEEVENTF_LEFTDOWN, first + 100), button(MOUSEEVENTF_LEFTUP, first + 100)});
    // Pressed on the link and let go off it; the right button.
    send({button(MOUSEEVENTF_LEFTDOWN, clickTime())});
    pointAt(control(kNotice), POINT{2, 2});
    send({button(MOUSEEVENTF_LEFTUP, clickTime())});
    pointAt(link);
    const DWORD right = clickTime();
    send({button(MOUSEEVENTF_RIGHTDOWN, right), button(MOUSEEVENTF_RIGHTUP, right)});
    EXPECT_EQ(g_opened, std::vector<std::wstring>(3, L"http://www.example.com"));

    // Only a web address reaches the shell, and never as a command line.
    超级链接::openAddress(u"file:///C:/Windows/notepad.exe");
    超级链接::openAddress(u"http://a.com\" & calc");
    EXPECT_EQ(g_opened.size(), 3u);
}

TEST_F(Win32Window, TheHandShowsOverTheLinkAndTheArrowOffIt)
{
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    // Off the link onto the notice it lies on, onto another label, and onto
    // the bare panel.
    const std::pair<std::string_view, POINT> elsewhere[] = {
        {kNotice, POINT{2, 2}}, {"Label1", POINT{2, 2}}, {kPanel, POINT{scaled(200), scaled(300)}}};
    for (const auto &[name, point] : elsewhere) {
        pointAt(control(kHomePage));
        EXPECT_EQ(GetCursor(), hand);
        pointAt(control(name), point);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW)) << name;
    }
}

TEST_F(Win32Window, ANewDpiLaysEverythingOutAgain)
{
    if (dpi() != USER_DEFAULT_SCREEN_DPI)
        GTEST_SKIP() << "starts at 96 dpi";
    click(control(kScrollBar), POINT{5, scaled(100)});
    RECT suggested;
    GetWindowRect(window(), &suggested);
    SendMessageW(window(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(placeOf(control(kCalculateButton)), rect(192, 400, 210, 50));
    EXPECT_EQ(placeOf(control(kScrollBar)), rect(1168, 0, 34, 210));
    // The panel keeps its scroll position, in twips.
    EXPECT_EQ(placeOf(control(kPanel)), rect(16, -67, 1138, 866));
    LOGFONTW logFont{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control("Label49"), WM_GETFONT, 0, 0)), sizeof logFont, &logFont);
    EXPECT_EQ(logFont.lfHeight, -32);
}

} // namespace
} // namespace iitcalc
