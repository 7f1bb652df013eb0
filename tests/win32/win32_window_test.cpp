// What only the real Win32 controls can show, under Wine on a virtual
// display, driven through the system's input queue as a person drives them:
// where each control lands in pixels at the window's DPI and in which font,
// the painted lines and the link over its twin in the notice, the scroll
// bar, the focus order, Calculate and the keys, the error report, Clear
// leaving nothing behind and the end of the program, the link and its hand,
// and a change of DPI.
#include "calc/utf8.h"
#include "forms/form.h"
#include "forms/geometry.h"
#include "forms/win32/win32_backend.h"
#include "link/hyperlink.h"
#include "link/win32/shell_open.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ranges>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace iitcalc {
namespace {

using namespace forms;
using namespace window;

// A rectangle as {left, top, width, height}, to compare and print.
std::tuple<int, int, int, int> box(const RECT &r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
bool dark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }
bool blue(COLORREF c) { return GetBValue(c) > 160 && GetRValue(c) < 100 && GetGValue(c) < 100; }
INPUT mouse(DWORD flags, DWORD time = 0) { return {INPUT_MOUSE, {.mi = {0, 0, 0, flags, time, 0}}}; }
INPUT key(WORD vk, DWORD flags = 0, WORD unit = 0) { return {INPUT_KEYBOARD, {.ki = {vk, unit, flags, 0, 0}}}; }

// Each click well after the last, so that none is taken for the second half
// of a double-click.
DWORD clickTime()
{
    static DWORD last = 0;
    return last = std::max<DWORD>(GetTickCount(), last + GetDoubleClickTime() + 1);
}

std::u16string textOf(HWND hwnd)
{
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return std::u16string(text, text + wcslen(text));
}

// A window's client area as it is on the screen, picture[y][x].
using Picture = std::vector<std::vector<COLORREF>>;
Picture capture(HWND hwnd)
{
    UpdateWindow(GetAncestor(hwnd, GA_ROOT));
    RECT r;
    GetClientRect(hwnd, &r);
    const HDC dc = GetDCEx(hwnd, nullptr, DCX_CACHE); // its children included
    Picture picture(static_cast<std::size_t>(r.bottom), std::vector<COLORREF>(static_cast<std::size_t>(r.right)));
    for (int i = 0; i < r.right * r.bottom; ++i)
        picture[i / r.right][i % r.right] = GetPixel(dc, i % r.right, i / r.right);
    ReleaseDC(hwnd, dc);
    return picture;
}

std::vector<std::wstring> g_opened; // what reached the shell

class Win32Window : public testing::Test {
protected:
    void SetUp() override
    {
        // Every test records the shell's open requests instead of making them.
        g_opened.clear();
        超级链接::win32::shellOpen = [](const wchar_t *address) {
            g_opened.emplace_back(address);
            return true;
        };
        SetCursorPos(0, 0); // away from where the window opens
        open();
    }

    // The main window as the program opens it, in place of any before it;
    // run-time failures recorded, or shown in the backend's own box.
    void open(Win32Backend::Options options = {}, bool recordReports = true,
              const FormRecord &layout = mainFormLayout())
    {
        form.reset();
        pump();
        const auto record = [this](const RunTimeFailure &f) { reports.push_back(f.report()); };
        form = std::make_unique<Form>(layout, mainFormBindings(), std::make_unique<Win32Backend>(options),
                                      recordReports ? ErrorReporter(record) : nullptr);
        form->show();
        pump();
        dpi = GetDpiForWindow(window());
        ASSERT_EQ(GetActiveWindow(), window());
    }

