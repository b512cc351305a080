// The one way by which the install passes and the uninstaller reach the user: questions
// and messages, the progress display, and the programs they start for the user. The
// wizard and the uninstall window implement it (as message boxes and the copy screen);
// the unattended run as lines of its log; tests as a recorder.
#pragma once
#include <string>

// Title of every message box that is given no title of its own.
inline constexpr const char* AppTitle = "KavexInstall Setup";

// What a question offers and how it looks, in the engine's words; the user interface
// shows it as a message box.
enum class Choices { Ok, YesNo };
enum class MessageKind { Plain, Stop, Warning, Information, Question };
enum class Answer { Ok, Yes, No };

struct Question {
    Choices choices = Choices::Ok;
    MessageKind kind = MessageKind::Plain;
    // For YesNo: No is the button pressed by Enter (a question whose safe answer is No).
    bool noByDefault = false;
};

class SetupUi {
  public:
    virtual ~SetupUi() = default;
    // A modal question; returns the answer chosen.
    virtual Answer Ask(const std::string& text, Question question, const std::string& title) = 0;
    // Shows `text` as the current action and the bar at done/total, at once.
    virtual void ShowProgress(int done, int total, const std::string& text) = 0;
    // Starts a program without waiting for it (a component's registration, Explorer on
    // the destination); false when it could not be started.
    virtual bool StartProgram(const std::string& commandLine) = 0;

    // A message with an OK button: Ask without an answer.
    void Tell(const std::string& text, MessageKind kind = MessageKind::Plain,
              const std::string& title = AppTitle) {
        Ask(text, Question{Choices::Ok, kind}, title);
    }
};
