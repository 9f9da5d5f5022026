// Torvane: start the process-wide objects in order, show the main window, run the event
// loop, and end them in reverse order (the environment writes the settings last).
#include "app/cuiMainForm.h"
#include "app/indDataFolder.h"
#include "app/indProcess.h"
#include "platform/cmcCreateSettingsStore.h"
#include "platform/cmcQtMessageResponder.h"
#include "platform/cmcQtTimers.h"
#include "platform/cmcScreens.h"
#include "platform/cmcTerminateSignal.h"
#include "ui/cuiSheetViewer.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName("torvane");
    cmcCloseWindowsOnTerminate();
    cmcQtTimers timers;
    cmcQtMessageResponder messageBoxes;
    cmcInstallQtFatalHandler(argv[0]);
    const std::unique_ptr<cmcSettingsStore> settings = cmcCreateSettingsStore();
    cmcSetSettingsStore(settings.get());

    const QRect work = cmcPrimaryWorkArea();
    indProcess process(*settings, cmcArea{work.x(), work.y(), work.width(), work.height()}, indDataFolder());
    if (!process.IsFirstInstance())
        return 0; // another instance runs: end at once, silently

    std::vector<std::string> arguments(argv, argv + argc);
    if (const auto request = cuiSheetViewer::TakeArguments(arguments)) {
        // The development viewer: one sheet on a clone file instead of the main window.
        cuiSheetViewer viewer(*request, indDataFolder(), process.Env().fontSizePercentage);
        if (!viewer.Ready())
            return 1;
        viewer.show();
        const int result = QApplication::exec();
        cmcSetSettingsStore(nullptr);
        return result;
    }

    cuiMainForm form(process.Main());
    form.show();
    process.Main().ApplyCommandLine(arguments);
    const int result = QApplication::exec();
    cmcSetSettingsStore(nullptr);
    return result;
}
