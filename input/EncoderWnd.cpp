// The encoder windows (_kntEncoder): dragging turns them one step per move,
// with the pointer caught back to the grab point so a drag never runs out of
// screen; a click presses them, the mouse wheel turns them too.
#include "input/EncoderWnd.h"

#include "app/CoreBinding.h"
#include "app/HostSettings.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "input/CoreCounters.h"
#include "dialogs/DeskLock.h"

namespace {

// Window state bits.
enum : int { kPressedBit = 1, kLeftLit = 2, kUpLit = 4, kRightLit = 8, kDownLit = 16 };

constexpr int kClassExtra = 32;
static_assert(kClassExtra >= kRecordExtra, "the record pointer lives at window long 0");
constexpr int kEncoderCursor = 2;       // of the desk cursor table
constexpr int kFirstEncoderStatus = 104;
constexpr int kDragThreshold = 4;       // pixels a move must exceed to step
constexpr int kCoarseEncoderStep = 15;
constexpr int kCoarseWheelFactor = 3;
constexpr DWORD kClickPulseMs = 50;

struct EncoderWindow {
    int index;
    int state;
    HRGN shape;  // the window owns it once SetWindowRgn took it
    HRGN left;
    HRGN left2;
    HRGN right;
    HRGN right2;
    HRGN up;
    HRGN down;
    // The core has heard this encoder pressed and not yet released.
    bool pressOwed;
};

// ---- geometry -----------------------------------------------------------------

struct Quad {
    POINT p[4];
};
struct Shape {
    RECT outline;      // the ellipse of the window region
    Quad up, down, left, right;
    int secondArrowShift;  // 0: no second side arrows
};

const Shape kLargeShape = {{20, 10, 142, 133},
                           {{{80, 15}, {93, 31}, {80, 28}, {68, 31}}},
                           {{{79, 115}, {90, 113}, {79, 128}, {67, 113}}},
                           {{{23, 72}, {31, 65}, {29, 72}, {31, 78}}},
                           {{{120, 67}, {128, 73}, {120, 77}, {122, 73}}},
                           9};
const Shape kSmallShape = {{4, 4, 67, 67},
                           {{{35, 6}, {40, 14}, {35, 12}, {30, 14}}},
                           {{{28, 56}, {34, 57}, {39, 56}, {34, 63}}},
                           {{{7, 35}, {13, 40}, {13, 35}, {13, 30}}},
                           {{{56, 30}, {64, 35}, {56, 41}, {57, 35}}},
                           0};
const Shape kWheelShape = {{4, 4, 67, 67},
                           kSmallShape.up,
                           kSmallShape.down,
                           {{{6, 35}, {8, 32}, {7, 35}, {8, 37}}},
                           {{{57, 33}, {59, 35}, {57, 37}, {58, 35}}},
                           5};

constexpr POINT kPositions[kEncoderCount] = {{8, 531},   {168, 531}, {328, 531}, {488, 531},
                                             {678, 443}, {947, 443}, {855, 443}};
constexpr SIZE kLargeSize = {160, 150};
constexpr SIZE kSmallSize = {70, 70};

bool IsLargeEncoder(int index) { return index >= kEncoder1 && index <= kEncoder4; }
bool HasPress(int index) { return index >= kEncoder1 && index <= kScrollEncoder; }

const Shape& ShapeOf(int index) {
    if (IsLargeEncoder(index)) return kLargeShape;
    return index == kWheelControl ? kWheelShape : kSmallShape;
}

HRGN QuadRegion(const Quad& quad, int shift) {
    POINT points[4];
    for (int i = 0; i < 4; ++i) points[i] = {quad.p[i].x + shift, quad.p[i].y};
    return CreatePolygonRgn(points, 4, WINDING);
}

void MakeRegions(EncoderWindow* rec) {
    const Shape& shape = ShapeOf(rec->index);
    rec->shape = CreateEllipticRgn(shape.outline.left, shape.outline.top, shape.outline.right, shape.outline.bottom);
    rec->up = QuadRegion(shape.up, 0);
    rec->down = QuadRegion(shape.down, 0);
    rec->left = QuadRegion(shape.left, 0);
    rec->right = QuadRegion(shape.right, 0);
    if (shape.secondArrowShift) {
        rec->left2 = QuadRegion(shape.left, shape.secondArrowShift);
        rec->right2 = QuadRegion(shape.right, shape.secondArrowShift);
    }
}

// ---- host-wide drag state --------------------------------------------------------
// One set for all encoders: only one window can hold the capture.

POINT gAnchor;                  // client point of the last left or middle press
bool gClickPending = true;      // the left press has not turned into a drag
bool gSwallowNextMove = false;  // the next move is the one SetCursorPos caused

EncoderWindow* RecordOf(HWND wnd) { return reinterpret_cast<EncoderWindow*>(GetWindowLongPtrA(wnd, 0)); }


// A word with bit 15 set is the pointer left of or above the window.
int Coordinate(WORD word) { return (word & 0x8000) ? 0 : int(word); }
POINT PointOf(LPARAM lp) { return {Coordinate(LOWORD(lp)), Coordinate(HIWORD(lp))}; }

// ---- painting -----------------------------------------------------------------------

HBRUSH FaceBrush(const EncoderWindow* rec) {
    const bool pressed = (rec->state & kPressedBit) != 0;
    HBRUSH brush = nullptr;
    if (IsLargeEncoder(rec->index))
        brush = LargeEncoderFaceBrush(pressed);
    else if (rec->index == kWheelControl)
        brush = WheelFaceBrush();
    else
        brush = SmallEncoderFaceBrush(pressed);
    return brush ? brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

// A marker picture that did not load is drawn in its plain colour.
void FillMarker(HDC dc, HRGN region, MarkerColour colour) {
    if (!region) return;
    HBRUSH brush = EncoderMarkerBrush(colour);
    if (!brush) {
        static const COLORREF plain[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 255, 0)};
        SetDCBrushColor(dc, plain[int(colour)]);
        brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    }
    FillRgn(dc, region, brush);
}

bool ShowsSideArrows(int index) {
    if (IsLargeEncoder(index)) return gDsrEncoder != 0;
    if (index == kWheelControl) return gDsrWheel != 0;
    return true;
}

void PaintArrows(HDC dc, const EncoderWindow* rec) {
    const bool wheel = rec->index == kWheelControl;
    const MarkerColour lit = rec->index == kTrackControl ? MarkerColour::Yellow : MarkerColour::Red;
    const MarkerColour upRight = wheel ? MarkerColour::Blue : lit;
    const MarkerColour downLeft = wheel ? MarkerColour::Green : lit;
    if ((rec->state & kUpLit) && rec->up)
        FillMarker(dc, rec->up, upRight);
    else if ((rec->state & kDownLit) && rec->down)
        FillMarker(dc, rec->down, downLeft);
    if (!ShowsSideArrows(rec->index)) return;
    if ((rec->state & kLeftLit) && rec->left) {
        FillMarker(dc, rec->left, downLeft);
        FillMarker(dc, rec->left2, downLeft);
    } else if ((rec->state & kRightLit) && rec->right) {
        FillMarker(dc, rec->right, upRight);
        FillMarker(dc, rec->right2, upRight);
    }
}

void Paint(HWND wnd, const EncoderWindow* rec) {
    HDC dc = GetDC(wnd);
    RECT client;
    GetClientRect(wnd, &client);
    FillRect(dc, &client, FaceBrush(rec));
    if (!(rec->state & kPressedBit)) PaintArrows(dc, rec);
    ReleaseDC(wnd, dc);
}

void PaintIfChanged(HWND wnd, const EncoderWindow* rec, int oldState) {
    if (rec->state == oldState) return;
    Paint(wnd, rec);
    ValidateRect(wnd, nullptr);
}

void SetState(HWND wnd, EncoderWindow* rec, int state) {
    rec->state = state;
    Paint(wnd, rec);
}

// ---- turning ------------------------------------------------------------------------
// The core's resolutions can be any int: the products are formed wide and the
// counters wrap on purpose.

long long Scaled(long long units, int resolution) { return units * resolution; }
int EncoderCounter(int index) { return kDpEncoder1 + 2 * index; }

void SendPress(EncoderWindow* rec, int pressed) {
    EncoderPress(rec->index, pressed);
    if (HasPress(rec->index)) rec->pressOwed = pressed != 0;
}

// s = +1 for a move to the left, -1 to the right.
void HorizontalStep(EncoderWindow* rec, int s) {
    switch (rec->index) {
    case kScrollEncoder:
        // Push and turn: the press stays asserted until a vertical step or the release.
        SendPress(rec, 1);
        TurnTouchScroll(-s);
        break;
    case kTrackControl: AddToCoreCounter(kDpTrackHorizontal, Scaled(s, CallEntry(gCore.GetTrackResolution))); break;
    case kWheelControl:
        if (gDsrWheel)
            AddToCoreCounter(kDpWheel, Scaled(-kCoarseWheelFactor * s, CallEntry(gCore.GetWheelResolution)));
        break;
    default:
        if (gDsrEncoder) AddToCoreCounter(EncoderCounter(rec->index), -kCoarseEncoderStep * s);
        break;
    }
}

// s = +1 for a move upwards, -1 downwards.
void VerticalStep(EncoderWindow* rec, int s) {
    switch (rec->index) {
    case kScrollEncoder:
        SendPress(rec, 0);
        TurnTouchScroll(-s);
        break;
    case kTrackControl: AddToCoreCounter(kDpTrackVertical, Scaled(-s, CallEntry(gCore.GetTrackResolution))); break;
    case kWheelControl: AddToCoreCounter(kDpWheel, Scaled(s, CallEntry(gCore.GetWheelResolution))); break;
    default: AddToCoreCounter(EncoderCounter(rec->index), s); break;
    }
}

void WheelStep(const EncoderWindow* rec, int s) {
    switch (rec->index) {
    case kScrollEncoder: TurnTouchScroll(-s); break;
    case kTrackControl: AddToCoreCounter(kDpTrackVertical, Scaled(s, CallEntry(gCore.GetTrackResolution))); break;
    case kWheelControl: AddToCoreCounter(kDpWheel, Scaled(s, CallEntry(gCore.GetWheelResolution))); break;
    default: AddToCoreCounter(EncoderCounter(rec->index), s); break;
    }
}

// ---- mouse --------------------------------------------------------------------------

// A press while another button is down belongs to that button's gesture.
bool AnotherButtonDown(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_LBUTTONDOWN: return (wp & (MK_RBUTTON | MK_MBUTTON)) != 0;
    case WM_RBUTTONDOWN: return (wp & (MK_LBUTTON | MK_MBUTTON)) != 0;
    default: return (wp & (MK_LBUTTON | MK_RBUTTON)) != 0;
    }
}

