#include "TerminalTestSupport.h"

#include "CComLink.h"
#include "CLineMonitorWnd.h"
#include "DeviceCommands.h"
#include "FrameEncoder.h"
#include "ResourceIds.h"
#include "RowText.h"
#include "SimProcess.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace {

constexpr unsigned kLineMonitorCommand = 0x20;
constexpr unsigned kSaveJournalCommand = 0x30;

// The main window whose "Zapisz dziennik…" writes where the test says.
class JournalTerminalDlg : public TestTerminalDlg {
public:
    using TestTerminalDlg::TestTerminalDlg;
    std::string journalPath;

protected:
    std::string AskJournalPath() override { return journalPath; }
};

class LineMonitorTest : public testing::Test {
protected:
    void StartSim(int port, std::initializer_list<std::string> options) {
        StartSimBehindPort(sims, dir, port, options);
    }
    // Runs body with the main window open as the program runs it: modally.
    void RunOpen(const std::function<void()>& body) {
        dir.WriteConfig(SettingsBytes(1, 19200, 31));
        dialog = std::make_unique<JournalTerminalDlg>(dir.Path());
        RunInModalLoop(*dialog, body);
    }
    void TearDown() override {
        if (dialog) {
            dialog->DestroyWindow();
        }
    }
    CLineMonitorWnd& Monitor() {
        if (dialog->LineMonitor() == nullptr || !dialog->LineMonitor()->isVisible()) {
            EXPECT_TRUE(dialog->OnSysCommand(kLineMonitorCommand));
        }
        return *dialog->LineMonitor();
    }
    void Click(int id) { ClickAsUser(*dialog->GetDlgItem(id)); }
    void Connect(int port) {
        dialog->Settings().port = port;
        Click(IDC_CONNECT);
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_DISCONNECT); }));
    }
    void Disconnect() {
        Click(IDC_DISCONNECT);
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->IsDlgItemEnabled(IDC_CONNECT); }));
    }
    std::vector<MonitorRow> Rows() {
        std::vector<MonitorRow> rows;
        for (std::size_t i = 0; i < Monitor().Rows().Count(); ++i) {
            rows.push_back(Monitor().Rows().At(i));
        }
        return rows;
    }
    // Waits until a row after `from` matches.
    bool WaitForRow(std::size_t from, const std::function<bool(const MonitorRow&)>& match,
                    int limitMs = 5000) {
        return ProcessEventsUntil(
            [&] {
                const CMonitorRows& rows = Monitor().Rows();
                for (std::size_t i = from; i < rows.Count(); ++i) {
                    if (match(rows.At(i))) {
                        return true;
                    }
                }
                return false;
            },
            limitMs);
    }

    TestApp app;
    TempAppDir dir;
    std::vector<std::unique_ptr<CSimProcess>> sims;
    std::unique_ptr<JournalTerminalDlg> dialog;
};

bool Is(const MonitorRow& row, RowKind kind, int command) {
    return row.kind == kind && row.command == command;
}

