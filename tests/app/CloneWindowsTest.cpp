// The windows of the clone commands: the progress window (32 cells, not closable), the
// accessory settings dialog (validation, enabled states, the record it writes), and the
// commands end to end against the simulated radio on virtual time: progress window and
// disabled main window while memory moves, both back afterwards.
// The cells' headers come before Qt's: Qt defines "slots" as a macro.
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/indDocument.h"
#include "support/ShippedTexts.h"

#include "app/cuiCloneProgress.h"
#include "app/indEnviron.h"
#include "app/iuiAccessoryDialog.h"
#include "app/iuiCloneCommands.h"
#include "base/cmcGTex.h"
#include "base/cmcManualTimers.h"
#include "base/cmcMemorySettingsStore.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "link/cmcMemoryLink.h"
#include "link/indWriteImage.h"
#include "platform/cmcMainWindow.h"
#include "radiosim/RadioSim.h"
#include "radiosim/RadioSimMemoryPort.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

std::string initialFile()
{
    return ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf";
}

void programChannel(indDocument& document, int slot, std::uint32_t rx)
{
    datCh channel(document.Working());
    channel.decode(datKindChannel, slot);
    channel.Set(datField::ChRxFreq, rx);
    channel.encode(datKindChannel, slot);
    if (datChannelCount(document.Working(), 0) <= slot)
        datSetChannelCount(document.Working(), 0, slot + 1);
}

class CloneWindowsTest : public testing::Test {
protected:
    ShippedTexts texts;
    cmcManualTimers timers;
    cmcScriptedResponder boxes;
};

} // namespace