    // Handles what has arrived or arrives within a moment, as the program's
    // loop does, noting a WM_QUIT.
    void pump()
    {
        for (int idle = 0; idle < 3; ++idle) {
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); idle = 0) {
                quit = quit || message.message == WM_QUIT;
                if (message.message != WM_QUIT && !translateDialogMessage(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    // Pumps until done() holds, for ten seconds at most: on a busy machine
    // what an input brings may come after the pump has fallen quiet.
    template <typename Done>
    void pumpUntil(Done done)
    {
        for (const ULONGLONG start = GetTickCount64(); !done() && GetTickCount64() - start < 10000;)
            pump();
    }

    HWND window() const { return windowOf(*form); }
    HWND control(std::string_view name) const { return controlOf(*form, name); }
    int scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, static_cast<int>(dpi), 96); }
    // As when the window is moved to a monitor of another DPI.
    void changeDpi(UINT to)
    {
        RECT suggested;
        GetWindowRect(window(), &suggested);
        SendMessageW(window(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        dpi = to;
    }
    RECT placeOf(std::string_view name) const // in the parent's client area
    {
        RECT r;
        GetWindowRect(control(name), &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(control(name)), reinterpret_cast<POINT *>(&r), 2);
        return r;
    }
    std::u16string text(std::string_view box) const { return textOf(control(box)); }
    std::vector<std::u16string> fieldTexts() const
    {
        return {text(kIncome), text(kInsurance), text(kThreshold), text(kTaxBase), text(kTaxPayable)};
    }

    void send(std::vector<INPUT> inputs)
    {
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        pump();
    }
    // The pointer to a point of a control's client area, its centre unless
    // given.
    void pointAt(std::string_view name, POINT point = {-1, -1})
    {
        RECT client;
        GetClientRect(control(name), &client);
        point = point.x < 0 ? POINT{client.right / 2, client.bottom / 2} : point;
        ClientToScreen(control(name), &point);
        // Wine hears of the pointer from the X server too, a little later,
        // and may briefly put it back where it was: set it until it stays.
        for (int stable = 0, round = 0; stable < 2 && round < 100; ++round) {
            POINT now{};
            GetCursorPos(&now);
            stable = now.x == point.x && now.y == point.y ? stable + 1 : (SetCursorPos(point.x, point.y), 0);
            pump();
        }
        send({mouse(MOUSEEVENTF_MOVE)}); // a move of nothing, for the window under it
    }
    void click(std::string_view name, POINT point = {-1, -1})
    {
        pointAt(name, point);
        send({mouse(MOUSEEVENTF_LEFTDOWN, clickTime()), mouse(MOUSEEVENTF_LEFTUP, clickTime())});
    }
    void press(WORD vk) { send({key(vk), key(vk, KEYEVENTF_KEYUP)}); }
    // Clicks into a box and types after what it holds.
    void typeInto(std::string_view box, std::u16string_view typed)
    {
        click(box);
        press(VK_END);
        for (const char16_t c : typed)
            send({key(0, KEYEVENTF_UNICODE, c), key(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, c)});
    }

    std::unique_ptr<Form> form;
    std::vector<std::string> reports;
    bool quit = false;
    UINT dpi = 0; // the window's, as the system or changeDpi() gave it
};

TEST_F(Win32Window, EveryControlSitsAtItsPixelsInItsFont)
{
    RECT client;
    GetClientRect(window(), &client);
    EXPECT_EQ(box(client), std::tuple(0, 0, scaled(616), scaled(434)));
    const auto style = GetWindowLongPtrW(window(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU), WS_MINIMIZEBOX | WS_SYSMENU);

    // Where the core's geometry puts each control at the DPI the window
    // opens at (the test runs in a prefix at each), then at the other one,
    // as on another monitor.
    for (const UINT at : {dpi, 96 + 192 - dpi}) {
        if (at != dpi)
            changeDpi(at);
        for (const ControlRecord &record : mainFormLayout().controls) {
            const std::string_view name = record.name;
            if (record.kind == ControlKind::Line)
                continue;
            const PixelRect place = pixelRect(record, dpi);
            EXPECT_EQ(box(placeOf(name)), std::tuple(place.left, place.top, place.width, place.height))
                << name << " at " << dpi << " dpi";
            if (name == kPanel || name == kScrollBar)
                continue;
            // 宋体: the title 12 pt and the two headers 10.5 pt, bold; the
            // rest 9 pt. The em in pixels at 96 dpi.
            const int em = name == "Label49" ? 16 : name == "Label48" || name == "Label47" ? 14 : 12;
            const auto font = reinterpret_cast<HFONT>(SendMessageW(control(name), WM_GETFONT, 0, 0));
            LOGFONTW f{};
            GetObjectW(font, sizeof f, &f);
            EXPECT_EQ(std::tuple(f.lfHeight, f.lfWeight, int{f.lfCharSet}, std::wstring(f.lfFaceName)),
                      std::tuple(-scaled(em), em > 12 ? FW_BOLD : FW_NORMAL, GB2312_CHARSET, std::wstring(L"宋体")))
                << name << "'s font at " << dpi << " dpi: height, weight, character set, face";
        }
    }
}

TEST_F(Win32Window, TheBlueAddressLiesOverItsTwinInTheNoticeAndTheLinesAreOnePixelWide)
{
    // Also with a caption wider than the link's rectangle, as a font wider
    // than 宋体 makes it: the notice beside the link is still painted.
    std::vector<ControlRecord> wide(mainFormLayout().controls.begin(), mainFormLayout().controls.end());
    std::ranges::find(wide, kHomePage, &ControlRecord::name)->caption = u"www.example.com/一个很长很长的地址";
    FormRecord wideLayout = mainFormLayout();
    wideLayout.controls = wide;
    for (const bool wideCaption : {true, false}) {
        if (wideCaption)
            open({}, true, wideLayout);
        else
            open();
        const RECT area = placeOf(kHomePage);
        ShowWindow(control(kHomePage), SW_HIDE);
        const Picture notice = capture(control(kPanel));
        ShowWindow(control(kHomePage), SW_SHOW);
        const Picture both = capture(control(kPanel));
        for (int y = 0; y < static_cast<int>(both.size()); ++y) {
            for (int x = 0; x < static_cast<int>(both[y].size()); ++x) {
                if (!PtInRect(&area, POINT{x, y})) {
                    ASSERT_EQ(both[y][x], notice[y][x]) << "painted differently beside the link at " << x << ", " << y;
                } else if (!wideCaption) {
                    ASSERT_EQ(both[y][x] != GetSysColor(COLOR_BTNFACE), notice[y][x] != GetSysColor(COLOR_BTNFACE))
                        << "the link's text is not where the notice's address is, at " << x << ", " << y;
                }
            }
        }
        if (wideCaption)
            continue;
        EXPECT_TRUE(std::ranges::any_of(both | std::views::join, blue)) << "the link is not blue";
        EXPECT_FALSE(std::ranges::any_of(notice | std::views::join, blue)) << "blue without the link";
        // Whichever of the two is painted last, the link's text stays in front.
        RedrawWindow(control(kNotice), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_TRUE(capture(control(kPanel)) == both) << "the notice painted over the link";
    }
    const Picture both = capture(control(kPanel));

    // The two lines, one pixel wide from (x, 40) to (x, 176) on the panel,
    // both ends included.
    for (const int x : {scaled(296), scaled(280)}) {
        for (int y = scaled(40) - 1; y <= scaled(176) + 1; ++y)
            ASSERT_EQ(dark(both[y][x]), y >= scaled(40) && y <= scaled(176)) << "line at x " << x << ", y " << y;
        EXPECT_FALSE(dark(both[scaled(100)][x - 1]) || dark(both[scaled(100)][x + 1])) << "line at x " << x;
    }
}

TEST_F(Win32Window, TheScrollBarMovesThePanelInStepsOf500Twips)
{
    const HWND bar = control(kScrollBar);
    int low = -1, high = -1;
    GetScrollRange(bar, SB_CTL, &low, &high);
    EXPECT_EQ(std::pair(low, high), std::pair(0, 13));
    const auto pixelsFor = [&](int steps) { return static_cast<int>(std::lround(-500.0 * steps * dpi / 1440)); };
    SetFocus(bar);
    const Picture start = capture(control(kPanel));

    // The down arrow, clicked: one step, and everything on the panel moves
    // with it.
    RECT button, moved;
    GetWindowRect(control(kCalculateButton), &button);
    const auto [barLeft, barTop, barWidth, barHeight] = box(placeOf(kScrollBar));
    click(kScrollBar, POINT{barWidth / 2, barHeight - GetSystemMetricsForDpi(SM_CYVSCROLL, dpi) / 2});
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
    EXPECT_EQ(placeOf(kPanel).top, dpi == 96 ? -33 : -67);
    GetWindowRect(control(kCalculateButton), &moved);
    EXPECT_EQ(moved.top - button.top, placeOf(kPanel).top);

    // Dragging the thumb moves nothing until it is let go.
    SendMessageW(window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
    SendMessageW(window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 5);
    EXPECT_EQ(placeOf(kPanel).top, pixelsFor(5));
    // Let go where it was, it raises no Change (which would put back the
    // panel moved here by hand).
    form->setTop(kPanel, -123);
    SendMessageW(window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), reinterpret_cast<LPARAM>(bar));
    SendMessageW(window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(std::pair(GetScrollPos(bar, SB_CTL), form->top(kPanel)), std::pair(5, -123.0f));

    // The keys, with the scroll bar focused: to the start, drawn as it was
    // with nothing left behind on the way, and to the end.
    press(VK_HOME);
    EXPECT_EQ(placeOf(kPanel).top, 0);
    EXPECT_TRUE(capture(control(kPanel)) == start) << "the panel left stale pixels behind";
    // A notch of the wheel towards the user over a box on the panel (sent
    // where the system sends it, to the focused bar): a step down.
    RECT income;
    GetWindowRect(control(kIncome), &income);
    PostMessageW(bar, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(income.left + 4, income.top + 4));
    pump();
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
    EXPECT_EQ(placeOf(kPanel).top, pixelsFor(1));
    press(VK_END);
    EXPECT_EQ(placeOf(kPanel).top, pixelsFor(13));
    // The whole panel above the window: a notch away from the user over the
    // bare window, where the panel was.
    POINT bare{barLeft / 2, barTop + barHeight / 2};
    ClientToScreen(window(), &bare);
    PostMessageW(bar, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA)), MAKELPARAM(bare.x, bare.y));
    pump();
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 12);
    EXPECT_EQ(placeOf(kPanel).top, pixelsFor(12));
    press(VK_END);
    // On a monitor of the other DPI the panel keeps its place in twips.
    changeDpi(96 + 192 - dpi);
    EXPECT_EQ(placeOf(kPanel).top, pixelsFor(13));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Win32Window, TheKeysWalkTheFocusOrderAndCalculateIsClickedOrPressedNeverByDefault)
{
    EXPECT_EQ(GetFocus(), control(kPanel));
    for (const std::string_view name :
         {kThreshold, kInsurance, kIncome, kTaxBase, kTaxPayable, kClearButton, kCalculateButton, kScrollBar, kPanel}) {
        press(VK_TAB);
        EXPECT_EQ(GetFocus(), control(name)) << name;
    }
    send({key(VK_SHIFT), key(VK_TAB), key(VK_TAB, KEYEVENTF_KEYUP), key(VK_SHIFT, KEYEVENTF_KEYUP)});
    EXPECT_EQ(GetFocus(), control(kScrollBar)) << "Shift+Tab";

    // Typed by keys, calculated by a click; Enter in a box and Escape press
    // nothing (neither button is the default); Enter presses a focused
    // button, as Space does.
    typeInto(kIncome, u"10000");
    click(kCalculateButton);
    EXPECT_EQ(text(kTaxBase), u"6500");
    std::vector<std::u16string> bases;
    for (const auto &[vk, onTheButton] :
         {std::pair<WORD, bool>{VK_RETURN, false}, {VK_ESCAPE, false}, {VK_SPACE, true}, {VK_RETURN, true}}) {
        typeInto(kIncome, u"0");
        if (onTheButton)
            SetFocus(control(kCalculateButton));
        press(vk);
        bases.push_back(text(kTaxBase));
    }
    EXPECT_EQ(bases, (std::vector<std::u16string>{u"6500", u"6500", u"9996500", u"99996500"}));
    // The keypad's Enter (an extended key) presses it too.
    typeInto(kIncome, u"0");
    SetFocus(control(kCalculateButton));
    send({key(VK_RETURN, KEYEVENTF_EXTENDEDKEY), key(VK_RETURN, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP)});
    EXPECT_EQ(text(kTaxBase), u"999996500");
    EXPECT_TRUE(IsWindowVisible(window()));
    // What the program writes is shown from its start; a result too long
    // for its box has the whole of it as its tool tip.
    SetWindowTextW(control(kIncome), L"123456789012345678");
    click(kCalculateButton);
    DWORD start = 1;
    SendMessageW(control(kTaxBase), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(start, 0u);
    const HWND tips = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr);
    ASSERT_NE(tips, nullptr);
    wchar_t tip[64] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window();
    tool.uId = reinterpret_cast<UINT_PTR>(control(kTaxBase));
    tool.lpszText = tip;
    SendMessageW(tips, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::u16string(tip, tip + wcslen(tip)), text(kTaxBase));
    EXPECT_EQ(text(kTaxBase), u"1.23456789012342E+17");
    // A long text's tip is the core's, in lines, which need a width.
    SetWindowTextW(control(kIncome), std::wstring(40000, L'7').c_str());
    wchar_t longTip[1024] = {};
    tool.uId = reinterpret_cast<UINT_PTR>(control(kIncome));
    tool.lpszText = longTip;
    SendMessageW(tips, TTM_GETTEXTW, std::size(longTip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(wcslen(longTip), 320u + 7 + 1);
    EXPECT_GT(SendMessageW(tips, TTM_GETMAXTIPWIDTH, 0, 0), 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Win32Window, TheErrorReportIsTheWindowsOwnAndChangesNothing)
{
    open({}, false);
    typeInto(kIncome, u"10000");
    typeInto(kThreshold, u"\b\b\b\b");
    const std::vector<std::u16string> before = fieldTexts();

    // The owner and the message of each box with the program's title, read
    // and dismissed by a timer that runs in the box's own message loop.
    static std::vector<std::pair<HWND, std::u16string>> seen;
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR timer, DWORD) {
        if (const HWND box = FindWindowW(L"#32770", L"个人所得税计算器")) {
            KillTimer(nullptr, timer);
            seen.emplace_back(GetWindow(box, GW_OWNER), textOf(GetDlgItem(box, 0xFFFF))); // the message's control
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    });
    click(kCalculateButton);
    pumpUntil([] { return !seen.empty(); });
    EXPECT_EQ(seen, (std::vector{std::pair(window(), fromUtf8(failureReport(RunTimeError::TypeMismatch)))}));
    // Back to the window, which kept every field: the activation that came
    // back with it is not a new opening.
    EXPECT_EQ(fieldTexts(), before);
    EXPECT_EQ(GetActiveWindow(), window());
}

TEST_F(Win32Window, ClearRecentresAndLeavesNothingBehindAndOnlyTheCloseBoxEndsTheProgram)
{
    open({.quitWhenLastWindowCloses = true});
    SetWindowPos(window(), nullptr, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    typeInto(kIncome, u"123");
    typeInto(kThreshold, u"9");
    click(kClearButton);
    // The top-level windows of this thread and everything in the window.
    const auto windowsOfThisThread = [&] {
        int windows = 0;
        const WNDENUMPROC count = [](HWND, LPARAM counter) { return ++*reinterpret_cast<int *>(counter), TRUE; };
        EnumThreadWindows(GetCurrentThreadId(), count, reinterpret_cast<LPARAM>(&windows));
        EnumChildWindows(window(), count, reinterpret_cast<LPARAM>(&windows));
        return windows;
    };
    const int windows = windowsOfThisThread();
    for (int round = 0; round < 20; ++round) {
        const HWND old = window();
        std::set<HGDIOBJ> oldFonts;
        for (const ControlRecord &record : mainFormLayout().controls)
            oldFonts.insert(reinterpret_cast<HGDIOBJ>(SendMessageW(control(record.name), WM_GETFONT, 0, 0)));
        click(kClearButton);
        ASSERT_FALSE(IsWindow(old)) << "round " << round;
        for (const HGDIOBJ font : oldFonts)
            EXPECT_EQ(GetObjectType(font), 0u) << "a font of the old window is still there";
        EXPECT_EQ(windowsOfThisThread(), windows) << "round " << round;
    }
    EXPECT_EQ(fieldTexts(), (std::vector<std::u16string>{u"", u"", u"3500", u"", u""}));
    EXPECT_EQ(GetFocus(), control(kPanel));
    EXPECT_EQ(GetActiveWindow(), window());
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(window(), MONITOR_DEFAULTTONEAREST), &monitor);
    const auto [workLeft, workTop, workWidth, workHeight] = box(monitor.rcWork);
    RECT frame;
    GetWindowRect(window(), &frame);
    const PixelPoint corner =
        placeFrame({workLeft, workTop, workWidth, workHeight}, frame.right - frame.left, frame.bottom - frame.top);
    EXPECT_EQ(std::pair(frame.left, frame.top), std::pair(LONG{corner.x}, LONG{corner.y})) << "not back in the centre";

    EXPECT_FALSE(quit) << "Clear ended the message loop";
    const HWND last = window();
    PostMessageW(last, WM_SYSCOMMAND, SC_CLOSE, 0);
    pump();
    EXPECT_TRUE(quit) << "the close box left the message loop running";
    EXPECT_FALSE(IsWindow(last));
    EXPECT_FALSE(form->isLoaded());
}

TEST_F(Win32Window, TheLinkOpensOnAClickInsideItOnceForADoubleClickAndShowsTheHand)
{
    const auto [left, top, width, height] = box(placeOf(kHomePage));
    click(kHomePage, POINT{0, 0});
    click(kHomePage, POINT{width - 1, height - 1});
    pointAt(kHomePage);
    const DWORD first = clickTime();
    send({mouse(MOUSEEVENTF_LEFTDOWN, first), mouse(MOUSEEVENTF_LEFTUP, first),
          mouse(MOUSEEVENTF_LEFTDOWN, first + 100), mouse(MOUSEEVENTF_LEFTUP, first + 100)});
    // Pressed on the link and let go off it: the label holds the pointer
    // meanwhile, so it hears where.
    send({mouse(MOUSEEVENTF_LEFTDOWN, clickTime())});
    pointAt(kNotice, POINT{2, 2});
    send({mouse(MOUSEEVENTF_LEFTUP, clickTime())});
    EXPECT_EQ(g_opened, std::vector<std::wstring>(3, L"http://www.example.com"));

    // The hand over the link; the arrow off it onto the notice it lies on,
    // onto another label, and onto the bare panel. The messages the system
    // sends as the pointer moves, sent here: where Wine puts the pointer
    // races the X server under load.
    const auto pointerOver = [&](std::string_view name) {
        SendMessageW(control(name), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        SendMessageW(control(name), WM_SETCURSOR, reinterpret_cast<WPARAM>(control(name)),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    for (const std::string_view name : {kNotice, std::string_view("Label1"), kPanel}) {
        EXPECT_EQ(pointerOver(kHomePage), LoadCursorW(nullptr, IDC_HAND));
        EXPECT_EQ(pointerOver(name), LoadCursorW(nullptr, IDC_ARROW)) << name;
    }
}

} // namespace
} // namespace iitcalc