// A re-centring of an earlier drag that never reported its move must not eat
// the first move of this one.
void StartDrag(LPARAM lp) {
    gAnchor = PointOf(lp);
    gSwallowNextMove = false;
}

LRESULT OnButtonDown(HWND wnd, EncoderWindow* rec, UINT msg, WPARAM wp, LPARAM lp) {
    if (AnotherButtonDown(msg, wp)) return 0;
    if (DeskLocked()) {
        TellDeskLocked();
        return 1;
    }
    SetCapture(wnd);
    switch (msg) {
    case WM_LBUTTONDOWN:
        gClickPending = true;
        StartDrag(lp);
        break;
    case WM_MBUTTONDOWN: StartDrag(lp); break;
    case WM_RBUTTONDOWN:
        if (HasPress(rec->index)) {
            rec->state = kPressedBit;
            SendPress(rec, 1);
            Paint(wnd, rec);
        }
        break;
    }
    return 0;
}

void OnLButtonUp(HWND wnd, EncoderWindow* rec) {
    if (gClickPending && HasPress(rec->index)) {
        rec->state = kPressedBit;
        SendPress(rec, 1);
        Paint(wnd, rec);
        Sleep(kClickPulseMs);
        SendPress(rec, 0);
    } else if (!gClickPending && rec->index == kScrollEncoder) {
        SendPress(rec, 0);
    }
    SetState(wnd, rec, 0);
}

