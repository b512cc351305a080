// The about box: this setup program's name and version, and the product's name, version,
// author and information text from the script. Shown modally from the wizard.
#pragma once
#include <string>
#include "engine/session.h"
#include "windows/forms/forms.h"

class AboutFormWindow : public Form {
  public:
    AboutFormWindow();
    ImageBox Image1;
    Label Label1;    // program name and version
    Label Label5;    // product name and version
    Label Label2[3]; // 0 and 1 credit text, 2 author
    TextBox Text2;   // ProgramInfo
    TextBox Text1;   // credit text
    Button Command1; // OK
    Shape Line1, Line2;

  protected:
    void CreateControls() override;
    void OnLoad() override;
    void OnEscape() override { Unload(); }
    void OnEnter() override { Unload(); }
};
extern AboutFormWindow AboutForm;

// Shows the about box modally with the product of the session's script.
void ShowAboutBox(const SetupSession& s);

// "major.minor.revision" of the running program, from its version resource.
std::string ProgramVersion();
