#include "app/cuiLinkOptionDialogs.h"

#include "app/cuiLinkOptionRules.h"
#include "base/cmcEvMan.h"
#include "base/cmcSettingsStore.h"
#include "platform/cmcPortDiscovery.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

using Field = cuiOptionDialog::Field;
using Kind = cuiOptionDialog::FieldKind;

// Device paths are longer than the four digits of a port number.
constexpr int portTextLength = 255;
const QString passwordSample = QStringLiteral("****************WWWW");

std::string textOf(const cuiOptionDialog& d, int i)
{
    return d.Text(i).toStdString();
}

} // namespace

std::unique_ptr<cuiOptionDialog> MakeComPortDialog(indEnviron& env, int form, QWidget* owner)
{
    const bool list = form == cuiComPortList;
    const Field field = list ? Field{Kind::PortList, portTextLength,
                                     QStringLiteral("1: Zelk USB-to-Serial Comm. Port (COM1)WW")}
                             : Field{Kind::Edit, portTextLength, QStringLiteral("255WWWW")};
    auto dialog =
        std::make_unique<cuiOptionDialog>("GI_AppInd_Opt_ComSel_", std::vector<Field>{field}, owner);
    if (list) {
        QComboBox& ports = *dialog->PortList();
        ports.setEditText(QString::number(env.comPort));
        FillPortChoice(ports);
        // A port that is not present now still shows its number.
        if (PortNumberOf(ports.currentText().toStdString()) != env.comPort)
            ports.setEditText(QString::number(env.comPort));
    } else {
        dialog->Edit(0).setText(QString::number(env.comPort));
    }
    dialog->SetCheck([&env, list](cuiOptionDialog& d) {
        const std::string text = textOf(d, 0);
        std::optional<int> port;
        if (text.find('/') != std::string::npos || list)
            port = cuiComPortInRange(cmcPortDiscovery(cmcSettings()).NumberOfChoice(text));
        else
            port = cuiComPortOfText(text);
        if (!port) {
            d.Refuse("GI_AppInd_Opt_ComSel_OutofRange");
            return false;
        }
        env.comPort = *port;
        env.portSelect = 0;
        return true;
    });
    return dialog;
}

std::unique_ptr<cuiOptionDialog> MakeIpAddressDialog(indEnviron& env, QWidget* owner)
{
    auto dialog = std::make_unique<cuiOptionDialog>(
        "GI_AppInd_Opt_IpAddr_", std::vector<Field>{{Kind::Edit, 15, QStringLiteral("255.255.255.255WWWW")}},
        owner);
    dialog->Edit(0).setText(QString::fromStdString(env.ipAddress));
    dialog->SetCheck([&env](cuiOptionDialog& d) {
        const std::optional<std::string> address = cuiNormalIpAddress(textOf(d, 0));
        if (!address) {
            d.Refuse("GI_AppInd_Opt_IpAddr_OutofRange");
            return false;
        }
        env.ipAddress = *address;
        env.portSelect = 1;
        return true;
    });
    return dialog;
}

std::unique_ptr<cuiOptionDialog> MakeTcpPortDialog(indEnviron& env, QWidget* owner)
{
    auto dialog = std::make_unique<cuiOptionDialog>(
        "GI_AppInd_Opt_IpPort_", std::vector<Field>{{Kind::Edit, 5, QStringLiteral("65535WWWW")}}, owner);
    dialog->Edit(0).setText(QString::number(env.tcpPort));
    dialog->SetCheck([&env](cuiOptionDialog& d) {
        const std::optional<int> port = cuiTcpPortOfText(textOf(d, 0));
        if (!port) {
            d.Refuse("GI_AppInd_Opt_IpPort_OutofRange");
            return false;
        }
        env.tcpPort = *port;
        env.portSelect = 1;
        return true;
    });
    return dialog;
}

