#include "windows/forms/picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdlib>

#include "windows/forms/internal.h"

using forms_detail::Dpi;

Picture::~Picture() {
    Clear();
}

void Picture::Clear() {
    if (ole_) ole_->Release();
    if (bitmap_) DeleteObject(bitmap_);
    if (icon_) DestroyIcon(icon_);
    ole_ = nullptr;
    bitmap_ = nullptr;
    icon_ = nullptr;
    width_ = height_ = 0;
}

bool Picture::LoadFile(const std::string& path) {
    Clear();
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    HGLOBAL memory = (size != INVALID_FILE_SIZE && size > 0) ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    bool read = false;
    if (memory) {
        void* data = GlobalLock(memory);
        DWORD got = 0;
        read = data && ReadFile(file, data, size, &got, nullptr) && got == size;
        GlobalUnlock(memory);
    }
    CloseHandle(file);
    IStream* stream = nullptr;
    if (read && SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        static const bool comReady = SUCCEEDED(CoInitialize(nullptr)) || true;
        (void)comReady;
        IPicture* picture = nullptr;
        if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                     reinterpret_cast<void**>(&picture))) &&
            picture) {
            ole_ = picture;
            SHORT type = 0;
            OLE_HANDLE handle = 0;
            BITMAP bm{};
            if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
                SUCCEEDED(picture->get_Handle(&handle)) &&
                GetObjectA(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof(bm), &bm)) {
                width_ = bm.bmWidth;
                height_ = std::abs(bm.bmHeight);
            } else {
                OLE_XSIZE_HIMETRIC w = 0;
                OLE_YSIZE_HIMETRIC h = 0;
                picture->get_Width(&w);
                picture->get_Height(&h);
                width_ = MulDiv(w, Dpi(true), 2540);
                height_ = MulDiv(h, Dpi(false), 2540);
            }
        }
        stream->Release();
    } else if (memory) {
        GlobalFree(memory);
    }
    if (!ole_) {
        // Bitmaps load without OLE too.
        bitmap_ =
            static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        BITMAP bm{};
        if (bitmap_ && GetObjectA(bitmap_, sizeof(bm), &bm)) {
            width_ = bm.bmWidth;
            height_ = std::abs(bm.bmHeight);
        }
    }
    if (Empty()) Clear();
    return !Empty();
}

void Picture::SetIcon(HICON icon, int sizePixels) {
    Clear();
    if (!icon) return;
    icon_ = CopyIcon(icon);
    width_ = height_ = sizePixels;
}

void Picture::Draw(HDC dc, int x, int y) const {
    if (Empty()) return;
    HBITMAP bitmap = bitmap_;
    if (ole_) {
        SHORT type = 0;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(ole_->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(ole_->get_Handle(&handle))) {
            bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
        } else {
            OLE_XSIZE_HIMETRIC w = 0;
            OLE_YSIZE_HIMETRIC h = 0;
            ole_->get_Width(&w);
            ole_->get_Height(&h);
            ole_->Render(dc, x, y, width_, height_, 0, h, w, -h, nullptr);
            return;
        }
    }
    if (bitmap) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, x, y, width_, height_, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else if (icon_) {
        DrawIconEx(dc, x, y, icon_, width_, height_, 0, nullptr, DI_NORMAL);
    }
}