void OnRButtonUp(HWND wnd, EncoderWindow* rec) {
    if (!HasPress(rec->index)) return;
    SetState(wnd, rec, 0);
    SendPress(rec, 0);
}

LRESULT OnButtonUp(HWND wnd, EncoderWindow* rec, UINT msg) {
    if (GetCapture() != wnd) return 0;
    if (DeskLocked()) {
        // Letting go before the box comes up settles what the press asserted
        // (see OnCaptureChanged), so nothing stays held behind the lock.
        ReleaseCapture();
        TellDeskLocked();
        return 1;
    }
    switch (msg) {
    case WM_LBUTTONUP: OnLButtonUp(wnd, rec); break;
    case WM_RBUTTONUP: OnRButtonUp(wnd, rec); break;
    default: SetState(wnd, rec, 0); break;
    }
    ReleaseCapture();
    return 0;
}

// However the capture ends, a press the core heard gets its release; this
// also ends a sideways middle drag on the scroll encoder, whose release
// otherwise never comes.
void OnCaptureChanged(HWND wnd, EncoderWindow* rec, HWND newCapture) {
    if (newCapture == wnd) return;
    if (rec->pressOwed) SendPress(rec, 0);
    if (rec->state) SetState(wnd, rec, 0);
}

LRESULT OnMouseMove(HWND wnd, EncoderWindow* rec, WPARAM wp, LPARAM lp) {
    if (GetCapture() != wnd) {
        // Arrows that a wheel turn lit go out here.
        const int old = rec->state;
        rec->state = 0;
        PaintIfChanged(wnd, rec, old);
        return 0;
    }
    if (DeskLocked()) return 1;
    if (gSwallowNextMove) {
        gSwallowNextMove = false;
        return 0;
    }
    const bool leftDrag = wp == MK_LBUTTON && !(rec->state & kPressedBit);
    if (!leftDrag && wp != MK_MBUTTON) return 0;

    const int old = rec->state;
    rec->state = 0;
    const POINT at = PointOf(lp);
    const int dx = at.x - gAnchor.x;
    const int dy = at.y - gAnchor.y;
    const bool sideways = dx > kDragThreshold || dx < -kDragThreshold;
    const bool upDown = dy > kDragThreshold || dy < -kDragThreshold;
    if (sideways) {
        rec->state |= dx < 0 ? kLeftLit : kRightLit;
        HorizontalStep(rec, dx < 0 ? 1 : -1);
    }
    if (upDown) {
        rec->state |= dy < 0 ? kUpLit : kDownLit;
        VerticalStep(rec, dy < 0 ? 1 : -1);
    }
    if (sideways || upDown) {
        POINT grab = gAnchor;
        ClientToScreen(wnd, &grab);
        gSwallowNextMove = true;
        gClickPending = false;
        SetCursorPos(grab.x, grab.y);
    }
    PaintIfChanged(wnd, rec, old);
    return 0;
}

