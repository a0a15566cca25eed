// A stand-in for a plug-in with an editor, for what vsthost's editor mode does around one. Each
// instance has one on/off parameter and a 752 x 160 editor that paints its left half red and its
// right half blue, with a button at (395, 8, 437, 50) that shows the parameter (green on, grey
// off) and toggles it on a click, telling the host about the gesture as an editor does.
// Environment variables change it for the failure cases:
//   FAKE_EDITOR_OPEN_FAILS  effEditOpen answers 0
//   FAKE_EDITOR_LEAKS       every effEditOpen leaks one brush and one hidden window
#include "host/aeffect.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace
{

constexpr int kWidth = 752;
constexpr int kHeight = 160;
constexpr RECT kButton = {395, 8, 437, 50};
constexpr COLORREF kLeftColour = RGB(200, 30, 30);
constexpr COLORREF kRightColour = RGB(30, 30, 200);
constexpr COLORREF kOnColour = RGB(0, 200, 0);
constexpr COLORREF kOffColour = RGB(128, 128, 128);
constexpr const char* kWindowClass = "fake editor plug-in";

struct Instance
{
    AEffect record = {};
    audioMasterCallback host = nullptr;
    ERect size = {0, 0, kHeight, kWidth};
    float route = 0.0f;
    HWND window = nullptr;
};

Instance* instanceOf(AEffect* effect)
{
    return static_cast<Instance*>(effect->object);
}

bool environmentSays(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value && std::strcmp(value, "0") != 0;
}

void fillRect(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void paint(HWND window, const Instance& instance)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    fillRect(dc, {0, 0, kWidth / 2, kHeight}, kLeftColour);
    fillRect(dc, {kWidth / 2, 0, kWidth, kHeight}, kRightColour);
    fillRect(dc, kButton, instance.route >= 0.5f ? kOnColour : kOffColour);
    EndPaint(window, &paint);
}

void toggleRoute(Instance& instance)
{
    AEffect* effect = &instance.record;
    instance.host(effect, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
    instance.route = instance.route >= 0.5f ? 0.0f : 1.0f;
    instance.host(effect, audioMasterAutomate, 0, 0, nullptr, instance.route);
    instance.host(effect, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
    InvalidateRect(instance.window, nullptr, FALSE);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* instance = reinterpret_cast<Instance*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!instance) return DefWindowProcA(window, message, wParam, lParam);
    switch (message)
    {
    case WM_PAINT:
        paint(window, *instance);
        return 0;
    case WM_LBUTTONDOWN:
    {
        const POINT where = {static_cast<short>(LOWORD(lParam)),
                             static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&kButton, where)) toggleRoute(*instance);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool openEditor(Instance& instance, HWND parent)
{
    if (environmentSays("FAKE_EDITOR_OPEN_FAILS") || instance.window) return false;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    instance.window = CreateWindowExA(0, kWindowClass, "", WS_CHILD, 0, 0, kWidth, kHeight, parent,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!instance.window) return false;
    SetWindowLongPtrA(instance.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&instance));
    ShowWindow(instance.window, SW_SHOW);
    if (environmentSays("FAKE_EDITOR_LEAKS"))
    {
        CreateSolidBrush(RGB(1, 2, 3));
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
    }
    return true;
}

void closeEditor(Instance& instance)
{
    if (!instance.window) return;
    DestroyWindow(instance.window);
    instance.window = nullptr;
}

VstIntPtr VSTCALLBACK dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt)
{
    Instance& instance = *instanceOf(effect);
    switch (opcode)
    {
    case effClose:
        closeEditor(instance);
        delete &instance;
        return 0;
    case effGetParamName:
        std::strcpy(static_cast<char*>(ptr), "Route");
        return 0;
    case effGetParamDisplay:
        std::strcpy(static_cast<char*>(ptr), instance.route >= 0.5f ? "on" : "off");
        return 0;
    case effGetEffectName:
        std::strcpy(static_cast<char*>(ptr), "Fake Editor");
        return 1;
    case effEditGetRect:
        *static_cast<ERect**>(ptr) = &instance.size;
        return 1;
    case effEditOpen:
        return openEditor(instance, static_cast<HWND>(ptr)) ? 1 : 0;
    case effEditClose:
        closeEditor(instance);
        return 0;
    case effEditKeyDown:
    case effEditKeyUp:
        // Space, as a character or as the virtual key, is taken while the editor is open.
        return instance.window && (index == ' ' || value == VK_SPACE);
    case effSetEditKnobMode:
        return 1;
    case effVendorSpecific:
        // The wheel message; a distance of 1 or more answers 2 so that opt is seen.
        if (index != fourCharCode("stCA") || value != fourCharCode("Whee")) return 0;
        return opt >= 1.0f ? 2 : 1;
    default:
        return 0;
    }
}

void VSTCALLBACK setParameter(AEffect* effect, VstInt32 /*index*/, float value)
{
    Instance& instance = *instanceOf(effect);
    instance.route = value;
    if (instance.window) InvalidateRect(instance.window, nullptr, FALSE);
}

float VSTCALLBACK getParameter(AEffect* effect, VstInt32 /*index*/)
{
    return instanceOf(effect)->route;
}

void VSTCALLBACK process(AEffect* /*effect*/, float** /*inputs*/, float** /*outputs*/,
                         VstInt32 /*frames*/)
{
}

} // namespace

extern "C" __declspec(dllexport) AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host)
{
    auto* instance = new Instance;
    instance->host = host;
    AEffect& record = instance->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatch;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.processReplacing = process;
    record.numParams = 1;
    record.numInputs = 1;
    record.numOutputs = 1;
    record.flags = effFlagsHasEditor | effFlagsCanReplacing;
    record.uniqueID = fourCharCode("FkEd");
    record.object = instance;
    return &record;
}
