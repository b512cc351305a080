// The program's small forms layer over the Win32 API: one window per form, created the
// first time it is used and destroyed when it is unloaded, with its controls as named
// members. Positions and sizes are in twips (1440 per inch), converted to pixels with the
// screen's DPI in one place (TwipsToPixelsX/Y).
//
// Writing a form:
//   class ChooserWindow : public Form {
//     public:
//       ChooserWindow() : Form(FormKind::TopLevel) {}
//       Label Label1;  ListBox List1;  Button OkButton;  Panel Box;   // named controls
//     protected:
//       void CreateControls() override {            // called by Load, window already exists
//           SetClientSize(4800, 3600);
//           AddControl(Box, nullptr, 120, 120, 4560, 2400);        // a panel on the form
//           AddControl(Label1, &Box, 0, 0, 4560, 255, "Folders:"); // a label on the panel
//           AddControl(List1, &Box, 0, 300, 4560, 2000);
//           AddControl(OkButton, nullptr, 3480, 3000, 1215, 375, "OK");
//           OkButton.Click = [this] { Unload(); };
//           List1.DblClick = [this] { ... };
//       }
//       void OnLoad() override { SetCaption("..."); }   // the form's load handler
//       bool OnQueryUnload(UnloadMode mode) override;   // false cancels the close
//   };
//   ChooserWindow ChFolderForm;   // one global instance
//   ChFolderForm.ShowModal();     // loads it, disables the other windows, waits until unloaded
//
// Kinds: TopLevel (own window; owned by the main window when that is open), MdiFrame (the
// main window), MdiChild (a window inside the main window, with a caption bar), Child (a
// captionless window inside the main window, such as the backdrop). Loading an MdiChild or
// Child form loads the main window first (set with SetMainForm).
//
// Messages: every loop of the program (the main loop, modal loops, DoEvents) goes through
// DispatchWindowMessage, which does the keyboard navigation (Tab, mnemonics) and
// dispatches. A form with KeyPreview set sees each character typed in it or in one of its
// controls first (OnKeyPress), whichever loop takes the message from the queue.
// EndProgram destroys every window and leaves the process at once, from anywhere.
//
// The layer's parts: forms_units.h (twips, colours), forms_picture.h, forms_controls.h,
// forms_lists.h, forms_form.h (the form's life cycle), forms_messages.h (the loops and the
// keyboard). Callers include this header only.
#pragma once
#include "windows/forms/units.h"
#include "windows/forms/picture.h"
#include "windows/forms/controls.h"
#include "windows/forms/lists.h"
#include "windows/forms/form.h"
#include "windows/forms/messages.h"
