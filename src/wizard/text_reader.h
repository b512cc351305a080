// The text reader window: shows a plain text file, either as a document closed with OK or
// as the license agreement answered with Yes or No.
#pragma once
#include <string>

#include "windows/forms.h"

// The file's bytes as the edit control shows them: line ends made CR LF (files written
// with bare LF or CR line ends are common), NUL bytes shown as blanks so that the text
// after them is not lost.
std::string TextForDisplay(const std::string& bytes);

// Reads a whole file as bytes. False when the path names no normal file (a folder, a
// path with wildcards, a missing file) or the file cannot be read.
bool ReadTextFile(const std::string& path, std::string& bytes);

class TextReaderForm : public Form {
  public:
    TextReaderForm() : Form(FormKind::TopLevel) {}

    // Puts the text into Text1.
    void DataRefresh(const std::string& dataparm);

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
