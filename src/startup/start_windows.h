// The two small windows that only start-up uses: the splash window and the logo window.
#pragma once
#include "windows/forms/forms.h"

// The splash window: the program's picture and name, centred on the screen.
class SplashFormWindow : public Form {
  public:
    SplashFormWindow();
    ImageBox Image1;
    Label Label1;

  protected:
    DWORD Style() const override { return WS_POPUP | WS_BORDER; }
    DWORD ExStyle() const override { return WS_EX_TOOLWINDOW; }
    void CreateControls() override;
    void OnLoad() override;
};
extern SplashFormWindow SplashForm;

// The logo window: one picture, no border or caption, in the main window's top right corner.
class LogoFormWindow : public Form {
  public:
    LogoFormWindow();
    ImageBox Image1;

  protected:
    void CreateControls() override;
};
extern LogoFormWindow LogoForm;