// The real window against the simulator: a paced device with texts, a device whose every frame
// is broken, and a silent one.
TEST_F(LineMonitorTest, ShowsFramesEventsAndFiguresOfRealDevices) {
    StartSim(1, {"--pace", "--model-marker", "never", "--speed", "12.3", "--text", "Łąka",
                 "--text-period", "700"});
    StartSim(2, {"--corrupt", "1"});
    StartSim(3, {"--silent"});
    RunOpen([&] {
        Monitor();
        EXPECT_TRUE(dialog->LineMonitor()->isVisible());
        EXPECT_EQ(Monitor().windowTitle().toStdString(), "Podgląd transmisji");

        Connect(1);
        // Three polls answered, and a device text.
        ASSERT_TRUE(ProcessEventsUntil(
            [&] {
                const std::vector<MonitorRow> rows = Rows();
                return std::count_if(rows.begin(), rows.end(),
                                     [](const MonitorRow& row) { return row.answerUs >= 0; }) >=
                           3 &&
                       std::any_of(rows.begin(), rows.end(), [](const MonitorRow& row) {
                           return Is(row, RowKind::FromDevice, CMD_TEXT);
                       });
            },
            6000));
        Click(IDC_VERSIONS);
        ASSERT_TRUE(WaitForRow(0, [](const MonitorRow& row) {
            return Is(row, RowKind::FromDevice, CMD_READ_VERSION);
        }));
        const CMonitorStats first = Monitor().Stats();
        const std::vector<MonitorRow> firstRows = Rows(); // what those figures count
        Disconnect();
        ASSERT_TRUE(
            WaitForRow(0, [](const MonitorRow& row) { return row.summary == "Rozłączono"; }));

        std::vector<MonitorRow> rows = Rows();
        // Device texts come whenever the device likes: leave them out to see the exchange.
        std::vector<MonitorRow> exchange;
        std::copy_if(rows.begin(), rows.end(), std::back_inserter(exchange),
                     [](const MonitorRow& row) { return !Is(row, RowKind::FromDevice, CMD_TEXT); });
        ASSERT_GE(exchange.size(), 9u);
        EXPECT_EQ(exchange[0].summary, "Otwieranie portu COM1 , 19200b/s");
        EXPECT_EQ(exchange[1].summary, "Połączono");
        EXPECT_EQ(CellText(exchange[2], kColumnDirection), "do urządzenia");
        EXPECT_EQ(CellText(exchange[2], kColumnCommand), "22h Odczyt pomiaru");
        EXPECT_EQ(exchange[2].address, 31);
        EXPECT_EQ(CellText(exchange[3], kColumnDirection), "z urządzenia");
        EXPECT_EQ(CellText(exchange[3], kColumnCommand), "22h Odczyt pomiaru");
        EXPECT_TRUE(
            std::regex_match(exchange[3].summary, std::regex("12\\.3 m/s, stan [0-9A-F][8-9A-F]h")))
            << exchange[3].summary; // bit 3: the device is in order
        EXPECT_EQ(exchange[3].check, "poprawna");
        EXPECT_GT(exchange[3].answerUs, 0);
        EXPECT_EQ(exchange.back().summary, "Rozłączono");
        for (std::size_t i = 1; i < rows.size(); ++i) {
            EXPECT_LE(rows[i - 1].wallUs, rows[i].wallUs) << i;
        }
        for (const MonitorRow& row : rows) {
            if (Is(row, RowKind::FromDevice, CMD_TEXT)) {
                EXPECT_EQ(row.summary, "Łąka");
                EXPECT_EQ(row.answerUs, -1);
            }
            if (Is(row, RowKind::FromDevice, CMD_READ_VERSION)) {
                EXPECT_EQ(row.summary, "QAL-1P symulator, wersja 3");
            }
        }
        // At 1920 characters a second, a poll of 17 characters and its answer of 27 take 23 ms.
        EXPECT_GE(first.MinAnswerUs(), 20'000);
        EXPECT_LT(first.MaxAnswerUs(), 500'000);
        // The figures are those of the answer times the rows show: each answer's time since the
        // request before it; the 95th percentile as the upper edge of its millisecond.
        std::vector<std::int64_t> times;
        std::int64_t sentUs = -1;
        for (const MonitorRow& row : firstRows) {
            if (row.kind == RowKind::ToDevice) {
                sentUs = row.wallUs;
            } else if (Is(row, RowKind::FromDevice, row.command) && row.check == "poprawna" &&
                       row.command != CMD_TEXT && sentUs >= 0) {
                times.push_back(row.wallUs - sentUs);
                sentUs = -1;
            }
        }
        ASSERT_EQ(times.size(), first.AnswerCount());
        std::sort(times.begin(), times.end());
        std::int64_t total = 0;
        for (const std::int64_t us : times) {
            total += us;
        }
        const std::int64_t at95 = times[(times.size() * 95 + 99) / 100 - 1];
        EXPECT_EQ(first.MinAnswerUs(), times.front());
        EXPECT_EQ(first.MaxAnswerUs(), times.back());
        EXPECT_EQ(first.MeanAnswerUs(), total / static_cast<std::int64_t>(times.size()));
        EXPECT_EQ(first.Percentile95Us(), std::min((at95 / 1000 + 1) * 1000, times.back()));
        EXPECT_GE(first.requests, 4u);
        EXPECT_EQ(first.answers, first.AnswerCount());
        EXPECT_GE(first.deviceTexts, 1u);
        EXPECT_EQ(first.timeouts + first.badChecksums + first.noiseBytes, 0u);

        // Broken answers: shown with their checksum state, and the request times out.
        std::size_t from = Rows().size();
        Connect(2);
        const std::string timeout = "Brak odpowiedzi na 22h Odczyt pomiaru w 1500 ms";
        ASSERT_TRUE(
            WaitForRow(from, [&](const MonitorRow& row) { return row.summary == timeout; }));
        EXPECT_TRUE(WaitForRow(from, [](const MonitorRow& row) {
            return Is(row, RowKind::FromDevice, CMD_READ_MEASUREMENT) && row.check == "błędna";
        }));
        EXPECT_GE(Monitor().Stats().badChecksums, 1u);
        EXPECT_EQ(Monitor().Stats().timeouts, 1u) << "counted since this connect";
        EXPECT_EQ(Monitor().Stats().AnswerCount(), 0u);
        Disconnect();

        // A silent device: the request and its time-out, nothing from the device.
        from = Rows().size();
        Connect(3);
        ASSERT_TRUE(
            WaitForRow(from, [&](const MonitorRow& row) { return row.summary == timeout; }));
        rows = Rows();
        EXPECT_TRUE(
            std::none_of(rows.begin() + static_cast<std::ptrdiff_t>(from), rows.end(),
                         [](const MonitorRow& row) { return row.kind == RowKind::FromDevice; }));
        const std::string status = Monitor().StatusLine()->text().toStdString();
        EXPECT_NE(status.find("brak odpowiedzi 1"), std::string::npos) << status;

        // Closed, the trace stops.
        Monitor().close();
        EXPECT_FALSE(dialog->Link()->m_context.wireTrace.Listening());
    });
}

// The figures count from the last connect where the window saw it, else from its opening, and
// the status line says which.
TEST_F(LineMonitorTest, FiguresSayFromWhenTheyCount) {
    StartSim(1, {"--model-marker", "never"});
    RunOpen([&] {
        const auto readingsPass = [&](int count) {
            for (int i = 0; i < count; ++i) {
                const std::string before = dialog->GetDlgItemText(IDC_READ_INFO);
                ASSERT_TRUE(ProcessEventsUntil(
                    [&] { return dialog->GetDlgItemText(IDC_READ_INFO) != before; }));
            }
        };
        const auto connectSeen = [&] {
            const std::size_t from = Rows().size();
            Connect(1);
            ASSERT_TRUE(
                WaitForRow(from, [](const MonitorRow& row) { return row.summary == "Połączono"; }));
        };
        const auto countingFrom = [&] {
            const std::string status = Monitor().StatusLine()->text().toStdString();
            return status.substr(0, status.find(':'));
        };
        Connect(1);
        readingsPass(2); // untraced: the window is not open
        EXPECT_EQ(countingFrom(), "Od otwarcia okna");
        EXPECT_EQ(Monitor().Stats().requests, 0u);
        ASSERT_TRUE(ProcessEventsUntil([&] { return Monitor().Stats().answers >= 1; }));

        Disconnect();
        connectSeen();
        EXPECT_EQ(countingFrom(), "Od połączenia");

        Monitor().close();
        readingsPass(1);
        EXPECT_EQ(countingFrom(), "Od otwarcia okna") << "opened again on a connection";
        EXPECT_EQ(Monitor().Stats().requests, 0u);
        Monitor().close();
        Disconnect();
        EXPECT_EQ(countingFrom(), "Od otwarcia okna") << "it missed the connection's end";
        connectSeen();
        EXPECT_EQ(countingFrom(), "Od połączenia");
        EXPECT_LE(Monitor().Stats().requests, 1u) << "counted from this connect";
        Disconnect();
    });
}

TEST_F(LineMonitorTest, BatchesOnePerTickPausesAndSavesCsvThatReadsBack) {
    CWireTrace trace;
    CLineMonitorWnd monitor(trace);
    monitor.show();
    ASSERT_TRUE(trace.Listening());
    QSignalSpy inserted(monitor.Table()->model(), &QAbstractItemModel::rowsInserted);

    LinkMessage poll;
    poll.address = 31;
    poll.command = CMD_READ_MEASUREMENT;
    poll.length = 3;
    EncodedFrame frame;
    ASSERT_TRUE(FrameEncoder::Encode(poll, frame));
    auto send = [&](int count) {
        for (int i = 0; i < count; ++i) {
            trace.Record(WireEvent::Sent, reinterpret_cast<const std::uint8_t*>(frame.text),
                         frame.size);
        }
    };
    send(50);
    EXPECT_TRUE(monitor.Tick());
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(monitor.Table()->model()->rowCount(), 50);

    // Copied: the selected rows, one tab-separated line each.
    monitor.Table()->selectRow(1);
    monitor.Copy();
    const std::string copied = QApplication::clipboard()->text().toStdString();
    EXPECT_TRUE(std::regex_match(copied, std::regex("\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\t\\tdo "
                                                    "urządzenia\\t31\\t22h Odczyt pomiaru\\t3\\t00 "
                                                    "00 00\\t\\tpoprawna\\n")))
        << copied;

    // Paused: counted, not shown; the figures go on.
    auto* pause = monitor.findChild<QPushButton*>();
    ASSERT_NE(pause, nullptr);
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(pause->text().toStdString(), "Wznów");
    send(5);
    EXPECT_TRUE(monitor.Tick());
    EXPECT_EQ(monitor.Rows().HeldBack(), 5u);
    EXPECT_EQ(monitor.Stats().requests, 55u);
    QTest::mouseClick(pause, Qt::LeftButton);

    // Hidden polls: gone from the view, all of them kept and saved.
    monitor.findChild<QCheckBox*>()->setChecked(true);
    EXPECT_EQ(monitor.Table()->model()->rowCount(), 0);
    TempAppDir files;
    // UTF-8 both ways: a narrow path on Windows would be read in the ANSI code page.
    const std::filesystem::path saved = files.Path() / u8"podgląd.csv";
    const std::u8string path = saved.u8string();
    monitor.askSavePath = [&] {
        return QString::fromUtf8(reinterpret_cast<const char*>(path.data()),
                                 static_cast<qsizetype>(path.size()));
    };
    monitor.Save();
    std::ifstream file(saved, std::ios::binary);
    std::string error;
    const std::optional<std::vector<MonitorRow>> read = ReadCsv(file, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->size(), 50u);
    EXPECT_EQ(read->front(), monitor.Rows().At(0));

    monitor.close();
    EXPECT_FALSE(trace.Listening());
}

// The table and every control are reached by Tab, in order, each with a name for screen readers.
TEST_F(LineMonitorTest, ReachableByTabWithAccessibleNames) {
    RunOpen([&] {
        QApplication::setActiveWindow(dialog->GetWindow());
        KeyAsUser(*dialog->GetWindow(), Qt::Key_T, Qt::ControlModifier);
        ASSERT_NE(dialog->LineMonitor(), nullptr);
        CLineMonitorWnd& monitor = *dialog->LineMonitor();
        ASSERT_TRUE(monitor.isVisible());
        QApplication::setActiveWindow(&monitor);
        monitor.Table()->setFocus();
        std::vector<std::string> names;
        for (int i = 0; i < 6; ++i) {
            QWidget* focused = QApplication::focusWidget();
            ASSERT_NE(focused, nullptr);
            names.push_back(focused->accessibleName().toStdString());
            KeyAsUser(monitor, Qt::Key_Tab);
        }
        EXPECT_EQ(names, (std::vector<std::string>{"Ramki i zdarzenia łącza", "Pauza", "Wyczyść",
                                                   "Kopiuj zaznaczone wiersze", "Zapisz wiersze",
                                                   "Ukryj odczyty pomiaru"}));
        EXPECT_FALSE(monitor.StatusLine()->accessibleName().isEmpty());
    });
}

// "Zapisz dziennik…" writes every log line since the start, those the pane cleared included.
TEST_F(LineMonitorTest, SavedJournalHoldsLinesThePaneCleared) {
    RunOpen([&] {
        for (int i = 0; i < 250; ++i) {
            dialog->AppendLog("wiersz " + std::to_string(i), true);
        }
        const std::string pane = dialog->Log().Text();
        EXPECT_EQ(pane.find("Inicjalizacja..."), std::string::npos);
        TempAppDir files;
        dialog->journalPath = (files.Path() / "dziennik.txt").string();
        EXPECT_TRUE(dialog->OnSysCommand(kSaveJournalCommand));
        std::ifstream file(dialog->journalPath, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_NE(text.str().find("  Inicjalizacja...\n"), std::string::npos);
        EXPECT_NE(text.str().find("  wiersz 249\n"), std::string::npos);
        EXPECT_EQ(dialog->Log().Text(), pane) << "the pane stays as it was";
    });
    EXPECT_TRUE(app.shown.empty());
}

} // namespace

// What has arrived is taken at once, while the window thread is awake anyway, but never more than
// one batch a tenth of a second; a request on its way and noise alone are taken by the timers.
TEST_F(LineMonitorTest, TakesArrivalsAtOnceAndBatchesAtMostTenTimesASecond) {
    CWireTrace trace;
    CLineMonitorWnd monitor(trace);
    monitor.show();
    QSignalSpy batches(monitor.Table()->model(), &QAbstractItemModel::rowsInserted);
    const std::uint8_t noise[] = {0x55};
    const auto record = [&] { trace.Record(WireEvent::Dropped, noise, 1, FrameDrop::Noise); };
    record();
    monitor.TakeNow();
    EXPECT_EQ(batches.count(), 1) << "taken without waiting for a timer";
    record();
    monitor.TakeNow();
    EXPECT_EQ(batches.count(), 1) << "too soon after the last batch";
    EXPECT_TRUE(ProcessEventsUntil([&] { return batches.count() == 2; }));
    record();
    monitor.Wake();
    EXPECT_TRUE(ProcessEventsUntil([&] { return batches.count() == 3; }));
    record(); // noise, with nothing that wakes the monitor
    EXPECT_TRUE(ProcessEventsUntil([&] { return batches.count() == 4; }));
    EXPECT_EQ(monitor.Table()->model()->rowCount(), 4);
}

// Rows appended without a full relayout still extend the scroll range at once: the view follows
// the end, and stays where the user scrolled up to.
TEST_F(LineMonitorTest, FollowsTheEndUnlessScrolledUp) {
    CWireTrace trace;
    CLineMonitorWnd monitor(trace);
    monitor.show();
    const std::uint8_t noise[] = {0x55};
    QTableView& table = *monitor.Table();
    const QScrollBar& bar = *table.verticalScrollBar();
    auto addRows = [&](int count) {
        for (int i = 0; i < count; ++i) {
            trace.Record(WireEvent::Dropped, noise, 1);
        }
        ASSERT_TRUE(monitor.Tick());
    };
    auto lastRowInSight = [&] {
        const QModelIndex last = table.model()->index(table.model()->rowCount() - 1, 0);
        return table.viewport()->rect().contains(table.visualRect(last));
    };
    for (int batch = 0; batch < 6; ++batch) {
        addRows(20);
        EXPECT_TRUE(lastRowInSight()) << "batch " << batch;
        EXPECT_EQ(bar.value(), bar.maximum());
    }
    ASSERT_GT(bar.maximum(), 0);
    table.verticalScrollBar()->setValue(0);
    addRows(20);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_FALSE(lastRowInSight());
    EXPECT_EQ(table.model()->rowCount(), 140);
}

namespace {

// Counts the paint events of a widget and the height of the area each one covered.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const QRegion& region = static_cast<QPaintEvent*>(event)->region();
            heights.push_back(region.boundingRect().height());
            for (const QRect& rect : region) {
                area += rect.width() * rect.height();
            }
        }
        return QObject::eventFilter(watched, event);
    }
    std::vector<int> heights;
    int area = 0; // of all the paint events together
};

