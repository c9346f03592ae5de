#include "TOKRightDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "MessageBoxes.h"

namespace zernbrel {
namespace {

// The tool's size as it was laid out; the dialog grows where its texts need more.
constexpr int kClientWidth = 296;
constexpr int kClientHeight = 257;
// Columns: two buttons, then the field (the register row has three).
constexpr int kFieldColumn = 2;
constexpr int kFieldColumns = 3;
// Every field holds a word in hexadecimal, with room to spare.
constexpr char kFieldRoom[] = "000000";

}  // namespace

TOKRightDlg::TOKRightDlg(int port, QWidget* parent)
    : QDialog(parent),
      port_(port),
      layout_(new QGridLayout(this)),
      Edit1(field("Edit1", "0000")),
      Edit2(field("Edit2", "0001")),
      Edit3(field("Edit3", "3C")),
      Edit4(field("Edit4", "0000")),
      Edit5(field("Edit5", "00")),
      Edit6(field("Edit6", "00")),
      Edit7(field("Edit7", "00")),
      Edit8(field("Edit8", "01"))
{
    setWindowTitle(QStringLiteral("Solbus Tool"));
    // A dialog border: a title and a close button, nothing to resize or minimise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setMinimumSize(kClientWidth, kClientHeight);
    layout_->setSizeConstraint(QLayout::SetFixedSize);

    button("Touch Reset", 0, 0, [this] {
        if (!port_.touchReset())
            platform::messageBoxes().show("Solbus Tool", "Failed to get presence pulse", platform::BoxButtons::Ok,
                                          platform::BoxIcon::Warning);
    });

    button("Read Byte", 1, 0, [this] { showValue(Edit3, port_.readByte(), 2); });
    button("Write Byte", 1, 1, [this] {
        if (const auto value = valueOf(Edit3))
            port_.writeByte(static_cast<uint8_t>(*value));
    });
    layout_->addWidget(Edit3, 1, kFieldColumn, 1, kFieldColumns, Qt::AlignLeft);

    button("Read Control", 2, 0, [this] { showValue(Edit1, port_.readControl(), 4); });
    button("Write Control", 2, 1, [this] {
        if (const auto value = valueOf(Edit1))
            port_.writeControl(static_cast<uint16_t>(*value));
    });
    layout_->addWidget(Edit1, 2, kFieldColumn, 1, kFieldColumns, Qt::AlignLeft);

    button("Read Test", 3, 0, [this] { showValue(Edit2, port_.readTest(), 4); });
    button("Write Test", 3, 1, [this] {
        if (const auto value = valueOf(Edit2))
            port_.writeTest(static_cast<uint16_t>(*value));
    });
    layout_->addWidget(Edit2, 3, kFieldColumn, 1, kFieldColumns, Qt::AlignLeft);

    button("Write Test Byte", 4, 1, [this] {
        if (const auto value = valueOf(Edit8))
            port_.writeTestByte(static_cast<uint8_t>(*value));
    });
    layout_->addWidget(Edit8, 4, kFieldColumn, 1, kFieldColumns, Qt::AlignLeft);

    button("Read Status", 5, 0, [this] { showValue(Edit4, port_.readStatus(), 4); });
    button("Write Status", 5, 1, [this] {
        if (const auto value = valueOf(Edit4))
            port_.writeStatus(static_cast<uint16_t>(*value));
    });
    layout_->addWidget(Edit4, 5, kFieldColumn, 1, kFieldColumns, Qt::AlignLeft);

    int column = kFieldColumn;
    for (const char* label : {"Mod", "Ind", "Val"})
        layout_->addWidget(new QLabel(QString::fromLatin1(label), this), 6, column++, Qt::AlignBottom);
    button("Read Reg", 7, 0, [this] {
        const auto module = valueOf(Edit5);
        const auto index = valueOf(Edit6);
        const auto value = module && index
                               ? port_.readRegister(static_cast<uint8_t>(*module), static_cast<uint8_t>(*index))
                               : std::nullopt;
        if (value)
            showValue(Edit7, *value, 4);
        else
            Edit7->setText(QStringLiteral("Err"));
    });
    button("Write Reg", 7, 1, [this] {
        const auto module = valueOf(Edit5);
        const auto index = valueOf(Edit6);
        const auto value = valueOf(Edit7);
        if (module && index && value)
            port_.writeRegister(static_cast<uint8_t>(*module), static_cast<uint8_t>(*index),
                                static_cast<uint16_t>(*value));
    });
    layout_->addWidget(Edit5, 7, kFieldColumn);
    layout_->addWidget(Edit6, 7, kFieldColumn + 1);
    layout_->addWidget(Edit7, 7, kFieldColumn + 2);
}

QLineEdit* TOKRightDlg::field(const char* name, const char* text)
{
    auto* edit = new QLineEdit(QString::fromLatin1(text), this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1String(kFieldRoom))
                        + 2 * edit->textMargins().left() + 12);
    return edit;
}

QPushButton* TOKRightDlg::button(const char* caption, int row, int column, const std::function<void()>& action)
{
    auto* pushButton = new QPushButton(QString::fromLatin1(caption), this);
    pushButton->setAutoDefault(false);
    layout_->addWidget(pushButton, row, column);
    connect(pushButton, &QPushButton::clicked, this, action);
    return pushButton;
}

std::optional<uint32_t> TOKRightDlg::valueOf(const QLineEdit* field)
{
    return solbus::parseHexField(field->text().toStdString());
}

void TOKRightDlg::showValue(QLineEdit* field, uint32_t value, int digits)
{
    field->setText(QString::fromStdString(solbus::hexField(value, digits)));
}

}  // namespace zernbrel
