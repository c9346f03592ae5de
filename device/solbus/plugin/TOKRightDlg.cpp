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
constexpr uint32_t kByte = 0xFF;
constexpr uint32_t kWord = 0xFFFF;
// A register command carries the module in four bits and the index in eight.
constexpr uint32_t kLargestModule = 0x0F;
constexpr uint32_t kLargestIndex = 0xFF;

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
    setMinimumSize(kClientWidth, kClientHeight);
    layout_->setSizeConstraint(QLayout::SetFixedSize);

    button("Touch Reset", 0, 0, [this] {
        if (!port_.touchReset())
            platform::messageBoxes().show("Solbus Tool", "Failed to get presence pulse", platform::BoxButtons::Ok,
                                          platform::BoxIcon::Warning);
    });

    // The rows of one field: a read button fills it, a write button sends it.
    fieldRow(1, Edit3, {"Read Byte", [this] { return port_.readByte(); }, 2},
             {"Write Byte", [this](uint32_t value) { port_.writeByte(static_cast<uint8_t>(value)); }, kByte});
    fieldRow(2, Edit1, {"Read Control", [this] { return port_.readControl(); }, 4},
             {"Write Control", [this](uint32_t value) { port_.writeControl(static_cast<uint16_t>(value)); }, kWord});
    fieldRow(3, Edit2, {"Read Test", [this] { return port_.readTest(); }, 4},
             {"Write Test", [this](uint32_t value) { port_.writeTest(static_cast<uint16_t>(value)); }, kWord});
    fieldRow(4, Edit8, {},
             {"Write Test Byte", [this](uint32_t value) { port_.writeTestByte(static_cast<uint8_t>(value)); }, kByte});
    fieldRow(5, Edit4, {"Read Status", [this] { return port_.readStatus(); }, 4},
             {"Write Status", [this](uint32_t value) { port_.writeStatus(static_cast<uint16_t>(value)); }, kWord});

    int column = kFieldColumn;
    for (const char* label : {"Mod", "Ind", "Val"})
        layout_->addWidget(new QLabel(QString::fromLatin1(label), this), 6, column++, Qt::AlignBottom);
    button("Read Reg", 7, 0, [this] {
        const auto module = valueOf(Edit5, kLargestModule);
        const auto index = module ? valueOf(Edit6, kLargestIndex) : std::nullopt;
        const auto value = module && index
                               ? port_.readRegister(static_cast<uint8_t>(*module), static_cast<uint8_t>(*index))
                               : std::nullopt;
        if (value)
            showValue(Edit7, *value, 4);
        else
            Edit7->setText(QStringLiteral("Err"));
    });
    button("Write Reg", 7, 1, [this] {
        const auto module = valueOf(Edit5, kLargestModule);
        const auto index = module ? valueOf(Edit6, kLargestIndex) : std::nullopt;
        const auto value = index ? valueOf(Edit7, kWord) : std::nullopt;
        if (value)
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

void TOKRightDlg::fieldRow(int row, QLineEdit* field, const Read& read, const Write& write)
{
    if (read.caption)
        button(read.caption, row, 0, [this, field, read] { showValue(field, read.value(), read.digits); });
    button(write.caption, row, 1, [field, write] {
        if (const auto value = valueOf(field, write.largest))
            write.send(*value);
    });
    layout_->addWidget(field, row, kFieldColumn, 1, kFieldColumns, Qt::AlignLeft);
}

QPushButton* TOKRightDlg::button(const char* caption, int row, int column, const std::function<void()>& action)
{
    auto* pushButton = new QPushButton(QString::fromLatin1(caption), this);
    pushButton->setAutoDefault(false);
    layout_->addWidget(pushButton, row, column);
    connect(pushButton, &QPushButton::clicked, this, action);
    return pushButton;
}

std::optional<uint32_t> TOKRightDlg::valueOf(const QLineEdit* field, uint32_t largest)
{
    const std::optional<uint32_t> value = solbus::parseHexField(field->text().toStdString());
    if (value && *value <= largest)
        return value;
    // Cut to its field's bytes, a wrong value would still reach the hardware.
    platform::showError(field->text().toStdString() + " is not a valid value.");
    return std::nullopt;
}

void TOKRightDlg::showValue(QLineEdit* field, uint32_t value, int digits)
{
    field->setText(QString::fromStdString(solbus::hexField(value, digits)));
}

}  // namespace zernbrel