// A shown monitor fed a row of noise per byte, each call one batch, drawn before it returns.
struct NoiseFedMonitor {
    NoiseFedMonitor() { monitor.show(); }
    void AddRows(int count) {
        const std::uint8_t noise[] = {0x55};
        for (int i = 0; i < count; ++i) {
            trace.Record(WireEvent::Dropped, noise, 1, FrameDrop::Noise);
        }
        ASSERT_TRUE(monitor.Tick());
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }

    CWireTrace trace{8192};
    CLineMonitorWnd monitor{trace};
};

} // namespace

// Hiding the readings leaves the other rows at the top of the view, wherever the view was
// following the end; showing them again follows the end.
TEST_F(LineMonitorTest, HiddenReadingsLeaveTheOtherRowsInSight) {
    NoiseFedMonitor fed;
    QTableView& table = *fed.monitor.Table();
    LinkMessage poll;
    poll.address = 31;
    poll.command = CMD_READ_MEASUREMENT;
    poll.length = 3;
    EncodedFrame frame;
    ASSERT_TRUE(FrameEncoder::Encode(poll, frame));
    for (int event = 0; event < 4; ++event) {
        fed.monitor.Events().OnLineEvent(LineEvent::Opening, "zdarzenie " + std::to_string(event));
        ASSERT_TRUE(fed.monitor.Tick());
        for (int i = 0; i < 50; ++i) {
            fed.trace.Record(WireEvent::Sent, reinterpret_cast<const std::uint8_t*>(frame.text),
                             frame.size);
            fed.AddRows(0);
        }
    }
    const auto inSight = [&](int row) {
        return table.viewport()->rect().contains(
            table.visualRect(table.model()->index(row, kColumnSummary)));
    };
    ASSERT_FALSE(inSight(0));

    fed.monitor.findChild<QCheckBox*>()->setChecked(true);
    QApplication::processEvents();
    ASSERT_EQ(table.model()->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_TRUE(inSight(row)) << row;
    }
    EXPECT_EQ(table.visualRect(table.model()->index(0, 0)).top(), 0);

    fed.monitor.findChild<QCheckBox*>()->setChecked(false);
    QApplication::processEvents();
    EXPECT_TRUE(inSight(table.model()->rowCount() - 1));
}