LRESULT OnMouseWheel(HWND wnd, EncoderWindow* rec, WPARAM wp) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wp);
    // No wheel turns by nothing; such a message is not a turn either way.
    if (delta == 0) return 0;
    if (DeskLocked()) return 1;
    const int old = rec->state;
    // Less than a full notch upwards counts as a step down.
    const int s = delta / WHEEL_DELTA > 0 ? 1 : -1;
    rec->state = s > 0 ? kUpLit : kDownLit;
    WheelStep(rec, s);
    PaintIfChanged(wnd, rec, old);
    return 0;
}

// ---- life ---------------------------------------------------------------------------

bool OnCreate(HWND wnd, const CREATESTRUCTA* cs) {
    const int index = int(reinterpret_cast<INT_PTR>(cs->hMenu)) - kFirstEncoderId;
    if (index < 0 || index >= kEncoderCount) return false;
    auto* rec = new EncoderWindow{};
    rec->index = index;
    MakeRegions(rec);
    if (rec->shape && !SetWindowRgn(wnd, rec->shape, FALSE)) {
        DeleteObject(rec->shape);
        rec->shape = nullptr;
    }
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(rec));
    return true;
}

void OnDestroy(HWND wnd, EncoderWindow* rec) {
    for (HRGN region : {rec->left, rec->left2, rec->right, rec->right2, rec->up, rec->down})
        if (region) DeleteObject(region);
    SetWindowLongPtrA(wnd, 0, 0);
    delete rec;
}

LRESULT CALLBACK EncoderWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    EncoderWindow* rec = RecordOf(wnd);
    if (!rec && msg != WM_CREATE) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(wnd, reinterpret_cast<const CREATESTRUCTA*>(lp)) ? 0 : -1;
    case WM_DESTROY: OnDestroy(wnd, rec); return 0;
    case WM_PAINT:
        Paint(wnd, rec);
        ValidateRect(wnd, nullptr);
        return 0;
    case WM_NCHITTEST: DestroyInfoWindow(); break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return OnButtonDown(wnd, rec, msg, wp, lp);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return OnButtonUp(wnd, rec, msg);
    case WM_MOUSEMOVE: return OnMouseMove(wnd, rec, wp, lp);
    case WM_MOUSEWHEEL: return OnMouseWheel(wnd, rec, wp);
    case WM_CAPTURECHANGED: OnCaptureChanged(wnd, rec, reinterpret_cast<HWND>(lp)); return 0;
    }
    return DefChildWindowProc(wnd, msg, wp, lp);
}

HCURSOR EncoderCursor() {
    HCURSOR cursor = DeskCursor(kEncoderCursor);
    return cursor ? cursor : DeskDefaultCursor();
}

}  // namespace

// ---- interfaces -------------------------------------------------------------------

ATOM RegisterEncoderClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntEncoder", EncoderWndProc, CS_OWNDC, kClassExtra, nullptr,
                                          EncoderCursor(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
}

bool CreateEncoders(HWND main) {
    bool all = true;
    for (int index = 0; index < kEncoderCount; ++index) {
        const bool large = IsLargeEncoder(index);
        const SIZE size = large ? kLargeSize : kSmallSize;
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (large ? 0 : WS_VISIBLE);
        HWND wnd = CreateWindowExA(0, "_kntEncoder", nullptr, style, kPositions[index].x, kPositions[index].y, size.cx,
                                   size.cy, main, reinterpret_cast<HMENU>(INT_PTR(kFirstEncoderId + index)), hInst,
                                   nullptr);
        if (!wnd) {
            all = false;
            continue;
        }
        ++gDeskChildCount;
    }
    return all;
}

bool EncoderShownOnBar(int index, int bar) { return IsLargeEncoder(index) && bar == 6; }

void EncoderPress(int index, int pressed) {
    if (index >= kEncoder1 && index <= kEncoder4)
        CallEntry(gCore.VC_SetStatus, kFirstEncoderStatus + index, pressed);
    else if (index == kScrollEncoder)
        PressScrollEncoder(pressed);
}