std::unique_ptr<cuiOptionDialog> MakeClonePasswordDialog(std::optional<std::string>& result, QWidget* owner)
{
    auto dialog = std::make_unique<cuiOptionDialog>(
        "GI_AppInd_Opt_ClonePwd_",
        std::vector<Field>{{Kind::Masked, static_cast<int>(cuiMaxClonePassword), passwordSample}}, owner);
    dialog->SetCheck([&result](cuiOptionDialog& d) {
        const std::string password = textOf(d, 0);
        if (!cuiClonePasswordAccepted(password)) {
            d.Refuse("GI_AppInd_Opt_ClonePwd_OutofRange");
            return false;
        }
        result = password;
        return true;
    });
    return dialog;
}

std::unique_ptr<cuiOptionDialog>
MakeReadWritePasswordDialog(const std::string& current, std::optional<std::string>& result, QWidget* owner)
{
    const int length = static_cast<int>(cuiMaxReadWritePassword);
    auto dialog = std::make_unique<cuiOptionDialog>(
        "GI_AppInd_Opt_RdWrPwd_",
        std::vector<Field>{{Kind::Edit, length, passwordSample, "GI_AppInd_Opt_RdWrPwd_Password"},
                           {Kind::Edit, length, passwordSample, "GI_AppInd_Opt_RdWrPwd_Confirm"}},
        owner, "GI_AppInd_Opt_RdWrPwr_Buttons");
    dialog->Edit(0).setText(QString::fromStdString(current));
    dialog->Edit(1).setText(QString::fromStdString(current));
    dialog->SetCheck([&result](cuiOptionDialog& d) {
        const std::optional<std::string> password = cuiReadWritePassword(textOf(d, 0), textOf(d, 1));
        if (!password) {
            d.Refuse("GI_AppInd_Opt_ClonePwd_OutofRange");
            return false;
        }
        result = password;
        return true;
    });
    return dialog;
}

std::unique_ptr<cuiOptionDialog> MakeAdjustReadPasswordDialog(const indEnviron& env, bool& allowed,
                                                              QWidget* owner)
{
    auto dialog = std::make_unique<cuiOptionDialog>(
        "GI_AppInd_Opt_AdjReadPwd_",
        std::vector<Field>{
            {Kind::Masked, static_cast<int>(cuiAdjustPasswordBytes), QStringLiteral("WWWWWWWWWWWW")}},
        owner);
    dialog->SetCheck([&env, &allowed](cuiOptionDialog& d) {
        allowed = cuiAdjustPasswordMatches(textOf(d, 0), env.adjustReadPassword);
        if (allowed)
            cmcEvents().Post(cmcEvCode::RedrawAll);
        else
            d.Refuse("GI_AppInd_Opt_AdjReadPwd_Error", -1);
        return true; // closes after OK in both cases
    });
    return dialog;
}

bool ShowComPortDialog(indEnviron& env, int form, QWidget* owner)
{
    return MakeComPortDialog(env, form, owner)->Run() == QDialog::Accepted;
}

bool ShowIpAddressDialog(indEnviron& env, QWidget* owner)
{
    return MakeIpAddressDialog(env, owner)->Run() == QDialog::Accepted;
}

bool ShowTcpPortDialog(indEnviron& env, QWidget* owner)
{
    return MakeTcpPortDialog(env, owner)->Run() == QDialog::Accepted;
}

std::optional<std::string> ShowClonePasswordDialog(QWidget* owner)
{
    std::optional<std::string> result;
    if (MakeClonePasswordDialog(result, owner)->Run() != QDialog::Accepted)
        return std::nullopt;
    return result;
}

std::optional<std::string> ShowReadWritePasswordDialog(const std::string& current, QWidget* owner)
{
    std::optional<std::string> result;
    if (MakeReadWritePasswordDialog(current, result, owner)->Run() != QDialog::Accepted)
        return std::nullopt;
    return result;
}

bool AskAdjustReadPassword(const indEnviron& env, bool& allowedBefore, QWidget* owner)
{
    if (env.adjustReadPassword.empty() || allowedBefore)
        return true;
    bool allowed = false;
    if (MakeAdjustReadPasswordDialog(env, allowed, owner)->Run() != QDialog::Accepted)
        return false;
    allowedBefore = allowed;
    return allowed;
}