// Every column is at least as wide as its title needs, the last one included.
TEST_F(LineMonitorTest, ColumnsShowTheirWholeTitles) {
    NoiseFedMonitor fed;
    const QHeaderView& header = *fed.monitor.Table()->horizontalHeader();
    for (const int width : {1100, 600}) { // wider and narrower than the columns together
        fed.monitor.resize(width, fed.monitor.height());
        QApplication::processEvents();
        for (int column = 0; column < kColumnCount; ++column) {
            EXPECT_GE(header.sectionSize(column), header.sectionSizeHint(column))
                << ColumnTitle(column) << " at " << width;
        }
    }
}

// With many screens of rows, new rows repaint only the strip they land in, not the whole table.
TEST_F(LineMonitorTest, NewRowsRepaintOnlyTheirStrip) {
    NoiseFedMonitor fed;
    CLineMonitorWnd& monitor = fed.monitor;
    const auto addRows = [&](int count) { fed.AddRows(count); };
    QTableView& table = *monitor.Table();
    addRows(5000);
    PaintSpy rows(*table.viewport());
    addRows(2);
    ASSERT_FALSE(rows.heights.empty());
    EXPECT_LE(*std::max_element(rows.heights.begin(), rows.heights.end()), 2 * table.rowHeight(0));
}

