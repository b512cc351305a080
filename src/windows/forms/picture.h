// Pictures of the forms layer: image files and icons, drawn at their own size.
#pragma once
#include <windows.h>

#include <string>

// A picture loaded from a file (BMP, JPEG, GIF, ICO, WMF through OLE), or an icon.
class Picture {
  public:
    Picture() = default;
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    // Loads the file by exactly the name given; false (and an empty picture) on failure.
    bool LoadFile(const std::string& path);
    void SetIcon(HICON icon, int sizePixels);
    void Clear();
    bool Empty() const { return width_ == 0 || height_ == 0; }
    int WidthPixels() const { return width_; }
    int HeightPixels() const { return height_; }
    // Draws the picture at its own size with its top-left corner at (x, y).
    void Draw(HDC dc, int x, int y) const;

  private:
    struct IPicture* ole_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
    int width_ = 0, height_ = 0;
};