TEST_F(CloneWindowsTest, ProgressBarOf32CellsThatCannotBeClosed)
{
    struct Case {
        long long done, total;
        int cells;
    };
    for (const Case c : {Case{0, 100, 0}, Case{3, 100, 0}, Case{4, 100, 1}, Case{50, 100, 16},
                         Case{97, 100, 32}, Case{100, 100, 32}, Case{120, 100, 32}, Case{5, 0, 0}})
        EXPECT_EQ(cuiCloneProgress::FilledCells(c.done, c.total), c.cells) << c.done << "/" << c.total;

    cuiCloneProgress progress("Reading");
    progress.show();
    EXPECT_EQ(progress.windowTitle(), "Reading");
    progress.SetProgress(50, 100);
    EXPECT_EQ(progress.Filled(), 16);
    const QImage shot = progress.grab().toImage();
    const QColor highlight = progress.palette().color(QPalette::Highlight);
    const QColor window = progress.palette().color(QPalette::Window);
    constexpr int barLeft = 10;
    constexpr int barTop = 10;
    EXPECT_EQ(shot.pixelColor(barLeft + 2, barTop + 8), highlight) << "cell 0";
    EXPECT_EQ(shot.pixelColor(barLeft + 7, barTop + 8), window) << "the gap after cell 0";
    EXPECT_EQ(shot.pixelColor(barLeft + 15 * 8 + 3, barTop + 8), highlight) << "cell 15";
    EXPECT_EQ(shot.pixelColor(barLeft + 16 * 8 + 3, barTop + 8), window) << "cell 16";
    EXPECT_EQ(shot.pixelColor(barLeft + 31 * 8 + 3, barTop + 8), window) << "cell 31";

    EXPECT_FALSE(progress.close());
    QTest::keyClick(&progress, Qt::Key_Escape);
    EXPECT_TRUE(progress.isVisible()) << "neither the close box nor Escape interrupts";
    progress.Finish();
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(CloneWindowsTest, AccessoryDialogEnablesWriteOnlyForValidAddresses)
{
    iuiAccessoryDialog dialog;
    dialog.Prepare();
    dialog.show();
    EXPECT_EQ(dialog.windowTitle().toStdString(), MainText().GetText("GI_AppInd_Opt_LanuSetting_Caption"));
    EXPECT_FALSE(dialog.ReadButton().isVisible());
    EXPECT_TRUE(dialog.OnButton().isChecked());
    EXPECT_EQ(dialog.CurrentRecord()[0], 1);
    // The overlay's initial values, and with ON every edit is disabled and Write enabled.
    EXPECT_EQ(dialog.AddressEdit(0).text().toStdString(),
              MainText().GetEntry("GI_AppInd_Opt_LanuSetting_EditValue", 0));
    EXPECT_FALSE(dialog.AddressEdit(0).isEnabled());
    dialog.AddressEdit(0).setText("nonsense");
    EXPECT_TRUE(dialog.WriteButton().isEnabled());

    QTest::mouseClick(&dialog.OffButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.CurrentRecord()[0], 0);
    EXPECT_TRUE(dialog.AddressEdit(0).isEnabled());
    EXPECT_FALSE(dialog.WriteButton().isEnabled());
    for (const char* invalid : {"192.168.0", "1.2.3.4.5", "1.2.3.256", "1.2..4", "1.2.3"}) {
        dialog.AddressEdit(0).setText(invalid);
        EXPECT_FALSE(dialog.AddressValid(0)) << invalid;
        EXPECT_FALSE(dialog.WriteButton().isEnabled()) << invalid;
    }
    dialog.AddressEdit(0).setText("0.0.0.0");
    EXPECT_TRUE(dialog.AddressValid(0));
    EXPECT_TRUE(dialog.WriteButton().isEnabled()) << "the other two hold the overlay's valid values";
    dialog.AddressEdit(0).setText("10.1.2.3");
    const auto& r = dialog.CurrentRecord();
    EXPECT_EQ((std::array<std::uint8_t, 4>{r[1], r[2], r[3], r[4]}),
              (std::array<std::uint8_t, 4>{10, 1, 2, 3}));
    QTest::keyClicks(&dialog.AddressEdit(1), "9999999999999999999");
    EXPECT_LE(dialog.AddressEdit(1).text().size(), 15);

    // A second showing keeps what was typed.
    dialog.hide();
    dialog.Prepare();
    EXPECT_EQ(dialog.AddressEdit(0).text(), "10.1.2.3");
}

TEST_F(CloneWindowsTest, AccessoryDialogClosesOnlyAfterASuccessfulWrite)
{
    iuiAccessoryDialog dialog;
    std::function<void(bool)> finish;
    iuiAccessoryDialog::Record written{};
    dialog.SetWriter([&](const iuiAccessoryDialog::Record& record, std::function<void(bool)> done) {
        written = record;
        finish = std::move(done);
        return true;
    });
    dialog.Prepare();
    dialog.show();
    QTest::mouseClick(&dialog.WriteButton(), Qt::LeftButton);
    EXPECT_EQ(written[0], 1);
    EXPECT_FALSE(dialog.WriteButton().isEnabled()) << "no second write while one runs";
    finish(false);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.WriteButton().isEnabled());
    QTest::mouseClick(&dialog.WriteButton(), Qt::LeftButton);
    finish(true);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(CloneWindowsTest, CommandsShowProgressAndDisableTheMainWindowWhileMemoryMoves)
{
    cmcMemorySettingsStore store;
    indEnviron env("Torvane Clone Windows Test Mutex", "Software\\Test", store, {0, 0, 1280, 1024});
    env.portSelect = 1; // the network adaptor
    cmcMemoryLink link;
    RadioSimMemoryPort port(link);
    RadioSim sim({}, port);
    port.Attach(sim);
    {
        indDocument radio;
        ASSERT_EQ(radio.LoadInitialFile(initialFile()), cmcIcfResult::Ok);
        programChannel(radio, 0, 440'000'000);
        cmcEeprom image;
        AddressRangeList ranges;
        indCloneInfo info;
        ASSERT_TRUE(indPrepareWriteImage(radio, info, true, image, ranges));
        sim.SetMemory(image);
    }
    sim.Start();
    indDocument document;
    ASSERT_EQ(document.LoadInitialFile(initialFile()), cmcIcfResult::Ok);
    QWidget mainWindow;
    mainWindow.show();
    cmcSetMainWindow(&mainWindow);

    iuiCloneCommands commands(env, document, link.Factory());
    int reads = 0;
    commands.onImageRead = [&reads] { ++reads; };
    commands.ReadRadio();
    EXPECT_FALSE(mainWindow.isEnabled());
    bool sawProgress = false;
    for (int t = 0; t < 60000 && (reads == 0 || commands.Manager().IsBusy()); t += 10) {
        timers.Advance(10);
        if (commands.Progress() && commands.Progress()->isVisible()) {
            sawProgress = true;
            EXPECT_EQ(commands.Progress()->windowTitle().toStdString(),
                      MainText().GetEntry("GI_Mess_CloneRW_Title_Message", 1));
            EXPECT_FALSE(mainWindow.isEnabled());
        }
    }
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(commands.Progress(), nullptr);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_TRUE(document.IsModified());
    EXPECT_TRUE(boxes.Boxes().empty());

    // The accessory dialog's write runs through the same commands.
    iuiAccessoryDialog& dialog = commands.AccessoryDialog();
    commands.Manager().SetAccessoryDialogOpen(true);
    dialog.Prepare();
    dialog.show();
    QTest::mouseClick(&dialog.WriteButton(), Qt::LeftButton);
    for (int t = 0; t < 60000 && dialog.isVisible(); t += 10)
        timers.Advance(10);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(sim.Accessory().dhcp, 1);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, MainText().GetMultiLineText("GI_Mess_CloneWrite_Succeeded"));
    commands.Manager().SetAccessoryDialogOpen(false);
    cmcSetMainWindow(nullptr);
}
