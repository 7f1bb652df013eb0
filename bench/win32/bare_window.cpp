// The baseline for the Windows launch benchmark: the same window with the
// same 21 controls, built the plain Win32 way -- pixel geometry at 96 dpi
// written out, the system's own static text, no layout table and no forms
// layer.
#include <windows.h>

#include <initializer_list>

namespace {

constexpr const wchar_t *kCaption = L"个人所得税计算器（对照）";

LRESULT CALLBACK panelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd, &paint);
        for (const int x : {296, 280}) {
            MoveToEx(dc, x, 40, nullptr);
            LineTo(dc, x, 177);
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HFONT font(int pixels, bool bold)
{
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
}

struct Place {
    int x, y, width, height;
};

HWND child(const wchar_t *windowClass, const wchar_t *text, DWORD style, DWORD exStyle, Place place, HWND parent,
           HFONT withFont)
{
    const HWND hwnd = CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.x, place.y,
                                      place.width, place.height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(withFont), FALSE);
    return hwnd;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = L"bare.Form";
    RegisterClassExW(&windowClass);
    windowClass.lpfnWndProc = panelProc;
    windowClass.lpszClassName = L"bare.PictureBox";
    RegisterClassExW(&windowClass);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, 616, 434};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const HWND window = CreateWindowExW(
        0, L"bare.Form", kCaption, style, work.left + (work.right - work.left - width) / 2,
        work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr, instance, nullptr);
    const HFONT normal = font(12, false);
    const HFONT title = font(16, true);
    const HFONT heading = font(14, true);

    const HWND bar = child(L"SCROLLBAR", L"", SBS_VERT | WS_TABSTOP, 0, {584, 0, 17, 105}, window, normal);
    SetScrollRange(bar, SB_CTL, 0, 13, FALSE);
    const HWND panel = child(L"bare.PictureBox", L"", WS_CLIPCHILDREN | WS_TABSTOP, WS_EX_CLIENTEDGE, {8, 0, 569, 433},
                             window, normal);
    child(L"BUTTON", L"计算", BS_PUSHBUTTON | WS_TABSTOP, 0, {96, 200, 105, 25}, panel, normal);
    child(L"BUTTON", L"清空", BS_PUSHBUTTON | WS_TABSTOP, 0, {344, 200, 105, 25}, panel, normal);
    for (const Place box :
         {Place{432, 88, 121, 18}, Place{432, 56, 121, 18}, Place{152, 56, 121, 18}, Place{152, 88, 121, 18}})
        child(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, box, panel, normal);
    child(L"EDIT", L"3500", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {152, 120, 121, 18}, panel, normal);
    child(L"STATIC", L"个人所得税计算器", SS_CENTER, 0, {0, 0, 569, 17}, panel, title);
    child(L"STATIC", L"原始数据区", SS_CENTER, 0, {32, 24, 209, 17}, panel, heading);
    child(L"STATIC", L"计算结果区", SS_CENTER, 0, {312, 24, 209, 17}, panel, heading);
    const struct {
        const wchar_t *text;
        Place place;
    } labels[] = {{L"应缴税额", {312, 88, 113, 17}},
                  {L"税基", {312, 56, 113, 17}},
                  {L"www.example.com", {144, 272, 121, 17}},
                  {L"个人收入", {32, 56, 113, 17}},
                  {L"五险一金之和", {32, 88, 113, 17}},
                  {L"个税起征点", {32, 120, 113, 17}},
                  {L"本软件由iitcalc 开发组研发，内容仅供参考，\r\n欲知更多，请登录www.example.com；电话：010-"
                   L"00000000.",
                   {48, 256, 465, 41}}};
    for (const auto &label : labels)
        child(L"STATIC", label.text, SS_NOTIFY, 0, label.place, panel, normal);

    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DeleteObject(normal);
    DeleteObject(title);
    DeleteObject(heading);
    return 0;
}
