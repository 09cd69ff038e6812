// What the program's windows tell a screen reader beyond what the system reads from them by itself: a name
// where the design shows no text, a control's tooltip as its description, roles and states the program's
// own drawing hides. A window answers WM_GETOBJECT with the system's own object for it, wrapped so that
// these facts take precedence; each question is asked of the window again when it comes, so the answers
// follow the window's state.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win32 {

struct AccessibleFacts {
    std::optional<std::wstring> name;
    std::optional<std::wstring> description;
    long role = 0;         // 0: the system's
    long addedStates = 0;  // on top of the system's

    bool empty() const { return !name && !description && role == 0 && addedStates == 0; }
};

// A window of the program that knows facts about itself, asked again at each question.
class AccessibleSource {
  public:
    virtual void describe(AccessibleFacts& facts) const = 0;

  protected:
    ~AccessibleSource() = default;
};

// The source of a window's facts, from its creation until its destruction. Only what the program
// registers itself is asked: a window that is gone leaves the system's answers.
void registerAccessible(HWND window, const AccessibleSource& source);
void unregisterAccessible(HWND window);

// The answer to WM_GETOBJECT for a window that has facts of its own (the client area and the window
// itself); nothing when the request is for another object or the system's accessibility library is
// missing, and the window's default handling answers.
// A control's facts are about its client area; a top-level window's name is also its window object's
// (the other facts are its client area's, as a dialog's role is).
std::optional<LRESULT> answerGetObject(HWND window, WPARAM wp, LPARAM lp, bool alsoWindowObject);

// Tells screen readers that an object's name or description has changed.
void announceNameChange(HWND window);
void announceDescriptionChange(HWND window);

}  // namespace win32
