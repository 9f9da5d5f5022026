#include "platform/cmcQtMessageResponder.h"

#include "base/cmcFatal.h"
#include "platform/cmcScreens.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QShowEvent>

#include <cstdio>

namespace {
QMessageBox::Icon qtIcon(cmcMbIcon icon)
{
    switch (icon) {
    case cmcMbIcon::None:
        return QMessageBox::NoIcon;
    case cmcMbIcon::Error:
        return QMessageBox::Critical;
    case cmcMbIcon::Exclamation:
        return QMessageBox::Warning;
    case cmcMbIcon::Information:
        return QMessageBox::Information;
    case cmcMbIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The buttons of a set, in the order the box shows them; the first is the default.
QList<QMessageBox::StandardButton> qtButtons(cmcMbButtons buttons)
{
    using B = QMessageBox::StandardButton;
    switch (buttons) {
    case cmcMbButtons::Ok:
        return {B::Ok};
    case cmcMbButtons::OkCancel:
        return {B::Ok, B::Cancel};
    case cmcMbButtons::YesNo:
        return {B::Yes, B::No};
    case cmcMbButtons::YesNoCancel:
        return {B::Yes, B::No, B::Cancel};
    case cmcMbButtons::RetryCancel:
        return {B::Retry, B::Cancel};
    case cmcMbButtons::AbortRetryIgnore:
        return {B::Abort, B::Retry, B::Ignore};
    }
    return {B::Ok};
}

std::optional<cmcMbResult> fromQt(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return cmcMbResult::Ok;
    case QMessageBox::Cancel:
        return cmcMbResult::Cancel;
    case QMessageBox::Abort:
        return cmcMbResult::Abort;
    case QMessageBox::Retry:
        return cmcMbResult::Retry;
    case QMessageBox::Ignore:
        return cmcMbResult::Ignore;
    case QMessageBox::Yes:
        return cmcMbResult::Yes;
    case QMessageBox::No:
        return cmcMbResult::No;
    default:
        return std::nullopt;
    }
}

// The answer of a box closed without a button: the one that changes nothing.
cmcMbResult closedAnswer(cmcMbButtons buttons)
{
    switch (buttons) {
    case cmcMbButtons::OkCancel:
    case cmcMbButtons::YesNoCancel:
    case cmcMbButtons::RetryCancel:
        return cmcMbResult::Cancel;
    case cmcMbButtons::YesNo:
        return cmcMbResult::No;
    case cmcMbButtons::AbortRetryIgnore:
        return cmcMbResult::Abort;
    case cmcMbButtons::Ok:
        return cmcMbResult::Ok;
    }
    return cmcMbResult::Ok;
}

const char* iconName(cmcMbIcon icon)
{
    switch (icon) {
    case cmcMbIcon::None:
        return "None";
    case cmcMbIcon::Error:
        return "Error";
    case cmcMbIcon::Exclamation:
        return "Exclamation";
    case cmcMbIcon::Information:
        return "Information";
    case cmcMbIcon::Question:
        return "Question";
    }
    return "None";
}

const char* buttonsName(cmcMbButtons buttons)
{
    switch (buttons) {
    case cmcMbButtons::Ok:
        return "Ok";
    case cmcMbButtons::OkCancel:
        return "OkCancel";
    case cmcMbButtons::YesNo:
        return "YesNo";
    case cmcMbButtons::YesNoCancel:
        return "YesNoCancel";
    case cmcMbButtons::RetryCancel:
        return "RetryCancel";
    case cmcMbButtons::AbortRetryIgnore:
        return "AbortRetryIgnore";
    }
    return "Ok";
}

std::string escapeField(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A box that centres itself in a given work area once it knows its own size.
class PlacedBox final : public QMessageBox {
public:
    PlacedBox(const cmcMessage& message, QRect area)
        : QMessageBox(qtIcon(message.icon), QString::fromStdString(message.caption),
                      QString::fromStdString(message.text)),
          area_(area)
    {
        setTextFormat(Qt::PlainText); // message texts are never markup, even when they hold '<'
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event); // sizes the box
        if (area_.isValid())
            move(cmcKeepOnScreen(cmcCentredOn(frameGeometry(), area_), {area_}).topLeft());
    }

private:
    QRect area_;
};

bool& fatalBoxShown()
{
    static bool shown = false;
    return shown;
}
} // namespace

cmcQtMessageResponder::cmcQtMessageResponder()
    : cmcQtMessageResponder(qEnvironmentVariable("TORVANE_MESSAGE_LOG"))
{
}

cmcQtMessageResponder::cmcQtMessageResponder(QString logPath)
    : logPath_(std::move(logPath)), previous_(cmcSetMessageResponder(this))
{
}

cmcQtMessageResponder::~cmcQtMessageResponder()
{
    cmcSetMessageResponder(previous_);
}

std::string cmcQtMessageResponder::LogLine(const cmcMessage& message)
{
    return escapeField(message.caption) + '\t' + iconName(message.icon) + '\t' +
           buttonsName(message.buttons) + '\t' + escapeField(message.text);
}

cmcMbResult cmcQtMessageResponder::Respond(const cmcMessage& message)
{
    if (!logPath_.isEmpty()) {
        log(message);
        return cmcFirstButton(message.buttons);
    }
    return show(message);
}

void cmcQtMessageResponder::log(const cmcMessage& message)
{
    QFile file(logPath_);
    const QByteArray line = QByteArray::fromStdString(LogLine(message) + '\n');
    // Opened for each box, so every line is on disk even when the process ends right after.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size()) {
        std::fprintf(stderr, "message log %s cannot be written: %s", qPrintable(logPath_), line.constData());
    }
}

cmcMbResult cmcQtMessageResponder::show(const cmcMessage& message)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // No window system yet (a fatal stop during start-up): say it on standard error.
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
        return cmcFirstButton(message.buttons);
    }
    PlacedBox box(message, cmcMainWindowWorkArea());
    const QList<QMessageBox::StandardButton> buttons = qtButtons(message.buttons);
    for (const QMessageBox::StandardButton button : buttons)
        box.addButton(button);
    box.setDefaultButton(buttons.front());
    box.exec();
    const std::optional<cmcMbResult> answer = fromQt(box.standardButton(box.clickedButton()));
    return answer ? *answer : closedAnswer(message.buttons);
}

void cmcInstallQtFatalHandler(const char* argv0)
{
    const std::string argv0Name =
        argv0 ? QFileInfo(QString::fromLocal8Bit(argv0)).fileName().toStdString() : "";
    cmcSetFatalHandler([argv0Name](const std::string& text) {
        if (fatalBoxShown()) {
            // A second stop from inside the first box's modal loop: end without a second box.
            std::fprintf(stderr, "%s\n", text.c_str());
            return;
        }
        fatalBoxShown() = true;
        const std::string caption =
            QCoreApplication::instance()
                ? QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString()
                : argv0Name;
        cmcMessageBox(text, caption, cmcMbButtons::Ok, cmcMbIcon::Error);
    });
}
