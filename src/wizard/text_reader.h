// The text reader window: shows a plain text file, either as a document closed with OK or
// as the license agreement answered with Yes or No.
#pragma once
#include <string>

#include "windows/forms/forms.h"

// The file's bytes as the edit control shows them: line ends made CR LF (files written
// with bare LF or CR line ends are common), NUL bytes shown as blanks so that the text
// after them is not lost.
std::string TextForDisplay(const std::string& bytes);

class TextReaderForm : public Form {
  public:
    TextReaderForm() : Form(FormKind::TopLevel) {}

    // Puts the text into Text1.
    void DataRefresh(const std::string& dataparm);
    // The answer: 1 accepted (OK or Yes), 0 refused (No, Esc or the close box).
    int16_t ReaderAnswer = 0;

    class ReaderText : public TextBox {
      protected:
        DWORD Style() const override;
    };
    ReaderText Text1;
    Button Command1;
    Frame Frame1;
    Label Label1;
    Button Command2;
    Button Command3;
    Panel Picture1;
    Shape Line1, Line2;
    Shape Line3[2];
    Label Label2;

  protected:
    void CreateControls() override;
    void OnLoad() override;
    void OnResize() override;
    void OnEscape() override;
    DWORD Style() const override;
};

extern TextReaderForm TextReader;
