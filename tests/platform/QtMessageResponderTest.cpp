#include "base/cmcFatal.h"
#include "base/cmcScriptedResponder.h"
#include "platform/cmcMainWindow.h"
#include "platform/cmcQtMessageResponder.h"
#include "platform/cmcScreens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
QList<QByteArray> logLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}
} // namespace

TEST(QtMessageResponderTest, LogModeWritesOneLinePerBoxAndAnswersTheFirstButton)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("boxes.log"));
    cmcScriptedResponder outer; // what was installed before
    {
        const QByteArray saved = qgetenv("TORVANE_MESSAGE_LOG");
        qputenv("TORVANE_MESSAGE_LOG", log.toUtf8());
        cmcQtMessageResponder responder;
        qputenv("TORVANE_MESSAGE_LOG", saved);
        EXPECT_EQ(responder.LogPath(), log);

        struct Case {
            cmcMbButtons buttons;
            cmcMbIcon icon;
            cmcMbResult answer;
            const char* iconText;
            const char* buttonsText;
        };
        const Case cases[] = {
            {cmcMbButtons::Ok, cmcMbIcon::Information, cmcMbResult::Ok, "Information", "Ok"},
            {cmcMbButtons::OkCancel, cmcMbIcon::Exclamation, cmcMbResult::Ok, "Exclamation", "OkCancel"},
            {cmcMbButtons::YesNo, cmcMbIcon::Question, cmcMbResult::Yes, "Question", "YesNo"},
            {cmcMbButtons::YesNoCancel, cmcMbIcon::Exclamation, cmcMbResult::Yes, "Exclamation",
             "YesNoCancel"},
            {cmcMbButtons::RetryCancel, cmcMbIcon::Error, cmcMbResult::Retry, "Error", "RetryCancel"},
            {cmcMbButtons::AbortRetryIgnore, cmcMbIcon::None, cmcMbResult::Abort, "None", "AbortRetryIgnore"},
        };
        for (const Case& c : cases)
            EXPECT_EQ(cmcMessageBox("Line one\nline\ttwo \\ end", "Torvane\t(NXDN)", c.buttons, c.icon),
                      c.answer);

        const QList<QByteArray> lines = logLines(log);
        ASSERT_EQ(lines.size(), std::size(cases));
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const QByteArray expected = QByteArray("Torvane\\t(NXDN)\t") + cases[i].iconText + '\t' +
                                        cases[i].buttonsText + "\tLine one\\nline\\ttwo \\\\ end";
            EXPECT_EQ(lines[static_cast<qsizetype>(i)], expected);
        }
    }
    // The responder put the previous one back when it ended.
    cmcMessageBox("after", "Torvane", cmcMbButtons::Ok, cmcMbIcon::None);
    ASSERT_EQ(outer.Boxes().size(), 1u);
    EXPECT_EQ(outer.Boxes()[0].text, "after");
}

TEST(QtMessageResponderTest, ShownBoxHasTheMappedButtonsAndIconOnTheMainWindowsScreen)
{
    cmcQtMessageResponder responder{QString()};
    QWidget main;
    main.setGeometry(100, 80, 300, 200);
    cmcSetMainWindow(&main);

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> shownButtons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QRect frame;
    QString caption;
    Qt::TextFormat format = Qt::AutoText;
    // Runs inside the box's modal loop: look at the box, then press No.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        caption = box->windowTitle();
        format = box->textFormat();
        for (QAbstractButton* button : box->buttons())
            shownButtons.append(box->standardButton(button));
        defaultButton = box->standardButton(box->defaultButton());
        frame = box->frameGeometry();
        box->button(QMessageBox::No)->click();
    });
    const cmcMbResult answer = cmcMessageBox("Save the <b>changes</b>?", "Torvane", cmcMbButtons::YesNoCancel,
                                             cmcMbIcon::Exclamation);
    cmcSetMainWindow(nullptr);

    EXPECT_EQ(answer, cmcMbResult::No);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(caption, QStringLiteral("Torvane"));
    EXPECT_EQ(format, Qt::PlainText); // shown as typed, never as markup
    std::sort(shownButtons.begin(), shownButtons.end());
    EXPECT_EQ(shownButtons,
              (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}));
    EXPECT_EQ(defaultButton, QMessageBox::Yes);
    const QRect area = cmcWorkAreaOf(main);
    EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y();
    EXPECT_LE((frame.center() - area.center()).manhattanLength(), 2);
}

TEST(QtMessageResponderDeathTest, FatalStopShowsOneErrorBoxCaptionedWithTheProgramName)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("fatal.log"));
    EXPECT_EXIT(
        {
            cmcQtMessageResponder responder(log);
            cmcInstallQtFatalHandler();
            cmcFatalStop("Out of EEPROM image address (SetByte).");
        },
        testing::ExitedWithCode(cmcFatalExitCode), "");
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_EQ(logLines(log),
              QList<QByteArray>{program.toUtf8() + "\tError\tOk\tOut of EEPROM image address (SetByte)."});

    // A second stop raised while the first box is open ends the process without another box.
    const QString nested = folder.filePath(QStringLiteral("nested.log"));
    EXPECT_EXIT(
        {
            cmcQtMessageResponder responder(nested);
            struct Reentering final : cmcMessageResponder {
                cmcMbResult Respond(const cmcMessage& message) override
                {
                    inner->Respond(message);
                    cmcFatalStop("second");
                }
                cmcMessageResponder* inner = nullptr;
            } reentering;
            reentering.inner = &responder;
            cmcSetMessageResponder(&reentering);
            cmcInstallQtFatalHandler();
            cmcFatalStop("first");
        },
        testing::ExitedWithCode(cmcFatalExitCode), "second");
    ASSERT_EQ(logLines(nested).size(), 1);
    EXPECT_TRUE(logLines(nested)[0].endsWith("\tError\tOk\tfirst"));
}
