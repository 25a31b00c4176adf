// Message boxes, Yes/No questions and the input box, behind one service so
// that tests can script the answers instead of blocking on a dialog.
#pragma once

#include "platform/ServiceSlot.h"

#include <QString>

class QWidget;

namespace orla {

// Button and icon styles, and answers, as the system writes them.
namespace vb {
inline constexpr int OKOnly = 0;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int SystemModal = 4096;
inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace vb

class Prompts {
  public:
    virtual ~Prompts();
    // Shows a message with the given style; returns the button pressed.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
    // Asks for a text; an empty text when the user cancels.
    virtual QString InputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
};

// Qt dialogs unless a test puts its double in.
extern template class ServiceSlot<Prompts>;

inline Prompts& CurrentPrompts() {
    return ServiceSlot<Prompts>::Current();
}

// True when a real display is present (not the offscreen or minimal platform).
bool HasDisplay();

}  // namespace orla
