#include "common/ScreenPicture.h"

bool MakeScreenPicture(ScreenPicture* picture, int width, int height) {
    *picture = ScreenPicture{};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    picture->bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    picture->dc = picture->bitmap ? CreateCompatibleDC(nullptr) : nullptr;
    if (!picture->dc) {
        ReleaseScreenPicture(picture);
        return false;
    }
    picture->dcBitmap = SelectObject(picture->dc, picture->bitmap);
    picture->bits = static_cast<uint32_t*>(bits);
    return true;
}

void ReleaseScreenPicture(ScreenPicture* picture) {
    if (picture->dc) {
        SelectObject(picture->dc, picture->dcBitmap);
        DeleteDC(picture->dc);
    }
    if (picture->bitmap) DeleteObject(picture->bitmap);
    *picture = ScreenPicture{};
}
