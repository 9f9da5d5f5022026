#include "app/iuiCloneCommands.h"

#include "app/cuiCloneProgress.h"
#include "app/cuiLinkOptionDialogs.h"
#include "app/indEnviron.h"
#include "app/iuiAccessoryDialog.h"
#include "platform/cmcMainWindow.h"

iuiCloneCommands::iuiCloneCommands(indEnviron& env, indDocument& document, cmcLinkFactory& links)
    : env_(env), manager_(links, *this), sequences_(manager_, document, *this)
{
    if (!env_.clonePassword.empty())
        manager_.SetPassword(env_.clonePassword);
}

iuiCloneCommands::~iuiCloneCommands()
{
    if (progress_)
        progress_->Finish();
    delete progress_.data();
}

void iuiCloneCommands::takeSettings()
{
    indLinkSettings settings;
    settings.network = env_.portSelect == 1;
    settings.comPort = env_.comPort;
    settings.highSpeed = env_.highSpeed != 0;
    settings.ipAddress = env_.ipAddress;
    settings.tcpPort = env_.tcpPort;
    manager_.SetLinkSettings(settings);
}

void iuiCloneCommands::ReadRadio()
{
    takeSettings();
    (void)sequences_.ReadRadio();
}

void iuiCloneCommands::WriteRadio()
{
    takeSettings();
    (void)sequences_.WriteRadio();
}

void iuiCloneCommands::ShowCloneInfo()
{
    takeSettings();
    (void)sequences_.ShowCloneInfo();
}

void iuiCloneCommands::ShowSampleCloneInfo()
{
    sequences_.ShowSampleCloneInfo();
}

iuiAccessoryDialog& iuiCloneCommands::AccessoryDialog()
{
    if (!accessory_) {
        accessory_ = std::make_unique<iuiAccessoryDialog>(cmcMainWindow());
        accessory_->SetWriter(
            [this](const iuiAccessoryDialog::Record& record, std::function<void(bool)> done) {
                takeSettings();
                return sequences_.WriteAccessorySettings(record, [done](const indCloneSequences::Outcome& o) {
                    done(o.code == 0 && !o.cancelled);
                });
            });
    }
    return *accessory_;
}

void iuiCloneCommands::ShowAccessorySettings()
{
    if (manager_.IsBusy())
        return;
    iuiAccessoryDialog& dialog = AccessoryDialog();
    manager_.SetAccessoryDialogOpen(true);
    dialog.ShowModal();
    manager_.SetAccessoryDialogOpen(false);
    if (QWidget* main = cmcMainWindow())
        main->setEnabled(true);
}

void iuiCloneCommands::ShowProgress(const std::string& caption)
{
    if (progress_) {
        progress_->Finish();
        delete progress_.data();
    }
    progress_ = new cuiCloneProgress(QString::fromStdString(caption), cmcMainWindow());
    progress_->show();
}

void iuiCloneCommands::UpdateProgress(long long done, long long total)
{
    if (progress_)
        progress_->SetProgress(done, total);
}

void iuiCloneCommands::CloseProgress()
{
    if (!progress_)
        return;
    progress_->Finish();
    progress_->deleteLater();
    progress_ = nullptr;
}

void iuiCloneCommands::SetWindowsEnabled(bool enabled)
{
    if (QWidget* main = cmcMainWindow())
        main->setEnabled(enabled);
    if (accessory_ && manager_.AccessoryDialogOpen())
        accessory_->setEnabled(enabled);
}

std::optional<std::string> iuiCloneCommands::AskClonePassword()
{
    std::optional<std::string> password = ShowClonePasswordDialog(cmcMainWindow());
    if (password)
        env_.clonePassword = *password;
    return password;
}

void iuiCloneCommands::ImageRead()
{
    if (onImageRead)
        onImageRead();
}

void iuiCloneCommands::ImageWritten()
{
    if (onImageWritten)
        onImageWritten();
}

void iuiCloneCommands::ShowCloneInfo(const indCloneInfo& info)
{
    if (onShowCloneInfo)
        onShowCloneInfo(info);
}

int iuiCloneCommands::CountDataErrors()
{
    return countDataErrors ? countDataErrors() : 0;
}
