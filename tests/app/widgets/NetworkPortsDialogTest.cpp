#include "TerminalTestSupport.h"

#include "CNetworkPortsDlg.h"
#include "WindowMenuCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Alt+key on a button: the button clicks once its short press animation is over.
void PressAlt(QWidget& dialog, Qt::Key key) {
    QTest::keyClick(&dialog, key, Qt::AltModifier);
    ASSERT_TRUE(ProcessEventsUntil([&] {
        const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
        return std::none_of(buttons.begin(), buttons.end(),
                            [](const QPushButton* button) { return button->isDown(); });
    }));
}

class NetworkPortsDialogTest : public testing::Test {
protected:
    void SetUp() override {
        dialog = std::make_unique<TestTerminalDlg>(dir.Path());
        ASSERT_TRUE(dialog->Create());
    }
    void TearDown() override { dialog->DestroyWindow(); }
    std::filesystem::path PortsFile() const { return dir.Path() / "ports.json"; }
    // Opens "Porty sieciowe" from the window menu; `act` runs while it is open.
    void RunDialog(const std::function<void(CNetworkPortsDlg&)>& act) {
        WhenModalOpens(
            [&](QWidget& window) {
                auto* ports = dynamic_cast<CNetworkPortsDlg*>(&window);
                ASSERT_NE(ports, nullptr);
                QApplication::setActiveWindow(ports); // its shortcuts answer
                act(*ports);
                QTest::keyClick(&window, Qt::Key_Escape);
            },
            dialog->GetWindow());
        ASSERT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kNetworkPorts));
    }

    TestApp app;
    TempAppDir dir;
    std::unique_ptr<TestTerminalDlg> dialog;
};

// Added, refused, changed, checked and removed from the keyboard; every change is in the file
// at once, and what the file holds besides is kept.
TEST_F(NetworkPortsDialogTest, MappingsAreEditedFromTheKeyboardAndSavedAtOnce) {
    std::ofstream(PortsFile()) << R"({"note": "maszty, hala 3", "COM2": "tcp://10.0.0.2:4001"})";
    CSimProcess sim({"--listen", "0", "--ignore-stdin"});
    const std::string url = sim.FirstLine();
    ASSERT_FALSE(url.empty()) << sim.Errors();

    RunDialog([&](CNetworkPortsDlg& ports) {
        EXPECT_EQ(ports.windowTitle().toStdString(), "Porty sieciowe");
        // Every control is named for a screen reader.
        for (QWidget* control : ports.findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus && control->isVisibleTo(&ports) &&
                control->parentWidget() == &ports) {
                EXPECT_FALSE(control->accessibleName().isEmpty())
                    << control->metaObject()->className();
            }
        }
        ASSERT_EQ(ports.Table()->rowCount(), 1);
        EXPECT_EQ(ports.Table()->item(0, 1)->text().toStdString(), "tcp://10.0.0.2:4001");

        // Alt+P reaches the port, typing chooses COM5; Tab reaches the address.
        QTest::keyClick(&ports, Qt::Key_P, Qt::AltModifier);
        ASSERT_EQ(QApplication::focusWidget(), ports.PortChoice());
        ports.PortChoice()->setCurrentIndex(4);
        QTest::keyClick(ports.PortChoice(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), ports.AddressField());
        QTest::keyClicks(ports.AddressField(), "tcp://mast-12");
        PressAlt(ports, Qt::Key_D); // "Dodaj"
        EXPECT_EQ(ports.Status()->text().toStdString(),
                  "Błędny adres: the port number is missing (HOST:PORT): tcp://mast-12");
        ports.AddressField()->setText(QString::fromStdString(url));
        PressAlt(ports, Qt::Key_D);
        EXPECT_EQ(ports.Status()->text().toStdString(), "Dodano: COM5: " + url);
        PressAlt(ports, Qt::Key_D);
        EXPECT_EQ(ports.Status()->text().toStdString(),
                  "COM5 ma już adres; wybierz go i naciśnij „Zmień”");

        // "Sprawdź" asks the device behind the selected row, the window going on meanwhile.
        ASSERT_EQ(ports.Table()->currentRow(), 1);
        PressAlt(ports, Qt::Key_S);
        EXPECT_TRUE(ports.Checking());
        ASSERT_TRUE(ProcessEventsUntil([&] { return !ports.Checking(); }, 8000));
        EXPECT_EQ(ports.Status()->text().toStdString(),
                  "COM5: Odpowiada: QAL-1P symulator, wersja 3 (19200 bit/s)");
        EXPECT_EQ(ports.Table()->item(1, 2)->text().toStdString(),
                  "Odpowiada: QAL-1P symulator, wersja 3 (19200 bit/s)");

        // The first row moves to COM7 with another address, then goes.
        ports.Table()->selectRow(0);
        EXPECT_EQ(ports.AddressField()->text().toStdString(), "tcp://10.0.0.2:4001");
        ports.PortChoice()->setCurrentIndex(6);
        ports.AddressField()->setText(QStringLiteral("rfc2217://mast-7.example.net:4001"));
        PressAlt(ports, Qt::Key_Z); // "Zmień"
        EXPECT_EQ(ports.Status()->text().toStdString(),
                  "Zmieniono: COM7: rfc2217://mast-7.example.net:4001");
        EXPECT_EQ(ReadFile(PortsFile()), "{\n  \"reconnect\": false,\n  \"COM5\": \"" + url +
                                             "\",\n  \"COM7\": "
                                             "\"rfc2217://mast-7.example.net:4001\",\n  \"note\": "
                                             "\"maszty, hala 3\"\n}\n");
        PressAlt(ports, Qt::Key_U); // "Usuń"
        EXPECT_EQ(ports.Table()->rowCount(), 1);
    });
    EXPECT_EQ(ReadFile(PortsFile()), "{\n  \"reconnect\": false,\n  \"COM5\": \"" + url +
                                         "\",\n  \"note\": \"maszty, hala 3\"\n}\n");
}

