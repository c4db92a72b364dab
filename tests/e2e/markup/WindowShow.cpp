#include "tests/e2e/markup/WindowShow.h"
#include "markup/MarkupRenderer.h"
#include "runtime/win32/GdiCanvas.h"

namespace qb::e2e {
namespace {

constexpr int Width = 480;
constexpr int Height = 130;
const std::string* Shown = nullptr;

TFont DialogFont() {
    TFont font;
    font.Name = "Tahoma";
    font.Size = 8;
    font.Color = clBlack;
    return font;
}

// The same drawing for the window and the reference bitmap.
void Paint(TGdiCanvas& canvas) {
    canvas.SetBrushColor(clWhite);
    canvas.FillRect({0, 0, Width, Height});
    canvas.SetFont(DialogFont());
    TMarkupParams params;
    TMarkupResult result;
    RenderMarkup(canvas, *Shown, {10, 10, Width - 10, Height - 10}, params, result);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        {
            TGdiCanvas canvas(dc);
            Paint(canvas);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int ShowInWindow(const std::string& markup, const std::string& referenceBmp, int timeoutSeconds) {
    Shown = &markup;
    {
        TGdiBitmapCanvas reference(Width, Height);
        Paint(reference);
        if (!reference.SaveBmp(referenceBmp))
            return 3;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "QuillbridgeMarkupE2e";
    if (!RegisterClassA(&windowClass))
        return 4;
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "Quillbridge markup", WS_POPUP | WS_VISIBLE,
                        0, 0, Width, Height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 5;
    SetTimer(window, 1, static_cast<UINT>(timeoutSeconds) * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

} // namespace qb::e2e
