// The window on Windows, directly on Win32 and WGL: class "hehehe", a pop-up or a captioned
// window, a double-buffered RGBA pixel format with a 16-bit depth buffer, the window's
// messages drained without waiting. Escape and the window's destruction end the process
// with status 0 from the window procedure.
#include "app/window.h"

#include "app/options.h"
#include "app/quit_signals.h"
#include "assets/wide_name.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kClassName[] = "hehehe";

// What the window procedure saw since the last pump; written and read on the one thread.
struct PendingEvents {
    int32_t clientWidth = 0;  // the client size of the last WM_SIZE, 0 before one
    int32_t clientHeight = 0;
    bool sized = false;
    bool exposed = false;
};
PendingEvents pending;

// The system's words for error, without the line break it ends them with.
std::string systemMessage(DWORD error) {
    char text[512] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "Windows error " + std::to_string(error) : message;
}

[[noreturn]] void failStartup(const char* what, DWORD error) {
    endWithStartupError(std::string("intro: ") + what + ": " + systemMessage(error));
}

// Whether the standard stream leads anywhere: a console, a file or a pipe. A GUI program
// started from the desktop has none.
bool hasHandle(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// stderr was reopened on the console the program was started from.
bool stderrInConsole = false;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return 1;
    case WM_SETCURSOR:
        if (!demoSettings.showCursor) return LRESULT(SetCursor(nullptr));
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) std::exit(0);
        break;
    case WM_DESTROY: std::exit(0);
    case WM_SIZE:
        // A minimised window reports 0 x 0 and keeps the viewport it had.
        if (LOWORD(lParam) > 0 && HIWORD(lParam) > 0) {
            pending.clientWidth = LOWORD(lParam);
            pending.clientHeight = HIWORD(lParam);
            pending.sized = true;
        }
        break;
    case WM_PAINT:
        // The default processing validates the area; the next frame repaints it.
        pending.exposed = true;
        break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The swap waits for the display's refresh where the driver offers to (WGL_EXT_swap_control);
// otherwise the frame loop's pacer keeps the rate.
void syncSwapsToRefresh() {
    using SwapInterval = BOOL(WINAPI*)(int);
    const PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
    const intptr_t value = reinterpret_cast<intptr_t>(proc);
    // Some drivers answer small numbers for functions they do not have.
    if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) return;
    // Through void (*)(), the type for a function pointer of unknown type.
    reinterpret_cast<SwapInterval>(reinterpret_cast<void (*)()>(proc))(1);
}

}  // namespace

std::string processCommandLine(int, char**) {
    return GetCommandLineA();
}

// Streams redirected by the caller stay where they lead; Ctrl-C comes from the console
// either way.
void joinStartingConsole() {
    const bool hadStdout = hasHandle(STD_OUTPUT_HANDLE);
    const bool hadStderr = hasHandle(STD_ERROR_HANDLE);
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!hadStdout) std::freopen("CONOUT$", "w", stdout);
    if (!hadStderr) std::freopen("CONOUT$", "w", stderr);
    stderrInConsole = !hadStderr;
}

void endWithStartupError(const std::string& line) {
    if (stderrInConsole || hasHandle(STD_ERROR_HANDLE)) {
        std::fprintf(stderr, "%s\n", line.c_str());
    } else {
        // The line is UTF-8 but for the system's own words, which come in the ANSI code page.
        const std::wstring wide = wideName(line.c_str());
        if (!wide.empty())
            MessageBoxW(nullptr, wide.c_str(), L"intro", MB_OK | MB_ICONERROR);
        else
            MessageBoxA(nullptr, line.c_str(), "intro", MB_OK | MB_ICONERROR);
    }
    std::exit(1);
}

void virtualScreenSize(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    *height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

void startVideoSystem() {
    const std::string sizeProblem = negativeSizeProblem(demoSettings);
    if (!sizeProblem.empty()) endWithStartupError(sizeProblem);
    catchQuitSignals();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    // The arrow where the cursor shows (-f1); WM_SETCURSOR hides it otherwise.
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        failStartup("cannot register the window class", GetLastError());
}

DemoWindow createDemoWindow() {
    int32_t screenWidth = 0, screenHeight = 0;
    virtualScreenSize(&screenWidth, &screenHeight);
    DemoWindow w = {};
    chooseWindowSize(demoSettings, screenWidth, screenHeight, w.width, w.height);
    if (w.width <= 0 || w.height <= 0)
        endWithStartupError("intro: cannot create a window of that size: " +
                            std::to_string(w.width) + "x" + std::to_string(w.height));

    // The size is that of the picture: a captioned window's frame goes around it (the
    // caption that an overlapped window always gets, named so that the frame is measured
    // with it), and the window menu of its caption gives the close box.
    const DWORD style = demoSettings.windowed ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_POPUP;
    RECT outer = {0, 0, w.width, w.height};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    w.window = CreateWindowExA(0, kClassName, "", style, demoSettings.windowX, demoSettings.windowY,
                               outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!w.window) failStartup("cannot create the window", GetLastError());
    ShowWindow(w.window, SW_SHOWNORMAL);
    RECT client;
    if (GetClientRect(w.window, &client) && client.right > 0 && client.bottom > 0) {
        w.width = client.right;
        w.height = client.bottom;
    }
    pending.sized = false;
    return w;
}

void createGlContext(DemoWindow& w) {
    w.deviceContext = GetDC(w.window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;  // 40
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    const int chosen = ChoosePixelFormat(w.deviceContext, &format);
    if (chosen == 0) failStartup("no OpenGL pixel format for the window", GetLastError());
    if (!SetPixelFormat(w.deviceContext, chosen, &format))
        failStartup("cannot set the window's pixel format", GetLastError());
    w.glContext = wglCreateContext(w.deviceContext);
    if (!w.glContext) failStartup("cannot create the OpenGL context", GetLastError());
    if (!wglMakeCurrent(w.deviceContext, w.glContext))
        failStartup("cannot make the OpenGL context current", GetLastError());
    syncSwapsToRefresh();
}

DemoWindow openDemoWindow() {
    startVideoSystem();
    DemoWindow w = createDemoWindow();
    createGlContext(w);
    return w;
}

// ShowWindow has shown it already.
void finishShowingWindow(DemoWindow&) {}

void swapWindowBuffers(DemoWindow& w) {
    SwapBuffers(w.deviceContext);
}

int32_t windowRefreshHz(const DemoWindow& w) {
    MONITORINFOEXA monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(w.window, MONITOR_DEFAULTTONEAREST),
                         reinterpret_cast<MONITORINFO*>(&monitor)))
        return 0;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    // 0 and 1 stand for the hardware's default rate.
    return mode.dmDisplayFrequency > 1 ? int32_t(mode.dmDisplayFrequency) : 0;
}

WindowEvents pumpWindowEvents(DemoWindow& w) {
    if (quitSignalled()) std::exit(0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    WindowEvents events = {false, pending.exposed};
    if (pending.sized && (pending.clientWidth != w.width || pending.clientHeight != w.height)) {
        w.width = pending.clientWidth;
        w.height = pending.clientHeight;
        events.resized = true;
    }
    pending.sized = false;
    pending.exposed = false;
    return events;
}
