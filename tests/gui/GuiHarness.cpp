#include "tests/gui/GuiHarness.h"

#include <cstdio>
#include <cstring>

namespace kxgui
{

namespace
{

const char kTestWindowClass[] = "KxGuiTestWindow";

// Wine hands windows to the X window manager ("managed" windows) and then
// waits up to two seconds for it on every hide; with the bare X server of
// the tests there is none. Unmanaged windows are hidden at once. The display
// driver reads this setting when it loads, which is at the first window.
void UnmanageWineWindows()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
    {
        RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(key);
    }
}

void RegisterTestClass()
{
    static bool registered = false;
    if (registered)
        return;
    UnmanageWineWindows();
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kTestWindowClass;
    registered = RegisterClassA(&wc) != 0;
}

// Screen coordinates to the 0..65535 range of absolute mouse input.
LONG AbsoluteX(int x)
{
    int cx = GetSystemMetrics(SM_CXSCREEN);
    return cx > 1 ? static_cast<LONG>((x * 65535LL) / (cx - 1)) : 0;
}

LONG AbsoluteY(int y)
{
    int cy = GetSystemMetrics(SM_CYSCREEN);
    return cy > 1 ? static_cast<LONG>((y * 65535LL) / (cy - 1)) : 0;
}

void SendKey(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

thread_local DialogAnswerer* t_answerer = nullptr;

// Network byte order writers and the two checksums PNG needs.
void PutBE32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

uint32_t Crc32(const uint8_t* data, size_t size)
{
    static uint32_t table[256];
    static bool ready = false;
    if (!ready)
    {
        for (uint32_t n = 0; n < 256; ++n)
        {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::vector<uint8_t>& data)
{
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data)
    {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body)
{
    PutBE32(out, static_cast<uint32_t>(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, Crc32(out.data() + start, out.size() - start));
}

PixelBuffer Capture(HWND hWnd, bool clientOnly, bool fromScreen)
{
    RECT rc;
    if (clientOnly)
        GetClientRect(hWnd, &rc);
    else
        GetWindowRect(hWnd, &rc);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return PixelBuffer();
    DibCanvas canvas(width, height);
    if (fromScreen)
    {
        HDC src = clientOnly ? GetDC(hWnd) : GetWindowDC(hWnd);
        BitBlt(canvas.Dc(), 0, 0, width, height, src, 0, 0, SRCCOPY);
        ReleaseDC(hWnd, src);
    }
    else
    {
        PrintWindow(hWnd, canvas.Dc(), clientOnly ? PW_CLIENTONLY : 0);
    }
    return canvas.Pixels();
}

} // namespace

HWND CreateTestWindow(int width, int height, const char* title, WNDPROC proc)
{
    RegisterTestClass();
    RECT rc = {0, 0, width, height};
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&rc, style, FALSE, 0);
    HWND hWnd = CreateWindowExA(0, kTestWindowClass, title, style, 40, 40, rc.right - rc.left, rc.bottom - rc.top,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hWnd)
        return nullptr;
    if (proc)
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    ShowWindow(hWnd, SW_SHOW);
    Activate(hWnd);
    UpdateWindow(hWnd);
    PumpUntilIdle();
    return hWnd;
}

bool PumpUntilIdle()
{
    return PumpUntilIdle(nullptr);
}

bool PumpUntilIdle(const std::function<bool(MSG& msg)>& preTranslate)
{
    // The X server delivers window events asynchronously, so one empty
    // queue proves little; a few quiet rounds in a row do. A window that
    // keeps a fast timer running would never be quiet, hence the cap.
    int quiet = 0;
    for (int round = 0; round < 400 && quiet < 3; ++round)
    {
        bool any = false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            any = true;
            if (preTranslate && preTranslate(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (any)
        {
            quiet = 0;
        }
        else
        {
            ++quiet;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

void Activate(HWND hWnd)
{
    SetForegroundWindow(hWnd);
    SetActiveWindow(hWnd);
    SetFocus(hWnd);
    PumpUntilIdle();
}

void MoveMouseTo(POINT screen)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = AbsoluteX(screen.x);
    in.mi.dy = AbsoluteY(screen.y);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
    PumpUntilIdle();
}

void Click(HWND hWnd, POINT client, bool right)
{
    POINT screen = client;
    ClientToScreen(hWnd, &screen);
    MoveMouseTo(screen);
    INPUT in[2] = {};
    for (INPUT& i : in)
    {
        i.type = INPUT_MOUSE;
        i.mi.dx = AbsoluteX(screen.x);
        i.mi.dy = AbsoluteY(screen.y);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    in[1].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    SendInput(2, in, sizeof(INPUT));
    PumpUntilIdle();
}

void PressKey(WORD vk, bool withAlt, bool withCtrl, bool withShift)
{
    if (withAlt)
        SendKey(VK_MENU, false);
    if (withCtrl)
        SendKey(VK_CONTROL, false);
    if (withShift)
        SendKey(VK_SHIFT, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (withShift)
        SendKey(VK_SHIFT, true);
    if (withCtrl)
        SendKey(VK_CONTROL, true);
    if (withAlt)
        SendKey(VK_MENU, true);
    PumpUntilIdle();
}

InputScript& InputScript::KeyDown(WORD vk)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    m_inputs.push_back(in);
    return *this;
}

InputScript& InputScript::KeyUp(WORD vk)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    m_inputs.push_back(in);
    return *this;
}

InputScript& InputScript::MoveTo(HWND hWnd, POINT client)
{
    m_screen = client;
    ClientToScreen(hWnd, &m_screen);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = AbsoluteX(m_screen.x);
    in.mi.dy = AbsoluteY(m_screen.y);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    m_inputs.push_back(in);
    return *this;
}

InputScript& InputScript::ButtonDown(bool right)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = AbsoluteX(m_screen.x);
    in.mi.dy = AbsoluteY(m_screen.y);
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    m_inputs.push_back(in);
    return *this;
}

InputScript& InputScript::ButtonUp(bool right)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = AbsoluteX(m_screen.x);
    in.mi.dy = AbsoluteY(m_screen.y);
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    m_inputs.push_back(in);
    return *this;
}

void InputScript::Send()
{
    if (!m_inputs.empty())
        SendInput(static_cast<UINT>(m_inputs.size()), m_inputs.data(), sizeof(INPUT));
    m_inputs.clear();
}

void InputScript::Play(DWORD pauseMs)
{
    Wait();
    m_playing.swap(m_inputs);
    m_inputs.clear();
    m_pauseMs = pauseMs;
    m_thread = CreateThread(nullptr, 0, &InputScript::PlayThread, this, 0, nullptr);
}

void InputScript::Wait()
{
    if (m_thread == nullptr)
        return;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

DWORD WINAPI InputScript::PlayThread(LPVOID param)
{
    auto* pThis = static_cast<InputScript*>(param);
    for (INPUT& in : pThis->m_playing)
    {
        Sleep(pThis->m_pauseMs);
        SendInput(1, &in, sizeof(INPUT));
    }
    return 0;
}

void TypeText(const char* text)
{
    for (const char* p = text; *p; ++p)
    {
        INPUT in[2] = {};
        for (int k = 0; k < 2; ++k)
        {
            in[k].type = INPUT_KEYBOARD;
            in[k].ki.wScan = static_cast<unsigned char>(*p);
            in[k].ki.dwFlags = KEYEVENTF_UNICODE | (k ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, in, sizeof(INPUT));
    }
    PumpUntilIdle();
}

DialogAnswerer::DialogAnswerer(int answer) : m_answer(answer)
{
    Install();
}

DialogAnswerer::DialogAnswerer(std::function<int(HWND dialog)> decide) : m_decide(std::move(decide))
{
    Install();
}

void DialogAnswerer::Install()
{
    m_previous = t_answerer;
    t_answerer = this;
    m_hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer()
{
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    t_answerer = m_previous;
}

LRESULT CALLBACK DialogAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    DialogAnswerer* self = t_answerer;
    if (code == HCBT_ACTIVATE && self)
    {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        char cls[32] = "";
        GetClassNameA(hWnd, cls, sizeof(cls));
        if (std::strcmp(cls, "#32770") == 0)
        {
            char caption[256] = "";
            char text[1024] = "";
            GetWindowTextA(hWnd, caption, sizeof(caption));
            // A message box keeps its text in the static control 0xFFFF.
            GetDlgItemTextA(hWnd, 0xFFFF, text, sizeof(text));
            self->m_seen.push_back(std::string(caption) + "|" + text);
            int answer = self->m_decide ? self->m_decide(hWnd) : self->m_answer;
            if (answer != 0)
                PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(self ? self->m_hook : nullptr, code, wParam, lParam);
}

COLORREF PixelBuffer::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int PixelBuffer::CountColor(COLORREF color, RECT area) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) == color)
                ++count;
    return count;
}

DibCanvas::DibCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height; // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<const uint32_t*>(bits);
    if (m_bitmap)
    {
        m_oldBitmap = SelectObject(m_dc, m_bitmap);
        RECT rc = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(m_dc, &rc, brush);
        DeleteObject(brush);
    }
}

DibCanvas::~DibCanvas()
{
    if (m_oldBitmap)
        SelectObject(m_dc, m_oldBitmap);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
}

PixelBuffer DibCanvas::Pixels() const
{
    PixelBuffer out;
    if (!m_bits)
        return out;
    GdiFlush();
    out.width = m_width;
    out.height = m_height;
    out.pixels.resize(static_cast<size_t>(m_width) * m_height);
    for (size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = m_bits[i] & 0x00FFFFFF;
    return out;
}

PixelBuffer CaptureWindow(HWND hWnd, bool clientOnly)
{
    return Capture(hWnd, clientOnly, false);
}

PixelBuffer CaptureScreen(HWND hWnd, bool clientOnly)
{
    return Capture(hWnd, clientOnly, true);
}

std::vector<uint8_t> EncodePng(const PixelBuffer& image)
{
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<uint8_t> header;
    PutBE32(header, static_cast<uint32_t>(image.width));
    PutBE32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    PutChunk(out, "IHDR", header);

    // Scanlines with filter type 0 in front of each row.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(image.height) * (1 + 3 * static_cast<size_t>(image.width)));
    for (int y = 0; y < image.height; ++y)
    {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x)
        {
            uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }

    // zlib stream of stored (uncompressed) deflate blocks.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do
    {
        size_t len = raw.size() - pos;
        if (len > 65535)
            len = 65535;
        bool last = pos + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(len));
        z.push_back(static_cast<uint8_t>(len >> 8));
        z.push_back(static_cast<uint8_t>(~len));
        z.push_back(static_cast<uint8_t>(~len >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + len);
        pos += len;
    } while (pos < raw.size());
    PutBE32(z, Adler32(raw));
    PutChunk(out, "IDAT", z);
    PutChunk(out, "IEND", {});
    return out;
}

std::string SaveArtifact(const PixelBuffer& image, const std::string& fileName)
{
    if (image.IsEmpty())
        return std::string();
    char module[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    std::string path(module);
    size_t slash = path.find_last_of("\\/");
    path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + fileName;

    std::vector<uint8_t> png = EncodePng(image);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return std::string();
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        return std::string();

    // Wine maps the Unix root to drive Z:; print the Unix form as well so the
    // file is easy to open from the host.
    std::string unixPath;
    if (path.size() > 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':')
    {
        unixPath = path.substr(2);
        for (char& c : unixPath)
            if (c == '\\')
                c = '/';
    }
    std::printf("[ screenshot ] %s%s%s\n", path.c_str(), unixPath.empty() ? "" : " = ", unixPath.c_str());
    return path;
}

} // namespace kxgui
