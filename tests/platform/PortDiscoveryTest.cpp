#include "base/cmcMemorySettingsStore.h"
#include "platform/cmcIniSettingsStore.h"
#include "platform/cmcPortDiscovery.h"
#include "platform/cmcPortMap.h"
#include "support/ShippedTexts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// A /dev of plain files and links, and the ports the enumeration reports in it.
class FakeDev {
public:
    FakeDev() { QDir(dir_.path()).mkpath(QStringLiteral("serial/by-id")); }
    std::string Root() const { return dir_.path().toStdString(); }
    std::string Path(const std::string& name) const { return Root() + "/" + name; }
    void Add(const std::string& name)
    {
        QFile file(QString::fromStdString(Path(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void Remove(const std::string& name) { QFile::remove(QString::fromStdString(Path(name))); }
    void Link(const std::string& id, const std::string& target)
    {
        ASSERT_TRUE(QFile::link(QString::fromStdString(Path(target)),
                                QString::fromStdString(Path("serial/by-id/" + id))));
    }
    cmcPortDiscovery::Source Source() const
    {
        cmcPortDiscovery::Source source;
        source.devRoot = Root();
        source.systemPorts = [this] {
            std::vector<cmcSerialDeviceInfo> ports;
            for (const auto& [name, description] : system)
                if (QFile::exists(QString::fromStdString(Path(name))))
                    ports.push_back({Path(name), description});
            return ports;
        };
        return source;
    }
    std::vector<std::pair<std::string, std::string>> system; // name, description

private:
    QTemporaryDir dir_;
};

class PortDiscoveryTest : public testing::Test {
protected:
    ShippedTexts texts;
    FakeDev dev;
    cmcMemorySettingsStore store;
};
} // namespace

TEST(PortNumberOfTest, ComNamesAndLeadingNumbers)
{
    const std::pair<const char*, int> cases[] = {
        {"COM5", 5}, {"COM10", 10}, {"COM", 0}, {"COMx", 0}, {"5: FT232R USB UART (/dev/ttyUSB0)", 5},
        {" 7", 7},   {"12abc", 12}, {"abc", 0}, {"", 0},     {"com5", 0}, // only "COM" is a COM name
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(PortNumberOf(text), number) << text;
}

TEST(PortNumberOfTest, DeviceNamesSortNaturally)
{
    std::vector<std::string> names = {"ttyUSB10", "ttyUSB2", "ttyS1", "ttyUSB0", "ttyACM3", "ttyUSB1"};
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
    EXPECT_EQ(names,
              (std::vector<std::string>{"ttyACM3", "ttyS1", "ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyUSB10"}));
}

TEST_F(PortDiscoveryTest, ListsArePresentPortsInNumericOrder)
{
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyUSB2"})
        dev.Add(name);
    // Numbers 1, 3 and 10 already given out in an earlier run; 99 to a device now gone.
    store.WriteText(cmcSettingsRoot::LocalMachine, cmcPortMap::KeyPath, "COM10", dev.Path("ttyUSB0"));
    store.WriteText(cmcSettingsRoot::LocalMachine, cmcPortMap::KeyPath, "COM3", dev.Path("ttyUSB1"));
    store.WriteText(cmcSettingsRoot::LocalMachine, cmcPortMap::KeyPath, "COM1", dev.Path("ttyUSB2"));
    store.WriteText(cmcSettingsRoot::LocalMachine, cmcPortMap::KeyPath, "COM99", dev.Path("ttyUSB7"));
    cmcPortDiscovery discovery(store, dev.Source());
    EXPECT_EQ(discovery.ListDevicePorts(), (std::vector<int>{1, 3, 10}));
    EXPECT_EQ(discovery.ListRegistryPorts(), (std::vector<std::string>{"1", "3", "10"}));
    EXPECT_EQ(discovery.ListPortDescriptions({10, 99, 3}).size(), 2u); // 99 is not present
}

TEST_F(PortDiscoveryTest, DescriptionLinesNameThePortAndItsDevice)
{
    dev.Add("ttyS0");
    dev.Add("ttyS1"); // a node without a UART: the enumeration does not report it
    dev.Add("ttyUSB0");
    dev.Add("ttyACM0");
    dev.Link("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");
    dev.Link("usb-gone-if00", "ttyUSB9"); // dangling
    dev.system = {{"ttyS0", ""}, {"ttyUSB0", "FT232R USB UART"}, {"ttyACM0", "Radio Modem"}};
    cmcPortDiscovery discovery(store, dev.Source());
    const std::vector<int> numbers = discovery.ListDevicePorts();
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(discovery.ListPortDescriptions(numbers),
              (std::vector<std::string>{
                  "1: Serial port (" + dev.Path("ttyS0") + ")",
                  "2: FT232R USB UART (" + dev.Path("ttyUSB0") + ")",
                  "3: Radio Modem (" + dev.Path("ttyACM0") + ")",
                  "4: FT232R USB UART (" +
                      dev.Path("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0") + ")",
              }));
    EXPECT_EQ(discovery.DeviceOf(2), dev.Path("ttyUSB0"));
}

TEST_F(PortDiscoveryTest, NumbersStayWithTheirDevicesAcrossRuns)
{
    QTemporaryDir settingsDir;
    const QString file = settingsDir.filePath(QStringLiteral("torvane.ini"));
    dev.Add("ttyUSB0");
    dev.Add("ttyUSB1");
    dev.Add("ttyACM0");
    dev.Link("usb-Zelk_OPC-2218-if00", "ttyUSB1");
    std::vector<std::pair<int, std::string>> first;
    {
        cmcIniSettingsStore run1(file);
        first = cmcPortMap(run1).Entries();
        EXPECT_TRUE(first.empty());
        cmcPortDiscovery(run1, dev.Source()).ListDevicePorts();
        first = cmcPortMap(run1).Entries();
        ASSERT_EQ(first.size(), 4u);
        // No explicit Flush: a new number is written to the file when it is given.
    }
    // Second run: ttyUSB0 unplugged, a new adaptor appeared as ttyUSB2, enumeration order
    // different.
    dev.Remove("ttyUSB0");
    dev.Add("ttyUSB2");
    cmcIniSettingsStore run2(file);
    cmcPortDiscovery discovery(run2, dev.Source());
    const std::vector<int> present = discovery.ListDevicePorts();
    const cmcPortMap map(run2);
    for (const auto& [number, device] : first)
        EXPECT_EQ(map.DeviceOf(number), device) << number;
    const int usb0 = map.NumberOf(dev.Path("ttyUSB0"));
    const int usb2 = map.NumberOf(dev.Path("ttyUSB2"));
    EXPECT_EQ(usb2, 5); // a new number; the unplugged adaptor keeps its own
    EXPECT_EQ(std::count(present.begin(), present.end(), usb0), 0);
    EXPECT_EQ(present.size(), 4u);
}

TEST_F(PortDiscoveryTest, TypedDevicePathGetsANumber)
{
    cmcPortDiscovery discovery(store, dev.Source());
    const int null = discovery.NumberOfChoice(" /dev/null ");
    EXPECT_GE(null, 1);
    EXPECT_EQ(discovery.AssignDevicePath("/dev/null"), null); // the same number again
    EXPECT_EQ(discovery.DeviceOf(null), "/dev/null");
    dev.Add("plainfile");
    EXPECT_EQ(discovery.AssignDevicePath(dev.Path("plainfile")), 0); // not a device
    EXPECT_EQ(discovery.AssignDevicePath("/dev/no-such-device"), 0);
    EXPECT_EQ(discovery.AssignDevicePath("dev/null"), 0); // not a full path
    EXPECT_EQ(discovery.NumberOfChoice("COM7"), 7);
    EXPECT_EQ(discovery.NumberOfChoice("7: USB (/dev/ttyUSB3)"), 7);
}

TEST_F(PortDiscoveryTest, FullMapReusesTheNumberOfAGoneDevice)
{
    cmcPortMap map(store);
    for (int n = 1; n <= cmcPortMap::MaxPort; ++n)
        store.WriteText(cmcSettingsRoot::LocalMachine, cmcPortMap::KeyPath, "COM" + std::to_string(n),
                        "/dev/pts/" + std::to_string(1000 + n));
    const auto present = [](const std::string& d) { return d != "/dev/pts/1001" && d != "/dev/pts/1002"; };
    EXPECT_EQ(map.Assign("/dev/ttyUSB5", present), 1);
    EXPECT_EQ(map.Assign("/dev/ttyUSB6", present), 2);
    EXPECT_EQ(map.Assign("/dev/ttyUSB7", present), 0); // every other device is present
    EXPECT_EQ(map.NumberOf("/dev/pts/1001"), 0);
}

TEST_F(PortDiscoveryTest, FillPortChoiceKeepsTheChosenPort)
{
    dev.Add("ttyUSB0");
    dev.Add("ttyUSB1");
    dev.system = {{"ttyUSB0", "CP2102 USB to UART Bridge Controller"}, {"ttyUSB1", "FT232R USB UART"}};
    cmcPortDiscovery discovery(store, dev.Source());
    QComboBox box;
    box.addItem(QStringLiteral("2"));
    box.setCurrentIndex(0);
    discovery.FillPortChoice(box);
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_TRUE(box.currentText().startsWith(QStringLiteral("2: FT232R USB UART")));
    const QFontMetrics metrics = box.view()->fontMetrics();
    EXPECT_GE(box.view()->minimumWidth(),
              metrics.horizontalAdvance(box.itemText(0)) + metrics.horizontalAdvance(QStringLiteral("WW")));

    QComboBox plain;
    plain.setEditable(true);
    plain.setEditText(QStringLiteral("17"));
    cmcPortDiscovery(store, dev.Source()).FillPlainPortChoice(plain);
    EXPECT_EQ(plain.count(), 2);
    EXPECT_EQ(plain.itemText(1), QStringLiteral("2"));
    EXPECT_EQ(plain.currentText(), QStringLiteral("17")); // the typed text stays
}