// Following the end jumps half a page at a time: rows in between land in the room left below the
// newest, without moving what is shown, and a new layout keeps that room.
TEST_F(LineMonitorTest, FollowingTheEndJumpsHalfAPage) {
    NoiseFedMonitor fed;
    QTableView& table = *fed.monitor.Table();
    const QScrollBar& bar = *table.verticalScrollBar();
    const auto lastRow = [&] {
        return table.visualRect(table.model()->index(table.model()->rowCount() - 1, 0));
    };
    fed.AddRows(100);
    const int page = table.viewport()->height() / table.rowHeight(0);
    EXPECT_NEAR(lastRow().bottom(), table.viewport()->height() / 2, table.rowHeight(0));
    int landed = 0;
    for (const int top = bar.value(); bar.value() == top; ++landed) {
        fed.AddRows(1);
        ASSERT_TRUE(table.viewport()->rect().contains(lastRow())) << "after " << landed;
        ASSERT_EQ(bar.value(), bar.maximum());
        ASSERT_LT(landed, page);
    }
    EXPECT_GE(landed, page / 2 - 1) << "rows landed below the newest before the next jump";
    EXPECT_NEAR(lastRow().bottom(), table.viewport()->height() / 2, table.rowHeight(0));

    fed.monitor.resize(fed.monitor.width() + 40, fed.monitor.height() + 3 * table.rowHeight(0));
    QApplication::processEvents();
    EXPECT_EQ(bar.value(), bar.maximum()) << "still following";
    EXPECT_TRUE(table.viewport()->rect().contains(lastRow()));
    EXPECT_GT(table.viewport()->height() - lastRow().bottom(), 3 * table.rowHeight(0))
        << "the room is kept";
    fed.AddRows(1);
    EXPECT_TRUE(table.viewport()->rect().contains(lastRow()));
}

