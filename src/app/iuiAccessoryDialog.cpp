#include "app/iuiAccessoryDialog.h"

#include "app/cuiLinkOptionRules.h"
#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "platform/cmcScreens.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

namespace {
constexpr int margin = 11;
constexpr int gap = 7;
constexpr int labelToEdit = 18;
constexpr int labelDrop = 3;
constexpr int minButtonWidth = 75;
constexpr int minInnerWidth = 300;
constexpr int editLength = 15;
constexpr char valueKey[] = "GI_AppInd_Opt_LanuSetting_EditValue";

QString entry(const char* key, int n)
{
    return QString::fromStdString(MainText().GetEntry(key, n));
}
int scaled(int width)
{
    return static_cast<int>(std::ceil(width * 1.3));
}
} // namespace

iuiAccessoryDialog::iuiAccessoryDialog(QWidget* owner)
    : QDialog(owner), header_(new QFrame(this)), notice_(new QLabel(header_)), group_(new QGroupBox(this)),
      dhcpLabel_(new QLabel(group_)), on_(new QRadioButton(group_)), off_(new QRadioButton(group_)),
      separator_(new QFrame(group_)), bottom_(new QFrame(this)), cancel_(new QPushButton(bottom_)),
      write_(new QPushButton(bottom_)), read_(new QPushButton(bottom_))
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    notice_->setTextFormat(Qt::PlainText);
    separator_->setFrameShape(QFrame::HLine);
    separator_->setFrameShadow(QFrame::Sunken);
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    for (int i = 0; i < Addresses; ++i) {
        labels_[static_cast<std::size_t>(i)] = new QLabel(group_);
        QLineEdit* edit = new QLineEdit(group_);
        edit->setFont(fixed);
        edit->setMaxLength(editLength);
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setObjectName(QStringLiteral("address%1").arg(i));
        connect(edit, &QLineEdit::textChanged, this, [this, i] { addressChanged(i); });
        edits_[static_cast<std::size_t>(i)] = edit;
    }
    read_->hide(); // the accessory's settings are not read back
    cancel_->setObjectName("cancel");
    write_->setObjectName("write");
    on_->setChecked(true);
    record_[0] = 1;
    connect(on_, &QRadioButton::clicked, this, &iuiAccessoryDialog::modeClicked);
    connect(off_, &QRadioButton::clicked, this, &iuiAccessoryDialog::modeClicked);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(write_, &QPushButton::clicked, this, &iuiAccessoryDialog::startWrite);
    applyTexts();
    layOut();
    updateStates();
}

iuiAccessoryDialog::~iuiAccessoryDialog() = default;

void iuiAccessoryDialog::applyTexts()
{
    setWindowTitle(entry("GI_AppInd_Opt_LanuSetting_Caption", 0));
    notice_->setText(QString::fromStdString(MainText().GetMultiLineText("GI_AppInd_Opt_LanuSetting_Notice")));
    group_->setTitle(entry("GI_AppInd_Opt_LanuSetting_Group", 0));
    cancel_->setText(entry("GI_AppInd_Opt_LanuSetting_Button", 0));
    write_->setText(entry("GI_AppInd_Opt_LanuSetting_Button", 1));
    read_->setText(entry("GI_AppInd_Opt_LanuSetting_Button", 2));
    dhcpLabel_->setText(entry("GI_AppInd_Opt_LanuSetting_RadioLabel", 0));
    on_->setText(entry("GI_AppInd_Opt_LanuSetting_RadioLabel", 1));
    off_->setText(entry("GI_AppInd_Opt_LanuSetting_RadioLabel", 2));
    for (int i = 0; i < Addresses; ++i)
        labels_[static_cast<std::size_t>(i)]->setText(entry("GI_AppInd_Opt_LanuSetting_EditLabel", i));
}

void iuiAccessoryDialog::Prepare()
{
    applyTexts();
    if (!initialValuesTaken_) {
        initialValuesTaken_ = true;
        // Entries up to one beginning with "#"; an empty entry leaves its edit as it is.
        for (int i = 0; i < Addresses; ++i) {
            const std::string value = MainText().GetEntry(valueKey, i);
            if (!value.empty() && value.front() == '#')
                break;
            if (!value.empty())
                edits_[static_cast<std::size_t>(i)]->setText(QString::fromStdString(value));
        }
    }
    layOut();
    updateStates();
    cancel_->setFocus();
}

int iuiAccessoryDialog::ShowModal()
{
    Prepare();
    cmcCentreOnOwner(*this, parentWidget());
    return exec();
}

