#pragma once
// The Solbus Tool: drives the bus and the chip's debug port by hand on the
// port of the open link. Fields are hexadecimal without a prefix; read
// buttons fill their field, write buttons send it. A field that is not
// hexadecimal, or holds more than its byte or word, is refused with a box
// and nothing is sent.

#include <QDialog>
#include <functional>

#include "SolbusToolPort.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace zernbrel {

class TOKRightDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOKRightDlg(int port, QWidget* parent = nullptr);

private:
    struct Read {
        const char* caption = nullptr;
        std::function<uint32_t()> value;
        int digits = 4;
    };
    struct Write {
        const char* caption;
        std::function<void(uint32_t)> send;
        // The largest value the field's bytes carry.
        uint32_t largest;
    };

    QLineEdit* field(const char* name, const char* text);
    // A row of one field with its read button (none without a caption) and its write button.
    void fieldRow(int row, QLineEdit* field, const Read& read, const Write& write);
    QPushButton* button(const char* caption, int row, int column, const std::function<void()>& action);
    // The field's value, or nothing (after saying so, and with no traffic)
    // when it is not hexadecimal or above `largest`.
    static std::optional<uint32_t> valueOf(const QLineEdit* field, uint32_t largest);
    static void showValue(QLineEdit* field, uint32_t value, int digits);

    solbus::ToolPort port_;
    QGridLayout* layout_;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QLineEdit* Edit8;
};

}  // namespace zernbrel
