// The link option dialogs: what each accepts and stores, what it refuses with which
// message (the dialog staying open with the settings unchanged), and the adjust-read
// password, driven through their widgets with the shipped overlay.
#include "support/ShippedTexts.h"

#include "app/cuiLinkOptionDialogs.h"
#include "app/cuiLinkOptionRules.h"
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcManualTimers.h"
#include "base/cmcMemorySettingsStore.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "platform/cmcPortMap.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

namespace {

class LinkDialogsTest : public testing::Test {
protected:
    LinkDialogsTest() : env("Torvane Link Dialogs Test Mutex", "Software\\Test", store, {0, 0, 1280, 1024})
    {
        previousStore = cmcSetSettingsStore(&store);
    }
    ~LinkDialogsTest() override { cmcSetSettingsStore(previousStore); }

    // Types text into field i and presses OK; true when the dialog closed accepted.
    static bool submit(cuiOptionDialog& dialog, const QString& text, int field = 0)
    {
        dialog.show();
        dialog.Edit(field).setText(text);
        QTest::mouseClick(&dialog.OkButton(), Qt::LeftButton);
        return !dialog.isVisible() && dialog.result() == QDialog::Accepted;
    }
    [[nodiscard]] std::string lastError() const
    {
        return boxes.Boxes().empty() ? std::string() : boxes.Boxes().back().text;
    }
    static std::string message(const char* key) { return MainText().GetMultiLineText(key); }

    ShippedTexts texts;
    cmcManualTimers timers;
    cmcScriptedResponder boxes;
    cmcMemorySettingsStore store;
    cmcSettingsStore* previousStore = nullptr;
    indEnviron env;
};

} // namespace

TEST_F(LinkDialogsTest, ComPortNumbersFromOneTo256)
{
    struct Case {
        const char* text;
        int form;
        int accepted; // 0: refused
    };
    const Case cases[] = {
        {"0", cuiComPortPlain, 0},     {"257", cuiComPortPlain, 0},
        {"7x", cuiComPortPlain, 0},    {"", cuiComPortPlain, 0},
        {"256", cuiComPortPlain, 256}, {" 7 ", cuiComPortPlain, 7},
        {"COM12", cuiComPortList, 12}, {"5: FT232R USB UART (/dev/ttyUSB0)", cuiComPortList, 5},
        {"COM0", cuiComPortList, 0},   {"300: a port", cuiComPortList, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        env.comPort = 3;
        env.portSelect = 1;
        boxes.ClearBoxes();
        auto dialog = MakeComPortDialog(env, c.form);
        EXPECT_EQ(dialog->Text(0), "3") << "opens on the current port";
        const bool closed = submit(*dialog, c.text);
        EXPECT_EQ(closed, c.accepted != 0);
        EXPECT_EQ(env.comPort, c.accepted ? c.accepted : 3);
        EXPECT_EQ(env.portSelect, c.accepted ? 0 : 1);
        if (!c.accepted) {
            ASSERT_EQ(boxes.Boxes().size(), 1u);
            EXPECT_EQ(boxes.Boxes()[0].text, message("GI_AppInd_Opt_ComSel_OutofRange"));
            EXPECT_EQ(boxes.Boxes()[0].icon, cmcMbIcon::Error);
            EXPECT_TRUE(dialog->isVisible());
        }
    }
}

TEST_F(LinkDialogsTest, ComPortDialogAcceptsADevicePath)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    for (const int form : {cuiComPortPlain, cuiComPortList}) {
        auto dialog = MakeComPortDialog(env, form);
        EXPECT_TRUE(submit(*dialog, name)) << lastError();
        EXPECT_EQ(env.comPort, cmcPortMap(store).NumberOf(name));
        EXPECT_GE(env.comPort, 1);
    }
    ::close(slave);
    ::close(master);
    auto dialog = MakeComPortDialog(env, cuiComPortPlain);
    EXPECT_FALSE(submit(*dialog, "/dev/no-such-port"));
}

TEST_F(LinkDialogsTest, NetworkAddressAndPort)
{
    struct Address {
        const char* text;
        const char* stored; // nullptr: refused
    };
    for (const Address a :
         {Address{"192.168.0.11", "192.168.0.11"}, Address{"010.000.000.001", "10.0.0.1"},
          Address{"192.168.0", nullptr}, Address{"192.168.0.1.5", nullptr}, Address{"1234.0.0.1", nullptr},
          Address{"256.1.1.1", nullptr}, Address{"1.2.3.", nullptr}, Address{"a.b.c.d", nullptr}}) {
        SCOPED_TRACE(a.text);
        env.ipAddress = "10.1.1.1";
        env.portSelect = 0;
        auto dialog = MakeIpAddressDialog(env);
        EXPECT_EQ(submit(*dialog, a.text), a.stored != nullptr);
        EXPECT_EQ(env.ipAddress, a.stored ? a.stored : "10.1.1.1");
        EXPECT_EQ(env.portSelect, a.stored ? 1 : 0);
        if (!a.stored) {
            EXPECT_EQ(lastError(), message("GI_AppInd_Opt_IpAddr_OutofRange"));
        }
    }
    struct Port {
        const char* text;
        int stored; // 0: refused
    };
    for (const Port p :
         {Port{"1023", 0}, Port{"1024", 1024}, Port{"65535", 65535}, Port{"65536", 0}, Port{"4x", 0}}) {
        SCOPED_TRACE(p.text);
        env.tcpPort = 41000;
        auto dialog = MakeTcpPortDialog(env);
        EXPECT_EQ(submit(*dialog, p.text), p.stored != 0);
        EXPECT_EQ(env.tcpPort, p.stored ? p.stored : 41000);
        if (!p.stored) {
            EXPECT_EQ(lastError(), message("GI_AppInd_Opt_IpPort_OutofRange"));
        }
    }
}

