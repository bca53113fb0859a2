// Time of one full-frame paint of an editor-sized frame (754 x 374, the skin-sized
// background) in a real window under wine: the frame draws into its off-screen surface and
// the paint copies it to the window with SetDIBitsToDevice. Google Benchmark has no
// Windows build here, so this program prints its figures itself:
//   wine64 paint_under_wine.exe [paints]

#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "tools/golden-images/FrameworkBitmaps.h"
#include "tools/hosting/SilentFrameEditor.h"
#include "tools/wine-host/WineHost.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace VSTGUI;

constexpr int32_t kEditorWidth = 754;
constexpr int32_t kEditorHeight = 374;

}  // namespace

int main(int argc, char** argv)
{
    const int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    const HWND host = tolvan::test::createHostWindow(0, 0, kEditorWidth, kEditorHeight);
    hosting::SilentFrameEditor editor;
    auto* frame = new CFrame({0, 0, kEditorWidth, kEditorHeight}, host, &editor);
    auto* background = new CBitmap(tolvan::test::kSkinBackground);
    frame->setBackground(background);
    background->release();
    const HWND window = tolvan::test::childWindow(host);
    UpdateWindow(window);

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> microseconds;
    microseconds.reserve(static_cast<std::size_t>(paints));
    for (int i = 0; i < paints; ++i) {
        InvalidateRect(window, nullptr, FALSE);
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        UpdateWindow(window);
        QueryPerformanceCounter(&end);
        microseconds.push_back(1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                               static_cast<double>(frequency.QuadPart));
    }
    frame->release();
    DestroyWindow(host);

    std::sort(microseconds.begin(), microseconds.end());
    double sum = 0;
    for (double value : microseconds) sum += value;
    std::printf("full-frame paint %dx%d, %d paints: median %.0f us, mean %.0f us, 90th percentile %.0f us\n",
                kEditorWidth, kEditorHeight, paints, microseconds[microseconds.size() / 2], sum / paints,
                microseconds[microseconds.size() * 9 / 10]);
    return 0;
}
