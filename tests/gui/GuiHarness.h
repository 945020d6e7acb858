// Helpers for the Windows GUI tests: a top-level window to host what is under
// test, a message pump that runs until the queue is quiet, real input through
// SendInput, message boxes that answer themselves, and window captures that
// tests can probe and people can look at as PNG files.
//
// Plain Win32 only, so that the framework's own window layer can be tested
// with it without depending on itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kxgui
{

// A top-level overlapped window of the harness's own class whose client area
// is exactly width x height. Messages go to proc (DefWindowProc when null).
// The window is shown, brought to the foreground and painted once.
HWND CreateTestWindow(int width, int height, const char* title = "Kestrelux test", WNDPROC proc = nullptr);

// Dispatches messages (and the paints and timers they cause) until the queue
// has stayed empty for a few rounds. Returns false when WM_QUIT was seen; the
// quit is posted again so an outer loop still sees it.
bool PumpUntilIdle();
// The same with a filter that sees each message before it is dispatched and
// swallows it by returning true, as a program's own loop pre-translates.
bool PumpUntilIdle(const std::function<bool(MSG& msg)>& preTranslate);

// Real input: the system's key state changes as for a user.
void MoveMouseTo(POINT screen);
void Click(HWND hWnd, POINT client, bool right = false);
void PressKey(WORD vk, bool withAlt = false, bool withCtrl = false, bool withShift = false);
void TypeText(const char* text);

// Real input built up step by step and sent in one go, without pumping:
// keys held over clicks, presses and releases apart, drags. The caller
// pumps afterwards (through its own loop when the program pre-translates).
//
// Play sends the steps from a helper thread instead, one at a time with a
// short pause between them, while the test thread sits in the modal loop
// under test: tracking loops read GetCursorPos and GetKeyState, which only
// real input moves, and they only return once the input has come.
class InputScript
{
public:
    InputScript() = default;
    ~InputScript() { Wait(); }
    InputScript(const InputScript&) = delete;
    InputScript& operator=(const InputScript&) = delete;

    InputScript& KeyDown(WORD vk);
    InputScript& KeyUp(WORD vk);
    InputScript& MoveTo(HWND hWnd, POINT client);
    InputScript& ButtonDown(bool right = false);
    InputScript& ButtonUp(bool right = false);
    InputScript& Key(WORD vk) { return KeyDown(vk).KeyUp(vk); }
    InputScript& Click(HWND hWnd, POINT client, bool right = false)
    {
        return MoveTo(hWnd, client).ButtonDown(right).ButtonUp(right);
    }
    void Send();
    // Starts playing the steps on the helper thread and returns at once.
    void Play(DWORD pauseMs = 30);
    // Returns once every played step has been sent.
    void Wait();

private:
    static DWORD WINAPI PlayThread(LPVOID param);
    std::vector<INPUT> m_inputs;
    POINT m_screen = {0, 0};
    std::vector<INPUT> m_playing;
    DWORD m_pauseMs = 0;
    HANDLE m_thread = nullptr;
};

// Brings a window to the foreground and gives it the focus (input from
// SendInput goes to the foreground window).
void Activate(HWND hWnd);

// While alive, every dialog box (class "#32770", e.g. a MessageBox) created
// on this thread is answered with `answer` (IDOK, IDYES, IDCANCEL...) as soon
// as it is activated. The texts of the boxes seen are kept in order.
class DialogAnswerer
{
public:
    explicit DialogAnswerer(int answer = IDOK);
    // The callback sees each dialog when it is activated (to fill in fields,
    // say) and returns the command to answer with, or 0 to leave it open.
    explicit DialogAnswerer(std::function<int(HWND dialog)> decide);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    int Answer() const { return m_answer; }
    // Caption and, for message boxes, the message text, "caption|text".
    const std::vector<std::string>& Seen() const { return m_seen; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Install();
    HHOOK m_hook = nullptr;
    int m_answer = IDOK;
    std::function<int(HWND)> m_decide;
    std::vector<std::string> m_seen;
    DialogAnswerer* m_previous = nullptr;
};

// 32-bit pixels, top-down rows, each pixel 0x00RRGGBB.
struct PixelBuffer
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    bool IsEmpty() const { return pixels.empty(); }
    // As a COLORREF (0x00BBGGRR) so tests compare with RGB(...).
    COLORREF At(int x, int y) const;
    // Pixels of the given colour inside [left, right) x [top, bottom).
    int CountColor(COLORREF color, RECT area) const;
};

// A 32-bit top-down DIB section selected into a memory DC, for painting tests.
class DibCanvas
{
public:
    DibCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    // Flushes GDI and copies the bits.
    PixelBuffer Pixels() const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    const uint32_t* m_bits = nullptr;
};

// The window (client area only, or the whole window) as the window paints
// it into a DIB section: WM_PRINT with its children and background, the way
// PrintWindow asks.
PixelBuffer CaptureWindow(HWND hWnd, bool clientOnly = true);
// What the screen shows in the window's rectangle (needs the window on top).
PixelBuffer CaptureScreen(HWND hWnd, bool clientOnly = true);

// The PNG bytes of an image (8-bit RGB, zlib stored blocks).
std::vector<uint8_t> EncodePng(const PixelBuffer& image);
// Writes the image as PNG into the folder of the running test executable
// and prints where it went. Returns the Windows path, empty on failure.
std::string SaveArtifact(const PixelBuffer& image, const std::string& fileName);

} // namespace kxgui
