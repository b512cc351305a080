// The main window (an MDI parent filling the screen), its backdrop with the script's
// colour, gradient and tiled picture, and the two painting routines.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/session.h"
#include "windows/forms/forms.h"

// What the script makes of the main window and its backdrop, read once: the backdrop is
// repainted while the install passes use the script on their own thread.
struct MainWindowLook {
    int32_t colour = 0; // SetupColor, an OLE colour
    std::string title;  // SetupTitle
    bool drawGradient = false;
    std::array<int16_t, 3> gradient{}; // red, green, blue
    std::string tilePath;              // none: empty
};
MainWindowLook ReadMainWindowLook(const SetupSession& s);

class MotherFormWindow : public Form {
  public:
    MotherFormWindow();

    // What the main window and the backdrop show; start-up sets it before they are loaded.
    MainWindowLook look;
    // The logo window, which the main window keeps against its right edge (none: null).
    Form* logoWindow = nullptr;
    // Asked when the user closes the main window (close box, window menu, Alt+F4); true
    // lets it close. Start-up and the wizard set it: they know what closing means now.
    std::function<bool()> CloseRequested;

  protected:
    void OnLoad() override;
    bool OnQueryUnload(UnloadMode mode) override;
    void OnResize() override;
};
extern MotherFormWindow MotherForm;

// The backdrop: covers the main window's inner area, always below the other windows
// there, and never becomes the active window. What it shows is painted into an
// offscreen picture on every resize and copied to the screen whenever it is uncovered.
class MotherFormBackWindow : public Form {
  public:
    MotherFormBackWindow();
    ~MotherFormBackWindow() override;
    ImageBox TileImage;
    // The offscreen picture that the painting routines draw on (client size).
    HDC Canvas() const { return canvasDc_; }
    int CanvasWidth() const { return canvasWidth_; }
    int CanvasHeight() const { return canvasHeight_; }

  protected:
    void CreateControls() override;
    void OnLoad() override;
    void OnResize() override;
    void OnUnload() override;
    bool OnEraseBackground(HDC) override { return true; }
    void OnPaint(HDC dc) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    void NewCanvas();
    void FreeCanvas();
    HDC canvasDc_ = nullptr;
    HBITMAP canvas_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    int canvasWidth_ = 0, canvasHeight_ = 0;
};
extern MotherFormBackWindow MotherFormBack;

// The colours of the gradient's 256 bands, top to bottom: the top band has the given
// components (above 255 counting as 255, below 0 as 0), and each band below is one step
// lower in every component still above 0.
std::array<COLORREF, 256> GradientBands(int red, int green, int blue);

// Paints the vertical gradient on the backdrop. The components are counted down (the
// caller's copies are scratch values).
void PaintGradient(MotherFormBackWindow& form, int16_t& red, int16_t& green, int16_t& blue);
// Tiles the image's picture over the backdrop from its top-left corner.
void TilePicture(MotherFormBackWindow& form, ImageBox& image);

// A script colour key read as a number and taken as a signed 32-bit colour (0 when it
// does not fit).
int32_t ReadColourKey(const SetupSession& s, const char* key);