void iuiAccessoryDialog::layOut()
{
    const QFontMetrics metrics(font());
    const QFontMetrics fixed(edits_[0]->font());
    const int line = metrics.height();
    const int editWidth = fixed.horizontalAdvance(QStringLiteral("255W255W255W255WW"));
    const int editHeight = std::max(line, edits_[0]->sizeHint().height());

    // Group box contents.
    const int top = metrics.height() + gap;
    dhcpLabel_->setGeometry(margin, top, scaled(metrics.horizontalAdvance(dhcpLabel_->text())), line);
    on_->setGeometry(dhcpLabel_->geometry().right() + 1 + gap, top - 2,
                     scaled(metrics.horizontalAdvance(on_->text())) + 20, line + 4);
    off_->setGeometry(on_->geometry().right() + 1 + gap, top - 2,
                      scaled(metrics.horizontalAdvance(off_->text())) + 20, line + 4);
    int labelWidth = 0;
    for (const QLabel* label : labels_)
        labelWidth = std::max(labelWidth, scaled(metrics.horizontalAdvance(label->text())));
    int y = top + line + 2 * gap;
    const int editLeft = margin + labelWidth + labelToEdit;
    const int inner = std::max(
        {minInnerWidth - 2 * margin, editLeft + editWidth + margin, off_->geometry().right() + 1 + margin});
    separator_->setGeometry(margin, y, inner - 2 * margin, 2);
    y += gap + 2;
    for (int i = 0; i < Addresses; ++i) {
        edits_[static_cast<std::size_t>(i)]->setGeometry(editLeft, y, editWidth, editHeight);
        labels_[static_cast<std::size_t>(i)]->setGeometry(margin, y + labelDrop, labelWidth, line);
        y += editHeight + gap;
    }
    group_->setGeometry(margin, 0, inner, y + margin);

    // Header above, buttons below.
    const QSize noticeSize = metrics.boundingRect(QRect(), Qt::TextExpandTabs, notice_->text()).size();
    const int width = std::max(inner + 2 * margin, minInnerWidth);
    header_->setGeometry(0, 0, width, noticeSize.height() + 2 * margin);
    notice_->setGeometry(margin, margin, noticeSize.width(), noticeSize.height());
    group_->move(margin, header_->geometry().bottom() + 1);
    const int buttonWidth = std::max({minButtonWidth, scaled(metrics.horizontalAdvance(cancel_->text())),
                                      scaled(metrics.horizontalAdvance(write_->text()))});
    const int buttonHeight = std::max(line, cancel_->sizeHint().height());
    bottom_->setGeometry(0, group_->geometry().bottom() + 1, width, buttonHeight + 2 * margin);
    cancel_->setGeometry(width - margin - buttonWidth, margin, buttonWidth, buttonHeight);
    write_->setGeometry(cancel_->x() - gap - buttonWidth, margin, buttonWidth, buttonHeight);
    read_->setGeometry(write_->x() - gap - buttonWidth, margin, buttonWidth, buttonHeight);
    setFixedSize(width, bottom_->geometry().bottom() + 1);
}

void iuiAccessoryDialog::addressChanged(int i)
{
    const std::size_t n = static_cast<std::size_t>(i);
    const auto octets = cuiDottedAddress(edits_[n]->text().toStdString());
    valid_[n] = octets.has_value();
    if (octets)
        std::copy(octets->begin(), octets->end(), record_.begin() + 1 + 4 * i);
    updateStates();
}

void iuiAccessoryDialog::modeClicked()
{
    record_[0] = on_->isChecked() ? 1 : 0;
    updateStates();
}

void iuiAccessoryDialog::updateStates()
{
    const bool addresses = off_->isChecked();
    const QColor disabled = palette().color(QPalette::Button);
    for (int i = 0; i < Addresses; ++i) {
        QLineEdit* edit = edits_[static_cast<std::size_t>(i)];
        labels_[static_cast<std::size_t>(i)]->setEnabled(addresses);
        edit->setEnabled(addresses);
        QPalette colours = edit->palette();
        colours.setColor(QPalette::Base, addresses ? QColor(Qt::white) : disabled);
        edit->setPalette(colours);
    }
    const bool allValid = std::all_of(valid_.begin(), valid_.end(), [](bool v) { return v; });
    write_->setEnabled(!writing_ && (on_->isChecked() || allValid));
}

void iuiAccessoryDialog::startWrite()
{
    if (!write_->isEnabled() || !writer_)
        return;
    writing_ = true;
    updateStates();
    const bool started = writer_(record_, [this](bool written) {
        writing_ = false;
        updateStates();
        if (written)
            accept();
    });
    if (!started) {
        writing_ = false;
        updateStates();
    }
}
