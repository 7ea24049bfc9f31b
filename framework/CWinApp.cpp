#include "CWinApp.h"

#include "MessageBoxTypes.h"
#include "SystemSound.h"
#include "UiText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace {

// The one application object; set and cleared only by its constructor and destructor.
CWinApp* g_app = nullptr;

// A box whose buttons are all answers (Yes/No, Abort/Retry/Ignore) is left only by one of them:
// Esc and the close box would otherwise pick an answer the user never gave.
class CMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

    void RequireAnswer() {
        m_requireAnswer = true;
        setWindowFlag(Qt::WindowCloseButtonHint, false);
    }
    void SetSound(unsigned icon) { m_soundIcon = icon; }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        PlayMessageBoxSound(m_soundIcon);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (m_requireAnswer && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (m_requireAnswer && clickedButton() == nullptr) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool m_requireAnswer = false;
    unsigned m_soundIcon = 0;
};

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int answer;
};

int ShowQtMessageBox(const std::string& text, unsigned type, const QString& caption) {
    CMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(UiText(text));
    const unsigned icon = EffectiveMessageBoxIcon(type);
    box.SetSound(icon);
    switch (icon) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }

    std::vector<ButtonChoice> buttons;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {{QMessageBox::Ok, IDANSWER_OK}, {QMessageBox::Cancel, IDANSWER_CANCEL}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT},
                   {QMessageBox::Retry, IDRETRY},
                   {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES},
                   {QMessageBox::No, IDNO},
                   {QMessageBox::Cancel, IDANSWER_CANCEL}};
        break;
    case MB_YESNO:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDANSWER_CANCEL}};
        break;
    default:
        buttons = {{QMessageBox::Ok, IDANSWER_OK}};
        break;
    }
    QMessageBox::StandardButtons standard;
    for (const ButtonChoice& choice : buttons) {
        standard |= choice.button;
    }
    box.setStandardButtons(standard);
    std::size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    if (defaultIndex >= buttons.size()) {
        defaultIndex = 0;
    }
    box.setDefaultButton(buttons[defaultIndex].button);
    const bool hasCancel =
        std::any_of(buttons.begin(), buttons.end(),
                    [](const ButtonChoice& choice) { return choice.answer == IDANSWER_CANCEL; });
    if (buttons.size() > 1 && !hasCancel) {
        box.RequireAnswer();
    }

    box.exec();
    const auto* clicked = box.clickedButton();
    for (const ButtonChoice& choice : buttons) {
        if (clicked == box.button(choice.button)) {
            return choice.answer;
        }
    }
    // Closed without a button (Esc or the close box, which only boxes with Cancel or a single
    // button allow): Cancel where there is one, else the only answer the box offers.
    for (const ButtonChoice& choice : buttons) {
        if (choice.answer == IDANSWER_CANCEL) {
            return choice.answer;
        }
    }
    return buttons.size() == 1 ? buttons.front().answer : IDANSWER_CANCEL;
}

} // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

int CWinApp::DoMessageBox(const std::string& text, unsigned type) {
    return ShowQtMessageBox(text, type, QString::fromStdString(AppTitle()));
}

std::string CWinApp::AppTitle() const {
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? std::string("qal-terminal")
                          : QFileInfo(path).completeBaseName().toStdString();
}

CWinApp* AfxGetApp() {
    return g_app;
}

int AfxMessageBox(const std::string& text, unsigned type) {
    if (CWinApp* app = AfxGetApp()) {
        return app->DoMessageBox(text, type);
    }
    return ShowQtMessageBox(text, type, QStringLiteral("qal-terminal"));
}