// A file the user broke by hand is shown as such and never written over.
TEST_F(NetworkPortsDialogTest, ABrokenFileIsNotWrittenOver) {
    const std::string broken = "{\"COM5\": \"tcp://a:1\",}";
    std::ofstream(PortsFile()) << broken;
    RunDialog([&](CNetworkPortsDlg& ports) {
        EXPECT_EQ(ports.Status()->text().toStdString().rfind("ports.json: line 1: ", 0), 0u)
            << ports.Status()->text().toStdString();
        ports.AddressField()->setText(QStringLiteral("tcp://10.0.0.3:4001"));
        ports.Add();
        EXPECT_EQ(ports.Table()->rowCount(), 0);
    });
    EXPECT_EQ(ReadFile(PortsFile()), broken);
}

// "Łącz ponownie automatycznie" is a check item whose state lives in ports.json.
TEST_F(NetworkPortsDialogTest, TheReconnectChoiceIsACheckItemKeptInTheFile) {
    auto checked = [&] {
        const std::unique_ptr<QMenu> menu = dialog->CreateWindowMenu();
        for (QAction* action : menu->actions()) {
            if (action->data().toUInt() == WindowMenuCommand::kAutoReconnect) {
                EXPECT_TRUE(action->isCheckable());
                EXPECT_EQ(action->text().toStdString(), "Łącz ponownie automatycznie");
                return action->isChecked();
            }
        }
        ADD_FAILURE() << "no such item";
        return false;
    };
    EXPECT_FALSE(checked()) << "off by default";
    ASSERT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kAutoReconnect));
    EXPECT_TRUE(checked());
    EXPECT_EQ(ReadFile(PortsFile()), "{\n  \"reconnect\": true\n}\n");

    // Read at the next start; the item turns it off again.
    dialog->DestroyWindow();
    dialog = std::make_unique<TestTerminalDlg>(dir.Path());
    ASSERT_TRUE(dialog->Create());
    EXPECT_TRUE(checked());
    ASSERT_TRUE(dialog->OnSysCommand(WindowMenuCommand::kAutoReconnect));
    EXPECT_FALSE(checked());
    EXPECT_EQ(ReadFile(PortsFile()), "{\n  \"reconnect\": false\n}\n");
}

} // namespace