// A full store drops its oldest rows in one go now and then; the rows in sight keep their place on
// screen and are not painted again.
TEST_F(LineMonitorTest, RowsDroppedFromAFullStoreLeaveTheViewAlone) {
    NoiseFedMonitor fed;
    QTableView& table = *fed.monitor.Table();
    for (std::size_t i = 0; i < CMonitorRows::kDefaultCapacity; ++i) {
        fed.monitor.Events().OnLineEvent(LineEvent::Opening, "row " + std::to_string(i));
    }
    ASSERT_TRUE(fed.monitor.Tick());
    QApplication::processEvents();
    const auto rowAt = [&](int y) {
        const QModelIndex index = table.indexAt(QPoint(1, y));
        std::string text;
        for (int column = 0; column < table.model()->columnCount(); ++column) {
            text += table.model()->index(index.row(), column).data().toString().toStdString();
        }
        return text;
    };
    const std::string top = rowAt(1);
    const std::string middle = rowAt(table.viewport()->height() / 3);
    PaintSpy rows(*table.viewport());
    fed.AddRows(2);
    EXPECT_EQ(fed.monitor.Rows().Dropped(), CMonitorRows::kDefaultCapacity / 100);
    EXPECT_EQ(rowAt(1), top);
    EXPECT_EQ(rowAt(table.viewport()->height() / 3), middle);
    ASSERT_FALSE(rows.heights.empty()) << "the new rows are drawn";
    EXPECT_LE(*std::max_element(rows.heights.begin(), rows.heights.end()), 2 * table.rowHeight(0));
}

