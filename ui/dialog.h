// A modal dialog built from a dialog template of the program's resources,
// with data exchange between the dialog's controls and the members of the
// derived class. Windows code only.
//
// A derived class overrides what it needs: OnInitDialog (the base transfers
// the members to the controls and lets the system set the focus),
// DoDataExchange (one exchange call per bound control, in a fixed order),
// OnCommand (notifications other than OK and Cancel), OnOK (the base
// transfers the controls to the members and closes with OK) and OnCancel
// (the base closes with Cancel and leaves the members untouched).
#pragma once

#include <cstdint>
#include <string>

struct HWND__;
class HyperlinkLabel;

// Moves values between a dialog's controls and variables, in one direction.
class DataExchange {
public:
    DataExchange(HWND__* dialog, bool saving) : dialog_(dialog), saving_(saving) {}
    // True when controls are read into the variables, false when the
    // variables are written to the controls.
    bool Saving() const { return saving_; }

    // The window text of control id.
    void Text(int id, std::string& value);
    // The check state of check box id (checked or not).
    void Check(int id, bool& value);
    // Binds the label to control id the first time the controls are written.
    void Control(int id, HyperlinkLabel& label);

private:
    HWND__* dialog_;
    bool saving_;
};

class Dialog {
public:
    // Button ids that end a dialog.
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    // templateId names a dialog resource of the program's own module; parent
    // may be null.
    Dialog(int templateId, HWND__* parent);
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog and returns when it ends: the id it ended with (kOk,
    // kCancel), or -1 when the dialog could not be created.
    std::intptr_t DoModal();

    // The dialog window while it runs, else null.
    HWND__* Window() const { return window_; }
    // The control id of the running dialog, or null.
    HWND__* Item(int id) const;

    // Transfers the controls to the members (saving) or back. Writing a
    // control makes it notify the dialog (an edit sends its change
    // notification), whose handler may ask for a transfer again: a transfer
    // asked for while one runs is skipped, so half-written members are
    // never read back over the values still to be written.
    void UpdateData(bool saving);

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& exchange);
    // A command notification (code) of control id other than OK and Cancel.
    virtual void OnCommand(int id, int code);
    virtual void OnOK();
    virtual void OnCancel();
    // Ends the running dialog; DoModal returns result.
    void EndDialog(int result);

private:
    static std::intptr_t __stdcall Procedure(HWND__* window, unsigned message, std::uintptr_t wParam,
                                             std::intptr_t lParam);

    int templateId_;
    HWND__* parent_;
    HWND__* window_ = nullptr;
    bool exchanging_ = false;
};