TEST_F(LinkDialogsTest, ClonePasswordOfOneTo16Characters)
{
    std::optional<std::string> password;
    auto dialog = MakeClonePasswordDialog(password);
    EXPECT_EQ(dialog->Edit(0).echoMode(), QLineEdit::Password);
    EXPECT_FALSE(submit(*dialog, ""));
    EXPECT_EQ(lastError(), message("GI_AppInd_Opt_ClonePwd_OutofRange"));
    EXPECT_FALSE(password.has_value());
    // A 17th character cannot be typed.
    dialog->Edit(0).clear();
    QTest::keyClicks(&dialog->Edit(0), "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(dialog->Text(0), "ABCDEFGHIJKLMNOP");
    QTest::mouseClick(&dialog->OkButton(), Qt::LeftButton);
    EXPECT_EQ(password, "ABCDEFGHIJKLMNOP");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(LinkDialogsTest, ReadWritePasswordBothFieldsAgree)
{
    struct Case {
        const char* first;
        const char* second;
        const char* stored; // nullptr: refused
    };
    for (const Case c : {Case{"", "", ""}, Case{"  ", "  ", nullptr}, Case{"abc", "abd", nullptr},
                         Case{"A B", "A B", "A B"}}) {
        SCOPED_TRACE(c.first);
        std::optional<std::string> result;
        auto dialog = MakeReadWritePasswordDialog("OLD", result);
        EXPECT_EQ(dialog->Text(0), "OLD");
        EXPECT_EQ(dialog->Text(1), "OLD");
        dialog->show();
        dialog->Edit(1).setText(c.second);
        EXPECT_EQ(submit(*dialog, c.first), c.stored != nullptr);
        EXPECT_EQ(result.has_value(), c.stored != nullptr);
        if (c.stored) {
            EXPECT_EQ(*result, c.stored);
        } else {
            EXPECT_EQ(lastError(), message("GI_AppInd_Opt_ClonePwd_OutofRange"));
        }
    }
    const auto padded = cuiPaddedPassword("AB");
    EXPECT_EQ(padded[0], 'A');
    EXPECT_EQ(padded[2], 0);
    EXPECT_EQ(padded[15], 0);
}

TEST_F(LinkDialogsTest, AdjustReadPassword)
{
    cmcEvMan events;
    cmcSetEvMan(&events);
    bool allowedBefore = false;
    env.adjustReadPassword = "";
    EXPECT_TRUE(AskAdjustReadPassword(env, allowedBefore)) << "nothing stored: no dialog";
    EXPECT_TRUE(boxes.Boxes().empty());

    env.adjustReadPassword = "SERVICE1";
    bool allowed = true;
    auto wrong = MakeAdjustReadPasswordDialog(env, allowed);
    EXPECT_TRUE(submit(*wrong, "SERVICE")) << "closes after OK either way";
    EXPECT_FALSE(allowed);
    EXPECT_EQ(lastError(), message("GI_AppInd_Opt_AdjReadPwd_Error"));
    auto right = MakeAdjustReadPasswordDialog(env, allowed);
    EXPECT_TRUE(submit(*right, "SERVICE1"));
    EXPECT_TRUE(allowed);
    allowedBefore = true;
    EXPECT_TRUE(AskAdjustReadPassword(env, allowedBefore)) << "accepted before in this run";
    EXPECT_TRUE(cuiAdjustPasswordMatches("SERVICE1", "SERVICE1XYZ")) << "the first 8 bytes count";
    EXPECT_FALSE(cuiAdjustPasswordMatches("", ""));
    cmcSetEvMan(nullptr);
}

TEST_F(LinkDialogsTest, CancelChangesNothing)
{
    env.comPort = 9;
    auto dialog = MakeComPortDialog(env, cuiComPortPlain);
    dialog->show();
    dialog->Edit(0).setText("12");
    QTest::mouseClick(&dialog->CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(env.comPort, 9);
    EXPECT_TRUE(boxes.Boxes().empty());
}