// A batch of rows on a long table repaints neither scroll bar where their sliders stay put, and
// of the status line only the figures that changed.
TEST_F(LineMonitorTest, NewRowsLeaveScrollBarsAndUnchangedFiguresAlone) {
    NoiseFedMonitor fed;
    CLineMonitorWnd& monitor = fed.monitor;
    const auto addRows = [&](int count) { fed.AddRows(count); };
    QTableView& table = *monitor.Table();
    addRows(5000);
    ASSERT_TRUE(table.horizontalScrollBar()->isVisible()) << "the columns are wider than the table";
    PaintSpy horizontal(*table.horizontalScrollBar());
    PaintSpy vertical(*table.verticalScrollBar());
    QWidget& statusFace = *monitor.StatusLine()->findChild<QWidget*>();
    PaintSpy status(statusFace);
    addRows(1);
    EXPECT_EQ(table.verticalScrollBar()->value(), table.verticalScrollBar()->maximum());
    EXPECT_TRUE(horizontal.heights.empty());
    EXPECT_TRUE(vertical.heights.empty()) << "5001 rows: the slider did not move";
    ASSERT_FALSE(status.heights.empty());
    EXPECT_LT(status.area, statusFace.width() * statusFace.height() / 4);
    EXPECT_NE(monitor.StatusLine()->text().indexOf(QStringLiteral("Wiersze 5001")), -1);
    table.verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    EXPECT_FALSE(vertical.heights.empty()) << "a slider that moved is shown where it went";
}

// What the partial repaints leave on screen is what painting the widgets anew shows: the scroll
// bar whose slider moved, the status line whose figures changed, the rows scrolled up.
TEST_F(LineMonitorTest, PartialRepaintsShowWhatAFullPaintShows) {
    NoiseFedMonitor fed;
    CLineMonitorWnd& monitor = fed.monitor;
    const auto addRows = [&](int count) { fed.AddRows(count); };
    auto onScreen = [&](QWidget& widget) {
        const QPoint at = widget.mapTo(&monitor, QPoint(0, 0));
        return monitor.screen()
            ->grabWindow(monitor.winId(), at.x(), at.y(), widget.width(), widget.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    QWidget* const widgets[] = {monitor.Table()->verticalScrollBar(),
                                monitor.StatusLine()->findChild<QWidget*>(),
                                monitor.Table()->viewport()};
    addRows(40);
    for (const int rows : {3, 30, 1, 700}) {
        addRows(rows);
        // All taken from the screen before any grab: a grab lays out what it renders first.
        std::vector<QImage> shown;
        for (QWidget* widget : widgets) {
            shown.push_back(onScreen(*widget));
        }
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i], widgets[i]->grab().toImage().convertToFormat(QImage::Format_RGB32))
                << widgets[i]->metaObject()->className() << " after " << rows << " rows";
        }
    }
}
