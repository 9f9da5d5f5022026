#include "app/cuiMainForm.h"

#include "app/indMain.h"
#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "platform/cmcMainWindow.h"
#include "platform/cmcScreens.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QSplitter>

cuiMainForm::cuiMainForm(indMain& model) : model_(model), splitter_(new QSplitter(Qt::Horizontal, this))
{
    const indEnviron& env = model_.Env();
    auto* treePane = new QWidget(splitter_);
    auto* sheetArea = new QWidget(splitter_);
    treePane->setObjectName("treePane");
    sheetArea->setObjectName("sheetArea");
    splitter_->setChildrenCollapsible(false);
    setCentralWidget(splitter_);
    RefreshTitle();

    setGeometry(cmcKeepOnScreen(QRect(env.windowLeft, env.windowTop, env.windowWidth, env.windowHeight),
                                cmcWorkAreas()));
    cmcSetMainWindow(this);
}

cuiMainForm::~cuiMainForm() { cmcSetMainWindow(nullptr); }

void cuiMainForm::RefreshTitle() { setWindowTitle(QString::fromStdString(MainText().GetText("GI_Sys_AppTitle"))); }

void cuiMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (splitterPlaced_)
        return;
    // Sized once the window has its real width, so the tree pane gets exactly the stored width.
    splitterPlaced_ = true;
    const int treeWidth = model_.Env().splitter;
    splitter_->setSizes({treeWidth, std::max(1, splitter_->width() - splitter_->handleWidth() - treeWidth)});
}

void cuiMainForm::closeEvent(QCloseEvent* event)
{
    indEnviron& env = model_.Env();
    const QRect normal = normalGeometry();
    env.windowLeft = normal.left();
    env.windowTop = normal.top();
    env.windowWidth = normal.width();
    env.windowHeight = normal.height();
    env.splitter = splitter_->sizes().value(0, env.splitter);
    event->accept();
}
