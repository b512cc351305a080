// The wizard window: a window inside the main window with a fixed frame of buttons and a
// stack of panels, one per screen (WizScreen(3) is empty and never shown).
#pragma once
#include "windows/forms/forms.h"

class WizFormWindow : public Form {
  public:
    WizFormWindow();
    ImageBox Image1;
    Label Label1[2]; // the title and its grey shadow
    Shape Line5, Line6;
    Button AboutButton, BackButton, NextButton, CancelButton;
    Panel WizScreen[7];
    // Welcome
    Label Label3[4]; // 0 and 1 welcome, 3 destination
    // Destination
    Label Label4, Label5, Label9;
    Button Command3;
    // Copying
    Label Label8;
    TextBox Text1;
    Panel Picture1;
    Shape Shape1;
    // Search
    Label Label2, Label10;
    // Ready
    Label Label6;
    // Finalizing
    Label Label7;

    // The user asked to stop the component search (Cancel, or the key x).
    bool SearchCancelled = false;
    // Puts the product's name into the title and its shadow, in a smaller type when the
    // name would not show whole in the title's room.
    void SetTitle(const std::string& title);

    // The key x stops the search too.
    void OnKeyPress(char key) override;

  protected:
    void CreateControls() override;
    void OnLoad() override;
    bool OnQueryUnload(UnloadMode mode) override;
    void OnEscape() override;
};
extern WizFormWindow WizForm;
