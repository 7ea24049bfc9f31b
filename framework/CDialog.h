#pragma once

#include "CmdTarget.h"
#include "DialogBuilder.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDataExchange;
class DialogWindow;
class QContextMenuEvent;

// A dialog built from a numbered template and driven by numeric command ids. The C++ object
// outlives its window: each modal run builds the window anew and destroys it at the end.
class CDialog : public CCmdTarget {
public:
    explicit CDialog(int templateId);
    ~CDialog() override;

    // Runs the dialog modally; 1 after OK, 2 after Cancel, -1 when it could not be built.
    int DoModal();
    // Builds and shows the window without a modal loop of its own (the caller's loop drives
    // it); runs OnInitDialog. False when the template is missing or a window exists already.
    bool Create();
    // Ends the modal run with this result; for a window made by Create, hides it.
    void EndDialog(int result);
    // Runs OnDestroy and removes the window; nothing happens when there is none.
    void DestroyWindow();

    // Moves data between members and controls; false when a check failed.
    bool UpdateData(bool saveAndValidate = true);

    QDialog* GetWindow() const;
    QWidget* GetDlgItem(int id) const;
    const std::vector<BuiltControl>& Controls() const { return m_controls; }
    int TemplateId() const { return m_templateId; }

    // Whole text of a control; multi-line edits take and give CR LF line breaks.
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    // Adds text at the end of a multi-line edit, with the line breaks SetDlgItemText gives it;
    // a CR LF pair split between two calls is not joined. Costs what the addition costs.
    void AppendDlgItemText(int id, const std::string& text);
    void EnableDlgItem(int id, bool enable);
    bool IsDlgItemEnabled(int id) const;

    // Posts a command to this dialog; it arrives later through OnCmdMsg, in posting order,
    // from whichever loop runs.
    void PostCommand(unsigned id);
    // A function that posts this command to the current window and may be called from any
    // thread for as long as that window exists; empty when there is no window.
    std::function<void()> CommandPoster(unsigned id) const;

    // Window timers with ids the caller chooses; ticks arrive in OnTimer until killed.
    void SetTimer(unsigned id, unsigned milliseconds);
    void KillTimer(unsigned id);

    // The dialog's own command table; the base knows OK (1) and Cancel (2).
    bool OnCmdMsg(unsigned id) override;

    virtual void OnOK();
    virtual void OnCancel();
    // A command of the window's system menu (Windows), or of the menu that stands in for it;
    // true when the dialog handled it, false to leave it to the default handling.
    virtual bool OnSysCommand(unsigned command) {
        (void)command;
        return false;
    }

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx);
    virtual void OnDestroy() {}
    virtual void OnTimer(unsigned id) { (void)id; }
    virtual void OnContextMenu(QContextMenuEvent& event) { (void)event; }
    // Called once the widgets exist, before OnInitDialog: for touches the template cannot
    // express (fonts, icons, menus).
    virtual void OnWindowBuilt() {}
    // The window's system menu is about to open (Windows).
    virtual void OnInitSystemMenu() {}

private:
    friend class DialogWindow;
    bool BuildWindow();

    int m_templateId;
    std::unique_ptr<DialogWindow> m_window;
    std::vector<BuiltControl> m_controls;
};
