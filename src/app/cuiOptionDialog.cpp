#include "app/cuiOptionDialog.h"

#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTextTables.h"
#include "platform/cmcPortDiscovery.h"
#include "platform/cmcScreens.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The port list fills itself again each time it drops down (a cable may have been
// plugged in meanwhile). It is editable, so a device path can be typed.
class RefillingPortList final : public QComboBox {
public:
    explicit RefillingPortList(QWidget* parent) : QComboBox(parent) {}
    void showPopup() override
    {
        FillPortChoice(*this);
        QComboBox::showPopup();
    }
};

// A text as tall as the tallest glyph a field may show: "WW" and two double-byte characters.
int textHeight(const QFontMetrics& metrics)
{
    const QString sample = QStringLiteral("WW") + QChar(0x3042) + QChar(0x6F22);
    return std::max(metrics.height(), metrics.boundingRect(sample).height());
}

} // namespace

cuiOptionDialog::cuiOptionDialog(std::string prefix, std::vector<Field> fields, QWidget* owner,
                                 std::string buttonsKey)
    : QDialog(owner), prefix_(std::move(prefix)),
      buttonsKey_(buttonsKey.empty() ? prefix_ + "Buttons" : std::move(buttonsKey))
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(q(MainText().GetText(prefix_ + "Caption")));
    build(fields);
}

cuiOptionDialog::~cuiOptionDialog() = default;

void cuiOptionDialog::build(const std::vector<Field>& fields)
{
    const QFontMetrics metrics(font());
    const int wHeight = metrics.height();
    const int wWidth = metrics.horizontalAdvance(QStringLiteral("W"));
    const int wwWidth = metrics.horizontalAdvance(QStringLiteral("WW"));
    const int fieldHeight = textHeight(metrics) + 6;

    notice_ = new QLabel(q(MainText().GetMultiLineText(prefix_ + "Notice")), this);
    notice_->setTextFormat(Qt::PlainText);
    notice_->setObjectName("notice");
    const QSize noticeSize = metrics.boundingRect(QRect(), Qt::TextExpandTabs, notice_->text()).size();
    notice_->setGeometry(wHeight, wHeight, noticeSize.width(), noticeSize.height());

    // Field labels (the two password fields) stand left of their fields.
    int labelWidth = 0;
    for (const Field& f : fields)
        if (!f.labelKey.empty())
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(q(MainText().GetText(f.labelKey))));
    const int fieldLeft = notice_->x() + wwWidth + (labelWidth > 0 ? labelWidth + wWidth : 0);
    int y = notice_->geometry().bottom() + 1 + wHeight / 2;
    int right = notice_->geometry().right();
    for (const Field& f : fields) {
        QLineEdit* edit = nullptr;
        QWidget* widget = nullptr;
        int width = metrics.horizontalAdvance(f.widthSample);
        if (f.kind == FieldKind::PortList) {
            portList_ = new RefillingPortList(this);
            portList_->setEditable(true);
            portList_->setInsertPolicy(QComboBox::NoInsert);
            edit = portList_->lineEdit();
            width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            widget = portList_;
        } else {
            edit = new QLineEdit(this);
            if (f.kind == FieldKind::Masked)
                edit->setEchoMode(QLineEdit::Password);
            widget = edit;
        }
        edit->setMaxLength(f.maxLength);
        widget->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        widget->setObjectName(QStringLiteral("field%1").arg(edits_.size()));
        const int height = std::max(fieldHeight, widget->sizeHint().height());
        widget->setGeometry(fieldLeft, y, width, height);
        if (!f.labelKey.empty()) {
            auto* label = new QLabel(q(MainText().GetText(f.labelKey)), this);
            label->setGeometry(notice_->x() + wwWidth, y, labelWidth, height);
            label->setBuddy(widget);
        }
        edits_.push_back(edit);
        right = std::max(right, widget->geometry().right());
        y += height + wHeight / 2;
    }

    const int buttonWidth = metrics.horizontalAdvance(q(MainText().GetText(prefix_ + "SizeOfButtons")));
    const int buttonHeight = 2 * metrics.height();
    ok_ = new QPushButton(q(MainText().GetEntry(buttonsKey_, 0)), this);
    cancel_ = new QPushButton(q(MainText().GetEntry(buttonsKey_, 1)), this);
    ok_->setObjectName("ok");
    cancel_->setObjectName("cancel");
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    cancel_->setAutoDefault(false);
    y += wHeight / 2;
    const int buttonsRight = std::max(right, notice_->x() + 2 * buttonWidth + wWidth);
    cancel_->setGeometry(buttonsRight - buttonWidth + 1, y, buttonWidth, buttonHeight);
    ok_->setGeometry(cancel_->x() - wWidth - buttonWidth, y, buttonWidth, buttonHeight);
    connect(ok_, &QPushButton::clicked, this, &cuiOptionDialog::TryAccept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(buttonsRight + wHeight, y + buttonHeight + wHeight);
    if (!edits_.empty())
        edits_.front()->setFocus();
}

QLineEdit& cuiOptionDialog::Edit(int i)
{
    return *edits_.at(static_cast<std::size_t>(i));
}

QString cuiOptionDialog::Text(int i) const
{
    return edits_.at(static_cast<std::size_t>(i))->text();
}

void cuiOptionDialog::TryAccept()
{
    if (!check_ || check_(*this))
        accept();
}

void cuiOptionDialog::Refuse(const char* key, int field)
{
    cmcMessageBox(MainText().GetMultiLineText(key), MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok,
                  cmcMbIcon::Error);
    if (field >= 0 && field < static_cast<int>(edits_.size())) {
        Edit(field).setFocus();
        Edit(field).selectAll();
    }
}

int cuiOptionDialog::Run()
{
    cmcCentreOnOwner(*this, parentWidget());
    return exec();
}
