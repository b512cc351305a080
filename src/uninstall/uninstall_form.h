// The small progress window shown inside the main window while the uninstaller works.
#pragma once
#include "windows/forms.h"

class UninstallFormWindow : public Form {
  public:
    UninstallFormWindow();
    Label Label1, Label2;

  protected:
    void CreateControls() override;
    void OnLoad() override;
    // No buttons and no close box: the removal cannot be interrupted from here.
    bool OnQueryUnload(UnloadMode mode) override { return mode != UnloadMode::User; }
};
extern UninstallFormWindow UninstallForm;
