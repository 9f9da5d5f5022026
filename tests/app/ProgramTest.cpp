// End-to-end runs of the program: single instance, settings written on close and clamped on
// the next start, and the fatal stop of a missing overlay key.
#include "platform/cmcIniSettingsStore.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const std::string kGlobal = "Software\\Zelk\\Torvane (NXDN)\\Global";
const std::string kView = "Software\\Zelk\\Torvane (NXDN)\\View Option";

class ProgramTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            application = new QCoreApplication(argc, argv); // lives for the test program
    }

    std::unique_ptr<QProcess> launch(const QStringList& extraEnvironment = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TORVANE_CONFIG_DIR", config.path());
        environment.insert("TORVANE_MESSAGE_LOG", config.filePath("boxes.log"));
        for (const QString& assignment : extraEnvironment)
            environment.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
        process->setProcessEnvironment(environment);
        process->start(QString::fromStdString(ShippedTexts::ProgramFolder() + "torvane"), {});
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }
    // Waits until the running program holds its single-instance lock.
    bool waitUntilRunning()
    {
        return QTest::qWaitFor([&] { return !QDir(config.path()).entryList({"*.lock"}).isEmpty(); }, 10000);
    }
    void closePolitely(QProcess& process)
    {
        process.terminate();
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }
    QString settingsFile() const { return config.filePath("torvane.ini"); }

    static inline QCoreApplication* application = nullptr;
    QTemporaryDir config;
};
} // namespace

TEST_F(ProgramTest, SecondInstanceEndsAtOnceAndTheFirstSavesOnClose)
{
    auto first = launch();
    ASSERT_TRUE(waitUntilRunning());

    auto second = launch();
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(settingsFile())); // the second instance wrote nothing
    EXPECT_FALSE(QFile::exists(config.filePath("boxes.log")));

    closePolitely(*first);
    ASSERT_TRUE(QFile::exists(settingsFile()));

    // A changed value is read back on the next start, clamped as the settings table says.
    {
        cmcIniSettingsStore store(settingsFile());
        EXPECT_EQ(store.ReadInteger(cmcSettingsRoot::CurrentUser, kGlobal, "BBT"), 753951);
        ASSERT_TRUE(store.WriteInteger(cmcSettingsRoot::CurrentUser, kView, "FontSize Percentage", 5000));
        ASSERT_TRUE(store.Flush());
    }
    auto third = launch();
    ASSERT_TRUE(waitUntilRunning());
    closePolitely(*third);
    cmcIniSettingsStore store(settingsFile());
    EXPECT_EQ(store.ReadInteger(cmcSettingsRoot::CurrentUser, kView, "FontSize Percentage"), 1000);
}

TEST_F(ProgramTest, MissingOverlayKeyStopsWithTheGtexBoxAndWritesNoSettings)
{
    QTemporaryDir data;
    QFile list(data.filePath("RB8826T.OVL"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("#GI_Sys_Language\nEnglish\tBROKEN.OVL\n#End_Of_Ovl\n");
    list.close();
    QFile broken(data.filePath("BROKEN.OVL"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("#GI_Sys_AppTitle\nTorvane (NXDN)\n#End_Of_Ovl\n");
    broken.close();

    auto program = launch({"TORVANE_DATA_DIR=" + data.path()});
    ASSERT_TRUE(program->waitForFinished(10000));
    EXPECT_NE(program->exitCode(), 0);

    QFile log(config.filePath("boxes.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_GE(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("torvane\t")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("GTEX Error !\\nThe index 'GI_Sys_MyHelpOvl' was not found."))
        << lines[0].toStdString();
    EXPECT_EQ(lines.size(), 2); // one box, then the line end
    EXPECT_FALSE(QFile::exists(settingsFile()));
}
