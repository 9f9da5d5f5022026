// Screenshots of sheets and popup editors for the documentation. Run under a display (the
// popups are windows of their own, so the screen is grabbed):
//   xvfb-run -a -s "-screen 0 1024x768x24" build/ui_shots docs/screenshots
// It lays out the fixture sheets of tests/ui/data on the shipped initial file, opens the
// popups with the keys a user would press and writes one PNG per picture.
#include "UiTestBed.h"

#include "cells/clLogic.h"
#include "cells/ctCategory.h"
#include "support/TestEnvironment.h"
#include "ui/cuiFText.h"
#include "ui/cuiGrid.h"

#include <QLineEdit>

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <string>

namespace {

// Lets the window system map and paint what was shown.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void press(QWidget* widget, Qt::Key key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &up);
}

// The screen area around the visible top-level windows, saved as folder/name.
bool shoot(const std::string& folder, const char* name)
{
    pause(400);
    QRect area;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            area = area.united(w->frameGeometry());
    }
    const QPixmap picture =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const std::string path = folder + "/" + name;
    const bool saved = picture.save(QString::fromStdString(path));
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "could not write", path.c_str(), area.width(),
                area.height());
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_shots FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    // The popups are windows of their own: the pictures need a real display.
    if (qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    PrepareTestEnvironment();
    QApplication application(argc, argv);
    bool ok = true;
    {
        UiTestBed bed;
        cuiSheet& settings = bed.Open("GI_Sheet_Test_Settings");
        bed.Window().move(40, 40);
        bed.Window().resize(460, 220);
        (void)settings.JumpToCell(static_cast<int>(ctCategory::CT_Null), clIndex(clLogic::CL_SetM_BeepOn), 0);
        ok = shoot(folder, "settings-sheet.png") && ok;

        (void)settings.JumpToCell(static_cast<int>(ctCategory::CT_Null),
                                  clIndex(clLogic::CL_KDisp_OpeningText), 0);
        press(&settings.Grid(), Qt::Key_Return);
        if (auto* text = dynamic_cast<cuiFText*>(bed.host.LastPopup()))
            text->TextBox().setText("TORVANE %10%11 ch 1-16");
        ok = shoot(folder, "text-popup.png") && ok;
        if (auto* text = dynamic_cast<cuiFText*>(bed.host.LastPopup()))
            text->Cancel();
        bed.Settle();
    }
    {
        UiTestBed bed;
        bed.ProgramChannels(8);
        cuiSheet& channels = bed.Open("GI_Sheet_Test_Channels");
        bed.Window().move(40, 40);
        bed.Window().resize(860, 420);
        (void)channels.JumpToCell(static_cast<int>(ctCategory::CT_Mch), clIndex(clLogic::CL_Mch_RfPo), 3);
        press(&channels.Grid(), Qt::Key_Return);
        ok = shoot(folder, "channel-list-popup.png") && ok;
    }
    CleanUpTestEnvironment();
    return ok ? 0 : 1;
}
